// SDL_mixer is bound when the game starts rather than when the program is loaded: with the
// libraries it brings (sixty, for formats the game mostly never plays) it was a good part of
// the launch. The program defines SDL_mixer's functions it calls, each passing the call on to
// the library; the first call waits until the library is loaded.
#pragma once

// Starts loading the library on a second thread (at the start of init).
void soundLibraryLoadAhead();
