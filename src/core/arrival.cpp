// On the desktop the game's files are all there from the start.
#include "core/arrival.h"

void fileAwait(const char*) {}
