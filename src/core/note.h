// A short note in the window's top-right corner ("音楽 7/10"), shown for a moment over
// whatever the game shows, without touching `screen`: it is laid over each frame as the frame
// is shown and taken off again at once.
#pragma once

#include <SDL.h>

constexpr Uint32 kNoteMs = 1500;   // how long a note stays

// Shows the note from now for kNoteMs (replacing any note before it) and flips the display.
void noteShow(const char* text);

// True while a note is on the display; once its moment is over, shows the frame without it
// (a screen that waits calls this now and then).
bool noteTick();

// A small label (the note, and the marks of the message window): white 20 pt text on a black
// box whose top-right corner is at (right, y). labelArea answers the box without drawing.
SDL_Rect labelArea(const char* text, int right, int y);
void labelDraw(SDL_Surface* surface, const char* text, const SDL_Rect& area);

// The platform back ends call these around showing each frame: the note is drawn onto the
// surface, and the surface given back as it was.
void noteOver(SDL_Surface* surface);
void noteOff(SDL_Surface* surface);
