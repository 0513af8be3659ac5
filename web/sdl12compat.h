// Included before every source of the web build (the compiler's -include). The browser's SDL
// headers are a later SDL's, with its key codes and event numbers; the game is written for SDL
// 1.2. Its key symbols index the held-key array, and its event numbers fit a byte, so both
// take their SDL 1.2 values here. Only the web back end makes events, so only it and the game
// see these values.
#pragma once

#include <SDL.h>

// The keys past ASCII take their SDL 1.2 numbers: the later SDL's are above 2^30, past the end
// of the held-key array, so that the arrows and the function keys would never reach the game.
#define SDLK_UP 273
#define SDLK_DOWN 274
#define SDLK_RIGHT 275
#define SDLK_LEFT 276
#define SDLK_INSERT 277
#define SDLK_HOME 278
#define SDLK_END 279
#define SDLK_PAGEUP 280
#define SDLK_PAGEDOWN 281
#define SDLK_F1 282
#define SDLK_F2 283
#define SDLK_F3 284
#define SDLK_F4 285
#define SDLK_F5 286
#define SDLK_F6 287
#define SDLK_F7 288
#define SDLK_F8 289
#define SDLK_F9 290
#define SDLK_F10 291
#define SDLK_F11 292
#define SDLK_F12 293
#define SDLK_F13 294
#define SDLK_F14 295
#define SDLK_F15 296
#define SDLK_NUMLOCKCLEAR 300
#define SDLK_CAPSLOCK 301
#define SDLK_SCROLLLOCK 302
#define SDLK_RSHIFT 303
#define SDLK_LSHIFT 304
#define SDLK_RCTRL 305
#define SDLK_LCTRL 306
#define SDLK_RALT 307
#define SDLK_LALT 308
#define SDLK_RGUI 309
#define SDLK_LGUI 310
#define SDLK_MODE 313
#define SDLK_LAST 323

#define SDL_KEYDOWN 2
#define SDL_KEYUP 3
#define SDL_MOUSEMOTION 4
#define SDL_MOUSEBUTTONDOWN 5
#define SDL_MOUSEBUTTONUP 6
#define SDL_QUIT 12

// The game's entry point is a C++ function of its own, not the browser SDL's C SDL_main.
#define SDL_main tessarcMain
