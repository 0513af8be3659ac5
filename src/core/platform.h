// The platform layer: the only way the game reaches SDL's events, input state and clock.
//
// Three back ends implement it and are chosen at link time: the live one (plain SDL, for the
// game a player runs), the replay one (virtual time and scripted input, for tests and for
// authors; see replay.h) and the web one (the game in a browser page). Every screen calls
// these instead of SDL so that it behaves the same under each. Drawing itself stays plain SDL
// on `screen`, apart from the flip.
#pragma once

#include <SDL.h>

// Milliseconds since the game started. Live: the wall clock. Replay: virtual time, which moves
// only when the game sleeps or blocks for an event.
Uint32 platformTicks();

// The same clock as a count that never wraps: the trace's stamps.
Uint64 platformTicks64();

// Sleeps for ms milliseconds. Replay: advances virtual time at once; scripted input that falls
// due during the sleep reaches the game at its next pump (a snap is taken at its time).
void platformDelay(Uint32 ms);

// The pumps: each of the next three brings the event queue and the held key, button and
// pointer state up to date together, as SDL's own pump does. A key or button pressed since the
// last pump stays held, as the game sees it, until its state has been read once after this
// pump, even if it was released again before the pump: a click is a click however short.

// Takes the next pending event into *ev without blocking; returns 1, or 0 when none is pending.
// Replay: once the input script is used up, every call answers a quit request.
int platformPollEvent(SDL_Event* ev);

// Blocks until an event arrives and takes it into *ev; returns 1. Replay: the clock jumps to
// the next scripted action; once the input script is used up, it answers a quit request.
int platformWaitEvent(SDL_Event* ev);

// Brings the held key, button and pointer state up to date.
void platformPumpEvents();

// Pumps, then lets go of every press no longer held: what was pressed and released while the
// game was not looking (during a sleep) is not seen as held. Its events stay queued.
void platformForgetPresses();

// Called as each wait for the player begins (a page wait, wait2, a menu's polling loop): lets
// go of every press that an earlier pump latched, without pumping. A press made and released
// while the game was busy (an effect, a fade, a sleep) is then not seen as held by this wait,
// as with SDL's own held state; a key or button still held stays held, and the presses that
// this wait's own pumps take in are latched as ever, however short.
void platformWaitBegins();

// SDL_EventState: state SDL_IGNORE drops events of the type (and those already queued),
// SDL_ENABLE lets them in again, SDL_QUERY only asks. Returns the state before the call.
Uint8 platformEventState(Uint8 type, int state);

// Whether the key (an SDL 1.2 key symbol) is held, as the game sees it; a read of the key.
// The game asks it through `keystate`.
Uint8 platformKeyHeld(int key);

// The pointer position into *x, *y (either may be null) and the held buttons as SDL_BUTTON
// bits, as the game sees them; a read of every button. Menu screens call it while they wait
// for the player.
Uint8 platformMouseState(int* x, int* y);

// Seconds, for seeding the script's random draws. Replay: derived from virtual time.
long platformTime();

// Shows the surface on the display (SDL_Flip). The replay keeps a copy for its `shot` action.
void platformFlip(SDL_Surface* surface);

// Brings the held state up to date and tells, without taking any event, whether the window's
// close has been requested. A scene that runs long without waiting asks it now and then, so
// that it can still be quit. Replay: a game that keeps asking without ever polling, waiting or
// reading the pointer is given virtual time, and after ten seconds of it (or a minute of
// virtual time without looking for input) the quit request, so that every run ends.
bool platformQuitPending();
