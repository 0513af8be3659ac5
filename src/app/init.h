// Start-up and shutdown: the libraries, the window, the fonts, the system pictures and sounds,
// and the item names.
#pragma once

// Brings everything up; returns only when the game can run (or ends the process).
void init();

// The start-up of a run that shows nothing and plays nothing (a search of every path): the
// game's texts, the settings and the item names, and `screen` as a picture in memory that is
// never shown. No window, no sound device and no fonts are opened.
void initHeadless();

// Takes everything down again: the caches, the mixer, the fonts, SDL.
void quiting();

// Fills `iname` from the text of an item list: line i (blank lines and leading blanks not
// counted) names item i; at most 70 names of at most 63 bytes, cut at a character boundary.
void readItemNames(const char* text);
