// Input that a back end makes itself instead of taking it from SDL (the replay's script, the
// browser page's events): the event queue and the held key, button and pointer state it
// serves, kept as SDL 1.2 would keep them, with quick presses latched.
#pragma once

#include <SDL.h>

// Empties the queue, lets go of every key and button, puts the pointer at (0, 0) and lets
// every kind of event in again.
void inputReset();

// Each of these changes the held state and queues the event SDL 1.2 would send for it.
void inputMove(int x, int y);
void inputButton(int button, bool down);   // a press is latched
void inputWheel(int button);               // a press and a release of the wheel's button
void inputKey(int key, bool down);         // a press is latched; key is an SDL 1.2 symbol
void inputQuit();

// Takes the oldest queued event into *ev (dropped when ev is null); false when none is queued.
bool inputTake(SDL_Event* ev);

// Whether a quit request waits in the queue.
bool inputQuitQueued();

// The event-state switch, as SDL's, over the queue: SDL_IGNORE also drops the queued events
// of the type.
Uint8 inputEventState(Uint8 type, int state);

// The held state as the game sees it (latched presses included); each is a read of it.
Uint8 inputKeyHeld(int key);
Uint8 inputMouseState(int* x, int* y);
