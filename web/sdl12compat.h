// Included before every source of the web build (the compiler's -include). The browser's SDL
// headers are a later SDL's, with its key codes and event numbers; the game is written for SDL
// 1.2. Its key symbols index the held-key array, and its event numbers fit a byte, so both
// take their SDL 1.2 values here. Only the web back end makes events, so only it and the game
// see these values.
#pragma once

#include <SDL.h>

#undef SDLK_LCTRL
#undef SDLK_RCTRL
#undef SDLK_LAST
#define SDLK_RCTRL 305
#define SDLK_LCTRL 306
#define SDLK_LAST 323

#define SDL_KEYDOWN 2
#define SDL_KEYUP 3
#define SDL_MOUSEMOTION 4
#define SDL_MOUSEBUTTONDOWN 5
#define SDL_MOUSEBUTTONUP 6
#define SDL_QUIT 12

// The game's entry point is a C++ function of its own, not the browser SDL's C SDL_main.
#define SDL_main tessarcMain
