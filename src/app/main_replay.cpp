// tessarc-replay: the same game on the replay back end, played from an input script.
//
//   tessarc-replay [--dir GAME_DIR] [--trace FILE] [--scene NAME] [--set KEY=VALUE]... [--dev]
//                  INPUT
//
// Exit status: 0 when the game ended by itself or by the quit request, 1 when it ended on a
// fatal error (after "error: MESSAGE" on standard error), 2 on a usage error or an input
// script that cannot be read.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/mainloop.h"
#include "app/options.h"
#include "core/replay.h"
#include "core/trace.h"

namespace {

void printUsage(std::FILE* to)
{
    std::fprintf(to, "usage: tessarc-replay [--dir GAME_DIR] [--trace FILE] %s INPUT\n", kAuthorUsage);
}

int usage(const std::string& problem)
{
    if (!problem.empty()) std::fprintf(stderr, "tessarc-replay: %s\n", problem.c_str());
    printUsage(stderr);
    return 2;
}

int badOption(const std::string& problem) { return badAuthorOption("tessarc-replay", problem); }

std::string currentDir()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : ".";
}

std::string absolute(const std::string& path, const std::string& base)
{
    return path.empty() || path[0] == '/' ? path : base + "/" + path;
}

// An INPUT larger than this is refused rather than read for ever (an endless device).
const size_t kInputLimit = 16 << 20;

// Reads the whole of a regular file, a pipe or a terminal ("-": standard input). A folder, a
// closed standard input, a read error or more than kInputLimit bytes is an unreadable INPUT,
// told in *problem.
bool readAll(const std::string& path, std::string* text, std::string* problem)
{
    int fd = path == "-" ? 0 : open(path.c_str(), O_RDONLY);
    struct stat info;
    bool ok = fd >= 0 && fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    char buffer[65536];
    while (ok) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        text->append(buffer, static_cast<size_t>(got));
        if (text->size() > kInputLimit) {
            *problem = " (larger than 16 MiB)";
            ok = false;
        }
    }
    if (fd > 0) close(fd);
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string gameDir, tracePath, input;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], problem;
        if ((arg == "--dir" || arg == "--trace") && i + 1 < argc) {
            (arg == "--dir" ? gameDir : tracePath) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return 0;
        } else if (takeAuthorOption(argc, argv, &i, &problem)) {
            if (!problem.empty()) return badOption(problem);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return badOption("unknown option " + arg);
        } else if (input.empty()) {
            input = arg;
        } else {
            return usage("more than one INPUT");
        }
    }
    if (input.empty()) return usage("no INPUT");

    std::string startDir = currentDir();
    std::string text, why;
    if (!readAll(input == "-" ? input : absolute(input, startDir), &text, &why))
        return usage("cannot read INPUT " + input + why);
    std::string problem;
    if (!replayLoad(text, startDir, &problem)) return usage("INPUT " + problem);
    if (!tracePath.empty() && !traceOpen(absolute(tracePath, startDir).c_str()))
        return usage("cannot write trace " + tracePath);
    if (!gameDir.empty() && chdir(absolute(gameDir, startDir).c_str()) != 0)
        return usage("cannot enter GAME_DIR " + gameDir);
    if (!authorOptionsFit(&problem)) return badOption(problem);

    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The driver takes its input from the script alone: a signal ends it as it ends any
    // program, instead of becoming a close request it would never read.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    int status = SDL_main(argc, argv);
    // A run whose trace is incomplete has not done what it was asked.
    if (!traceClose() && status == 0) status = 2;
    return status;
}
