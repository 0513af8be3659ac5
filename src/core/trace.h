// The trace: one JSON object per line for each thing an outside check may want to follow
// (scenes, pictures, music, sounds, errors...), each stamped with the platform clock. Nothing
// is written until a trace file is opened, which only the replay driver does.
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
void traceClose();

void traceScene(const char* name, int index);      // a scene starts
void traceBg(const char* path);                    // a picture was loaded as "bg"
void traceMusic(const char* path);                 // a track was started, or "off"
void traceSound(const char* path, int count);      // a sound effect was started, or "off"
void traceError(const char* message);              // the game ends on a fatal error
void traceChoice(const char* const* options, int count);  // a choice list opens
void tracePick(const int* chosen, int count);              // a choice is done: the picks
void traceMenu(bool search, bool move);                   // the field menu opens
void traceSave(const char* file);                         // a save file was written
void tracePage(const TraceSegment* segments, int count, const TraceEmphasis* emphasis,
               int emphasisCount);                 // a message page is drawn
void traceBacklog(int page, int of);               // backlog page `page` of `of` is shown
