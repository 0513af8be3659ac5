// Where in the author's files the game is, so that a fatal error can say where it happened:
// the scene file and line being run, or the file a routine is reading.
#pragma once

// A file name relative to the game folder ("script/A001.txt"), and a line (1 for the first),
// 0 when no line is known. An empty file name: the error concerns no file.
struct ErrorPlace {
    char file[96];
    int line;
};

// The next error concerns this file: a scene file about to be read or run (its lines are
// then placed with placeLine), an item list, a save file. Forgets the line.
void placeFile(const char* file);

// The line being run ends at end (the line feed behind it, or the NUL) in the text that
// starts at start; both null: no line. The text must stay alive until the next call.
void placeLine(const char* start, const char* end);

// No file is being read or run.
void placeNone();

// Where an error happening now happens.
ErrorPlace placeNow();
