// Page saves and stepping back, played in-process from the title: a moment loaded again, or
// stepped back to, has every value of the game state, the backlog, the music and the picture
// it had, whatever the clock says; a changed scene goes as far as it still matches.
#include "savegame/moments.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "app/mainloop.h"
#include "core/decision.h"
#include "core/events.h"
#include "core/fonts.h"
#include "core/replay.h"
#include "core/state.h"
#include "presentation/audio.h"
#include "presentation/backlog.h"
#include "presentation/cache.h"
#include "savegame/pagefile.h"
#include "screens/pagelist.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace fs = std::filesystem;

namespace {

// Items counted past 1, a time mark, parameters past what a slot holds, statistics changed,
// random draws before and after a choice, a looping sound and music.
const char kStory[] =
    "seoff\n"   // a loop left by the game before does not carry into this one
    "bgm shore\n"
    "bg dawn\n"
    "item+ 3\nitem+ 3\nitem+ 3\n"
    "para1 = 400\n"
    "para2 = rand %1000\n"
    "timecheck 5\n"
    "hpmax +50\n"
    "hp -7\n"
    "[一ページ目]\n"
    "se wind 0\n"
    "pick {\n右へ flag+ 12\n左へ flag+ 13\n}\n"
    "para3 = rand %1000\n"
    "[二ページ目<p>三ページ目]\n"
    "para4 = rand %1000\n"
    "[四ページ目]\n"
    "*move*\n{\n森へ A001\n}\n";

const char kStart[] = "click 410 372\n";
const char kRight[] = "click 400 200\n";   // the first of two options
const char kLeft[] = "click 400 250\n";    // the second

// What a moment is made of, as the game holds it.
struct Held {
    std::string state, backlog, music, loop, background;
    std::vector<Uint8> pixels;

};

// Whether two moments are the same, with what differs when they are not.
testing::AssertionResult same(const Held& x, const Held& y)
{
    std::string differs;
    if (x.state != y.state) differs += " state";
    if (x.backlog != y.backlog) differs += " backlog";
    if (x.music != y.music) differs += " music (" + x.music + ", " + y.music + ")";
    if (x.loop != y.loop) differs += " loop (" + x.loop + ", " + y.loop + ")";
    if (x.background != y.background) differs += " background (" + x.background + ", " + y.background + ")";
    if (x.pixels != y.pixels) differs += " pixels";
    if (differs.empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "they differ in" << differs;
}

Held held()
{
    if (const char* dump = std::getenv("MOMENTS_DUMP")) {
        static int n = 0;
        SDL_SaveBMP(screen, (std::string(dump) + std::to_string(n++) + ".bmp").c_str());
    }
    Held h{stateImage(), encodeBacklog(), musicNow(), loopingSoundNow(), backgroundPath(), {}};
    SDL_LockSurface(screen);
    const Uint8* pixels = static_cast<const Uint8*>(screen->pixels);
    h.pixels.assign(pixels, pixels + screen->pitch * screen->h);
    SDL_UnlockSurface(screen);
    return h;
}

class Moments : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        home_ = fs::current_path();
        fs::current_path(game.path());
        game.minimalGame(kStory);
        game.write("script/A001.txt", "[森の中]\n*move*\n{\n浜へ start\n}\n");
        // Every page is drawn over a whole background, as at start-up.
        game.picture("bg/black.jpg", 800, 600, 0x000000);
        game.picture("bg/dawn.jpg", 800, 600, 0x304060);
        ImgLoad("./bg/black.jpg", "bg");
        TTF_Init();
        stdFont = GetFont("MSGOTHIC.TTC", 26);
        itemFont = GetFont("MSGOTHIC.TTC", 20);
        pageSaveKeys = pageKeys;
        momentsInstall();
    }

    void TearDown() override
    {
        for (TTF_Font** font : {&stdFont, &itemFont})
            if (*font) TTF_CloseFont(*font);
        stdFont = itemFont = nullptr;
        TTF_Quit();
        pageSaveKeys = nullptr;
        decisionHooks({});
        pageHooks({});
        fs::current_path(home_);
        ScreenTest::TearDown();
    }

    // Plays the game from the title with the input; the game quits once the input is used up,
    // which leaves the state as it was at the last moment waited at.
    Held play(const std::string& input)
    {
        std::string error;
        EXPECT_TRUE(replayLoad(input, "", &error)) << error;
        playGames();
        return held();
    }

    GameDir game;
    fs::path home_;
};

}  // namespace

TEST_F(Moments, APageSaveLoadedAtTheTitleIsTheMomentExactlyWhateverTheClock)
{
    // Three seconds pass between the draws, so that draws made again would differ.
    std::string toThird = std::string(kStart) + "wait 3000\npress return\n" + kLeft +
                          "wait 3000\npress return\n";
    Held saved = play(toThird + "press f6\nwait 2000\n");
    ASSERT_TRUE(game.exists("save/quick"));
    EXPECT_EQ(item[3], 3);
    EXPECT_EQ(parameter[1], 400);
    EXPECT_EQ(HPmax, 173);
    EXPECT_EQ(HP, 116);
    EXPECT_EQ(std::string(loopingSoundNow()), "./se/wind.wav");
    // The page waited at joined the backlog as the game quit.
    EXPECT_EQ(backlogCount(), 3);

    // Another game in between (its automatic saves put aside, so that the quick save is the
    // newest), then F9 at the title, later and at another second.
    play(std::string(kStart) + kRight);
    for (int n = 0; n <= kAutoSaves; ++n) fs::remove(game.file(autoPath(n)));
    Held loaded = play("wait 7000\npress f9\nwait 500\n");
    EXPECT_TRUE(same(loaded, saved));
    EXPECT_EQ(flag[13], 1);
    EXPECT_EQ(flag[12], 0);
    EXPECT_EQ(backlogSerial(), 3);

    // The list to load from: the quick save, chosen with Return, is the same moment again.
    resetNewGame();
    Held listed = play("wait 1000\npress l\npress return\nwait 500\n");
    EXPECT_TRUE(same(listed, saved));
}

TEST_F(Moments, TheGameQuitInTheMiddleOfASceneIsSavedAndTheSceneStartsToo)
{
    Held quit = play(std::string(kStart) + "press return\n" + kLeft + "press return\n");
    // The quit on the third page; the scene's first moment, its first page, as it was left.
    PageSave atQuit, atStart;
    ASSERT_EQ(readPageSave(autoPath(0), &atQuit), PageFile::Sound);
    EXPECT_EQ(atQuit.kind, PointKind::Page);
    EXPECT_EQ(atQuit.page, 3);
    EXPECT_STREQ(atQuit.firstLine, "三ページ目");
    EXPECT_STREQ(atQuit.chapter, "第1章　潮騒の目覚め");
    ASSERT_EQ(readPageSave(autoPath(1), &atStart), PageFile::Sound);
    EXPECT_EQ(atStart.page, 1);
    EXPECT_STREQ(atStart.firstLine, "一ページ目");
    EXPECT_LT(atStart.sequence, atQuit.sequence);
    EXPECT_EQ(atQuit.date.year, 2026);

    Held loaded = play("press f9\n");
    EXPECT_TRUE(same(loaded, quit));

    // Scene starts fill the three automatic places, then take the oldest.
    for (int round = 0; round < 3; ++round) play(std::string(kStart) + "press return\n");
    std::vector<uint32_t> sequences;
    for (int n = 1; n <= kAutoSaves; ++n) {
        PageSave head;
        ASSERT_EQ(readPageSave(autoPath(n), &head, false), PageFile::Sound);
        sequences.push_back(head.sequence);
    }
    EXPECT_GT(*std::min_element(sequences.begin(), sequences.end()), atQuit.sequence);
}

TEST_F(Moments, StepsBackGoThroughAChoiceWithTheStateAsItWas)
{
    // The choice as it first waited, quit there.
    Held atChoice = play(std::string(kStart) + "press return\n");
    // Picked right, then a step back from the first page after it: the choice again, with
    // right's flag unset.
    Held back = play(std::string(kStart) + "press return\n" + kRight + "press backspace\n");
    EXPECT_TRUE(same(back, atChoice));
    EXPECT_EQ(flag[12], 0);
    // Left picked anew goes on with its state.
    play(std::string(kStart) + "press return\n" + kRight + "press backspace\n" + kLeft + "press return\n");
    EXPECT_EQ(flag[12], 0);
    EXPECT_EQ(flag[13], 1);

    // Back over the choice to the first page, and back and forth again: the same each time.
    Held first = play(std::string(kStart));
    Held twice = play(std::string(kStart) + "press return\n" + kRight + "press return\n" +
                      "press backspace\npress backspace\npress backspace\n");
    EXPECT_TRUE(same(twice, first));
    EXPECT_EQ(backlogCount(), 1);   // the first page, which joined the backlog as the game quit
    // Nothing before the scene's first page in this game: the step back is refused.
    Held refused = play(std::string(kStart) + "press backspace\n");
    EXPECT_TRUE(same(refused, first));
}

TEST_F(Moments, StepsBackCrossScenesAsFarAsTenBack)
{
    // Twelve scenes in a chain, each setting its flag and showing one page.
    std::string scene;
    for (int n = 1; n <= 12; ++n) {
        char name[8], next[8];
        std::snprintf(name, sizeof name, "A%03d", n);
        std::snprintf(next, sizeof next, "A%03d", n + 1);
        game.write("script/" + std::string(name) + ".txt",
                   "flag+ " + std::to_string(100 + n) + "\n[場面" + std::to_string(n) + "]\nmoveto " + next + "\n");
    }
    game.write("script/A013.txt", "[終わり]\n*move*\n{\n}\n");
    game.write("script/start.txt", "moveto A001\n");
    std::string pages;
    for (int n = 1; n <= 12; ++n) pages += "press return\n";
    Held second = play(std::string(kStart) + "press return\n");
    std::string back;
    for (int n = 1; n <= 11; ++n) back += "press backspace\n";
    Held stepped = play(std::string(kStart) + pages + back);
    EXPECT_TRUE(same(stepped, second));
    EXPECT_EQ(flag[102], 1);
    EXPECT_EQ(flag[103], 0);
    EXPECT_EQ(flag[112], 0);
}

TEST_F(Moments, AChangedSceneLoadsAsFarAsItMatchesAndADamagedSaveNotAtAll)
{
    play(std::string(kStart) + "press return\n" + kLeft + "press return\npress f6\n");
    std::string quick = game.read("save/quick");

    // The text before the choice changed: the load stops at the first page that differs,
    // with the state the scene began with up to there.
    std::string changed = kStory;
    changed.replace(changed.find("[一ページ目]"), std::strlen("[一ページ目]"), "[最初のページ]");
    game.write("script/start.txt", changed);
    Held fresh = play(std::string(kStart));
    fs::remove(game.file("save/auto0"));
    Held loaded = play("press f9\n");
    EXPECT_TRUE(same(loaded, fresh));
    EXPECT_EQ(flag[13], 0);

    // A page save cut short, or with one byte changed, is not loaded: F9 stays at the title.
    game.write("script/start.txt", kStory);
    for (const std::string& damaged : {quick.substr(0, quick.size() - 1),
                                       quick.substr(0, 100) + '\x01' + quick.substr(101)}) {
        fs::remove(game.file("save/auto0"));
        game.write("save/quick", damaged);
        PageSave head;
        EXPECT_EQ(readPageSave(quickPath(), &head), PageFile::Damaged);
        play("press f9\n");
        EXPECT_EQ(backlogCount(), 0);
        EXPECT_EQ(std::string(nextpoint), "start");
        EXPECT_EQ(flag[13], 0);
    }
}

TEST_F(Moments, TheListSavesIntoAPlaceLoadsFromItAndBacksOutLeavingThePageAsItWas)
{
    Held first = play(kStart);
    // S on the first page, a click on place 2 (the top right of the list's first page): the
    // page waits again as it was, not turned by the click.
    Held saved = play(std::string(kStart) + "press s\nclick 595 144\nwait 1000\n");
    EXPECT_TRUE(same(saved, first));
    PageSave place;
    ASSERT_EQ(readPageSave(placePath(2), &place), PageFile::Sound);
    EXPECT_STREQ(place.firstLine, "一ページ目");
    // Backed out with the right button, or with Backspace: nothing written, nothing turned.
    std::string before = game.read("save/page02");
    EXPECT_TRUE(same(play(std::string(kStart) + "press s\nrclick 400 300\nwait 500\n"), first));
    EXPECT_TRUE(same(play(std::string(kStart) + "press l\npress backspace\nwait 500\n"), first));
    EXPECT_EQ(game.read("save/page02"), before);

    // At the title: L, Tab to the places (the list opens at the newest save, an automatic
    // one: the second place stays selected), Return. The second game's moment comes back.
    Held later = play(std::string(kStart) + "press return\n" + kLeft + "press return\n");
    place.sequence = 1000;   // the newest: the list opens at it, the second of its page
    ASSERT_TRUE(writePageSave(autoPath(0), place));
    Held loaded = play("press l\npress tab\npress return\nwait 500\n");
    EXPECT_TRUE(same(loaded, first));
    EXPECT_FALSE(same(loaded, later));
}
