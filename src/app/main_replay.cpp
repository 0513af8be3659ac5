// tessarc-replay: the same game on the replay back end, played from an input script.
//
//   tessarc-replay [--dir GAME_DIR] [--trace FILE] [--scene NAME] [--set KEY=VALUE]... [--dev]
//                  INPUT
//   tessarc-replay [--dir GAME_DIR] [--scene NAME] [--set KEY=VALUE]... --test DIR
//
// Exit status: 0 when the game ended by itself or by the quit request, 1 when it ended on a
// fatal error (after "error: MESSAGE" on standard error), 2 on a usage error or an input
// script that cannot be read, 3 when a word action failed ("INPUT:LINE: expected ..., got
// ..."). --test plays every *.input of DIR, each from fresh saves, one line per file and a
// summary: 0 when every one passed, 3 when one failed.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/gameview.h"
#include "app/init.h"
#include "app/mainloop.h"
#include "app/options.h"
#include "core/decision.h"
#include "core/replay.h"
#include "core/trace.h"

namespace {

const int kFailedStatus = 3;

void printUsage(std::FILE* to)
{
    std::fprintf(to, "usage: tessarc-replay [--dir GAME_DIR] [--trace FILE] %s INPUT\n"
                     "       tessarc-replay [--dir GAME_DIR] %s --test DIR\n",
                 kAuthorUsage, kAuthorUsage);
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

// A word action failed: the line is told and the run ends as on a fatal error, with its own
// status.
void failed(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    traceClose();
    quiting();
    std::exit(kFailedStatus);
}

struct Run {
    std::string startDir, gameDir, tracePath;
};

// Plays the input script (its text read already) in the game folder; answers the exit status.
int play(const Run& run, const std::string& name, const std::string& text, int argc, char* argv[])
{
    std::string problem;
    if (!run.gameDir.empty() && chdir(absolute(run.gameDir, run.startDir).c_str()) != 0)
        return usage("cannot enter GAME_DIR " + run.gameDir);
    // The options read the game's names file, which expect's keys may use too.
    if (!authorOptionsFit(&problem)) return badOption(problem);
    if (!replayLoad(text, run.startDir, &problem)) return usage("INPUT " + problem);
    replayName(name);
    replayOnFailure(failed);
    decisionHooks({replayAnswer, nullptr});
    if (!run.tracePath.empty() && !traceOpen(absolute(run.tracePath, run.startDir).c_str()))
        return usage("cannot write trace " + run.tracePath);

    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The driver takes its input from the script alone: a signal ends it as it ends any
    // program, instead of becoming a close request it would never read.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    int status = SDL_main(argc, argv);
    // A run whose trace is incomplete has not done what it was asked.
    if (!traceClose() && status == 0) status = 2;
    if (replayStoppedBusy())
        std::fprintf(stderr, "tessarc-replay: the game kept running without waiting for the player; "
                             "it was asked to quit\n");
    std::string unfinished = replayUnfinished();
    if (!unfinished.empty()) {
        std::fprintf(stderr, "%s\n", unfinished.c_str());
        return kFailedStatus;
    }
    return status;
}

// ---- --test DIR --------------------------------------------------------------------------

// The *.input files of the folder, sorted; false when it cannot be read.
bool inputsOf(const std::string& dir, std::vector<std::string>* names)
{
    DIR* folder = opendir(dir.c_str());
    if (!folder) return false;
    while (dirent* entry = readdir(folder)) {
        std::string file = entry->d_name;
        if (file.size() > 6 && file.compare(file.size() - 6, 6, ".input") == 0) names->push_back(file);
    }
    closedir(folder);
    std::sort(names->begin(), names->end());
    return true;
}

// The pipe a test run tells its parent through whether its fatal error was expected.
int verdictPipe = -1;

void tellVerdict()
{
    char verdict = replayErrorExpected() ? 'E' : 'N';
    if (write(verdictPipe, &verdict, 1) < 0) {
        // The parent then sees no verdict and takes the error as unexpected.
    }
}

// The line of the captured standard error that says why the run failed: the failure line,
// or the fatal error's.
std::string reasonIn(const std::string& err, const std::string& name)
{
    size_t start = 0;
    std::string found;
    while (start < err.size()) {
        size_t end = err.find('\n', start);
        if (end == std::string::npos) end = err.size();
        std::string line = err.substr(start, end - start);
        if (line.rfind(name + ":", 0) == 0) return line;
        if (line.rfind("error: ", 0) == 0 && found.empty()) found = line;
        start = end + 1;
    }
    return found;
}

// Plays one test file in a child process, in a view of the game with fresh saves. Answers
// empty when it passed, else why not.
std::string runTest(const Run& run, const std::string& path, const std::string& shown, int argc,
                    char* argv[])
{
    std::string text, problem;
    if (!readAll(path, &text, &problem)) return "cannot read it" + problem;
    std::string view = gameViewMake(absolute(run.gameDir.empty() ? "." : run.gameDir, run.startDir), &problem);
    if (view.empty()) return problem;
    std::string errPath = view + "/.stderr";
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        gameViewRemove(view);
        return "cannot start it";
    }
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        verdictPipe = pipeEnds[1];
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0) dup2(err, 2);
        std::atexit(tellVerdict);
        Run inView = run;
        inView.gameDir = view;
        std::exit(play(inView, shown, text, argc, argv));
    }
    close(pipeEnds[1]);
    char verdict = 'N';
    if (child < 0 || read(pipeEnds[0], &verdict, 1) != 1) verdict = 'N';
    close(pipeEnds[0]);
    int raw = 0;
    if (child > 0) waitpid(child, &raw, 0);
    std::string err;
    readAll(errPath, &err, &problem);
    gameViewRemove(view);
    if (child < 0) return "cannot start it";
    if (!WIFEXITED(raw)) return "ended by signal " + std::to_string(WTERMSIG(raw));
    int status = WEXITSTATUS(raw);
    if (status == 0 || (status == 1 && verdict == 'E')) return "";
    std::string reason = reasonIn(err, shown);
    if (!reason.empty()) return reason;
    return "ended with status " + std::to_string(status);
}

int runTests(const Run& run, const std::string& dir, int argc, char* argv[])
{
    std::vector<std::string> names;
    std::string folder = absolute(dir, run.startDir);
    if (!inputsOf(folder, &names)) return usage("cannot read the test folder " + dir);
    if (names.empty()) return usage("no *.input files in " + dir);
    int passed = 0;
    for (const std::string& name : names) {
        std::string shown = dir + (dir.back() == '/' ? "" : "/") + name;
        std::string why = runTest(run, folder + "/" + name, shown, argc, argv);
        if (why.empty()) {
            ++passed;
            std::printf("ok   %s\n", shown.c_str());
        } else {
            std::printf("FAIL %s: %s\n", shown.c_str(), why.c_str());
        }
        std::fflush(stdout);
    }
    int failedCount = static_cast<int>(names.size()) - passed;
    std::printf("%d passed, %d failed\n", passed, failedCount);
    return failedCount == 0 ? 0 : kFailedStatus;
}

}  // namespace

int main(int argc, char* argv[])
{
    Run run;
    std::string input, testDir;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], problem;
        if ((arg == "--dir" || arg == "--trace" || arg == "--test") && i + 1 < argc) {
            (arg == "--dir" ? run.gameDir : arg == "--trace" ? run.tracePath : testDir) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return 0;
        } else if (takeAuthorOption(argc, argv, &i, &problem)) {
            if (!problem.empty()) return badOption(problem);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return badOption(arg == "--test" ? "--test needs a folder" : "unknown option " + arg);
        } else if (input.empty()) {
            input = arg;
        } else {
            return usage("more than one INPUT");
        }
    }
    run.startDir = currentDir();
    if (!testDir.empty()) {
        if (!input.empty()) return usage("--test takes no INPUT");
        if (!run.tracePath.empty()) return usage("--test writes no trace");
        return runTests(run, testDir, argc, argv);
    }
    if (input.empty()) return usage("no INPUT");

    std::string text, why;
    if (!readAll(input == "-" ? input : absolute(input, run.startDir), &text, &why))
        return usage("cannot read INPUT " + input + why);
    return play(run, input, text, argc, argv);
}
