// tessarc-explore: plays a game along every decision a player can make and tells what every
// way leads to.
//
//   tessarc-explore [--dir GAME] [--scene NAME] [--set KEY=VALUE]... [--jobs N]
//                   [--max-states N] [--out DIR] [--json]
//
// The game runs headless on the replay back end, in a view of its folder with saves of its
// own, with nothing drawn, played or waited for. This first process prepares the search,
// starts the game, forks --jobs runners (search.h), and reports. Exit status: 1 when a fatal
// error, a dead end, a busy loop or a crash was found, 0 otherwise, 2 for a usage error.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "app/gameview.h"
#include "app/init.h"
#include "app/options.h"
#include "check/fault.h"
#include "core/errorplace.h"
#include "explore/liveness.h"
#include "explore/report.h"
#include "explore/search.h"
#include "explore/shared.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: tessarc-explore [--dir GAME] [--scene NAME] [--set KEY=VALUE]... [--jobs N]\n"
    "                       [--max-states N] [--out DIR] [--json]\n";
const int kDefaultMaxStates = 1000000;

// A usage error is told in one line; --help prints the usage.
int usage(const std::string& problem)
{
    std::fprintf(stderr, "tessarc-explore: %s\n", problem.c_str());
    return 2;
}

bool readCount(const char* text, long low, long high, int* value)
{
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(text, &end, 10);
    if (!*text || *end || errno == ERANGE || n < low || n > high) return false;
    *value = static_cast<int>(n);
    return true;
}

volatile std::sig_atomic_t interrupted;

void onInterrupt(int) { interrupted = 1; }

// A run was killed by a signal: a finding of the way it was on.
void runCrashed(int runner, int signal)
{
    const RunnerRecord& r = runnerAt(runner);
    std::string message = "the run was killed by signal " + std::to_string(signal);
    findingAdd(FindingKind::Crash, signal, "", 0, message.c_str(), r.state >= 0 ? stateAt(r.state).scene : "",
               r.state, r.state >= 0 ? stateAt(r.state).depth + 1 : 0, r.words);
    stateFlag(r.state, kEnds);
}

// ---- The processes of the search ---------------------------------------------------------

// The proportional memory (Pss) of this process and its runners, in KiB: the memory shared
// between them is counted once.
long familyMemoryKiB(const std::vector<pid_t>& runners)
{
    std::vector<pid_t> pids = runners;
    pids.push_back(getpid());
    long total = 0;
    for (pid_t pid : pids) {
        if (pid <= 0) continue;
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string line;
        while (std::getline(rollup, line))
            if (line.rfind("Pss:", 0) == 0) {
                total += std::atol(line.c_str() + 4);
                break;
            }
    }
    return total;
}

std::string shellWord(const std::string& word)
{
    if (word.find_first_of(" \t'\"\\$`*?[]#;&|<>()") == std::string::npos && !word.empty()) return word;
    std::string quoted = "'";
    for (char ch : word) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

bool inside(const fs::path& path, const fs::path& folder)
{
    auto p = path.begin(), f = folder.begin();
    for (; f != folder.end(); ++f, ++p)
        if (p == path.end() || *p != *f) return false;
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string gameDir = ".", outDir, replayOptions;
    int jobs = static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
    int maxStates = kDefaultMaxStates;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], problem;
        int before = i;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--json") {
            json = true;
        } else if ((arg == "--dir" || arg == "--out") && i + 1 < argc) {
            (arg == "--dir" ? gameDir : outDir) = argv[++i];
        } else if (arg == "--jobs" && i + 1 < argc) {
            if (!readCount(argv[++i], 1, 256, &jobs)) return usage("--jobs takes a number from 1 to 256");
        } else if (arg == "--max-states" && i + 1 < argc) {
            if (!readCount(argv[++i], 1, 50000000, &maxStates))
                return usage("--max-states takes a number from 1 to 50000000");
        } else if (takeAuthorOption(argc, argv, &i, &problem)) {
            if (!problem.empty()) return usage(problem);
            for (int j = before; j <= i; ++j) replayOptions += (replayOptions.empty() ? "" : " ") + shellWord(argv[j]);
        } else {
            bool needsValue = arg == "--dir" || arg == "--out" || arg == "--jobs" || arg == "--max-states";
            return usage(needsValue ? arg + " needs a value" : "unknown argument " + arg);
        }
    }
    std::error_code failed;
    fs::path gamePath = fs::weakly_canonical(fs::absolute(gameDir), failed);
    if (failed || !fs::is_directory(gamePath / "script", failed)) return usage(gameDir + " has no script/ folder");
    std::string problem;
    if (outDir.empty()) {
        std::string pattern = (fs::temp_directory_path(failed) / "tessarc-explore-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data())) return usage("cannot make a folder for the inputs under the temporary folder");
        outDir = name.data();
    }
    fs::path outPath = fs::weakly_canonical(fs::absolute(outDir), failed);
    if (inside(outPath, gamePath)) return usage("--out " + outDir + " lies in the game folder, which the search never writes into");
    fs::create_directories(outPath, failed);
    if (!fs::is_directory(outPath, failed)) return usage("cannot make the folder " + outDir);

    std::string view = gameViewMake(gamePath.string(), &problem);
    if (view.empty()) return usage(problem);
    if (chdir(view.c_str()) != 0) {
        gameViewRemove(view);
        return usage("cannot enter " + view);
    }
    if (!authorOptionsFit(&problem)) {
        gameViewRemove(view);
        return usage(problem);
    }
    if (!sharedMake(maxStates, jobs)) {
        gameViewRemove(view);
        return usage("cannot map the memory of the search");
    }
    findLiveEntries(gamePath.string(), &shared());
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    auto start = std::chrono::steady_clock::now();
    // The game is started once, here; every runner is forked from this process.
    try {
        initHeadless();
        workPush(kNoState, Answer{}, "");
    } catch (const ScriptFault& fault) {
        // The game stopped before its title: the way to the error takes no decision.
        ErrorPlace place = placeNow();
        findingAdd(FindingKind::Error, 0, place.file, place.line, fault.message.c_str(), "", kNoState, 0, "");
        workStop();
    }

    bool progress = !json && isatty(2);
    std::vector<pid_t> runners(static_cast<size_t>(jobs), 0);
    long peakKiB = familyMemoryKiB(runners);
    auto startRunner = [&](int i) {
        std::fflush(nullptr);
        pid_t child = fork();
        if (child == 0) searchRunner(i);
        runners[static_cast<size_t>(i)] = child > 0 ? child : 0;
        // Without it the others would wait for it for ever.
        if (child < 0) workStop();
    };
    for (int i = 0; i < jobs; ++i) startRunner(i);
    bool stopping = false;
    long polls = 0;
    for (;;) {
        int status;
        pid_t pid;
        while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
            auto slot = std::find(runners.begin(), runners.end(), pid);
            if (slot == runners.end()) continue;
            *slot = 0;
            int i = static_cast<int>(slot - runners.begin());
            if (WIFSIGNALED(status) && !interrupted) {
                runCrashed(i, WTERMSIG(status));
                startRunner(i);
            }
        }
        if (interrupted && !stopping) {
            stopping = true;
            workStop();
            for (pid_t runner : runners)
                if (runner > 0) kill(runner, SIGKILL);
        }
        if (std::all_of(runners.begin(), runners.end(), [](pid_t p) { return p == 0; })) break;
        usleep(20000);
        // Reading the memory walks every page table: a few times a second is enough.
        if (++polls % 10 == 0) peakKiB = std::max(peakKiB, familyMemoryKiB(runners));
        if (progress)
            std::fprintf(stderr, "\rtessarc-explore: %d states, %ld waiting, %.1f s   ", shared().states,
                         workWaiting(),
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (interrupted) unfollowedUnknown(jobs);
    if (progress) std::fprintf(stderr, "\r%60s\r", "");

    SearchTotals totals{gameDir, gamePath.string(), outPath.string(), outDir, replayOptions, titleComesFirst(),
                        interrupted != 0, json, jobs, seconds, peakKiB / 1024.0};
    int status = searchReport(totals);
    gameViewRemove(view);
    return status;
}
