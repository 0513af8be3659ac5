// What a waiting page shows beyond its text when the settings ask for it: the click-wait
// marker after its last character (animated; never while a held Ctrl skips, nor in the
// backlog), the SKIP mark while Ctrl skips, a page typed out at the text speed, and a skip of
// the pages seen before only. With the engine's defaults none of it shows.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/gamedir.h"
#include "support/shots.h"

namespace {

const Uint32 kGround = 0x102030;

std::vector<std::string> firstTexts(const ReplayRun& run)
{
    std::vector<std::string> texts;
    for (const auto& page : run.only("page")) texts.push_back(page["segments"].empty() ? "" : page["segments"][0]["text"]);
    return texts;
}

class PageMarks : public testing::Test {
protected:
    void SetUp() override
    {
        game.picture("bg/black.jpg", 800, 600, kGround);
        game.minimalGame("[abc<p>p2<p>p3<p>p4<p>p5<p>p6]\n*move* {\n出口 A001\n}\n");
    }
    std::string shot(const char* name, bool snap = false)
    {
        return std::string(snap ? "snap " : "shot ") + game.file(name) + "\n";
    }
    // Whether every pixel of the box is the ground's.
    bool bare(const char* shotName, int x, int y, int w, int h)
    {
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px)
                if (shotPixel(game.file(shotName), px, py) != kGround) return false;
        return true;
    }
    GameDir game;
};

}  // namespace

TEST_F(PageMarks, TheMarkerFollowsTheLastCharacterAndMovesOnlyWhenTheGameAsks)
{
    ReplayRun run = runFromStart(game, shot("plain.bmp"));
    ASSERT_EQ(run.status, 0) << run.err;
    game.write("system/game.txt", "marker = on\n");
    run = runFromStart(game, shot("marked.bmp") + "wait 150\n" + shot("later.bmp"));
    ASSERT_EQ(run.status, 0) << run.err;
    // Only a small box just after "abc" (three letters from x 35) differs from the plain page.
    SDL_Rect box = shotDifference(game.file("plain.bmp"), game.file("marked.bmp"));
    EXPECT_GE(box.x, 66);
    EXPECT_LE(box.x + box.w, 100);
    EXPECT_GE(box.y, 402);
    EXPECT_LE(box.y + box.h, 430);
    EXPECT_GT(box.w, 0);
    // The marker moves: the next frame differs within the same box.
    SDL_Rect moved = shotDifference(game.file("marked.bmp"), game.file("later.bmp"));
    EXPECT_GT(moved.w, 0);
    EXPECT_GE(moved.x, box.x);
    EXPECT_LE(moved.x + moved.w, box.x + box.w);
    // The player's own settings win over the game's.
    game.write("save/settings", "marker 0\n");
    run = runFromStart(game, shot("mine.bmp"));
    EXPECT_EQ(shotDifference(game.file("plain.bmp"), game.file("mine.bmp")).w, 0);
}

TEST_F(PageMarks, WhileCtrlSkipsSkipShowsAndTheMarkerDoesNot)
{
    game.write("system/game.txt", "marker = on\n");
    ReplayRun run = runFromStart(game, "wait 100\nkeydown lctrl\nwait 45\n" + shot("skipping.bmp", true) +
                                           "keyup lctrl\nwait 300\n" + shot("waiting.bmp") + "wheel up\nwait 50\n" +
                                           shot("backlog.bmp"));
    ASSERT_EQ(run.status, 0) << run.err;
    // SKIP above the message window's right end, gone once the page waits again.
    EXPECT_EQ(shotPixel(game.file("skipping.bmp"), 770, 360), 0x000000u);
    EXPECT_EQ(shotPixel(game.file("waiting.bmp"), 770, 360), kGround);
    // The two-letter pages' marker stands from x 67: not while skipping, nor in the backlog.
    EXPECT_TRUE(bare("skipping.bmp", 64, 406, 22, 22));
    EXPECT_FALSE(bare("waiting.bmp", 64, 406, 22, 22));
    EXPECT_TRUE(bare("backlog.bmp", 64, 406, 22, 22));
}

TEST_F(PageMarks, ATypedPageShowsItsCharactersInTurnAndAClickCompletesIt)
{
    game.write("script/start.txt", "[abcdefghij]\n[second]\n*move* {\n出口 A001\n}\n");
    game.write("system/game.txt", "textspeed = 20\n");
    ReplayRun run = runFromStart(game, "wait 200\n" + shot("half.bmp", true) + "wait 1000\n" + shot("whole.bmp"));
    ASSERT_EQ(run.status, 0) << run.err;
    // Half a second for ten letters; the page's trace comes once it is whole.
    int started = run.only("scene")[0]["ms"];
    ASSERT_EQ(run.only("page").size(), 1u);
    EXPECT_NEAR(static_cast<int>(run.only("page")[0]["ms"]) - started, 450, 20);
    // Early on, the first letters show and the last ones not yet.
    EXPECT_FALSE(bare("half.bmp", 35, 402, 26, 26));
    EXPECT_TRUE(bare("half.bmp", 35 + 13 * 8, 402, 26, 26));
    EXPECT_FALSE(bare("whole.bmp", 35 + 13 * 8, 402, 26, 26));

    // A click while it types completes the page and does not turn it; the next one does.
    run = runFromStart(game, "wait 50\nclick 400 300\nwait 300\n" + shot("clicked.bmp") + "press return\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"abcdefghij", "second"}));
    EXPECT_FALSE(bare("clicked.bmp", 35 + 13 * 8, 402, 26, 26));
    EXPECT_LT(static_cast<int>(run.only("page")[0]["ms"]) - static_cast<int>(run.only("scene")[0]["ms"]), 300);
}

TEST_F(PageMarks, ReadPagesOnlySkipStopsAtThePagesNotSeenBefore)
{
    game.write("system/game.txt", "skip = read\n");
    const std::string held = "keydown lctrl\nwait 2000\n";
    // The first time every page is new: Ctrl skips nothing.
    EXPECT_EQ(firstTexts(runFromStart(game, held)), (std::vector<std::string>{"abc"}));
    // Then each run skips what the one before showed, in any game, and stops at the next.
    EXPECT_EQ(firstTexts(runFromStart(game, held)), (std::vector<std::string>{"abc", "p2"}));
    EXPECT_EQ(firstTexts(runFromStart(game, "press return\n" + held)),
              (std::vector<std::string>{"abc", "p2", "p3"}));
    // Skipping every page, as a held Ctrl always has.
    game.write("save/settings", "skipread 0\n");
    EXPECT_EQ(firstTexts(runFromStart(game, held)).size(), 6u);
}
