// tessarc: the game as a player runs it, in the current directory.
//
//   tessarc [--scene NAME] [--set KEY=VALUE]... [--dev]
//
// Without options the game starts at its title. Exit status 2 on a bad option. When the
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

}  // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        std::string problem, arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("usage: tessarc %s\n", kAuthorUsage);
            return 0;
        }
        if (!takeAuthorOption(argc, argv, &i, &problem)) return badOption("unknown option " + arg);
        if (!problem.empty()) return badOption(problem);
    }
    std::string problem;
    if (!authorOptionsFit(&problem)) return badOption(problem);
    const char* trace = std::getenv("TESSARC_TRACE");
    if (trace && *trace && !traceOpen(trace))
        std::fprintf(stderr, "tessarc: cannot write the trace %s\n", trace);
    int status = SDL_main(argc, argv);
    traceClose();
    return status;
}
