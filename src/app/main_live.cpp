// tessarc: the game as a player runs it, in the current directory.
#include "app/mainloop.h"

int main(int argc, char* argv[]) { return SDL_main(argc, argv); }
