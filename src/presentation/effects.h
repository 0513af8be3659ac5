// Full-screen animations. Each frame takes at least 10 ms; Escape or the close request sets
// e to 0 and stops at once, a held Ctrl skips the rest after 20 ms.
#pragma once

// Seven frames of a pattern strip over the background: dir 0 "fade_in", else "fade_out".
void fade(int dir);

// Jolts the background around and brings it back to rest.
void shake();

// Closes a dark elliptical iris over the background in ten frames, then makes "bg" black.
void black_out();

// n 1 shakes, n 2 blacks out, anything else runs nothing; then window(0) in every case.
void effect(int n);

// Draws frame k (0-9) of the iris over the background onto screen, without flipping.
void drawIrisFrame(int k);
