// A game played through the replay with the keyboard alone: the title, pages, a choice, the
// field menu's search, items and move, and the destination list; no pointer move, no click.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/gamedir.h"
#include "support/keyboardplay.h"

TEST(Keyboard, AChoiceAndTheFieldMenuArePlayedWithTheKeyboardAlone)
{
    GameDir game;
    keyboardGame(game);
    ReplayRun run = runReplay(game, kKeyboardPlay);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> scenes;
    for (const auto& scene : run.only("scene")) scenes.push_back(scene["name"]);
    EXPECT_EQ(scenes, (std::vector<std::string>{"start", "A002"}));
    ASSERT_EQ(run.only("pick").size(), 2u);
    EXPECT_EQ(run.only("pick")[0]["chosen"], nlohmann::json::array({2}));
    EXPECT_EQ(run.only("pick")[1]["chosen"], nlohmann::json::array({2}));
    bool flagTwo = false;
    for (const auto& set : run.only("set")) flagTwo |= set["what"] == "flag" && set["index"] == 2;
    EXPECT_TRUE(flagTwo);
    std::vector<std::string> pages;
    for (const auto& page : run.only("page")) pages.push_back(page["segments"][0]["text"]);
    EXPECT_EQ(pages, (std::vector<std::string>{"はじめのページ", "何もない。", "浜に着いた。"}));
    EXPECT_EQ(run.only("menu").size(), 2u);   // after the choice, and after the search
}
