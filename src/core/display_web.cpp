// The window's size in a browser page: the page scales the canvas to its window at 4:3 and the
// browser has its own fullscreen, so the game's window sizes are one and the same.
#include "core/display.h"

void displayPrepare(bool) {}

int displayLargestScale() { return 1; }

int displayApply(int, bool) { return 1; }
