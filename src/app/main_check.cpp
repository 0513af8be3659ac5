// tessarc-check: finds a game's script mistakes before players do, and draws its story map.
//
//   tessarc-check [--dir GAME_DIR] [--json] [--map FILE]
//
// Prints one diagnostic per line, "FILE:LINE:COL: error|warning: MESSAGE [CODE]" (with --json,
// one JSON object per line). Exit status: 0 when there is no error (warnings allowed), 1 when
// there is at least one, 2 on a usage error or a GAME_DIR without script/.
#include <cstdio>
#include <string>

#include "check/check.h"
#include "check/storymap.h"

namespace {

const char kUsage[] = "usage: tessarc-check [--dir GAME_DIR] [--json] [--map FILE]\n";

int usage(const std::string& problem)
{
    std::fprintf(stderr, "tessarc-check: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string dir = ".", map;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--json") {
            json = true;
        } else if ((arg == "--dir" || arg == "--map") && i + 1 < argc) {
            (arg == "--dir" ? dir : map) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            return usage(arg == "--dir" || arg == "--map" ? arg + " needs a value" : "unknown argument " + arg);
        }
    }
    std::vector<Diagnostic> diagnostics;
    Story story;
    if (!checkGame(dir, diagnostics, story)) return usage(dir + " has no script/ folder");
    bool anyError = false;
    for (const Diagnostic& d : diagnostics) {
        std::puts((json ? formatDiagnosticJson(d) : formatDiagnostic(d)).c_str());
        anyError = anyError || d.severity == Severity::Error;
    }
    std::string problem;
    if (!map.empty() && !writeStoryMap(story, map, problem)) {
        std::fprintf(stderr, "tessarc-check: %s\n", problem.c_str());
        return 2;
    }
    return anyError ? 1 : 0;
}
