// The keyboard in the menu screens: the arrow keys move the screen's highlight, Return or
// Space picks the highlighted entry and Backspace backs out where a screen allows it. A key
// counts as the mouse's button does: when it is pressed after the screen has seen it up, so
// that a key already held when a screen opens (the Return that turned the page before it)
// does nothing until it is pressed again. An arrow held down steps on after a moment, as keys
// repeat. Every menu screen reads its keys through this, once per pass of its loop.
#pragma once

#include <SDL.h>

// How a screen lays out its entries: which arrows step through them.
enum class MenuLayout {
    Column,   // Up and Down
    Row,      // Left and Right
    Both,     // any arrow (entries set about the screen, as the slot cards are)
};

enum class MenuKey { None, Moved, Picked, Back };

struct MenuKeys {
    MenuLayout layout;
    bool backs;                 // Backspace backs out of this screen
    bool seenUp[7];             // up, down, left, right, Return, Space, Backspace
    bool held[7];
    Uint32 repeatAt[4];         // when a held arrow steps again
    int sideways;               // Left (-1) or Right (+1) pressed in the last pass, else 0
};

// Starts reading the keys for a screen that opens now: a key held now must be seen up first.
void menuKeysOpen(MenuKeys* keys, MenuLayout layout, bool backs = false);

// One pass: an arrow of the layout moves *highlight among the entries 1..count whose bit
// (entry - 1) is set in `open` (Moved, *highlight changed; at either end it goes round; from no
// highlight, a forward arrow highlights the first open entry and a backward one the last);
// Return or Space (not with Alt, which makes Return fullscreen) while an entry is highlighted
// answers Picked, once the key is let go (so that the screen after does not take it too);
// Backspace answers Back when the screen allows it. None otherwise. Left and
// Right pressed (or repeating) are kept in keys->sideways whatever the layout: the settings
// screen changes a value with them while Up and Down choose the row.
MenuKey menuKeysRead(MenuKeys* keys, int* highlight, int count, unsigned open);

// The entry one step (+1 or -1) from `current` among the open ones of 1..count, going round;
// from 0, the first (step +1) or the last (step -1) open entry. 0 when none is open.
int menuStep(int current, int count, unsigned open, int step);
