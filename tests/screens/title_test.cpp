// The title screen: the circling background and the buttons as drawn, the hit areas, the
// save files that make load and continue available, and the ways out.
#include "screens/title.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/platform.h"
#include "core/replay.h"
#include "core/state.h"
#include "presentation/cache.h"
#include "savegame/save.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace {

const char kLoad[] = "click 410 428\n";
const char kContinue[] = "click 410 480\n";

std::vector<std::string> music(const ReplayRun& run)
{
    std::vector<std::string> paths;
    for (const auto& event : run.only("music")) paths.push_back(event["path"]);
    return paths;
}

std::vector<std::string> scenes(const ReplayRun& run)
{
    std::vector<std::string> names;
    for (const auto& event : run.only("scene")) names.push_back(event["name"]);
    return names;
}

// A game whose start scene waits in its menu; A001 is where the start scene moves to.
void startGame(const GameDir& game)
{
    game.minimalGame("*move*\n{\n森 A001\n}\n");
    game.write("script/A001.txt", "*move*\n{\n戻る A001\n}\n");
}

class TitleDraw : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        std::string error;
        ASSERT_TRUE(replayLoad("", "", &error)) << error;
        // Each pixel of the background tells where in the picture it comes from: x * 1024 + y.
        SDL_Surface* back = solidSurface(1100, 800, 0);
        SDL_LockSurface(back);
        for (int y = 0; y < back->h; ++y)
            for (int x = 0; x < back->w; ++x) {
                Uint32 code = (Uint32(x) << 10) | Uint32(y);
                Uint32 v = SDL_MapRGB(back->format, code >> 16, (code >> 8) & 0xff, code & 0xff);
                std::memcpy(static_cast<Uint8*>(back->pixels) + y * back->pitch + x * 3, &v, 3);
            }
        SDL_UnlockSurface(back);
        add("title_back", back);
        SDL_FreeSurface(back);
        add("title_fore", 800, 20, 0x202020);
        // The buttons are overlays at (0, 0); each is narrower than the one drawn before it.
        add("title_start_on", 60, 10, 0x100001);
        add("title_start_off", 60, 10, 0x100002);
        add("title_load_on", 40, 10, 0x200001);
        add("title_load_off", 40, 10, 0x200002);
        add("title_load_gray", 40, 10, 0x200003);
        add("title_continue_on", 20, 10, 0x300001);
        add("title_continue_off", 20, 10, 0x300002);
        add("title_continue_gray", 20, 10, 0x300003);
    }

    void add(const std::string& name, SDL_Surface* picture)
    {
        dir.picture(name + ".png", picture);
        ImgLoad(dir.file(name + ".png").c_str(), name.c_str());
    }
    void add(const std::string& name, int w, int h, Uint32 rgb)
    {
        SDL_Surface* picture = solidSurface(w, h, rgb);
        add(name, picture);
        SDL_FreeSurface(picture);
    }

    // Where the background's top-left corner was drawn, read back from the screen at (400, 300).
    std::pair<int, int> backAt()
    {
        Uint32 code = pixelAt(screen, 400, 300);
        return {400 - static_cast<int>(code >> 10), 300 - static_cast<int>(code & 1023)};
    }

    // Start, load and continue as drawn.
    std::vector<Uint32> buttons()
    {
        return {pixelAt(screen, 45, 5), pixelAt(screen, 25, 5), pixelAt(screen, 5, 5)};
    }

    GameDir dir;
};

}  // namespace

TEST_F(TitleDraw, TheBackgroundCirclesAndTheButtonsShowTheirState)
{
    const int none[2] = {0, 0}, resume[2] = {0, 1}, slots[2] = {1, 0}, both[2] = {1, 1};
    Uint32 before = platformTicks();
    titleDraw(0, none, 0);
    EXPECT_EQ(platformTicks() - before, 20u);   // at most 50 frames a second
    EXPECT_EQ(backAt(), std::make_pair(-200, -200));
    EXPECT_EQ(pixelAt(screen, 100, 5), 0x202020u);
    EXPECT_EQ(buttons(), (std::vector<Uint32>{0x100002, 0x200003, 0x300003}));

    // Positions are cut toward zero: -199.98 gives -199.
    titleDraw(2, resume, 75);
    EXPECT_EQ(backAt(), std::make_pair(-599, -197));
    EXPECT_EQ(buttons(), (std::vector<Uint32>{0x100002, 0x200003, 0x300002}));
    titleDraw(1, slots, 113);
    EXPECT_EQ(backAt(), std::make_pair(-400, -399));
    EXPECT_EQ(buttons(), (std::vector<Uint32>{0x100001, 0x200002, 0x300003}));
    titleDraw(3, both, 200);
    EXPECT_EQ(backAt(), std::make_pair(-492, -23));
    EXPECT_EQ(buttons(), (std::vector<Uint32>{0x100002, 0x200002, 0x300001}));
    titleDraw(2, both, 200);
    EXPECT_EQ(buttons(), (std::vector<Uint32>{0x100002, 0x200001, 0x300002}));
}

TEST_F(TitleDraw, EveryVisitOfTheTitleStartsTheBackgroundAfresh)
{
    // With no input left the first frame is the last: the quit request comes.
    std::pair<int, int> first[2];
    for (auto& at : first) {
        std::string error;
        ASSERT_TRUE(replayLoad("", "", &error)) << error;
        e = 1;
        title();
        EXPECT_EQ(e, 0);
        at = backAt();
    }
    EXPECT_EQ(first[0], first[1]);
    e = 1;
}

TEST(Title, TheStartButtonStartsANewGameWithTheOpeningMusicStopped)
{
    GameDir game;
    startGame(game);
    for (const char* click : {"click 286 355\n", "click 534 389\n"}) {
        ReplayRun run = runReplay(game, click);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(music(run), (std::vector<std::string>{"./bgm/OP.ogg", "off"}));
        EXPECT_EQ(scenes(run), (std::vector<std::string>{"start"}));
        EXPECT_EQ(run.events.at(0)["ev"], "music");
        EXPECT_EQ(run.events.at(1)["path"], "off");
        EXPECT_EQ(run.events.at(2)["index"], 1000);
    }
}

TEST(Title, ClicksOutsideTheButtonsOrOnGrayOnesDoNothing)
{
    GameDir game;
    startGame(game);
    ReplayRun run = runReplay(game, std::string("click 285 372\nclick 535 372\nclick 410 354\n"
                                                "click 410 390\n") +
                                        kLoad + kContinue);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("scene").empty());
    EXPECT_EQ(music(run), (std::vector<std::string>{"./bgm/OP.ogg", "off"}));
    EXPECT_FALSE(game.exists("save/0"));
}

TEST(Title, EscapeReleasedQuitsWithoutSaving)
{
    GameDir game;
    startGame(game);
    ReplayRun run = runReplay(game, std::string("keydown escape\nwait 500\nkeyup escape\n") +
                                        kClickStart);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("scene").empty());
    EXPECT_EQ(music(run), (std::vector<std::string>{"./bgm/OP.ogg", "off"}));
    EXPECT_FALSE(game.exists("save/0"));
}

TEST(Title, AButtonHeldWhenTheTitleOpensCountsOnlyAfterItsRelease)
{
    GameDir game;
    startGame(game);
    ReplayRun run = runReplay(game, "move 410 372\ndown left\nwait 1000\nup left\nwait 1000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("scene").empty());

    run = runReplay(game, std::string("move 410 372\ndown left\nwait 1000\nup left\nwait 1000\n") +
                              kClickStart);
    auto started = run.only("scene");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_GE(started[0]["ms"], 2000);
}

TEST(Title, ContinueResumesFromTheResumeFileWhileLoadStaysGray)
{
    GameDir game;
    startGame(game);
    // A first game moves to A001 and quits there, leaving the resume file.
    ReplayRun first = runFromStart(game, "click 600 250\nclick 400 225\n");
    ASSERT_EQ(scenes(first), (std::vector<std::string>{"start", "A001"}));
    ASSERT_TRUE(game.exists("save/0"));

    ReplayRun run = runReplay(game, std::string(kLoad) + kContinue);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(scenes(run), (std::vector<std::string>{"A001"}));
    EXPECT_EQ(run.only("scene").at(0)["index"], 1001);
    EXPECT_EQ(music(run), (std::vector<std::string>{"./bgm/OP.ogg", "off"}));
}

TEST(Title, CancellingTheSlotScreenShowsTheTitleAgainWithTheMusicGoingOn)
{
    GameDir game;
    startGame(game);
    resetNewGame();
    unsigned char record[kResumeRecord];
    int length = encodeRecord(0, record);
    game.write("save/2", std::string(record, record + length));
    game.picture("system/picture/load.png", 800, 600, 0x605040);
    game.picture("system/picture/title_fore.png", 800, 600, 0x102030);
    auto shot = [&](const std::string& name) { return "shot " + game.file(name) + "\n"; };
    ReplayRun run = runReplay(game, kLoad + shot("slots.bmp") + "rclick 700 550\n" +
                                        shot("title.bmp") + kContinue + kClickStart);
    EXPECT_EQ(run.status, 0) << run.err;
    for (auto [name, colour] : {std::make_pair("slots.bmp", 0x605040u),
                                std::make_pair("title.bmp", 0x102030u)}) {
        SDL_Surface* picture = SDL_LoadBMP(game.file(name).c_str());
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_EQ(pixelAt(picture, 700, 300), colour) << name;
        SDL_FreeSurface(picture);
    }
    // One start of the music for the whole visit; continue stayed gray.
    EXPECT_EQ(music(run), (std::vector<std::string>{"./bgm/OP.ogg", "off"}));
    EXPECT_EQ(scenes(run), (std::vector<std::string>{"start"}));
}

TEST(Title, TheArrowsAndReturnChooseAButton)
{
    GameDir game;
    startGame(game);
    // Down highlights start; load and continue are gray and passed over.
    ReplayRun run = runReplay(game, "press down\npress down\npress return\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(scenes(run), (std::vector<std::string>{"start"}));
    // With a resume file, Up from nothing goes to continue.
    game.write("save/0", game.read("save/0"));
    run = runReplay(game, "move 5 5\nwait 50\npress up\npress return\n");
    EXPECT_EQ(run.only("load").size(), 1u);
    // A Return held as the title opens does nothing until pressed again.
    run = runReplay(game, "keydown return\nwait 100\npress down\nwait 100\nkeyup return\nwait 500\n");
    EXPECT_TRUE(run.only("scene").empty());
}
