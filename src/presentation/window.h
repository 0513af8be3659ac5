// The base layer of the game screen.
#pragma once

// Mode 0: the background "bg" at (0, 0), the status panel with HP and Guts and their maxima
// in the top-left corner, and the empty message frame "text" at (25, 380). Mode 1: "bg"
// alone at (70, 188). Never flips: whoever draws on top flips once.
int window(int mode);
