// The window's size and fullscreen. The game always draws at 800x600 on `screen`; the SDL 1.2
// compatibility layer (over SDL2) shows that surface scaled to the window or the whole screen,
// keeping its 4:3 shape with bars where needed, and gives the pointer back in 800x600 terms,
// so nothing else knows the size on the display.
#pragma once

// Before SDL starts: the scaling filter, which the compatibility layer fixes for the run.
// Sharp (nearest) pixels for the whole-number window sizes; smooth when the game starts in
// fullscreen, where the screen seldom holds a whole multiple of 800x600. A filter the player
// chose through SDL12COMPAT_SCALE_METHOD wins.
void displayPrepare(bool fullscreen);

// The largest whole multiple of 800x600 that fits the screen's usable area (at least 1).
int displayLargestScale();

// Shows the window as 800x600 times scale (brought into 1..displayLargestScale()), or the
// whole screen when fullscreen is set. Answers the scale applied.
int displayApply(int scale, bool fullscreen);
