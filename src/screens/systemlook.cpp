#include "screens/systemlook.h"

#include <SDL_ttf.h>

#include "core/state.h"
#include "presentation/cache.h"
#include "presentation/draw.h"

const SDL_Color kLookLight = {238, 232, 214, 0};
const SDL_Color kLookDark = {40, 28, 10, 0};
const SDL_Color kLookGold = {232, 200, 128, 0};
const SDL_Color kLookDim = {120, 120, 132, 0};

namespace {

const SDL_Color kNight = {14, 18, 44, 0};       // a panel's ground
const SDL_Color kPlateOff = {30, 34, 72, 0};
const SDL_Color kPlateOn = {222, 188, 110, 0};
const SDL_Color kEdge = {200, 168, 100, 0};      // the gold edge of panels and plates
const SDL_Color kEdgeInner = {90, 76, 46, 0};
const SDL_Color kEdgeLit = {255, 232, 170, 0};

SDL_Rect rectOf(const LookBox& box)
{
    return {static_cast<Sint16>(box.x), static_cast<Sint16>(box.y), static_cast<Uint16>(box.w),
            static_cast<Uint16>(box.h)};
}

// The plate's text in the middle of the box.
void centredText(const LookBox& box, const char* text, SDL_Color colour, bool big)
{
    TTF_Font* font = big ? stdFont : itemFont;
    int w = 0, h = 0;
    if (!font || TTF_SizeUTF8(font, text, &w, &h) != 0) return;
    lookText(text, box.x + (box.w - w) / 2, box.y + (box.h - h) / 2, colour, big);
}

}  // namespace

SDL_Surface* lookDimmedCopy()
{
    if (!screen) return nullptr;
    SDL_Surface* copy = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    if (!copy) return nullptr;
    SDL_LockSurface(copy);
    // Each channel halved: the same for any byte order of the colours.
    for (int y = 0; y < copy->h; ++y) {
        Uint8* row = static_cast<Uint8*>(copy->pixels) + y * copy->pitch;
        for (int i = 0; i < copy->w * copy->format->BytesPerPixel; ++i) row[i] = static_cast<Uint8>(row[i] >> 1);
    }
    SDL_UnlockSurface(copy);
    return copy;
}

void lookUnder(SDL_Surface* under)
{
    if (under && screen) SDL_BlitSurface(under, nullptr, screen, nullptr);
}

void lookFill(const LookBox& box, SDL_Color colour)
{
    if (!screen) return;
    SDL_Rect area = rectOf(box);
    SDL_FillRect(screen, &area, SDL_MapRGB(screen->format, colour.r, colour.g, colour.b));
}

void lookFrame(const LookBox& box, SDL_Color colour, int thickness)
{
    lookFill({box.x, box.y, box.w, thickness}, colour);
    lookFill({box.x, box.y + box.h - thickness, box.w, thickness}, colour);
    lookFill({box.x, box.y, thickness, box.h}, colour);
    lookFill({box.x + box.w - thickness, box.y, thickness, box.h}, colour);
}

void lookPanel(const char* name, const LookBox& box)
{
    if (name && ImgGet(name)) {
        blitPicture(name, box.x, box.y);
        return;
    }
    lookFill(box, kNight);
    lookFrame(box, kEdge, 2);
    lookFrame({box.x + 4, box.y + 4, box.w - 8, box.h - 8}, kEdgeInner, 1);
}

void lookPlate(const LookBox& box, const char* text, bool lit, bool available)
{
    const char* name = lit ? "gamemenu_on" : "gamemenu_off";
    if (ImgGet(name)) {
        blitPicture(name, box.x, box.y);
    } else {
        lookFill(box, lit ? kPlateOn : kPlateOff);
        lookFrame(box, lit ? kEdgeLit : kEdge, 1);
    }
    centredText(box, text, lit ? kLookDark : available ? kLookLight : kLookDim, true);
}

void lookChip(const LookBox& box, const char* text, bool lit)
{
    lookFill(box, lit ? kPlateOn : kPlateOff);
    lookFrame(box, lit ? kEdgeLit : kEdgeInner, 1);
    centredText(box, text, lit ? kLookDark : kLookLight, false);
}

int lookText(const char* text, int x, int y, SDL_Color colour, bool big, bool centred)
{
    TTF_Font* font = big ? stdFont : itemFont;
    if (!font || !text[0]) return 0;
    SDL_Surface* line = TTF_RenderUTF8_Solid(font, text, colour);
    if (!line) return 0;
    int w = line->w;
    blitSurface(line, centred ? x - w / 2 : x, y);
    SDL_FreeSurface(line);
    return w;
}
