// The press latch both platform back ends share, so that no quick click or tap is lost.
//
// The game learns of a press by reading the held state after a pump, but a tap may be pressed
// and released between two pumps. A press that a pump takes in therefore stays visible as held
// until the game has read that key's or button's state once after that pump; the pump after
// such a read lets it go.
#pragma once

#include <SDL.h>

// At the start of every pump: lets go of the presses read since they were taken in.
void latchPumpBegins();

// A pump took in a press of the key (SDL 1.2 key symbol) or the mouse button (1-3; the wheel
// is no held state and is not latched). Codes out of range are ignored.
void latchKeyPressed(int key);
void latchButtonPressed(int button);

// The key as the game sees it, given whether it is really held; counts as a read of the key.
Uint8 latchKey(int key, Uint8 held);

// The button bits as the game sees them, given the really held ones; a read of every button.
Uint8 latchButtons(Uint8 held);

// Lets go of every latched press, read or not.
void latchForget();
