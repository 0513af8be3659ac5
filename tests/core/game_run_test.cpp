// Whole runs of the game through tessarc-replay: start-up, the first scene, the fatal error
// paths and the driver's own contract.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "core/fonts.h"
#include "support/gamedir.h"

namespace fs = std::filesystem;

namespace {

const char kItemListMissing[] = "itemlist.txtがありません";
const char kSceneMissing[] = "スクリプトファイルが見つかりません";

void expectFatal(const ReplayRun& run, const std::string& message)
{
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(reportsFatal(run.err, message)) << run.err;
    auto errors = run.only("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]["message"], message);
}

// Start-up with a machine's fonts as fontconfig sees them: only the given files.
ReplayRun runWithFonts(const GameDir& game, const std::string& name,
                       const std::vector<std::string>& files)
{
    const std::string folder = game.file(name);
    fs::create_directories(folder);
    for (const std::string& file : files)
        fs::create_symlink(file, folder + "/" + fs::path(file).filename().string());
    game.write(name + ".conf", "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + folder +
                                   "</dir><cachedir>" + folder + "-cache</cachedir></fontconfig>\n");
    setenv("FONTCONFIG_FILE", game.file(name + ".conf").c_str(), 1);
    ReplayRun run = runFromStart(game, "");
    unsetenv("FONTCONFIG_FILE");
    return run;
}

}  // namespace

TEST(GameRun, StartsAtTheStartSceneAndQuitsWhenTheInputIsUsedUp)
{
    GameDir game;
    game.minimalGame("[hello]\n");
    game.picture("bg/black.jpg", 800, 600, 0x000000);
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    auto scenes = run.only("scene");
    ASSERT_EQ(scenes.size(), 1u);
    EXPECT_EQ(scenes[0]["name"], "start");
    EXPECT_EQ(scenes[0]["index"], 1000);
    // Start-up loads the black picture as the first background.
    auto backgrounds = run.only("bg");
    ASSERT_EQ(backgrounds.size(), 1u);
    EXPECT_EQ(backgrounds[0]["path"], "./bg/black.jpg");
    EXPECT_EQ(run.events.front()["ms"], 0);
}

TEST(GameRun, WithoutASoundDeviceTheGamePlaysSilentlyAndSaysSo)
{
    GameDir game;
    game.minimalGame("[hello]\n");
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ReplayRun run = runFromStart(game, "");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("page").size(), 1u);
    EXPECT_NE(run.err.find("no sound device: playing without sound"), std::string::npos) << run.err;
}

TEST(GameRun, AMissingItemListIsFatal)
{
    GameDir game;
    game.write("script/start.txt", "");
    expectFatal(runFromStart(game, ""), kItemListMissing);
}

TEST(GameRun, StartUpTakesOnlyAFaceWithJapaneseGlyphs)
{
    const std::string latin = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const std::string gothic = fontPath("MSGOTHIC.TTC");
    if (!fs::exists(latin) || gothic.empty()) GTEST_SKIP() << "needs DejaVu Sans and a Japanese face";
    GameDir game;
    game.minimalGame("[hello]\n");
    expectFatal(runWithFonts(game, "latin", {latin}), "フォントの取得に失敗しました");
    ReplayRun run = runWithFonts(game, "both", {latin, gothic});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(GameRun, AMissingSceneFileIsFatal)
{
    GameDir game;
    game.write("script/itemlist.txt", "剣\n");
    expectFatal(runFromStart(game, ""), kSceneMissing);
}

TEST(GameRun, ASceneFileMustFitItsBuffer)
{
    // A scene of the given size: its move section, then a comment that fills it up.
    auto scene = [](size_t size, const std::string& lineEnd) {
        std::string text = "*move* {" + lineEnd + "}" + lineEnd + "//";
        return text + std::string(size - text.size(), 'x');
    };
    GameDir game;
    game.minimalGame(scene(131071, "\n"));
    EXPECT_EQ(runFromStart(game, "").status, 0);

    // CR LF pairs count as one byte each, as they arrive.
    game.write("script/start.txt", scene(131073, "\r\n"));
    EXPECT_EQ(runFromStart(game, "").status, 0);

    game.write("script/start.txt", scene(131072, "\n"));
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("スクリプトファイルが大きすぎます"), std::string::npos) << run.err;
}

// Files that are not text at all: an item list of every byte value or of a megabyte is read as
// far as it goes and the game plays on; a scene is read up to its first NUL byte.
TEST(GameRun, BinaryAndHugeFilesAreReadAsTextAsFarAsTheyGo)
{
    std::string everyByte;
    for (int i = 0; i < 4096; ++i) everyByte += static_cast<char>((i * 167 + 13) & 255);
    const std::string move = "*move*\n{\n}\n";
    GameDir game;
    for (const std::string& list : {everyByte, std::string(1 << 20, '\xff'), std::string()}) {
        game.write("script/itemlist.txt", list);
        game.write("script/start.txt", move);
        ReplayRun run = runFromStart(game, "");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.only("scene").size(), 1u);
    }

    game.write("script/itemlist.txt", "薬草\n");
    game.write("script/start.txt", move + std::string(1, '\0') + everyByte);
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    // Bytes before any NUL: whatever they say is run, and a fault meets the error screen.
    game.write("script/start.txt", everyByte.substr(1, 4000));
    run = runFromStart(game, "");
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
    if (run.status == 1) {
        EXPECT_EQ(run.only("error").size(), 1u);
    }
    game.write("script/start.txt", std::string(1, '\0') + everyByte);
    expectFatal(runFromStart(game, ""), "スクリプト中に*move*が見つかりません");
}

// Pictures and sounds that are corrupt, of odd sizes or odd formats are drawn as far as they
// can be or left out, through every effect; the story plays on.
TEST(GameRun, BrokenAndOddPicturesAndSoundsAreLeftOutOrDrawn)
{
    GameDir game;
    game.write("bg/broken.jpg", "\xff\xd8\xff\xe0 not a picture");
    game.write("bgm/broken.ogg", "OggS and nothing more");
    game.write("se/broken.wav", "RIFF....WAVEfmt ");
    game.picture("bg/dot.jpg", 1, 1, 0x808080);
    game.picture("bg/wide.jpg", 3000, 3, 0x204060);
    SDL_Surface* grey = SDL_CreateRGBSurface(SDL_SWSURFACE, 30, 900, 16, 0xf800, 0x7e0, 0x1f, 0);
    SDL_FillRect(grey, nullptr, 0x1234);
    game.picture("bg/sixteen.jpg", grey);
    SDL_FreeSurface(grey);
    SDL_Surface* tall = tallOverlay(0x00ff00);
    game.picture("bg/tall.jpg", tall);
    game.picture("system/picture/title_fore.png", tall);
    SDL_FreeSurface(tall);
    game.minimalGame("bg broken\nbgm broken\nse broken 2\neffect 1\nbg dot\neffect 2\n"
                     "bg wide\neffect 1\nbg sixteen\neffect 2\nbg tall\neffect 1\n"
                     "[まだ続く]\n*move*\n{\n}\n");
    ReplayRun run = runFromStart(game, "wait 5000\nclick 400 300\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("page").size(), 1u);
    // Only the pictures that load are traced: not the broken one, nor the missing black.jpg.
    EXPECT_EQ(run.only("bg").size(), 4u);
}

// A 24-bit BMP of w x h pixels of one colour, written byte by byte: SDL 1.2 cannot make a
// surface of every size that a file may hold.
std::string bmpOf(int w, int h, Uint32 rgb)
{
    const int row = (w * 3 + 3) / 4 * 4;
    std::string pixels;
    for (int y = 0; y < h; ++y) {
        std::string line;
        for (int x = 0; x < w; ++x) line += {char(rgb), char(rgb >> 8), char(rgb >> 16)};
        line.resize(size_t(row), '\0');
        pixels += line;
    }
    auto le = [](Uint32 v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += char(v >> (8 * i));
        return out;
    };
    return "BM" + le(54 + Uint32(pixels.size()), 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(w, 4) +
           le(h, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(Uint32(pixels.size()), 4) +
           le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4) + pixels;
}

TEST(GameRun, PicturesLargerThanASurfaceHoldsAreNamedAndLeftOut)
{
    GameDir game;
    // Rows of 120,000 bytes and 65,536 rows are more than SDL 1.2 holds; 40,000 rows are not.
    game.write("bg/wide.jpg", bmpOf(40000, 2, 0xff0000));
    game.write("bg/long.jpg", bmpOf(1, 65536, 0x00ff00));
    game.write("bg/tall.jpg", bmpOf(1, 40000, 0x0000ff));
    game.minimalGame("bg wide\nbg long\nbg tall\n[見える]\n");
    ReplayRun run = runFromStart(game, "shot " + game.file("shot.bmp") + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto pictures = run.only("bg");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]["path"], "./bg/tall.jpg");
    EXPECT_NE(run.err.find("picture not drawn, it cannot be read: ./bg/wide.jpg"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("./bg/long.jpg"), std::string::npos) << run.err;
    SDL_Surface* shot = SDL_LoadBMP(game.file("shot.bmp").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(pixelAt(shot, 0, 0), 0x0000ffu);
    SDL_FreeSurface(shot);
}

TEST(GameRun, TheErrorScreenShowsTheMessageOverThePictureAndWaits)
{
    GameDir game;
    game.write("script/itemlist.txt", "剣\n");
    game.picture("bg/black.jpg", 800, 600, 0x204080);
    ReplayRun run = runFromStart(game, "shot " + game.file("shot.bmp") + "\n");
    EXPECT_EQ(run.status, 1);
    SDL_Surface* shot = SDL_LoadBMP(game.file("shot.bmp").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 800);
    EXPECT_EQ(shot->h, 600);
    // White heading and message in their bands; the rest untouched (the screen is not
    // cleared, but nothing was drawn on it before the error either).
    int heading = 0, message = 0, elsewhere = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            if (pixelAt(shot, x, y) != 0xffffff) continue;
            if (y >= 200 && y < 245 && x >= 100) ++heading;
            else if (y >= 300 && y < 335 && x >= 100) ++message;
            else ++elsewhere;
        }
    EXPECT_GT(heading, 100);
    EXPECT_GT(message, 100);
    EXPECT_EQ(elsewhere, 0);
    SDL_FreeSurface(shot);
}

TEST(GameRun, TheErrorScreenWaitsForAHeldKey)
{
    GameDir game;
    game.write("script/itemlist.txt", "剣\n");
    // The shots tell how far the screen got: a shot is taken only while it waits. A key
    // pressed and released during its first second does not end it.
    ReplayRun run = runFromStart(game, "wait 100\nkeydown return\nwait 100\nkeyup return\nshot " +
                                           game.file("waiting.bmp") +
                                           "\nwait 2000\nkeydown space\nwait 50\nshot " +
                                           game.file("after.bmp") + "\nwait 100000\n");
    expectFatal(run, kSceneMissing);
    EXPECT_TRUE(game.exists("waiting.bmp"));
    EXPECT_FALSE(game.exists("after.bmp"));
    EXPECT_EQ(run.events.back()["ev"], "error");
}

TEST(GameRun, OnePressOrOneWheelStepTurnsOnePage)
{
    GameDir game;
    game.minimalGame("[one]\n[two]\n[three]\n[four]\n");
    auto pages = [&](const std::string& input) { return runFromStart(game, input).only("page").size(); };
    EXPECT_EQ(pages("press return\n"), 2u);
    EXPECT_EQ(pages("wheel down\npress space\n"), 3u);
    // A click held for 1 ms is a click.
    EXPECT_EQ(pages("down left\nwait 1\nup left\n"), 2u);
}

TEST(GameRun, APressMadeWhileNothingWaitsTurnsNoPage)
{
    GameDir game;
    game.picture("bg/dawn.jpg", 800, 600, 0x203040);
    game.minimalGame("bg dawn\neffect 1\n[one]\n[two]\n[three]\n");
    // The second click lands during the effect, pressed and released before the page waits.
    ReplayRun run = runFromStart(game, "wait 10\ndown left\nwait 10\nup left\n");
    EXPECT_EQ(run.only("page").size(), 1u);
    // Pressed during the effect and still held when the page waits: the page turns.
    run = runFromStart(game, "wait 10\ndown left\nwait 5000\nup left\n");
    EXPECT_GE(run.only("page").size(), 2u);
    // Quick presses on a waiting page still turn one page each, however short.
    run = runFromStart(game, "wait 2000\ndown left\nwait 1\nup left\nwait 100\n"
                             "keydown return\nwait 1\nkeyup return\n");
    EXPECT_EQ(run.only("page").size(), 3u);
}

TEST(GameRun, TheDriverRefusesBadUsage)
{
    GameDir game;
    game.minimalGame();
    game.write("bad.txt", "click here\n");
    std::string replay = TESSARC_REPLAY;
    auto status = [&](const std::string& args) {
        std::string command = "'" + replay + "' " + args + " >/dev/null 2>&1";
        int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status(""), 2);
    EXPECT_EQ(status("--dir '" + game.path() + "' '" + game.file("none.txt") + "'"), 2);
    EXPECT_EQ(status("--dir '" + game.path() + "' '" + game.file("bad.txt") + "'"), 2);
    EXPECT_EQ(status("--bogus x"), 2);
    EXPECT_EQ(status("--dir '" + game.file("nowhere") + "' -"), 2);
    EXPECT_EQ(status("--dir '" + game.path() + "' - </dev/null"), 0);
    // A folder, or a closed standard input, is no INPUT.
    EXPECT_EQ(status("--dir '" + game.path() + "' '" + game.path() + "'"), 2);
    EXPECT_EQ(status("--dir '" + game.path() + "' - <&-"), 2);
}

// Runs a shell command in the game folder; its exit status, and its standard error in *err.
int runIn(const GameDir& game, const std::string& command, std::string* err = nullptr)
{
    int raw = std::system(("cd '" + game.path() + "' && " + command + " 2>stderr.txt").c_str());
    if (err) *err = game.read("stderr.txt");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

TEST(GameRun, ALongWaitCostsNothingAndTheTraceClockDoesNotWrap)
{
    GameDir game;
    game.minimalGame("[hello]\n[two]\npick {\n甲 flag+ 1\n}\n[three]\n");
    // Two maximal waits at the title, then at a choice: the clock jumps over them (stepped
    // frame by frame they would outlast the run's one minute).
    ReplayRun run = runReplay(game, "wait 2147483647\nwait 2147483647\n" + std::string(kClickStart) +
                                        "press return\npress return\nwait 2147483647\nclick 400 225\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto pages = run.only("page");
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_GT(pages[0]["ms"].get<long long>(), 4294967294LL);
    EXPECT_GT(pages[2]["ms"].get<long long>(), 6442450941LL);
    ASSERT_EQ(run.only("pick").size(), 1u);
}

TEST(GameRun, FifosWhereTheSettingsAndTheGameTextsGoNeitherBlockNorStop)
{
    GameDir game;
    game.minimalGame("[hello]\n");
    fs::create_directories(game.file("save"));
    fs::create_directories(game.file("system"));
    ASSERT_EQ(mkfifo(game.file("save/settings").c_str(), 0666), 0);
    ASSERT_EQ(mkfifo(game.file("system/game.txt").c_str(), 0666), 0);
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("page").size(), 1u);
}

TEST(GameRun, TheDriverBoundsItsInputAndTellsATraceItCannotWrite)
{
    GameDir game;
    game.minimalGame("[hello]\n");
    const std::string replay = std::string("'") + TESSARC_REPLAY + "' ";
    std::string err;
    // An endless INPUT, and a line of a megabyte.
    EXPECT_EQ(runIn(game, "timeout -s KILL 30 " + replay + "/dev/zero", &err), 2);
    EXPECT_NE(err.find("larger than 16 MiB"), std::string::npos) << err;
    game.write("long.txt", "wait 1\n" + std::string(1 << 20, 'x') + "\n");
    EXPECT_EQ(runIn(game, replay + "long.txt", &err), 2);
    EXPECT_NE(err.find("line 2"), std::string::npos) << err;

    game.write("in.txt", kClickStart);
    EXPECT_EQ(runIn(game, replay + "--trace /dev/full in.txt", &err), 2);
    EXPECT_NE(err.find("trace /dev/full: cannot be written"), std::string::npos) << err;
    EXPECT_EQ(runIn(game, replay + "--trace nowhere/trace.jsonl in.txt", &err), 2);
    EXPECT_NE(err.find("cannot write trace"), std::string::npos) << err;
    EXPECT_EQ(runIn(game, replay + "--trace trace.jsonl in.txt", &err), 0) << err;
}

TEST(GameRun, AFileSizeLimitFailsTheSaveAsAFullDiskDoes)
{
    GameDir game;
    game.minimalGame("[hello]\n");
    game.write("in.txt", kClickStart);
    const std::string replay = std::string("'") + TESSARC_REPLAY + "' ";
    ASSERT_EQ(runIn(game, replay + "in.txt"), 0);
    const std::string before = game.read("save/0");
    ASSERT_EQ(before.size(), 4474u);
    std::string err;
    // 2 blocks of 512 bytes: the resume record does not fit.
    EXPECT_EQ(runIn(game, "ulimit -f 2 && " + replay + "in.txt", &err), 0) << err;
    EXPECT_NE(err.find("./save/0を書き込めませんでした"), std::string::npos) << err;
    EXPECT_EQ(game.read("save/0"), before);
}

TEST(GameRun, ThePlayersProgramIgnoresPlainArguments)
{
    GameDir game;
    game.minimalGame("[hello]\n");
    const std::string live = std::string("env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '") +
                             TESSARC_LIVE + "' ";
    std::string err;
    // Still at the title when the time is up: the argument did not end it.
    EXPECT_EQ(runIn(game, "timeout 3 " + live + "somefile.txt", &err), 124);
    EXPECT_NE(err.find("tessarc: ignoring the argument somefile.txt"), std::string::npos) << err;
    EXPECT_EQ(runIn(game, live + "--bogus", &err), 2);
}

TEST(GameRun, AGameThatNeverWaitsStillEndsOnTheQuitRequest)
{
    GameDir game;
    // A loop with nothing in it, and a scene that moves to itself (OP is the start scene's
    // index, whose text is loaded once per game).
    for (const char* scene : {"while (1) {\n}\n", "moveto OP\n"}) {
        SCOPED_TRACE(scene);
        game.minimalGame(scene);
        ReplayRun run = runFromStart(game, "press return\nwait 100000\n");
        EXPECT_EQ(run.status, 0) << run.err;
        ASSERT_FALSE(run.events.empty());
        EXPECT_GE(run.events.back()["ms"].get<int>(), 1000);
    }
}

TEST(GameRun, PagesTurnedByAHeldCtrlForEverStillEnd)
{
    GameDir game;
    game.minimalGame("while (1) {\n[a]\n}\n");
    ReplayRun run = runFromStart(game, "keydown lctrl\n");
    EXPECT_EQ(run.status, 0) << run.err;
}

