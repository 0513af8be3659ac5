// Showing story text in the message window, page by page, and the waits between pages.
#pragma once

#include "presentation/textlayout.h"

// Shows the message (byte 0 is its opening "[") page by page, each drawn over a fresh base
// screen and waited on, until it is exhausted or e drops below 1. Mode 1 is the alternative
// layout; every other value lays out like 0. Layout errors are fatal. Each page is kept in the
// backlog once the player leaves it.
void text(const char* message, int mode);

// Draws one laid-out page over window(mode), with the "AUTO" mark while auto-advance is on,
// and flips the display; answers its style.
book textDraw(const Page& page, int mode);

// Waits for the next page: the wheel down, the left button, Return or Space (not with Alt);
// holding either Ctrl turns pages every 20 ms; with auto-advance on, the page also turns by
// itself 1.5 s and 60 ms a character after it is shown. The wheel up shows the backlog, A
// toggles auto-advance, and the player's own keys (playerkeys.h) are served. Escape or the
// close request sets e to 0.
void wait();

// Waits for the left or right button, Return or Space, serving the player's own keys; Escape
// or the close request sets e to 0.
void wait2();
