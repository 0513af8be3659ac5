#include "core/note.h"

#include <cstdio>

#include <SDL_ttf.h>

#include "core/platform.h"
#include "core/state.h"

namespace {

char noteText[160];
Uint32 noteUntil;
bool noteShown;            // the display holds the note
SDL_Surface* under;        // what the note covers, from noteOver to noteOff
SDL_Rect noteArea;

}  // namespace

void noteShow(const char* text)
{
    std::snprintf(noteText, sizeof noteText, "%s", text);
    noteUntil = platformTicks() + kNoteMs;
    if (screen) platformFlip(screen);
}

bool noteTick()
{
    if (!noteShown) return false;
    if (static_cast<Sint32>(platformTicks() - noteUntil) < 0) return true;
    noteText[0] = '\0';
    if (screen) platformFlip(screen);
    return false;
}

SDL_Rect labelArea(const char* text, int right, int y)
{
    int w = 0, h = 0;
    if (!itemFont || TTF_SizeUTF8(itemFont, text, &w, &h) != 0) return SDL_Rect{0, 0, 0, 0};
    return SDL_Rect{static_cast<Sint16>(right - w - 16), static_cast<Sint16>(y),
                    static_cast<Uint16>(w + 16), static_cast<Uint16>(h + 8)};
}

void labelDraw(SDL_Surface* surface, const char* text, const SDL_Rect& area)
{
    if (!surface || !area.w || !itemFont) return;
    SDL_Rect box = area;
    SDL_FillRect(surface, &box, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_Surface* rendered = TTF_RenderUTF8_Solid(itemFont, text, color_white);
    if (!rendered) return;
    SDL_Rect to = {static_cast<Sint16>(area.x + 8), static_cast<Sint16>(area.y + 4), 0, 0};
    SDL_BlitSurface(rendered, nullptr, surface, &to);
    SDL_FreeSurface(rendered);
}

void noteOver(SDL_Surface* surface)
{
    noteShown = false;
    if (!noteText[0] || !surface) return;
    if (static_cast<Sint32>(platformTicks() - noteUntil) >= 0) {
        noteText[0] = '\0';
        return;
    }
    noteArea = labelArea(noteText, surface->w - 8, 8);
    if (!noteArea.w) return;
    under = SDL_CreateRGBSurface(SDL_SWSURFACE, noteArea.w, noteArea.h, surface->format->BitsPerPixel,
                                 surface->format->Rmask, surface->format->Gmask,
                                 surface->format->Bmask, surface->format->Amask);
    if (!under) return;
    SDL_Rect from = noteArea;
    SDL_BlitSurface(surface, &from, under, nullptr);
    labelDraw(surface, noteText, noteArea);
    noteShown = true;
}

void noteOff(SDL_Surface* surface)
{
    if (!under) return;
    if (noteShown && surface) {
        SDL_Rect to = noteArea;
        SDL_BlitSurface(under, nullptr, surface, &to);
    }
    SDL_FreeSurface(under);
    under = nullptr;
}
