// The settings screen of the game menu: the text speed, auto-advance and its pace, the music
// and sound volumes, what a held Ctrl skips, the click-wait marker, the window's size and
// fullscreen. Rows are chosen with the pointer or Up and Down, values changed with the
// pointer (a click on a choice, a click or a drag on a slider) or Left and Right; a change
// takes effect at once and is kept in ./save/settings.
#pragma once

#include <SDL.h>

// Runs the screen over `under` (a dimmed copy of the screen, or null) until the player backs
// out (戻る, a right click or Backspace) or quits (e 0).
void settingsScreen(SDL_Surface* under);
