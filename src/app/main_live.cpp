// tessarc: the game as a player runs it, in the current directory.
#include <cstdlib>

#include "app/mainloop.h"

namespace {

// The SDL 1.2 layer over SDL2 presents through OpenGL unless told otherwise, which on a machine
// without a GPU driver costs several times the memory and the processor time for a picture that
// changes little. The game draws every frame itself, so it presents through SDL2's software
// renderer straight to the window; fullscreen scaling works the same on that path. A player's
// own setting of either variable wins.
void presentInSoftware()
{
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
}

}  // namespace

int main(int argc, char* argv[])
{
    presentInSoftware();
    return SDL_main(argc, argv);
}
