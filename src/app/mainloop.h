// The game: start-up, then new game, title and scenes until the player quits.
#pragma once

// Runs the whole game and returns 0 when the player has quit. The arguments are not used.
int SDL_main(int argc, char* argv[]);
