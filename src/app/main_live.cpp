// tessarc: the game as a player runs it, in the current directory.
//
// When the environment variable TESSARC_TRACE names a file, the game writes to it the same
// JSON Lines trace as tessarc-replay, so that an author can record a live session.
#include <cstdio>
#include <cstdlib>

#include "app/mainloop.h"
#include "core/trace.h"

int main(int argc, char* argv[])
{
    const char* trace = std::getenv("TESSARC_TRACE");
    if (trace && *trace && !traceOpen(trace))
        std::fprintf(stderr, "tessarc: cannot write the trace %s\n", trace);
    int status = SDL_main(argc, argv);
    traceClose();
    return status;
}
