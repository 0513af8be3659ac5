// The browser's fast blits: none. The browser's SDL keeps every picture and the screen as
// 32-bit canvases and draws them with the canvas, so every picture takes the general path
// (SDL_BlitSurface), and the surface alpha lives with the canvas rather than the format.
#include "presentation/fastblit.h"

bool blendBlit(SDL_Surface*, const SDL_Rect*, SDL_Surface*, int, int) { return false; }

bool blendBlitOver(SDL_Surface*, const SDL_Rect*, SDL_Surface*, SDL_Surface*, int, int)
{
    return false;
}

bool blendTakesOver(SDL_Surface*, SDL_Surface*, SDL_Surface*) { return false; }

bool paletteBlit(SDL_Surface*, const SDL_Rect*, SDL_Surface*, int, int) { return false; }

void fastBlitUseVectors(bool) {}

// Pictures come from the browser opaque or with per-pixel alpha; the game never gives one a
// surface alpha or a colour key of its own.
Uint8 surfaceAlpha(const SDL_Surface*) { return SDL_ALPHA_OPAQUE; }

Uint32 surfaceColorKey(const SDL_Surface*) { return 0; }

// The browser's SDL has no SDL_DisplayFormat. Its pictures all carry an alpha channel, so the
// game never asks for one; a null answer keeps the picture as it is loaded.
extern "C" SDL_Surface* SDL_DisplayFormat(SDL_Surface*) { return nullptr; }
