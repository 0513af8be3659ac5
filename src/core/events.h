// What the menu screens do with the events they poll.
#pragma once

#include <SDL.h>

// The player's own keys (volume, window, help), set at start-up by the top layer: every
// waiting screen hands it each event it takes. Null: none.
extern void (*playerKeys)(const SDL_Event& ev);

// Takes every pending event into `event`. The quit request (the window's close, or Escape
// released) sets e to 0 and answers true at once; a press of the left button is noted in
// *leftPressed when it is given. The player's own keys are handed to playerKeys; every other
// event is dropped.
bool takeQuitEvents(bool* leftPressed = nullptr);
