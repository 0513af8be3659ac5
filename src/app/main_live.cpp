// tessarc: the game as a player runs it, in the current directory.
//
//   tessarc [--scene NAME] [--set KEY=VALUE]... [--dev]
//
// Without options the game starts at its title. Exit status 2 on a bad option; arguments that
// are not options are ignored with a line on standard error. When the
// environment variable TESSARC_TRACE names a file, the game writes to it the same JSON Lines
// trace as tessarc-replay, so that an author can record a live session.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/mainloop.h"
#include "app/options.h"
#include "core/trace.h"

namespace {

int badOption(const std::string& problem) { return badAuthorOption("tessarc", problem); }

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

// Xlib reads the locale's whole table of compose sequences when SDL opens its input method, a
// good part of SDL's start; the game reads keys, never composed text. A player's own table wins.
void composeNothing() { setenv("XCOMPOSEFILE", "/dev/null", 0); }

}  // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        std::string problem, arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("usage: tessarc %s\n", kAuthorUsage);
            return 0;
        }
        if (takeAuthorOption(argc, argv, &i, &problem)) {
            if (!problem.empty()) return badOption(problem);
            continue;
        }
        // A desktop may hand the program a file when a game folder is opened with it.
        if (arg.empty() || arg[0] != '-') {
            std::fprintf(stderr, "tessarc: ignoring the argument %s\n", arg.c_str());
            continue;
        }
        return badOption("unknown option " + arg);
    }
    std::string problem;
    if (!authorOptionsFit(&problem)) return badOption(problem);
    presentInSoftware();
    composeNothing();
    const char* trace = std::getenv("TESSARC_TRACE");
    if (trace && *trace && !traceOpen(trace))
        std::fprintf(stderr, "tessarc: cannot write the trace %s\n", trace);
    int status = SDL_main(argc, argv);
    traceClose();
    return status;
}
