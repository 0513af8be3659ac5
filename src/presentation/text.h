// Showing story text in the message window, page by page, and the waits between pages.
#pragma once

#include "presentation/textlayout.h"

// Shows the message (byte 0 is its opening "[") page by page, each drawn over a fresh base
// screen and waited on, until it is exhausted or e drops below 1. Mode 1 is the alternative
// layout; every other value lays out like 0. Layout errors are fatal.
void text(const char* message, int mode);

// Draws one laid-out page over window(mode) and flips the display; answers its style.
book textDraw(const Page& page, int mode);

// Waits for the next page: the wheel down, the left button, Return or Space; holding either
// Ctrl turns pages every 20 ms. Escape or the close request sets e to 0.
void wait();

// Waits for the left or right button, Return or Space; Escape or the close request sets e
// to 0.
void wait2();
