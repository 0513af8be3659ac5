// tessarc in a browser page: the game on the web back end, in the page's file system.
//
// The page (web/index.html) has put the game's files at the root, mounted ./save on the
// browser's storage and made the device /dev/trace, whose lines it keeps for whoever watches
// the page (and from which it learns when a save has been written, to store it).
#include <emscripten.h>

#include "app/mainloop.h"
#include "core/trace.h"

int main(int argc, char* argv[])
{
    traceOpen("/dev/trace");
    int status = SDL_main(argc, argv);
    traceClose();
    // The browser's sound and timers would keep the program waiting after its end, the page
    // frozen on the last frame: the program ends here, and the page shows that it has.
    emscripten_force_exit(status);
    return status;
}
