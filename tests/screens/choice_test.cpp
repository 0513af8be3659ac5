// The choice screen in-process, driven by replay input: which band a pointer position falls
// in, the rule that only a fresh press picks, multi-picks, cancel and quit, and the drawing
// of the plates and texts.
#include "screens/choice.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/fonts.h"
#include "core/replay.h"
#include "core/state.h"
#include "presentation/cache.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace {

class Choice : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        reset();
        const char* names[kOptionsAtMost] = {"一", "二", "三", "四", "五",
                                             "六", "七", "八", "九", "十"};
        for (int i = 0; i < kOptionsAtMost; ++i)
            std::snprintf(texts[i], kOptionSize, "%s", names[i]);
    }

    void TearDown() override
    {
        reset();
        ScreenTest::TearDown();
    }

    static void reset()
    {
        e = 1;
        std::memset(chosen, 0, sizeof chosen);
    }

    // Runs a choice of n options asking for `picks` picks, the player acting out input; once
    // the input is used up the game asks to quit.
    std::vector<int> run(const std::string& input, int n, int picks = 1)
    {
        std::string error;
        EXPECT_TRUE(replayLoad(input, "", &error)) << error;
        pick(picks, n, texts);
        std::vector<int> picked;
        for (int k = 0; k < 5 && chosen[k] != 0; ++k) picked.push_back(chosen[k]);
        return picked;
    }

    char texts[kOptionsAtMost][kOptionSize];
};

using Picks = std::vector<int>;

}  // namespace

TEST_F(Choice, OptionBandsLieAroundTheMiddleOfTheList)
{
    // One option: top 200, its band is 200 < y < 250 at 228 < x <= 627.
    EXPECT_EQ(run("click 400 201\n", 1), Picks{1});
    EXPECT_EQ(e, 1);
    EXPECT_EQ(run("click 627 249\n", 1), Picks{1});
    for (const char* outside : {"click 228 225\n", "click 628 225\n", "click 400 199\n",
                                "click 400 251\n"}) {
        SCOPED_TRACE(outside);
        reset();
        EXPECT_EQ(run(outside, 1), Picks{});
        EXPECT_EQ(e, 0);   // the input ran out before any pick
    }
    // Four options start at 125; the fourth band is 275 < y < 325.
    reset();
    EXPECT_EQ(run("click 400 130\n", 4), Picks{1});
    EXPECT_EQ(run("click 400 320\n", 4), Picks{4});
    EXPECT_EQ(run("click 400 326\n", 4), Picks{});
    // Ten options start above the screen, at -25.
    reset();
    EXPECT_EQ(run("click 400 10\n", 10), Picks{1});
    EXPECT_EQ(run("click 400 450\n", 10), Picks{10});
}

TEST_F(Choice, APointerOnABandLineKeepsThePreviousHighlight)
{
    // Two options: top 175, the line between them at 225, the list's edges at 175 and 275.
    EXPECT_EQ(run("move 400 200\nwait 50\nclick 400 225\n", 2), Picks{1});
    EXPECT_EQ(run("move 400 250\nwait 50\nclick 400 225\n", 2), Picks{2});
    EXPECT_EQ(run("move 400 200\nwait 50\nclick 400 175\n", 2), Picks{1});
    EXPECT_EQ(run("move 400 250\nwait 50\nclick 400 275\n", 2), Picks{2});
    // Nothing is highlighted when the list appears, and leaving the list clears it.
    EXPECT_EQ(run("click 400 225\n", 2), Picks{});
    reset();
    EXPECT_EQ(run("move 400 200\nwait 50\nmove 400 174\nwait 50\nclick 400 225\n", 2),
              Picks{});
    reset();
    EXPECT_EQ(run("move 400 200\nwait 50\nmove 700 200\nwait 50\nclick 400 225\n", 2),
              Picks{});
}

TEST_F(Choice, OnlyAPressAfterAReleasePicks)
{
    // The button is already down when the list appears and stays down over option 1.
    EXPECT_EQ(run("down left\nmove 400 200\nwait 300\nmove 400 250\nwait 50\nup left\n"
                  "wait 50\ndown left\nwait 50\nup left\n",
                  2),
              Picks{2});
    // Held on its own it never picks.
    reset();
    EXPECT_EQ(run("down left\nmove 400 200\nwait 500\n", 2), Picks{});
    // Pressed outside the list and dragged onto an option: no pick either.
    reset();
    EXPECT_EQ(run("move 700 200\nwait 50\ndown left\nwait 50\nmove 400 200\nwait 300\n"
                  "up left\nwait 50\n",
                  2),
              Picks{});
}

TEST_F(Choice, SeveralPicksTakeDifferentOptionsInOrder)
{
    // Picks of an earlier choice do not block this one.
    chosen[0] = 2;
    EXPECT_EQ(run("click 400 225\n", 3), Picks{2});

    // Three options: bands around 175, 225 and 275. The second click on option 2 does
    // nothing; the held button of one pick does not carry over into the next.
    EXPECT_EQ(run("click 400 225\nclick 400 225\nclick 400 175\n", 3, 2), (Picks{2, 1}));
    EXPECT_EQ(e, 1);
    EXPECT_EQ(chosen[2], 0);
    EXPECT_EQ(run("click 400 275\nclick 400 175\nclick 400 225\n", 3, 3), (Picks{3, 1, 2}));

    // Quitting halfway keeps the picks made so far.
    reset();
    EXPECT_EQ(run("click 400 175\npress escape\nclick 400 225\n", 3, 2), Picks{1});
    EXPECT_EQ(e, 0);
}

TEST_F(Choice, TheRightButtonCancelsOnlyASinglePick)
{
    EXPECT_EQ(run("rclick 400 200\n", 2), Picks{});
    EXPECT_EQ(e, 1);   // back before the input ran out
    EXPECT_FALSE(replayUsedUp());

    // With two picks asked for, the right button only freezes the highlight while held: the
    // left press picks option 1 although the pointer is on option 2 by then.
    EXPECT_EQ(run("move 400 200\nwait 50\ndown right\nwait 50\nmove 400 250\nwait 50\n"
                  "down left\nwait 50\nup left\nwait 50\nup right\nwait 50\nclick 400 250\n",
                  2, 2),
              (Picks{1, 2}));
    EXPECT_EQ(e, 1);
}

TEST_F(Choice, ReleasingEscapeOrClosingTheWindowQuits)
{
    // Escape held down is not enough.
    EXPECT_EQ(run("keydown escape\nwait 100\nclick 400 200\nkeyup escape\n", 2), Picks{1});
    EXPECT_EQ(e, 1);
    for (const char* quit : {"press escape\nclick 400 200\n", "quit\nclick 400 200\n"}) {
        SCOPED_TRACE(quit);
        reset();
        EXPECT_EQ(run(quit, 2), Picks{});
        EXPECT_EQ(e, 0);
        EXPECT_FALSE(replayUsedUp());   // the click was never taken
    }
}

TEST_F(Choice, PlatesAndTextsShowTheHighlightAndThePicks)
{
    GameDir dir;
    dir.picture("bg.png", 800, 600, 0x000000);
    dir.picture("on.png", 20, 20, 0xff0000);
    dir.picture("off.png", 20, 20, 0x0000ff);
    ImgLoad(dir.file("bg.png").c_str(), "bg");
    ImgLoad(dir.file("on.png").c_str(), "sentakushi_on");
    ImgLoad(dir.file("off.png").c_str(), "sentakushi_off");
    ASSERT_EQ(TTF_Init(), 0);
    stdFont = GetFont("MSGOTHIC.TTC", 26);
    ASSERT_NE(stdFont, nullptr);

    // Three options from 150, option 2 under the pointer, option 1 picked before.
    chosen[0] = 1;
    pickDraw(2, 228, 150, 3, texts);
    EXPECT_EQ(pixelAt(screen, 180, 102), 0x0000ffu);
    EXPECT_EQ(pixelAt(screen, 180, 152), 0xff0000u);
    EXPECT_EQ(pixelAt(screen, 180, 202), 0x0000ffu);

    // Counts the white and gray pixels of the text row of option i.
    auto inks = [&](int i) {
        int white = 0, gray = 0;
        for (int y = 150 + 50 * i + 5; y < 150 + 50 * i + 45; ++y)
            for (int x = 200; x < 300; ++x) {
                Uint32 rgb = pixelAt(screen, x, y);
                white += rgb == 0xffffff;
                gray += rgb == 0x7f7f7f;
                EXPECT_TRUE(x >= 228 || rgb == 0 || rgb == 0x0000ff || rgb == 0xff0000)
                    << x << "," << y;
            }
        return std::make_pair(white, gray);
    };
    auto [white0, gray0] = inks(0);
    EXPECT_EQ(white0, 0);
    EXPECT_GT(gray0, 20);
    for (int i : {1, 2}) {
        auto [white, gray] = inks(i);
        EXPECT_GT(white, 20) << i;
        EXPECT_EQ(gray, 0) << i;
    }

    TTF_CloseFont(stdFont);
    stdFont = nullptr;
    TTF_Quit();
}

TEST_F(Choice, TheArrowsAndReturnPickAsTheMouseDoes)
{
    // The first Down highlights option 1; Up from there goes round to the last.
    EXPECT_EQ(run("press down\npress down\npress return\n", 3), Picks{2});
    EXPECT_EQ(run("press down\npress up\npress space\n", 3), Picks{3});
    // Return held as the list opens (the key that turned the page) picks nothing, and Return
    // with nothing highlighted neither.
    reset();
    EXPECT_EQ(run("keydown return\nwait 200\nkeyup return\nwait 50\n", 3), Picks{});
    reset();
    EXPECT_EQ(run("press return\n", 3), Picks{});
    // The arrows move the highlight away from a pointer that stays on an option; a click still
    // picks the option under the pointer, Return the highlighted one.
    reset();
    EXPECT_EQ(run("move 400 175\nwait 50\npress down\npress return\n", 3), Picks{2});
    EXPECT_EQ(run("move 400 175\nwait 50\npress down\nclick 400 175\n", 3), Picks{1});
    // In a choice of several picks the arrows pass over the options already picked.
    reset();
    EXPECT_EQ(run("press down\npress return\npress down\npress return\n", 3, 2), (Picks{1, 2}));
}

TEST_F(Choice, ArrowsSoundAndDrawTheHighlightAsThePointerDoes)
{
    static const char* const kPlates[] = {"sentakushi_on", "sentakushi_off"};
    GameDir dir;
    for (int i = 0; i < 2; ++i) {
        dir.picture(std::string(kPlates[i]) + ".png", 500, 100, i == 0 ? 0xff0000 : 0x0000ff);
        ImgLoad(dir.file(std::string(kPlates[i]) + ".png").c_str(), kPlates[i]);
    }
    run("press down\npress down\n", 2);
    // Two options: the list's top is 175, the plates are drawn from 125 and 175; option 2's is
    // lit, option 1's not.
    EXPECT_EQ(pixelAt(screen, 300, 230), 0xff0000u);
    EXPECT_EQ(pixelAt(screen, 300, 150), 0x0000ffu);
}
