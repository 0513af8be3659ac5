// The chapter card, the ending and the game-over sequence.
#pragma once

// Tells the hero's collapse and shows "Game Over……", waiting for the player on each page.
void GameOver();
