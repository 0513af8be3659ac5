#include "savegame/slots.h"

#include <cstdio>

#include "core/events.h"
#include "core/gametext.h"
#include "core/platform.h"
#include "core/state.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "savegame/save.h"

namespace {

const struct {
    int x, y;
} kSlots[3] = {{297, 95}, {121, 255}, {447, 247}};

// The slot under the pointer; slot 1 wins where the areas overlap.
int slotAt(int x, int y)
{
    for (int s = 0; s < 3; ++s)
        if (x > kSlots[s].x + 20 && x < kSlots[s].x + 220 && y > kSlots[s].y + 20 &&
            y < kSlots[s].y + 240)
            return s + 1;
    return 0;
}

}  // namespace

int chapterOf(const int* flags)
{
    for (int chapter = 1; chapter <= 5; ++chapter)
        if (flags[50 + chapter] == 1) return chapter;
    return 1;
}

void saveDraw(const int (*heads)[6], int highlight, int mode, const int (*flags)[2800])
{
    SDL_Surface* lines[3][4] = {};
    bool saved[3];
    for (int s = 0; s < 3; ++s) {
        SaveCondition condition = saveCondition(s + 1);
        saved[s] = condition != SaveCondition::Missing;
        if (!saved[s] || !itemFont) continue;
        char text[4][64] = {};
        if (condition == SaveCondition::Damaged) {
            // The card says so; such a slot cannot be loaded, and saving over it keeps it.
            std::snprintf(text[0], sizeof text[0], "このセーブは");
            std::snprintf(text[1], sizeof text[1], "壊れています");
        } else {
            int chapter = chapterOf(flags[s]);
            std::snprintf(text[0], sizeof text[0], "第%d章", chapter == 5 ? 4 : chapter);
            std::snprintf(text[1], sizeof text[1], "%s", chapterTitles[chapter]);
            std::snprintf(text[2], sizeof text[2], "HP %d", heads[s][1]);
            std::snprintf(text[3], sizeof text[3], "Guts %d", heads[s][2]);
        }
        for (int j = 0; j < 4; ++j)
            if (text[j][0]) lines[s][j] = TTF_RenderUTF8_Solid(itemFont, text[j], color_black);
    }
    blitPicture(mode > 0 ? "save" : "load", 0, 0);
    for (int s = 0; s < 3; ++s)
        if (s + 1 != highlight && (saved[s] || mode == 1))
            blitPicture("save_memo_off", kSlots[s].x, kSlots[s].y);
    if (highlight > 0) blitPicture("save_memo_on", kSlots[highlight - 1].x, kSlots[highlight - 1].y);
    for (int s = 0; s < 3; ++s)
        for (int j = 0; j < 4; ++j) blitSurface(lines[s][j], kSlots[s].x + 40, kSlots[s].y + 80 + 30 * j);
    platformFlip(screen);
    for (auto& slot : lines)
        for (SDL_Surface* line : slot)
            if (line) SDL_FreeSurface(line);
}

void saveFailedNotice()
{
    const char kNotice[] = "セーブできませんでした（saveフォルダに書き込めません）";
    SDL_Rect band = {0, 520, 800, 60};
    SDL_FillRect(screen, &band, SDL_MapRGB(screen->format, 40, 0, 0));
    if (SDL_Surface* line = stdFont ? TTF_RenderUTF8_Solid(stdFont, kNotice, color_white) : nullptr) {
        blitSurface(line, (800 - line->w) / 2, 550 - line->h / 2);
        SDL_FreeSurface(line);
    }
    platformFlip(screen);
}

int savePick(const int (*heads)[6], int mode, const int (*flags)[2800])
{
    int highlight = 0, pointed = 0;
    bool released = false;
    saveDraw(heads, 0, mode, flags);
    platformWaitBegins();
    while (e == 1) {
        platformDelay(10);
        if (takeQuitEvents()) return 0;
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        Uint8 buttons = platformMouseState(&MousePx, &MousePy);
        if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) return 0;
        int under = slotAt(MousePx, MousePy);
        // Only a move onto another slot (or off them all) changes anything; in load mode an
        // empty slot is never highlighted.
        if (under != pointed) {
            pointed = under;
            bool loadable = under > 0 && saveCondition(under) == SaveCondition::Sound;
            highlight = mode == 0 && !loadable ? 0 : under;
            if (highlight > 0) systemSound("onmouse");
            saveDraw(heads, highlight, mode, flags);
        }
        if (buttons & SDL_BUTTON(SDL_BUTTON_LEFT)) {
            if (released && highlight > 0) {
                systemSound(mode == 1 ? "save" : "start");
                return highlight;
            }
            released = false;
        } else {
            released = true;
        }
    }
    return 0;
}
