// The keyboard in the menus: which entry an arrow leads to, and the rule that a key counts
// only when it is pressed after the screen has seen it up, as the mouse's button does.
#include "core/menukeys.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/platform.h"
#include "core/replay.h"
#include "core/state.h"

namespace {

// Runs a screen of `count` entries for the input, one pass each 10 ms as the menus do, until
// the input is used up; answers what each pass that did something saw, as "moved N",
// "picked N" or "back".
std::vector<std::string> passes(const std::string& input, int count, unsigned open,
                                MenuLayout layout, bool backs = false, int lit = 0)
{
    std::string error;
    EXPECT_TRUE(replayLoad(input, "", &error)) << error;
    // What is held from the start is held as the screen opens.
    platformPumpEvents();
    MenuKeys keys;
    menuKeysOpen(&keys, layout, backs);
    std::vector<std::string> seen;
    SDL_Event ev;
    while (!replayUsedUp()) {
        platformDelay(10);
        while (platformPollEvent(&ev) && ev.type != SDL_QUIT) {}
        platformPumpEvents();
        platformMouseState(nullptr, nullptr);
        MenuKey key = menuKeysRead(&keys, &lit, count, open);
        if (key == MenuKey::Moved) seen.push_back("moved " + std::to_string(lit));
        if (key == MenuKey::Picked) seen.push_back("picked " + std::to_string(lit));
        if (key == MenuKey::Back) seen.push_back("back");
    }
    return seen;
}

using Seen = std::vector<std::string>;

}  // namespace

TEST(MenuKeys, AnArrowStepsAmongTheOpenEntriesAndGoesRound)
{
    EXPECT_EQ(menuStep(0, 3, 7u, 1), 1);    // the first Down highlights the first entry
    EXPECT_EQ(menuStep(0, 3, 7u, -1), 3);   // the first Up the last
    EXPECT_EQ(menuStep(3, 3, 7u, 1), 1);
    EXPECT_EQ(menuStep(1, 3, 7u, -1), 3);
    EXPECT_EQ(menuStep(1, 3, 5u, 1), 3);    // entry 2 cannot be chosen
    EXPECT_EQ(menuStep(0, 3, 6u, 1), 2);
    EXPECT_EQ(menuStep(2, 3, 2u, 1), 2);    // the only open entry stays
    EXPECT_EQ(menuStep(0, 3, 0u, 1), 0);    // none open: no highlight
    EXPECT_EQ(menuStep(9, 3, 7u, 1), 1);
}

TEST(MenuKeys, KeysCountOnlyWhenPressedAfterTheScreenSawThemUp)
{
    // Down, Down, Return: the second entry is picked.
    EXPECT_EQ(passes("press down\npress down\npress return\n", 3, 7u, MenuLayout::Column),
              (Seen{"moved 1", "moved 2", "picked 2"}));
    // Return held as the screen opens (the one that turned the page) picks nothing until it is
    // pressed again; Return with no highlight picks nothing either.
    EXPECT_EQ(passes("keydown return\nwait 100\npress down\nkeyup return\nwait 50\npress return\n", 3, 7u,
                     MenuLayout::Column),
              (Seen{"moved 1", "picked 1"}));
    EXPECT_EQ(passes("press return\npress space\n", 3, 7u, MenuLayout::Column), Seen{});
    // Space picks too; Alt with Return is fullscreen, not a pick.
    EXPECT_EQ(passes("keydown alt\npress return\nkeyup alt\nwait 50\npress space\n", 2, 3u, MenuLayout::Row,
                     false, 2),
              Seen{"picked 2"});
}

TEST(MenuKeys, EachLayoutTakesItsOwnArrowsAndBackspaceOnlyWhereItBacksOut)
{
    const char* arrows = "press left\npress right\npress up\npress down\n";
    EXPECT_EQ(passes(arrows, 3, 7u, MenuLayout::Column), (Seen{"moved 3", "moved 1"}));
    EXPECT_EQ(passes(arrows, 2, 3u, MenuLayout::Row), (Seen{"moved 2", "moved 1"}));
    EXPECT_EQ(passes(arrows, 3, 7u, MenuLayout::Both), (Seen{"moved 3", "moved 1", "moved 3", "moved 1"}));
    EXPECT_EQ(passes("press backspace\n", 3, 7u, MenuLayout::Column), Seen{});
    EXPECT_EQ(passes("press backspace\n", 3, 7u, MenuLayout::Column, true), Seen{"back"});
}

TEST(MenuKeys, AnArrowHeldDownStepsOnAfterAMoment)
{
    // Held for a second: one step at once, then one each 80 ms after the first 400.
    Seen seen = passes("wait 20\nkeydown down\nwait 1000\nkeyup down\nwait 50\n", 10, 0x3FFu, MenuLayout::Column);
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen.back(), "moved 9");
}
