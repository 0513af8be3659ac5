// Blitting onto `screen`. A null picture (missing from the cache or never rendered) draws
// nothing.
#pragma once

#include <SDL.h>

// The whole surface with its top-left corner at (x, y).
void blitSurface(SDL_Surface* picture, int x, int y);

// The `from` part of the surface (all of it when null) with its top-left corner at (x, y).
void blitSurfacePart(SDL_Surface* picture, const SDL_Rect* from, int x, int y);

// The whole cached picture of that name at (x, y).
void blitPicture(const char* name, int x, int y);

// The w x h piece at (sx, sy) of the cached picture at (x, y).
void blitPiece(const char* name, int sx, int sy, int w, int h, int x, int y);
