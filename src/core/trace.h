// The trace: one JSON object per line for each thing an outside check may want to follow
// (scenes, pictures, music, sounds, the story's state, errors...), each stamped with the
// platform clock. Nothing is written until a trace file is opened: by the replay driver's
// --trace, or by the live game when TESSARC_TRACE names a file.
#pragma once

#include <SDL.h>

struct TraceSegment {
    int row, x, y;
    const char* text;
    Uint8 r, g, b;
    const char* font;   // "std", "change" or "big"
};

struct TraceEmphasis {
    int row, x;
    const char* text;
};

// Opens (truncating) the trace file; false when it cannot be created.
bool traceOpen(const char* path);
// Closes it; false when a write to it failed (the first failure is also told on standard
// error as it happens, naming the file).
bool traceClose();

void traceScene(const char* name, int index);      // a scene starts
void traceBg(const char* path);                    // a picture was loaded as "bg"
void traceMusic(const char* path);                 // a track was started, or "off"
void traceSound(const char* path, int count);      // a sound effect was started, or "off"
// The game ends on a fatal error; file (empty: none) and line (0: none) say where.
void traceError(const char* message, const char* file, int line);
void traceChoice(const char* const* options, int count);  // a choice list opens
void tracePick(const int* chosen, int count);              // a choice is done: the picks
void traceMenu(bool search, bool move);                   // the field menu opens
void traceSave(const char* file);                         // a save file was written
void traceLoad(const char* file);                         // a save file was loaded
// A script command changed the story's state: what ("flag", "item", "para", "check",
// "timecheck" with an index; "hp", "guts", "hpmax", "gutsmax" with index -1, written without).
// An entry named in the names file carries its name too.
void traceSet(const char* what, int index, int value);
void traceEffect(int n);                                  // a screen effect runs
void traceChapter(const char* name);                      // a chapter card is shown
void traceEnding(int n);                                  // the ending show begins
void traceGameOver();                                     // the game-over sequence begins
void tracePage(const TraceSegment* segments, int count, const TraceEmphasis* emphasis,
               int emphasisCount);                 // a message page is drawn
void traceBacklog(int page, int of);               // backlog page `page` of `of` is shown
void traceOverlay(const char* const* lines, int count);  // the dev overlay of the state is shown
