// The browser's SDL_mixer is part of the program: there is no library to load.
#include "core/soundlibrary.h"

void soundLibraryLoadAhead() {}
