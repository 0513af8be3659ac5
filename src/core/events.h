// What the menu screens do with the events they poll, and the author's reload key.
#pragma once

#include <SDL.h>

// The reload key, F5: Off, Armed while a scene runs for an author (--dev), Pressed once it
// has been pressed then.
enum class ReloadKey { Off, Armed, Pressed };
extern ReloadKey reloadKey;

// Whether ev is the reload key while it is armed. If so it becomes Pressed and e 0, so that
// every routine returns as on quit and the main loop can start the scene again.
bool takeReloadKey(const SDL_Event& ev);

// The player's own keys (volume, window, help), set at start-up by the top layer: every
// waiting screen hands it each event it takes. Null: none.
extern void (*playerKeys)(const SDL_Event& ev);

// The page-save keys (F6, F9, S, L, Backspace), set at start-up by the top layer: the screens
// that wait for the player hand them each event they take, as they do the player's own keys;
// they act only where a page save or a load can be made. True when the event was theirs.
// Null: none.
extern bool (*pageSaveKeys)(const SDL_Event& ev);

// While true, the page-save keys are not handed on: the screens of the game menu, opened in
// the middle of a page's wait, read Backspace as backing out, not as a step back.
extern bool pageSaveKeysPaused;

// Hands ev to pageSaveKeys, if set and not paused; true when it took the event.
bool takePageSaveKey(const SDL_Event& ev);

// Takes every pending event into `event`. The quit request (the window's close, or Escape
// released) and the armed reload key set e to 0 and answer true at once; a press of the left
// button is noted in *leftPressed when it is given. The player's own keys are handed to
// playerKeys and pageSaveKeys; every other event is dropped.
bool takeQuitEvents(bool* leftPressed = nullptr);
