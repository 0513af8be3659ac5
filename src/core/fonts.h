// Fonts from the system's font folders, found through fontconfig.
#pragma once

#include <SDL_ttf.h>

// The first font folder fontconfig knows, into path (capacity 260 bytes) for folder id 20
// (the fonts folder); returns 1, or 0 when there is none.
int GetSpecialFolderPath(void* window, int folder, char* path);

// Opens face 0 of the named font file at the point size, in normal style; null when there is
// no such font. A file of exactly that name in a known font folder is taken first; otherwise
// "MSGOTHIC.TTC" stands for a Japanese gothic face and "MSMincho.ttc" for a mincho face. Only
// a face with Japanese glyphs is taken.
TTF_Font* GetFont(const char* file, int size);

// The path GetFont would open for the file name, or an empty string.
const char* fontPath(const char* file);
