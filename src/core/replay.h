// The replay back end's own controls, used by the `tessarc-replay` driver and by tests.
//
// An input script holds one action per line (blank lines and lines starting with # are
// ignored):
//   wait MS                  the following actions fall due MS ms of virtual time later
//   move X Y                 pointer to (X, Y)
//   down left|right          button pressed / up left|right released
//   wheel up|down            one wheel step
//   keydown KEY, keyup KEY   KEY one of return, space, escape, lctrl, rctrl, f1 to f12, a,
//                            alt (the left Alt), backspace, s, l, tab, up, down, left,
//                            right, pageup, pagedown, home, end, m
//   quit                     the window's close request
//   click X Y                move X Y, wait 50, down left, wait 50, up left, wait 50
//   rclick X Y               the same with the right button
//   press KEY                keydown KEY, wait 50, keyup KEY, wait 50
//   shot FILE                write the picture of the last flip to FILE as a BMP
//   snap FILE                the same as soon as it falls due, without waiting for the player
// An action falls due its wait after the one before it and reaches the event queue and the held
// state together at the game's next pump (poll, wait or pump), with quick presses latched as in
// the live game. click, rclick, press and shot first wait until the game waits for the player:
// blocked on an event with nothing queued, or reading the pointer in a menu screen after polling
// the queue empty. A word starting with # ends a line. Once the script is used up, every
// further wait or poll answers a quit request.
#pragma once

#include <string>

// Replaces the script to play by the actions in text. Relative file names (shots) are taken
// relative to baseDir. Virtual time, held state and the event queue start afresh. Returns
// false, with a message naming the line, when a line is not an action.
bool replayLoad(const std::string& text, const std::string& baseDir, std::string* error);

// True once every action, trailing waits included, has been carried out.
bool replayUsedUp();
