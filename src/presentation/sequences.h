// The chapter card, the ending and the game-over sequence.
#pragma once

// Shows the chapter card "./system/picture/chapter/<name>.png" for 2 s, restoring HP and
// Guts to their maxima; the card stays as the background.
void ChapterChange(const char* name);

// Plays ending n's theme (1, 2, 3; others keep the music) and the ten ending pictures, about
// 5 s each (half a second with Ctrl held); Return ends the show. Sets e to 5.
void Ending(int n);

// Tells the hero's collapse over two pages and shows "Game Over……", waiting for the player
// on each page.
void GameOver();
