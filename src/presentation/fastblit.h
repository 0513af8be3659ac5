// Pictures drawn onto the 24-bit screen with exactly the pixels SDL_BlitSurface gives, by
// faster paths: pictures with per-pixel alpha blended several pixels at a time, paletted
// pictures looked up in a table of screen pixels. Each call returns false, drawing nothing,
// where the surfaces are not of the kinds it handles; the caller then blits as usual.
#pragma once

#include <SDL.h>

// The `from` part of `picture` (all of it when null) with its top-left corner at (x, y) on
// `target`, clipped as SDL_BlitSurface clips.
bool blendBlit(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* target, int x, int y);

// The same, but blended over `under`'s pixels instead of target's: the result is as if the
// opaque picture `under` (in target's format, at least target's size, its corner on target's
// corner) had been blitted onto target first.
bool blendBlitOver(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* under,
                   SDL_Surface* target, int x, int y);

// Whether blendBlitOver draws that picture over that one (rather than returning false).
bool blendTakesOver(SDL_Surface* picture, SDL_Surface* under, SDL_Surface* target);

// An 8-bit paletted picture without colour key or surface alpha: the `from` part at (x, y).
bool paletteBlit(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* target, int x, int y);

// The surface alpha and the colour key SDL keeps with a picture's format (SDL_SetAlpha,
// SDL_SetColorKey), for copies that must blend as the picture does.
Uint8 surfaceAlpha(const SDL_Surface* picture);
Uint32 surfaceColorKey(const SDL_Surface* picture);

// Tests compare the pixels of both ways of blending; the game always takes the fastest the
// processor has.
void fastBlitUseVectors(bool use);
