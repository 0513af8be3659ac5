#include "pagesaves.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/mainloop.h"
#include "core/onscreen.h"
#include "core/replay.h"
#include "core/state.h"
#include "interpreter/openscript.h"
#include "interpreter/script.h"
#include "presentation/backlog.h"
#include "savegame/moments.h"
#include "savegame/pagefile.h"
#include "screens/pagelist.h"

namespace fs = std::filesystem;

namespace {

const int kBlocks = 200, kPagesPerBlock = 10;   // 2000 pages, a pick before every ten
const int kRounds = 5;

void write(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A scene of 200 choices, each followed by ten pages, as a loop of 200 passes (the text of
// 2000 pages would not fit a scene file); and the input that plays it from the title, taking
// the first option each time, to a quick save on page 2000.
void longScene(std::string* input)
{
    std::string scene = "para1 = 0\nwhile (para1 < " + std::to_string(kBlocks) + ") {\n"
                        "pick {\n浜辺を歩く none\n小屋に入る none\n}\n";
    for (int page = 1; page <= kPagesPerBlock; ++page)
        scene += "[" + std::to_string(page) + "枚目。寄せては返す波の音だけが、やけに大きく聞こえる。]\n";
    scene += "para1 +1\n}\n[最後の頁]\n*move*\n{\n}\n";
    write("script/start.txt", scene);
    *input = "click 410 372\n";
    for (int block = 0; block < kBlocks; ++block) {
        *input += "click 400 200\n";
        for (int page = 1; page <= kPagesPerBlock; ++page)
            *input += block * kPagesPerBlock + page == kBlocks * kPagesPerBlock ? "press f6\n" : "press return\n";
    }
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// What the main loop does once a load or a step back is asked for: the scene's start put in
// place, its text read, the scene run quietly to the moment, which shows and waits (the input
// is used up there, so the wait quits at once).
void runToTheMoment()
{
    static OpenScript* text = nullptr;
    momentsJump();
    delete text;
    text = new OpenScript();
    int index = sceneIndex();
    momentsSceneBegins(index, scripttext[index]);
    event.type = SDL_NOEVENT;
    script(scripttext[index]);
}

bool shows(const char* words) { return std::strstr(onScreen().page, words) != nullptr; }

double statusMiB(const char* field)
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field, 0) == 0) return std::strtod(line.c_str() + std::strlen(field), nullptr) / 1024;
    return 0;
}

// Runs fn in a game folder of its own under the system's temporary folder, then removes it;
// false when there is none.
template <typename F>
bool inOwnFolder(F fn)
{
    fs::path home = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "tessarc-bench-pages-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return false;
    fs::current_path(pattern);
    write("script/itemlist.txt", "薬草\n");
    fn();
    fs::current_path(home);
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
    return true;
}

}  // namespace

// Ten scenes and more of twenty pages each, played to the last page; then thirty page saves
// made there and the load list opened on them. The peak resident memory against what the
// process held before, after a short first play that warmed what the pages draw with.
double pageSaveMemory()
{
    double added = 0;
    inOwnFolder([&] {
        std::string input = "click 410 372\n";
        const int kScenes = 12;
        write("script/start.txt", "moveto A001\n");
        for (int n = 1; n <= kScenes; ++n) {
            std::string scene;
            for (int page = 1; page <= 20; ++page) {
                scene += "[第" + std::to_string(n) + "場面の" + std::to_string(page) + "頁。潮の匂いで目が覚めた。]\n";
                input += "press return\n";
            }
            char name[8], next[8];
            std::snprintf(name, sizeof name, "A%03d", n);
            std::snprintf(next, sizeof next, "A%03d", n + 1);
            write(std::string("script/") + name + ".txt", scene + "moveto " + next + "\n");
        }
        char last[8];
        std::snprintf(last, sizeof last, "A%03d", kScenes + 1);
        write(std::string("script/") + last + ".txt", "[終わり]\n*move*\n{\n}\n");
        replayLoad("click 410 372\npress return\npress return\n", "", nullptr);
        playGames();
        momentsNewGame();
        // The peak taken afresh from here on.
        std::ofstream("/proc/self/clear_refs") << "5";
        double before = statusMiB("VmRSS:");
        replayLoad(input + "press return\n", "", nullptr);
        playGames();
        for (int place = 1; place <= kPagePlaces; ++place) momentSave(placePath(place), screen);
        replayLoad("wait 200\n", "", nullptr);
        e = 1;
        pageList(PageListMode::Load);
        added = statusMiB("VmHWM:") - before;
    });
    return added;
}

PageSaveFigures measurePageSaves(const char* program)
{
    PageSaveFigures figures;
    bool made = inOwnFolder([&] {
        std::string input;
        longScene(&input);
        replayLoad(input, "", nullptr);
        playGames();
        if (!fs::exists("save/quick")) figures.error = "the quick save on page 2000 was not made";

        figures.loadMs = figures.stepBackMs = 1e9;
        for (int round = 0; round < kRounds && figures.error.empty(); ++round) {
            replayLoad("", "", nullptr);
            auto started = std::chrono::steady_clock::now();
            if (!momentLoad(quickPath())) figures.error = "the quick save did not load";
            runToTheMoment();
            figures.loadMs = std::min(figures.loadMs, msSince(started));
            // The page shown joined the backlog as the wait quit.
            if (!shows("10枚目") || backlogSerial() != 2000) figures.error = "the load did not show page 2000";

            started = std::chrono::steady_clock::now();
            if (!momentStepBack()) figures.error = "no step back from page 2000";
            runToTheMoment();
            figures.stepBackMs = std::min(figures.stepBackMs, msSince(started));
            if (!shows("9枚目") || backlogSerial() != 1999) figures.error = "the step back did not show page 1999";
        }
    });
    if (!made) figures.error = "no temporary folder";
    if (!figures.error.empty()) return figures;
    std::string command = std::string("'") + program + "' " + kPageSaveMemory;
    std::FILE* child = popen(command.c_str(), "r");
    if (!child || std::fscanf(child, "%lf", &figures.memoryMiB) != 1) figures.error = "the memory was not measured";
    if (child) pclose(child);
    return figures;
}
