// The texts that belong to the game: the window caption, the game-over narration and the
// chapter names of the save cards. They hold the built-in texts until the game's own
// system/game.txt replaces them at start-up.
#pragma once

constexpr int kGameTextSize = 64;     // the caption and each chapter name, with its NUL
constexpr int kNarrationSize = 1024;  // the game-over narration, with its NUL

extern char gameCaption[kGameTextSize];
extern char gameOverNarration[kNarrationSize];   // a message: "[" sentence <n> sentence <p> line……
extern char chapterTitles[6][kGameTextSize];     // chapters 1-5 (5: the game's title); 0 is empty
