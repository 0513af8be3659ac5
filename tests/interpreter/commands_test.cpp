// The scene commands: the arithmetic of a command line, which word reaches which command,
// the tables the commands write, scene names and the move to the next scene, and whole runs
// that chain scenes and read the values back through conditions.
#include "interpreter/commands.h"

#include <array>
#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/platform.h"
#include "core/replay.h"
#include "core/state.h"
#include "interpreter/scanner.h"
#include "support/gamedir.h"
#include "support/newgame.h"

namespace {

using Commands = NewGameTest;

// Carries out a command line as the interpreter hands it over: its first word, its second
// word and the whole line.
void command(const char* line)
{
    char word[600] = "", arg[300] = "";
    if (const char* rest = GetWord(word, line)) GetWord(arg, rest);
    orders3(word, arg, line);
}

// The scene position t, a, b, c.
using Position = std::array<int, 4>;

Position position() { return {t, a, b, c}; }

using Pages = std::vector<std::string>;

// The first text of each page a run showed.
Pages pagesOf(const ReplayRun& run)
{
    Pages pages;
    for (const auto& page : run.only("page")) {
        std::string text;
        for (const auto& segment : page["segments"]) text += segment["text"].get<std::string>();
        pages.push_back(text);
    }
    return pages;
}

// The field menu that a scene reaching its end opens needs a move section.
const char kMoveSection[] = "*move* {\n出口 A001\n}\n";

}  // namespace

TEST_F(Commands, MathAppliesTheFirstOperatorAndTheNumberAfterIt)
{
    EXPECT_EQ(Math_order("hp +50", 10), 60);
    EXPECT_EQ(Math_order("hp -10", 15), 5);
    EXPECT_EQ(Math_order("hp -10", 5), 0);        // "-" stops at 0
    EXPECT_EQ(Math_order("hp = 30", 5), 30);
    EXPECT_EQ(Math_order("guts = -5", 5), -5);    // "=" does not
    EXPECT_EQ(Math_order("para % 4", 10), 2);
    EXPECT_EQ(Math_order("para % 3", -7), -1);    // the remainder keeps the value's sign
    EXPECT_EQ(Math_order("hp+7", 1), 8);          // no blanks needed
    // A digit in front of any operator is taken as the operator, which does nothing.
    EXPECT_EQ(Math_order("hp 5", 9), 9);
    EXPECT_EQ(Math_order("薬2 hp -10", 20), 20);
    // An operator of another kind does nothing either.
    EXPECT_EQ(Math_order("hp > 5", 9), 9);

    // What the scripts cannot mean leaves the value as it was.
    EXPECT_EQ(Math_order("hp", 9), 9);
    EXPECT_EQ(Math_order("", 9), 9);
    EXPECT_EQ(Math_order("hp +", 9), 9);
    EXPECT_EQ(Math_order("hp % 0", 9), 9);
    EXPECT_EQ(Math_order("hp = rand %0", 9), 9);
    EXPECT_EQ(Math_order("hp = rand %", 9), 9);
    // Values near the ends of int do not wrap.
    EXPECT_EQ(Math_order("hp + 5", INT_MAX - 2), INT_MAX);
    EXPECT_EQ(Math_order("hp - 2147483647", 5), 0);
}

TEST_F(Commands, RandomDrawsAreSeededFromTheSecondOfTheClock)
{
    int first = Math_order("= rand %1000", 5);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 1000);
    // Later in the same second the draw is the same, and the operator in front of rand is
    // not applied: the value becomes the draw.
    platformDelay(900);
    EXPECT_EQ(Math_order("+ rand %1000", 999999), first);
    EXPECT_EQ(Math_order("- rand %1000", 0), first);
    // Without an operator in front, "%" is the operator and rand is only a word.
    EXPECT_EQ(Math_order("rand %6", 20), 2);

    // Other seconds draw other numbers, and always below the limit.
    std::set<int> draws;
    for (int second = 1; second <= 20; ++second) {
        platformDelay(1000);
        int draw = Math_order("= rand %6", 100);
        EXPECT_GE(draw, 0);
        EXPECT_LT(draw, 6);
        draws.insert(draw);
    }
    EXPECT_GT(draws.size(), 1u);

    // A run starting over draws the same again.
    std::string error;
    replayLoad("", "", &error);
    EXPECT_EQ(Math_order("= rand %1000", 0), first);
}

TEST_F(Commands, StatisticsAreKeptWithinTheirMaxima)
{
    command("hp -10");
    EXPECT_EQ(HP, 113);
    command("hp +50");
    EXPECT_EQ(HP, 123);
    command("hp = 500");
    EXPECT_EQ(HP, 123);
    command("hp -200");
    EXPECT_EQ(HP, 0);
    // hpmax is tested before hp: only the maximum moves.
    command("hpmax = 500");
    EXPECT_EQ(HPmax, 500);
    EXPECT_EQ(HP, 0);
    command("hp = 300");
    EXPECT_EQ(HP, 300);

    command("guts = 30");
    EXPECT_EQ(Guts, 30);
    command("guts +100");
    EXPECT_EQ(Guts, 72);
    command("guts = -5");
    EXPECT_EQ(Guts, -5);
    command("gutsmax -100");
    EXPECT_EQ(Gutsmax, 0);
    EXPECT_EQ(Guts, -5);
    command("gutsmax +8");
    EXPECT_EQ(Gutsmax, 8);
    // A maximum lowered below the value caps it only at the next change.
    command("hpmax = 100");
    EXPECT_EQ(HP, 300);
    command("hp -1");
    EXPECT_EQ(HP, 100);
}

TEST_F(Commands, AnyWordHoldingAStatisticsNameIsArithmetic)
{
    command("hp回復 +5");
    EXPECT_EQ(HP, 123);
    command("hp回復 -5");
    EXPECT_EQ(HP, 118);
    // The first name of the order hpmax, gutsmax, hp, guts, para decides.
    command("gutshp -8");
    EXPECT_EQ(HP, 110);
    EXPECT_EQ(Guts, 72);
    command("paraguts -2");
    EXPECT_EQ(Guts, 70);
    command("hpmaxguts +1");
    EXPECT_EQ(HPmax, 124);
    EXPECT_EQ(HP, 110);
    EXPECT_EQ(Guts, 70);
    // Even a word that would otherwise be a table command; its own "+" is the operator.
    command("flag+hp 3");
    EXPECT_EQ(flag[3], 0);
    EXPECT_EQ(HP, 113);

    // Table commands need the whole word: a number glued to it matches nothing.
    command("flag+3");
    command("item+2");
    command("Flag+ 4");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(flag[i], 0) << i;
        EXPECT_EQ(item[i], 0) << i;
    }
    // Words of other handlers pass through untouched.
    command("Moveto A001");
    command("se door");
    command("goto here");
    EXPECT_EQ(e, 1);
    EXPECT_STREQ(nextpoint, "");
}

TEST_F(Commands, ParametersAreNamedByTheDigitAfterPara)
{
    command("para2 = 9");
    EXPECT_EQ(parameter[2], 9);
    command("para2 +3");
    EXPECT_EQ(parameter[2], 12);
    command("para2 % 5");
    EXPECT_EQ(parameter[2], 2);
    command("para 5 = 4");
    EXPECT_EQ(parameter[5], 4);
    command("para9 = -2");
    EXPECT_EQ(parameter[9], -2);
    command("para0 -1");
    EXPECT_EQ(parameter[0], 0);
    command("para2 = rand %6");
    EXPECT_EQ(parameter[2], Math_order("= rand %6", -1));
    EXPECT_GE(parameter[2], 0);
    EXPECT_LT(parameter[2], 6);

    // Indexes outside the ten parameters change none of them.
    int before[kParameterCount];
    std::memcpy(before, parameter, sizeof before);
    for (const char* line : {"para12 = 3", "para -1 = 3", "para99 +4", "para"}) {
        SCOPED_TRACE(line);
        command(line);
        EXPECT_EQ(std::memcmp(before, parameter, sizeof before), 0);
    }
}

TEST_F(Commands, TableCommandsWriteOnlyInsideTheirTables)
{
    command("item+ 5");
    command("item+ 5");
    EXPECT_EQ(item[5], 2);
    command("item- 5");
    EXPECT_EQ(item[5], 1);
    command("item- 6");
    EXPECT_EQ(item[6], 0);   // never below 0
    item[7] = -2;
    command("item- 7");
    EXPECT_EQ(item[7], -3);  // any count but 0 goes down
    item[8] = INT_MAX;
    command("item+ 8");
    EXPECT_EQ(item[8], INT_MAX);
    command("item+ 69");
    EXPECT_EQ(item[69], 1);

    command("flag+ 2799");
    EXPECT_EQ(flag[2799], 1);
    command("flag- 2799");
    EXPECT_EQ(flag[2799], 0);
    command("check+ 55");
    EXPECT_EQ(findcheck[55], 1);
    command("check- 55");
    EXPECT_EQ(findcheck[55], 0);
    scripttime = 7;
    command("timecheck 4");
    EXPECT_EQ(timecheck[4], 7);
    command("timecheck 279");
    EXPECT_EQ(timecheck[279], 7);

    // Numbers outside the tables write nowhere; the sanitizers watch the memory around them.
    for (const char* line : {"item+ 70", "item+ 99", "item- 99", "item+ -1", "flag+ 2800",
                             "flag+ 5000", "flag- -3", "check+ 56", "check+ 60",
                             "check- -1", "timecheck 280", "timecheck 300", "timecheck -1",
                             "item+ 99999999999"}) {
        SCOPED_TRACE(line);
        command(line);
    }
    EXPECT_EQ(item[0], 0);
    EXPECT_EQ(flag[0], 0);
    EXPECT_EQ(findcheck[0], 0);
    EXPECT_EQ(timecheck[0], 0);
}

TEST_F(Commands, SceneNamesGiveTheSceneGroupAndItsDigits)
{
    const struct {
        const char* name;
        Position expected;
    } cases[] = {
        {"OP", {1, 0, 0, 0}},     {"OPENING", {1, 0, 0, 0}}, {"A012", {1, 0, 1, 2}},
        {"C105", {3, 1, 0, 5}},   {"B007", {2, 0, 0, 7}},    {"B7", {2, 0, 0, 7}},
        {"Z999", {26, 9, 9, 9}},  {"O12", {15, 0, 1, 2}},    {"D", {4, 0, 0, 0}},
        // A first character that is not a capital letter keeps the group.
        {"c012", {5, 0, 1, 2}},   {"1234", {5, 2, 3, 4}},    {"", {5, 0, 0, 0}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        t = 5, a = b = c = 8;
        sceneFromName(test.name);
        EXPECT_EQ(position(), test.expected);
    }
}

TEST_F(Commands, MovetoMarksTheSceneReadAndShiftsTheNames)
{
    sceneFromName("A012");
    std::strcpy(nextpoint, "A012");
    std::strcpy(prepoint, "start");
    command("moveto B007");
    EXPECT_EQ(e, 2);
    EXPECT_EQ(scriptread[1012], 1);
    EXPECT_EQ(scriptread[2007], 0);
    EXPECT_EQ(position(), (Position{2, 0, 0, 7}));
    EXPECT_STREQ(nextpoint, "B007");
    EXPECT_STREQ(prepoint, "A012");

    e = 1;
    command("moveto OP");
    EXPECT_EQ(e, 2);
    EXPECT_EQ(scriptread[2007], 1);
    EXPECT_EQ(sceneIndex(), 1000);
    EXPECT_STREQ(nextpoint, "OP");
    EXPECT_STREQ(prepoint, "B007");

    // A lower-case name stays in the group it is in.
    leaveScene("c012");
    EXPECT_EQ(scriptread[1000], 1);
    EXPECT_EQ(sceneIndex(), 1012);
    EXPECT_STREQ(nextpoint, "c012");

    // Names too long or too large for the tables are cut and kept inside them.
    std::string longName = "A" + std::string(100, '9');
    leaveScene(longName.c_str());
    EXPECT_EQ(std::strlen(nextpoint), sizeof nextpoint - 1);
    EXPECT_EQ(longName.compare(0, sizeof nextpoint - 1, nextpoint), 0);
    EXPECT_STREQ(prepoint, "c012");
    EXPECT_GE(sceneIndex(), 0);
    EXPECT_LT(sceneIndex(), kSceneCount);
    leaveScene("Z99999");
    EXPECT_EQ(sceneIndex(), kSceneCount - 1);
    leaveScene("A-99999999999");
    EXPECT_EQ(sceneIndex(), 0);
}

TEST(CommandsRun, ScenesChainThroughTheirNamesAndReadMarks)
{
    GameDir game;
    // The start scene moves on at its first visit and shows a page when it comes back as OP,
    // which is the same scene index 1000. The scenes test the names and marks they are
    // entered with.
    game.minimalGame(std::string("if (read) {\n[again]\n}else{\ntimecheck 3\nmoveto B007\n}\n") +
                     kMoveSection);
    game.write("script/B007.txt", std::string("if (from start & !read) {\nmoveto c012\n}\n"
                                              "[wrong B007]\n") + kMoveSection);
    game.write("script/c012.txt", std::string("if (from B007 & time 3 == 2) {\nmoveto OP\n}\n"
                                              "[wrong c012]\n") + kMoveSection);
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::pair<std::string, int>> scenes;
    for (const auto& scene : run.only("scene"))
        scenes.emplace_back(scene["name"].get<std::string>(), scene["index"].get<int>());
    EXPECT_EQ(scenes, (std::vector<std::pair<std::string, int>>{
                          {"start", 1000}, {"B007", 2007}, {"c012", 2012}, {"OP", 1000}}));
    EXPECT_EQ(pagesOf(run), Pages{"again"});
}

TEST(CommandsRun, CommandLinesChangeTheStateThatConditionsRead)
{
    GameDir game;
    game.minimalGame(std::string("hp -10\nguts = 30\nhpmax +7\nhp回復 -3\n"
                                 "if (hp == 110 & guts == 30 & hpmax == 130) {\n[stats]\n}\n"
                                 "item+ 2\nitem+ 2\nitem- 2\nitem- 3\nflag+ 12\nflag+3\n"
                                 "check+ 4\n"
                                 "if (item2 & !item3 & flag12 & !flag3 & check4) {\n[tables]\n}\n"
                                 "para3 = 7\npara3 % 4\n"
                                 "if (para3 == 3) {\n[para]\n}\n"
                                 "hp -200\n[never]\n") + kMoveSection);
    ReplayRun run = runFromStart(game, "press return\npress return\npress return\n");
    // HP 0 ends the game, with its game-over text, before the next line is read.
    Pages pages = pagesOf(run);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(Pages(pages.begin(), pages.begin() + 3), (Pages{"stats", "tables", "para"}));
    EXPECT_NE(pages[3], "never");
}

TEST(CommandsRun, PicturesAndMusicArePathsOrNamesInTheirFolders)
{
    GameDir game;
    game.picture("bg/forest.jpg", 800, 600, 0x204020);
    game.picture("pictures/plain.jpg", 800, 600, 0x202040);
    game.minimalGame("bg forest\nbg ./pictures/plain.jpg\nbg missing\n"
                     "bgm theme\nbgm ./music/theme.mid\nbgm ./music/loop.ogg\nbgmoff\n[end]\n" +
                     std::string(kMoveSection));
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> pictures, tracks;
    for (const auto& event : run.only("bg")) pictures.push_back(event["path"]);
    bool inScene = false;
    for (const auto& event : run.events) {
        if (event["ev"] == "scene") inScene = true;
        if (inScene && event["ev"] == "music") tracks.push_back(event["path"]);
    }
    // A picture that cannot be loaded leaves no trace.
    ASSERT_GE(pictures.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(pictures.end() - 2, pictures.end()),
              (std::vector<std::string>{"./bg/forest.jpg", "./pictures/plain.jpg"}));
    EXPECT_EQ(tracks, (std::vector<std::string>{"./bgm/theme.ogg", "./music/theme.mid",
                                                "./music/loop.ogg", "off"}));
    EXPECT_EQ(pagesOf(run), Pages{"end"});
}
