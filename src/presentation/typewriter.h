// The typewriter: with a text speed in the settings, a page is shown a character at a time
// before it waits; a click, Return, Space or the wheel down first completes the page.
#pragma once

#include "presentation/textlayout.h"

// Types the page out over window(mode) at the settings' text speed and returns once it is
// complete, leaving the whole page to be drawn by the caller; at once when the speed is 0
// (pages shown whole), in quiet mode, or when `skips` says a held Ctrl skips the page. The
// click or key that completes the page is waited on until released, so that it does not also
// turn it. Escape or the close request sets e to 0; the player's own keys are served.
void typeOut(const Page& page, int mode, bool (*skips)());
