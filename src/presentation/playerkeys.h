// The player's own keys, taken wherever the game waits for the player: F1 the help, F3/F4 the
// music volume, F7/F8 the sound volume, F10 the window size, F11 and Alt+Return fullscreen.
// Each change shows a note for a moment and is kept in the settings file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <SDL.h>

// Acts on one event a waiting screen took, when it is one of the keys above (a key press).
// The help stays until the next key or click, which it takes for itself, and waits until the
// buttons are up again; a quit request there (Escape, the window's close) sets e to 0.
void playerKey(const SDL_Event& ev);

// The author's keys (F12 in dev mode), set by the top layer: playerKey hands them every key
// press it does not take itself. Null: none.
extern void (*authorKeys)(const SDL_Event& ev);

// Fills box in the panels' dark blue and writes lines over it in white (the item font), the
// first at (x, y), each the next step pixels lower.
void drawPanel(SDL_Rect box, const std::vector<std::string>& lines, int x, int y, int step);

// Shows what draw puts on the screen until the next key or click, which it takes for itself
// (a quit request, or Escape, sets e to 0), then puts the screen back as it was.
void showUntilKey(const std::function<void()>& draw);

// Puts the settings in force: the window or fullscreen, the music and sound volumes.
void settingsApply();

// Waits for the release of the key or button of a press event (or a quit request, which sets
// e to 0), so that a press one screen took is not also taken by the screen below it.
void awaitRelease(const SDL_Event& press);

// Either Alt key is held: Return then means fullscreen, not the next page.
bool altHeld();
