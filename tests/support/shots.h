// Pictures the replay's `shot` and `snap` actions wrote: their pixels, and where two differ.
#pragma once

#include <string>

#include <SDL.h>

// The colour at (x, y) of the BMP as 0xRRGGBB; 0xFFFFFFFF when it cannot be read.
Uint32 shotPixel(const std::string& path, int x, int y);

// The smallest box holding every pixel in which the two BMPs differ (w 0 when none does, or
// when either cannot be read).
SDL_Rect shotDifference(const std::string& one, const std::string& other);
