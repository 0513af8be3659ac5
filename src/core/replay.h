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
//
// The word actions (choose, menu, goto-scene, draw, title, slot, expect; replaywords.h) wait
// as click does and then become the clicks and presses that carry them out on the screen
// shown; one that cannot be done, or an expectation that does not hold, fails the run.
#pragma once

#include <string>

#include "core/decision.h"

// Replaces the script to play by the actions in text. Relative file names (shots) are taken
// relative to baseDir. Virtual time, held state and the event queue start afresh. Returns
// false, with a message naming the line, when a line is not an action.
bool replayLoad(const std::string& text, const std::string& baseDir, std::string* error);

// True once every action, trailing waits included, has been carried out.
bool replayUsedUp();

// The input script's name in failure lines ("INPUT" until set).
void replayName(const std::string& name);

// Called with "INPUT:LINE: expected ..., got ..." when a word action fails; it may end the
// process. Without one (or when it returns), the run ends as when the script is used up.
void replayOnFailure(void (*handler)(const std::string& line));

// The failure line of this run, empty while none.
const std::string& replayFailure();

// A decision answerer (decision.h) for the script's draw actions: the draw taken next is the
// one armed by a draw action carried out, or else the next draw action with nothing before it
// that waits for the player. Every other decision is left to the player.
bool replayAnswer(const Decision& decision, Answer* answer);

// Once the game has ended: the failure line, or the line of a word or draw action the game
// ended before ("INPUT:LINE: expected ..., got the end of the game"); empty when none.
std::string replayUnfinished();

// Whether the run was asked to quit because the game kept running without ever looking for
// the player's input.
bool replayStoppedBusy();

// Whether an expect error has held: the fatal error the run ends on was expected.
bool replayErrorExpected();

// A decision was taken for the player without a screen's input loop: it counts as looking for
// the player's input.
void replayPlayerAnswered();
