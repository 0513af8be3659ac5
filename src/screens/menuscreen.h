// The loop of a screen of the game menu whose entries are picked (the menu, the question):
// the pointer or the arrows highlight an entry, a click or Return picks it, a right click or
// Backspace backs out, and Escape released or the window's close quits. Each pass is 10 ms.
#pragma once

#include "core/menukeys.h"

struct MenuScreen {
    int count;                          // entries 1..count
    unsigned open;                      // bit (entry - 1): the entry can be chosen now
    MenuLayout layout;
    void (*draw)(int lit);              // draws the screen with that entry lit (0: none), flips
    int (*entryAt)(int x, int y);       // the entry under the pointer, 0 for none
};

// Runs the screen, entry `lit` highlighted at first (0: none), until the player picks an open
// entry (answered, 1..count, with the sound "enter"), backs out (0, with "return") or quits
// (-1, e 0). Moving the highlight plays "onmouse", as in every menu. A button or key held when
// the screen opens does nothing until it has been released.
int runMenuScreen(const MenuScreen& screen, int lit);
