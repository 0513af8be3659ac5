// The game: start-up, then new game, title and scenes until the player quits.
#pragma once

// Runs the whole game and returns 0 when the player has quit. The arguments are not used.
int SDL_main(int argc, char* argv[]);

// The games of a program already started (init or initHeadless): each a new-game reset, the
// title (or the --scene start) and its scenes, until the player quits (e 0); then the scene
// texts are released.
void playGames();
