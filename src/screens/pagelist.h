// The page-save list, and the page-save keys of the screens that wait for the player.
#pragma once

#include <SDL.h>

enum class PageListMode { Save, Load };

// Opens the page-save list over whatever the screen shows and lets the player choose a place:
// the mouse, or the arrow keys and Return (Page Up, Page Down and Tab turn the list's pages);
// the right button or Backspace back out. Each place shows a small picture of its moment, the
// date and time, the chapter and the page's first line; a damaged file is shown as damaged
// and cannot be loaded.
//   Save: thirty places on five pages; the moment the story waits at (a text page, a choice,
//   a move list, the field menu) is written into the place chosen, shown for half a second.
//   Where the story waits at no such moment, the list opens to load instead.
//   Load: the quick save and the automatic saves first, then the thirty places. The save
//   chosen is loaded as the main loop goes on: e becomes 0, so that every routine returns as
//   on quit, and the list stays on the screen until the moment shows.
// When the list closes otherwise, the screen is shown again as it was and the keys and buttons
// used in the list are let go of first. Answers true when a save was written or a load asked
// for; false when the player backed out or quit (e 0).
bool pageList(PageListMode mode);

// The page-save keys, handed each event that a screen waiting for the player takes: F6 the
// quick save, F9 the newest page save loaded, S the list to save, L the list to load,
// Backspace one step back. They act only where they can: at a moment, and F9 and L at the
// title too. True when the event was theirs.
bool pageKeys(const SDL_Event& ev);
