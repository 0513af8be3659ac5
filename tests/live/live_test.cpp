// The live game under a real X server: a private Xvfb, real X events from xdotool through SDL,
// and the game's own trace (TESSARC_TRACE) and save files to check what it did.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/gamedir.h"
#include "support/keyboardplay.h"
#include "support/shots.h"

namespace {

using namespace std::chrono_literals;

bool onPath(const char* program)
{
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Starts a program with the given environment additions; returns its pid.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& dir = "", int stdoutFd = -1)
{
    pid_t pid = fork();
    if (pid != 0) return pid;
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    for (const std::string& setting : env) putenv(const_cast<char*>(setting.c_str()));
    if (stdoutFd >= 0) dup2(stdoutFd, 1);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0 && stdoutFd < 0) dup2(null, 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// Waits for a child up to the timeout; its exit status, or -1 when it is still running.
int waitExit(pid_t pid, std::chrono::milliseconds timeout)
{
    auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (std::chrono::steady_clock::now() > until) return -1;
        std::this_thread::sleep_for(20ms);
    }
}

// A private X server for the whole suite.
class Live : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!onPath("Xvfb") || !onPath("xdotool")) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                      "-nolisten", "tcp"},
                     {});
        close(fds[1]);
        char number[16] = {};
        ssize_t got = read(fds[0], number, sizeof number - 1);
        close(fds[0]);
        if (got > 0) display = ":" + std::to_string(std::atoi(number));
        // A window manager, where there is one, so that fullscreen can be asked for.
        if (display.empty() || !onPath("openbox") || !onPath("xprop")) return;
        windowManager = spawn({"openbox"}, {"DISPLAY=" + display});
        // Windows made before it has taken the screen would be left unmanaged.
        std::string ready = "DISPLAY=" + display +
                            " xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'";
        for (int i = 0; i < 100 && std::system(ready.c_str()) != 0; ++i)
            std::this_thread::sleep_for(100ms);
    }

    static void TearDownTestSuite()
    {
        if (windowManager > 0) {
            kill(windowManager, SIGTERM);
            waitExit(windowManager, 5000ms);
        }
        if (xvfb > 0) {
            kill(xvfb, SIGTERM);
            waitExit(xvfb, 5000ms);
        }
    }

    void SetUp() override
    {
        if (display.empty())
            GTEST_SKIP() << "no Xvfb or xdotool here: the live game is not tested "
                            "(tools/install-deps.sh installs them)";
    }

    // Runs xdotool on the private display; true when it succeeded.
    static bool xdotool(const std::string& args)
    {
        std::string command = "DISPLAY=" + display + " xdotool " + args + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    // Starts the game in the folder (with the options given) and waits until its window is up
    // and the trace holds the first event of the kind (the title's music by default); the
    // window's id, or "" when they never came.
    std::string launch(const GameDir& game, const std::vector<std::string>& options = {},
                       const std::string& first = "music")
    {
        std::vector<std::string> argv = {TESSARC_LIVE};
        argv.insert(argv.end(), options.begin(), options.end());
        game_ = spawn(argv,
                      {"DISPLAY=" + display, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                       "TESSARC_TRACE=" + game.file("trace.jsonl")},
                      game.path());
        std::string out = game.file("window.txt");
        std::string command = "DISPLAY=" + display + " timeout 40 xdotool search --sync --pid " +
                              std::to_string(game_) + " > '" + out + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) return "";
        std::ifstream in(out);
        std::string window;
        std::getline(in, window);
        // The title starts its music when it first shows.
        return awaitEvents(game, first, 1, 40000ms) ? window : "";
    }

    // Clicks the title's start button, once the player has seen the title; true when the
    // click was sent.
    bool clickStart(const std::string& window)
    {
        std::this_thread::sleep_for(500ms);
        return xdotool("mousemove --window " + window + " 410 372 click 1");
    }

    // Waits until the trace holds at least `count` events of the kind; how many it holds.
    static size_t awaitEvents(const GameDir& game, const std::string& kind, size_t count,
                              std::chrono::milliseconds timeout = 5000ms)
    {
        return awaitLines(game, "\"ev\":\"" + kind + "\"", count, timeout);
    }

    // Waits until the trace holds at least `count` lines holding the text; how many it holds.
    static size_t awaitLines(const GameDir& game, const std::string& text, size_t count,
                             std::chrono::milliseconds timeout = 5000ms)
    {
        auto until = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            size_t found = 0;
            std::ifstream in(game.file("trace.jsonl"));
            for (std::string line; std::getline(in, line);)
                if (line.find(text) != std::string::npos) ++found;
            if (found >= count || std::chrono::steady_clock::now() > until) return found;
            std::this_thread::sleep_for(20ms);
        }
    }

    void TearDown() override
    {
        if (game_ > 0 && waitExit(game_, 0ms) < 0) {
            kill(game_, SIGKILL);
            waitExit(game_, 5000ms);
        }
    }

    static std::string display;
    static pid_t xvfb, windowManager;
    pid_t game_ = -1;
};

std::string Live::display;
pid_t Live::xvfb = -1;
pid_t Live::windowManager = -1;

TEST_F(Live, QuickClicksAndKeysTurnOnePageEachAndEscapeSavesAndQuits)
{
    GameDir game;
    std::string scene;
    for (int i = 1; i <= 20; ++i) scene += "[page " + std::to_string(i) + "]\n";
    game.minimalGame(scene);
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";

    ASSERT_TRUE(clickStart(window));
    ASSERT_EQ(awaitEvents(game, "page", 1), 1u) << "the click on the start button started no game";

    // xdotool's clicks are pressed and released within a few milliseconds.
    for (size_t i = 2; i <= 11; ++i) {
        ASSERT_TRUE(xdotool("click 1"));
        EXPECT_EQ(awaitEvents(game, "page", i), i) << "click " << i - 1 << " was lost";
    }
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_EQ(awaitEvents(game, "page", 12), 12u);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(awaitEvents(game, "page", 13, 0ms), 12u) << "one Return turned more than one page";

    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
    EXPECT_TRUE(game.exists("save/0"));
}

TEST_F(Live, AClickMadeDuringEffectsTurnsNoPage)
{
    GameDir game;
    // Three seconds of effects, then the pages.
    std::string scene;
    for (int i = 0; i < 30; ++i) scene += "effect 2\n";
    game.minimalGame(scene + "[one]\n[two]\n[three]\n");
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    ASSERT_TRUE(clickStart(window));
    ASSERT_GE(awaitEvents(game, "effect", 3), 3u) << "the effects never ran";
    ASSERT_TRUE(xdotool("click 1"));
    ASSERT_EQ(awaitEvents(game, "page", 1, 10000ms), 1u) << "the first page never showed";
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(awaitEvents(game, "page", 2, 0ms), 1u) << "a click made during the effects turned the page";
    ASSERT_TRUE(xdotool("click 1"));
    EXPECT_EQ(awaitEvents(game, "page", 2), 2u) << "a click on the waiting page was lost";
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
}

TEST_F(Live, InFullscreenAClickLandsOnTheSameButton)
{
    if (windowManager <= 0) GTEST_SKIP() << "no window manager (openbox) to make the window fullscreen";
    GameDir game;
    game.minimalGame("[hello]\n");
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    ASSERT_TRUE(xdotool("windowactivate --sync " + window));
    ASSERT_TRUE(xdotool("key F11"));
    // The 1024x768 screen is 4:3 too: the picture fills it, 1.28 times as large.
    auto until = std::chrono::steady_clock::now() + 10s;
    std::string geometry = game.file("geometry.txt");
    std::string ask = "DISPLAY=" + display + " xdotool getwindowgeometry " + window + " > '" + geometry + "'";
    while (std::chrono::steady_clock::now() < until) {
        ASSERT_EQ(std::system(ask.c_str()), 0);
        if (game.read("geometry.txt").find("1024x768") != std::string::npos) break;
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_NE(game.read("geometry.txt").find("1024x768"), std::string::npos) << game.read("geometry.txt");
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(xdotool("mousemove 525 476 click 1"));
    EXPECT_EQ(awaitEvents(game, "page", 1), 1u) << "the click on the start button started no game";
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
    EXPECT_NE(game.read("save/settings").find("fullscreen 1"), std::string::npos);
}

TEST_F(Live, InDevModeAMistakeFixedInItsFileAndF5OnTheErrorScreenPlayOn)
{
    GameDir game;
    const std::string broken = "[はじめ]\nif (nothing) {\n}\n[続き]\n*move*\n{\n戻る start\n}\n";
    game.minimalGame(broken);
    std::string window = launch(game, {"--scene", "start"}, "page");
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    ASSERT_TRUE(xdotool("mousemove --window " + window + " 400 300"));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(xdotool("key Return"));
    ASSERT_EQ(awaitEvents(game, "error", 1), 1u) << "the broken line stopped nothing";

    // The author mends the line while the error shows, and presses F5 once it takes keys.
    game.write("script/start.txt", "[はじめ]\nif (hp > 0) {\n}\n[続き]\n*move*\n{\n戻る start\n}\n");
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(xdotool("key F5"));
    EXPECT_EQ(awaitEvents(game, "scene", 2), 2u) << "F5 did not start the scene again";
    EXPECT_EQ(awaitEvents(game, "page", 2), 2u);
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_EQ(awaitEvents(game, "page", 3), 3u) << "the mended scene did not play on";
    EXPECT_EQ(awaitEvents(game, "error", 2, 0ms), 1u);
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
}

// F6, Backspace and F9 as real key presses: a quick save, a step back to the page before, and
// the save loaded at the title of the game started again.
TEST_F(Live, F6SavesThePageBackspaceStepsBackAndF9LoadsTheSaveAfterARestart)
{
    GameDir game;
    game.minimalGame("[first page]\n[second page]\n[third page]\n*move*\n{\n}\n");
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    ASSERT_TRUE(clickStart(window));
    ASSERT_EQ(awaitEvents(game, "page", 1), 1u) << "the click on the start button started no game";
    ASSERT_TRUE(xdotool("key Return"));
    ASSERT_EQ(awaitEvents(game, "page", 2), 2u);
    ASSERT_TRUE(xdotool("key F6"));
    ASSERT_EQ(awaitLines(game, "\"file\":\"./save/quick\"", 1), 1u) << "F6 wrote no quick save";
    EXPECT_TRUE(game.exists("save/quick"));
    ASSERT_TRUE(xdotool("key BackSpace"));
    ASSERT_EQ(awaitEvents(game, "rollback", 1), 1u) << "Backspace stepped back to no page";
    ASSERT_EQ(awaitEvents(game, "page", 3), 3u);
    EXPECT_EQ(awaitLines(game, "first page", 2, 0ms), 2u) << "the step back showed another page";
    EXPECT_EQ(awaitLines(game, "\"ev\":\"rollback\",\"page\":1}", 1, 0ms), 1u) << game.read("trace.jsonl");
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);

    // The quit's own automatic save put aside, F9 at the title takes the quick save.
    std::filesystem::remove(game.file("save/auto0"));
    std::filesystem::remove(game.file("trace.jsonl"));   // the title's music is that of this run
    window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed again";
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(xdotool("key --window " + window + " F9"));
    ASSERT_EQ(awaitLines(game, "\"ev\":\"load\",\"file\":\"./save/quick\"", 1), 1u) << "F9 loaded nothing";
    ASSERT_EQ(awaitEvents(game, "page", 1), 1u);
    std::string trace = game.read("trace.jsonl");
    EXPECT_NE(trace.find("second page"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("first page"), std::string::npos) << trace;
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
}

// The press actions of a replay input as xdotool keys, one at a time, each given a moment
// for the game to show what it did.
void pressKeys(const std::string& input, const std::function<bool(const std::string&)>& xdotool)
{
    static const std::map<std::string, std::string> names = {
        {"down", "Down"}, {"up", "Up"}, {"left", "Left"}, {"right", "Right"},
        {"return", "Return"}, {"space", "space"}, {"backspace", "BackSpace"}, {"m", "m"}};
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("press ", 0) != 0) continue;
        ASSERT_TRUE(xdotool("key " + names.at(line.substr(6)))) << line;
        std::this_thread::sleep_for(250ms);
    }
}

// The picture of a window dumped by xwd (32-bit pixels) as a 24-bit BMP.
bool xwdToBmp(const std::string& xwd, const std::string& bmp)
{
    std::ifstream in(xwd, std::ios::binary);
    std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto field = [&](size_t at) {
        return (Uint32(Uint8(d[at])) << 24) | (Uint32(Uint8(d[at + 1])) << 16) |
               (Uint32(Uint8(d[at + 2])) << 8) | Uint32(Uint8(d[at + 3]));
    };
    if (d.size() < 100) return false;
    Uint32 header = field(0), w = field(16), h = field(20), bpl = field(48), colours = field(76);
    size_t start = header + colours * 12;
    if (field(44) != 32 || d.size() < start + size_t(bpl) * h) return false;
    SDL_Surface* out = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    for (Uint32 y = 0; y < h; ++y)
        for (Uint32 x = 0; x < w; ++x) {
            const char* p = d.data() + start + size_t(y) * bpl + x * 4;
            Uint8* to = static_cast<Uint8*>(out->pixels) + y * out->pitch + x * 3;
            to[0] = Uint8(p[0]), to[1] = Uint8(p[1]), to[2] = Uint8(p[2]);
        }
    bool saved = SDL_SaveBMP(out, bmp.c_str()) == 0;
    SDL_FreeSurface(out);
    return saved;
}

}  // namespace

TEST_F(Live, ARightClickOpensTheGameMenuAndTheKeyboardWorksEveryScreenOfIt)
{
    GameDir game;
    game.minimalGame("[p1<p>p2]\n*move* {\n出口 A001\n}\n");
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    ASSERT_TRUE(clickStart(window));
    ASSERT_EQ(awaitEvents(game, "page", 1), 1u);
    ASSERT_TRUE(xdotool("mousemove --window " + window + " 700 60 click 3"));
    ASSERT_EQ(awaitEvents(game, "screen", 1), 1u) << "the right click opened no menu";
    // Down to 設定, Return; Down to オート, Right: on; Backspace back to the menu.
    pressKeys("press down\npress down\npress down\npress return\npress down\npress down\npress right\n"
              "press backspace\n",
              xdotool);
    EXPECT_EQ(awaitEvents(game, "screen", 3), 3u);
    EXPECT_NE(game.read("save/settings").find("auto 1\n"), std::string::npos);
    // From 設定, Down past the empty backlog to タイトルへ and ゲーム終了; Return, Left to
    // はい, Return: the game ends as when its window is closed.
    pressKeys("press down\npress down\npress return\npress left\npress return\n", xdotool);
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
    EXPECT_TRUE(game.exists("save/0"));
    EXPECT_EQ(awaitEvents(game, "page", 2, 0ms), 1u);
}

TEST_F(Live, AChoiceAndTheFieldMenuArePlayedWithTheKeyboardAlone)
{
    GameDir game;
    keyboardGame(game);
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    std::this_thread::sleep_for(500ms);
    pressKeys(kKeyboardPlay, xdotool);
    ASSERT_EQ(awaitEvents(game, "scene", 2), 2u) << game.read("trace.jsonl");
    EXPECT_NE(game.read("trace.jsonl").find("\"name\":\"A002\""), std::string::npos);
    EXPECT_EQ(awaitEvents(game, "pick", 2), 2u);
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
}

TEST_F(Live, AWindowOfItsOwnSizeShowsTheSamePixelsAsTheReplay)
{
    if (!onPath("xwd")) GTEST_SKIP() << "no xwd to read the window";
    GameDir game;
    game.picture("bg/black.jpg", 800, 600, 0x204060);
    game.minimalGame("[潮の匂いで目が覚めた。<c red>赤</c>]\n*move* {\n出口 A001\n}\n");
    game.write("system/game.txt", "marker = off\n");
    ReplayRun replayed = runFromStart(game, "shot " + game.file("replay.bmp") + "\n");
    ASSERT_EQ(replayed.status, 0) << replayed.err;
    std::string window = launch(game);
    ASSERT_FALSE(window.empty()) << "the game's window never showed";
    ASSERT_TRUE(clickStart(window));
    ASSERT_EQ(awaitEvents(game, "page", 1), 1u);
    // The pointer off the window, then the picture as the X server holds it.
    ASSERT_TRUE(xdotool("mousemove 1000 760"));
    std::this_thread::sleep_for(500ms);
    std::string dump = "DISPLAY=" + display + " xwd -silent -id " + window + " > '" + game.file("live.xwd") + "'";
    ASSERT_EQ(std::system(dump.c_str()), 0);
    ASSERT_TRUE(xwdToBmp(game.file("live.xwd"), game.file("live.bmp")));
    SDL_Rect differ = shotDifference(game.file("replay.bmp"), game.file("live.bmp"));
    EXPECT_EQ(differ.w, 0) << differ.x << "," << differ.y << " " << differ.w << "x" << differ.h;
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_EQ(waitExit(game_, 10000ms), 0);
}
