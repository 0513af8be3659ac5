// The field menu: which move list applies, the entries and their bands, searching, moving
// through the choice list, and the fatal errors of a move section.
#include "screens/menu.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/state.h"
#include "support/gamedir.h"

namespace {

// Pointer positions inside the menu's entries.
const char kSearch[] = "click 600 175\n";
const char kItems[] = "click 600 215\n";
const char kMove[] = "click 600 250\n";

class KouhoCheck : public testing::Test {
protected:
    void SetUp() override { resetNewGame(); }
    void TearDown() override { resetNewGame(); }

    // The first word of the list that applies, or "-" when none does.
    static std::string listOf(const char* scene)
    {
        const char* list = nullptr;
        if (kouhoCheck(scene, &list, "*move*") == 0) return "-";
        while (*list == ' ' || *list == '\n') ++list;
        return std::string(list, std::strcspn(list, " \n"));
    }
};

// The texts of each page drawn, its segments joined.
std::vector<std::string> pages(const ReplayRun& run)
{
    std::vector<std::string> texts;
    for (const auto& page : run.only("page")) {
        std::string text;
        for (const auto& segment : page["segments"]) text += segment["text"];
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> names(const ReplayRun& run, const char* kind, const char* field)
{
    std::vector<std::string> found;
    for (const auto& event : run.only(kind)) found.push_back(event[field]);
    return found;
}

void expectFatal(const ReplayRun& run, const std::string& message)
{
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(reportsFatal(run.err, message)) << run.err;
}

}  // namespace

TEST_F(KouhoCheck, FindsTheListJustAfterTheLineWithItsBrace)
{
    EXPECT_EQ(listOf("*move*\n{\n森 A001\n}\n"), "森");
    EXPECT_EQ(listOf("[前]\n*move* {\n森 A001\n}\n"), "森");
    // Lines without a brace or an if are passed over while a "}" is still to come.
    EXPECT_EQ(listOf("*move*\n// 行き先\n\n{\n川 A002\n}\n"), "川");
    // The section is found wherever its name first stands.
    EXPECT_EQ(listOf("[*move*の前]\n{\n一 A001\n}\n*move*\n{\n二 A002\n}\n"), "一");
}

TEST_F(KouhoCheck, TakesTheFirstTrueBranchOrTheElse)
{
    const char chain[] = "*move*\nif (flag1) {\n一 A001\n}\nelseif (flag2) {\n二 A002\n}\n"
                         "elseif (flag3) {\n三 A003\n}\nelse {\n他 A009\n}\n";
    EXPECT_EQ(listOf(chain), "他");
    flag[3] = 1;
    EXPECT_EQ(listOf(chain), "三");
    flag[2] = 1;
    EXPECT_EQ(listOf(chain), "二");
    flag[1] = 1;
    EXPECT_EQ(listOf(chain), "一");
    // A skipped branch may hold blocks of its own.
    EXPECT_EQ(listOf("*move*\nif (flag9) {\nchange 隠 (flag1) A005\n{\n}\n}\n"
                     "else {\n表 A001\n}\n"),
              "表");
    EXPECT_EQ(listOf("*move*\nif (flag9) {\n一 A001\n}\nelseif (flag1) {\n二 A002\n}\n"), "二");
}

TEST_F(KouhoCheck, AnswersNoListWhenNoBranchHoldsOne)
{
    EXPECT_EQ(listOf("*move*\nif (flag1) {\n一 A001\n}\n"), "-");
    EXPECT_EQ(listOf("*move*\nif (flag1) {\n一 A001\n}\nelseif (flag2) {\n二 A002\n}\n"), "-");
    // An if whose brace is on the next line holds no list, even when true.
    flag[1] = 1;
    EXPECT_EQ(listOf("*move*\nif (flag1)\n{\n一 A001\n}\n"), "-");
    EXPECT_EQ(listOf("*move*\nif (flag1) {\n一 A001\n}\n"), "一");
}

TEST(FieldMenu, AMissingOrMalformedMoveSectionIsFatal)
{
    GameDir game;
    game.minimalGame("[一]\n");
    ReplayRun run = runFromStart(game, "click 400 500\n");
    expectFatal(run, "スクリプト中に*move*が見つかりません");
    ASSERT_EQ(run.only("error").size(), 1u);

    // No brace anywhere after the header; an else after a taken branch (an elseif opening
    // the section counts as one).
    for (const char* scene :
         {"*move*\n行く A001\n", "*move*", "*move*\nelseif (1) {\n一 A001\n}\nelse {\n}\n"}) {
        game.write("script/start.txt", scene);
        expectFatal(runFromStart(game, ""), "*move*の文法が間違っています");
    }
}

TEST(FieldMenu, UnavailableEntriesCannotBeChosen)
{
    GameDir game;
    game.minimalGame("*move*\nif (flag1) {\n行く A001\n}\n");
    // Search and move are gray; clicks on them do nothing, and the menu goes on waiting.
    ReplayRun run = runFromStart(game, std::string(kSearch) + kMove + kSearch);
    EXPECT_EQ(run.status, 0) << run.err;
    auto menus = run.only("menu");
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0]["search"], false);
    EXPECT_EQ(menus[0]["move"], false);
    EXPECT_TRUE(run.only("choice").empty());
    EXPECT_TRUE(run.only("page").empty());

    // Once move is available the same click opens the destination list.
    game.write("script/start.txt", "flag+ 1\n*move*\nif (flag1) {\n行く A001\n}\n");
    run = runFromStart(game, std::string(kSearch) + kMove);
    EXPECT_EQ(run.only("menu").at(0)["move"], true);
    EXPECT_EQ(run.only("choice").size(), 1u);
}

TEST(FieldMenu, TheBandsDecideWhichEntryAClickActsOn)
{
    GameDir game;
    game.minimalGame("*search*\n*move*\n{\n行く A001\n}\n");
    // x 550 is outside the menu.
    ReplayRun run = runFromStart(game, "click 550 250\nclick 550 175\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("choice").empty());
    EXPECT_EQ(run.only("menu").size(), 1u);
    run = runFromStart(game, "click 551 250\n");
    EXPECT_EQ(run.only("choice").size(), 1u);
    run = runFromStart(game, "click 679 250\n");
    EXPECT_EQ(run.only("choice").size(), 1u);
    run = runFromStart(game, "click 680 250\n");
    EXPECT_TRUE(run.only("choice").empty());

    // On the edge between items and move the highlight stays what it was: move here...
    run = runFromStart(game, "move 600 250\nwait 100\nclick 600 235\n");
    EXPECT_EQ(run.only("choice").size(), 1u);
    // ...search there (the menu opens a second time after the empty search section)...
    run = runFromStart(game, "move 600 175\nwait 100\nclick 600 195\n");
    EXPECT_TRUE(run.only("choice").empty());
    EXPECT_EQ(run.only("menu").size(), 2u);
    // ...and nothing when the pointer came from outside.
    run = runFromStart(game, "click 600 235\nclick 600 155\nclick 600 275\n");
    EXPECT_TRUE(run.only("choice").empty());
    EXPECT_EQ(run.only("menu").size(), 1u);
}

TEST(FieldMenu, SearchingRunsTheSearchSectionThenOpensTheMenuAgain)
{
    GameDir game;
    game.minimalGame("[着いた]\n*search*\n[探した]\n*move*\n{\n行く A001\n}\n");
    ReplayRun run = runFromStart(game, std::string("click 400 500\n") + kSearch +
                                           "click 400 500\n" + kSearch + "click 400 500\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pages(run), (std::vector<std::string>{"着いた", "探した", "探した"}));
    auto menus = run.only("menu");
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[0]["search"], true);
    EXPECT_EQ(menus[0]["move"], true);
    // No scene change on the way.
    EXPECT_EQ(run.only("scene").size(), 1u);
}

TEST(FieldMenu, MovingSetsTheNextSceneAndMarksTheSceneLeftRead)
{
    GameDir game;
    game.minimalGame("*move*\n{\n森 A001\n川 A002\n}\n");
    game.write("script/A002.txt", "if (from A001) {\n[違う]\n}\nif (from start) {\n[から]\n}\n"
                                  "if (read) {\n[再訪]\n}\n*move*\n{\n留まる A002\n}\n");
    // Two options: top 175, the second option's band is 225 < y < 275.
    ReplayRun run = runFromStart(game, std::string(kMove) + "click 400 250\nclick 400 500\n" +
                                           kMove + "click 400 225\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto choices = run.only("choice");
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0]["options"], (std::vector<std::string>{"森", "川"}));
    EXPECT_EQ(names(run, "scene", "name"), (std::vector<std::string>{"start", "A002", "A002"}));
    EXPECT_EQ(run.only("scene")[1]["index"], 1002);
    // The first visit comes from start; the second from A002, which is now read.
    EXPECT_EQ(pages(run), (std::vector<std::string>{"から", "再訪"}));
}

TEST(FieldMenu, ChangeCandidatesAreOfferedOnlyWhenTheirConditionHolds)
{
    GameDir game;
    game.minimalGame("*move*\n{\nchange 隠れ道 (flag1) A009\n森 A001\nchange 橋 (flag2) A003\n"
                     "川 A002\n}\n");
    game.write("script/A002.txt", "[川に来た]\n*move*\n{\n戻る A001\n}\n");
    ReplayRun run = runFromStart(game, std::string(kMove) + "click 400 250\n");
    EXPECT_EQ(run.only("choice").at(0)["options"], (std::vector<std::string>{"森", "川"}));
    EXPECT_EQ(names(run, "scene", "name"), (std::vector<std::string>{"start", "A002"}));

    game.write("script/start.txt", "flag+ 2\n*move*\n{\nchange 隠れ道 (flag1) A009\n森 A001\n"
                                   "change 橋 (flag2) A003\n川 A002\n}\n");
    // Three options: top 150, the third option's band is 250 < y < 300.
    run = runFromStart(game, std::string(kMove) + "click 400 275\n");
    EXPECT_EQ(run.only("choice").at(0)["options"],
              (std::vector<std::string>{"森", "橋", "川"}));
    EXPECT_EQ(names(run, "scene", "name"), (std::vector<std::string>{"start", "A002"}));

    // With every candidate left out, move answers like a cancel: the menu goes on.
    game.write("script/start.txt", "*search*\n[探した]\n*move*\n{\nchange 橋 (flag2) A003\n}\n");
    run = runFromStart(game, std::string(kMove) + kSearch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("menu").at(0)["move"], true);
    EXPECT_TRUE(run.only("choice").empty());
    EXPECT_EQ(pages(run), (std::vector<std::string>{"探した"}));
}

TEST(FieldMenu, ARightClickInTheDestinationListReturnsToTheMenu)
{
    GameDir game;
    game.minimalGame("*move*\n{\n森 A001\n川 A002\n}\n");
    game.write("script/A001.txt", "[森に来た]\n*move*\n{\n戻る A002\n}\n");
    ReplayRun run = runFromStart(game, std::string(kMove) + "rclick 400 200\n" + kMove +
                                           "click 400 200\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("menu").size(), 1u);
    EXPECT_EQ(run.only("choice").size(), 2u);
    EXPECT_EQ(names(run, "scene", "name"), (std::vector<std::string>{"start", "A001"}));
}

TEST(FieldMenu, SurvivesOverlongAndUnfinishedMoveLists)
{
    // Twelve candidates with words longer than a choice row after an overlong header line:
    // ten are offered, each cut to 255 bytes.
    std::string scene = "*move*" + std::string(1000, 'x') + "\n{\n";
    for (int i = 0; i < 12; ++i) scene += std::string(300, 'a' + i) + " A001\n";
    GameDir game;
    game.minimalGame(scene + "}\n");
    ReplayRun run = runFromStart(game, kMove);
    EXPECT_EQ(run.status, 0) << run.err;
    auto choices = run.only("choice");
    ASSERT_EQ(choices.size(), 1u);
    ASSERT_EQ(choices[0]["options"].size(), 10u);
    EXPECT_EQ(choices[0]["options"][9], std::string(255, 'j'));

    // The text ends inside a change candidate with an overlong condition: the list ends there.
    game.write("script/start.txt",
               "*move* {\n一 A001\nchange 二 (flag1)" + std::string(1000, ' ') + "x");
    run = runFromStart(game, kMove);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("choice").at(0)["options"], (std::vector<std::string>{"一"}));
}
