// Pictures decoded on a second thread while the game starts, so that the first frames need not
// wait for their files. The cache says how a picture is decoded; what needs the window (the
// conversion to the display's format) is left to the main thread.
#pragma once

#include <string>
#include <vector>

#include <SDL.h>

// A picture read from its file: the part of it that is kept, and where that part lies.
struct Decoded {
    SDL_Surface* surface;
    int x, y;
};

// Reads and decodes one file (on either thread); a null surface when the file cannot be read.
using Decoder = Decoded (*)(const char* path);

// Starts decoding the files with decode, in this order. Pictures decoded before and never taken
// are freed.
void readAheadStart(const std::vector<std::string>& paths, Decoder decode);

// Takes the picture of path decoded ahead, waiting for it if need be, and answers true. False
// when path was not read ahead or is taken already; the thread has then finished, since the
// libraries that decode are used by one thread at a time.
bool readAheadTake(const char* path, Decoded* picture);

// Waits for the thread and frees every picture decoded and never taken.
void readAheadStop();
