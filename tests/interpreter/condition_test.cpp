// The condition language: the shortcuts, every term kind, negation, the AND/OR mode, reads
// outside the tables, and the fatal error for a term the evaluator cannot read.
#include "interpreter/condition.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/state.h"
#include "support/gamedir.h"
#include "support/newgame.h"

namespace {

using Condition = NewGameTest;

const char kBadCondition[] = "if文の文法が間違っています";

// Runs a start scene whose first line is the given condition line.
ReplayRun runLine(const std::string& line)
{
    GameDir game;
    game.minimalGame(line + "\n[中]\n}\n[後]\n");
    return runFromStart(game, "");
}

}  // namespace

TEST_F(Condition, ShortcutsDecideTheWholeTextWithoutReadingTerms)
{
    EXPECT_EQ(ifthrough("if (1) {", 0), 1);
    EXPECT_EQ(ifthrough("if ( 1 ) {", 0), 1);
    EXPECT_EQ(ifthrough("if (0) {", 0), 0);
    EXPECT_EQ(ifthrough("while ( 0 ) {", 0), 0);
    // "(1)" wins over "(0)", and terms without a keyword are never looked at.
    EXPECT_EQ(ifthrough("(0) & (1)", 0), 1);
    EXPECT_EQ(ifthrough("if (0) & nonsense {", 0), 0);
    // "(flag1)" is an ordinary term, not the shortcut.
    EXPECT_EQ(ifthrough("if (flag1) {", 0), 0);
    flag[1] = 1;
    EXPECT_EQ(ifthrough("if (flag1) {", 0), 1);
    // The caller's previous code does not change the result.
    EXPECT_EQ(ifthrough("if (flag1) {", 1), 1);
    EXPECT_EQ(ifthrough("if (flag1) {", 100), 1);
}

TEST_F(Condition, TableTermsTestWhetherTheEntryIsSet)
{
    flag[12] = 1;
    item[2] = 3;
    item[3] = -1;
    findcheck[7] = 1;
    EXPECT_EQ(ifthrough("if (flag 12) {", 0), 1);
    EXPECT_EQ(ifthrough("if (flag12) {", 0), 1);
    EXPECT_EQ(ifthrough("if (flag1) {", 0), 0);   // the whole number is the index
    EXPECT_EQ(ifthrough("if (item2) {", 0), 1);   // any count of at least one
    EXPECT_EQ(ifthrough("if (item3) {", 0), 0);
    EXPECT_EQ(ifthrough("if (check7) {", 0), 1);
    EXPECT_EQ(ifthrough("if (check12) {", 0), 0);   // findcheck, not flag
    // Without a number the entry is 0.
    EXPECT_EQ(ifthrough("if (flag) {", 0), 0);
    flag[0] = 1;
    EXPECT_EQ(ifthrough("if (flag) {", 0), 1);

    // The size bounds the table even where memory goes on behind it.
    int table[5] = {1, 0, 1, 0, 1};
    EXPECT_EQ(ifchecking1("x 1", table + 1, 3), 1);
    EXPECT_EQ(ifchecking1("x 3", table + 1, 3), 0);
    EXPECT_EQ(ifchecking1("x -1", table + 1, 3), 0);
}

TEST_F(Condition, ComparisonsTakeTheOperatorAndTheNumberBehindIt)
{
    EXPECT_EQ(ifchecking2("hp > 5", 6), 1);
    EXPECT_EQ(ifchecking2("hp > 5", 5), 0);
    EXPECT_EQ(ifchecking2("hp>=5", 5), 1);
    EXPECT_EQ(ifchecking2("hp>=5", 4), 0);
    EXPECT_EQ(ifchecking2("hp < 5", 4), 1);
    EXPECT_EQ(ifchecking2("hp < 5", 5), 0);
    EXPECT_EQ(ifchecking2("hp <= 5", 5), 1);
    EXPECT_EQ(ifchecking2("hp <= 5", 6), 0);
    EXPECT_EQ(ifchecking2("hp = 5", 5), 1);
    EXPECT_EQ(ifchecking2("hp == 5", 5), 1);
    EXPECT_EQ(ifchecking2("hp == 5", 6), 0);
    // "=<" is "=" followed by a number that is not there: a test for 0.
    EXPECT_EQ(ifchecking2("hp =< 50", 50), 0);
    EXPECT_EQ(ifchecking2("hp =< 50", 0), 1);
    // Without an operator the comparison is false; without a number it is against 0.
    EXPECT_EQ(ifchecking2("hp 50", 50), 0);
    EXPECT_EQ(ifchecking2("hp", 0), 0);
    EXPECT_EQ(ifchecking2("hp >", 1), 1);
    EXPECT_EQ(ifchecking2("hp >", 0), 0);
    // A sign belongs to the number.
    EXPECT_EQ(ifchecking2("hp > -5", -4), 1);
    EXPECT_EQ(ifchecking2("hp > -5", -5), 0);
    EXPECT_EQ(ifchecking2("hp = -3", -3), 1);
    EXPECT_EQ(ifchecking2("hp <-3", -4), 1);

    HP = 50;
    EXPECT_EQ(ifthrough("if (hp == 50) {", 0), 1);
    EXPECT_EQ(ifthrough("if (hp>=30) {", 0), 1);
    EXPECT_EQ(ifthrough("if (hp =< 50) {", 0), 0);
    EXPECT_EQ(ifthrough("if (hp 50) {", 0), 0);
    EXPECT_EQ(ifthrough("if (!hp 50) {", 0), 1);
}

TEST_F(Condition, EachStateTermComparesItsOwnValue)
{
    HP = 10, HPmax = 100, Guts = 90, Gutsmax = 50, t = 3;
    EXPECT_EQ(ifthrough("if (hpmax > 80) {", 0), 1);
    EXPECT_EQ(ifthrough("if (hp > 80) {", 0), 0);
    EXPECT_EQ(ifthrough("if (gutsmax > 80) {", 0), 0);
    EXPECT_EQ(ifthrough("if (guts > 80) {", 0), 1);
    EXPECT_EQ(ifthrough("if (route=3) {", 0), 1);
    EXPECT_EQ(ifthrough("if (route = 4) {", 0), 0);
    // The first keyword of the fixed order decides, wherever it stands in the term.
    reread = 1;
    EXPECT_EQ(ifthrough("if (read flag2) {", 0), 0);
    EXPECT_EQ(ifthrough("if (hp < 0 item0 ) {", 0), 0);
    item[0] = 1;
    EXPECT_EQ(ifthrough("if (hp < 0 item0 ) {", 0), 1);
}

TEST_F(Condition, ParaTermsTakeOnlyOneDigitAsTheIndex)
{
    parameter[3] = 1;
    parameter[1] = 5;
    parameter[9] = -2;
    EXPECT_EQ(ifthrough("if (para3<2) {", 0), 1);
    EXPECT_EQ(ifthrough("if (para3 > 1) {", 0), 0);
    EXPECT_EQ(ifthrough("if (para 3 == 1) {", 0), 1);
    EXPECT_EQ(ifthrough("if (para9 = -2) {", 0), 1);
    EXPECT_EQ(ifthrough("if (para1 > 4) {", 0), 1);
    // A second digit is where the comparison starts, and no operator stands there.
    EXPECT_EQ(ifthrough("if (para12 > 0) {", 0), 0);
    EXPECT_EQ(ifthrough("if (para10 = 0) {", 0), 0);
    EXPECT_EQ(ifthrough("if (!para12 > 0) {", 0), 1);
}

TEST_F(Condition, TimeTermsCountTheScenesSinceTheirMark)
{
    scripttime = 10;
    timecheck[4] = 7;
    timecheck[12] = 9;
    EXPECT_EQ(ifthrough("if (time 4 > 2) {", 0), 1);
    EXPECT_EQ(ifthrough("if (time 4 > 3) {", 0), 0);
    EXPECT_EQ(ifthrough("if (time4>=3) {", 0), 1);
    EXPECT_EQ(ifthrough("if (time 4 == 3) {", 0), 1);
    EXPECT_EQ(ifthrough("if (time 4 < 3) {", 0), 0);
    // The mark number may have several digits.
    EXPECT_EQ(ifthrough("if (time 12 = 1) {", 0), 1);
    // A mark never set counts from the start of the game.
    EXPECT_EQ(ifthrough("if (time 5 = 10) {", 0), 1);
    // Without an operator after the mark the term is false.
    EXPECT_EQ(ifthrough("if (time 4) {", 0), 0);
    EXPECT_EQ(ifthrough("if (time 4 3) {", 0), 0);
    EXPECT_EQ(ifthrough("if (!time 4 3) {", 0), 1);
}

TEST_F(Condition, FromAndReadLookAtTheSceneJustLeftAndTheRunningOne)
{
    std::strcpy(prepoint, "A012");
    EXPECT_EQ(ifthrough("if (from A012) {", 0), 1);
    EXPECT_EQ(ifthrough("if (from A013) {", 0), 0);
    EXPECT_EQ(ifthrough("if (from A013 A012) {", 0), 1);   // anywhere after the keyword
    EXPECT_EQ(ifthrough("if (A012 from B001) {", 0), 0);   // but not in front of it
    prepoint[0] = '\0';
    EXPECT_EQ(ifthrough("if (from A013) {", 0), 1);        // an empty name is in every text

    EXPECT_EQ(ifthrough("if (read) {", 0), 0);
    EXPECT_EQ(ifthrough("if (!read) {", 0), 1);
    reread = 1;
    EXPECT_EQ(ifthrough("if (read) {", 0), 1);
    EXPECT_EQ(ifthrough("if (!read) {", 0), 0);
    // A lone term answers its value as it is; "!" inverts only 0 and 1.
    reread = 2;
    EXPECT_EQ(ifthrough("if (read) {", 0), 2);
    EXPECT_EQ(ifthrough("if (!read) {", 0), 2);
}

TEST_F(Condition, NegationAnywhereInATermInvertsThatTermOnly)
{
    flag[3] = 1;
    EXPECT_EQ(ifthrough("if (flag3 & !item2) {", 0), 1);
    EXPECT_EQ(ifthrough("if (flag3! & !item2) {", 0), 0);
    EXPECT_EQ(ifthrough("if (flag3 & item2!) {", 0), 1);
    item[2] = 1;
    EXPECT_EQ(ifthrough("if (flag3 & !item2) {", 0), 0);
    // Text behind the condition belongs to the last term.
    EXPECT_EQ(ifthrough("if (flag3) { // not !", 0), 0);
    EXPECT_EQ(ifthrough("if (flag3 & item2) { !", 0), 0);
    EXPECT_EQ(ifthrough("if (item2 & flag4) { !", 0), 1);
}

TEST_F(Condition, TheWholeTextChoosesAndOverOr)
{
    flag[1] = 1;
    EXPECT_EQ(ifthrough("if (flag1 | flag2) {", 0), 1);
    EXPECT_EQ(ifthrough("if (flag2 | flag1) {", 0), 1);
    EXPECT_EQ(ifthrough("if (flag2 || flag3) {", 0), 0);
    EXPECT_EQ(ifthrough("if (flag1 & flag2) {", 0), 0);
    EXPECT_EQ(ifthrough("if (flag1 && flag1) {", 0), 1);
    // One "&" makes every separator an AND, with no precedence between them.
    EXPECT_EQ(ifthrough("if (flag1 | flag2 & flag3) {", 0), 0);
    EXPECT_EQ(ifthrough("if (flag2 & flag3 | flag1) {", 0), 0);
    flag[2] = flag[3] = 1;
    EXPECT_EQ(ifthrough("if (flag1 | flag2 & flag3) {", 0), 1);

    // OR looks for a 1, AND for a 0; other values are neither.
    reread = 2;
    flag[2] = 0;
    EXPECT_EQ(ifthrough("if (read | flag2) {", 0), 0);
    EXPECT_EQ(ifthrough("if (read & flag1) {", 0), 1);

    // Fifty terms are all read.
    std::string all, any;
    for (int i = 0; i < 49; ++i) {
        all += "flag1 & ";
        any += "flag2 | ";
    }
    EXPECT_EQ(ifthrough((all + "flag2").c_str(), 0), 0);
    EXPECT_EQ(ifthrough((all + "flag1").c_str(), 0), 1);
    EXPECT_EQ(ifthrough((any + "flag1").c_str(), 0), 1);
    EXPECT_EQ(ifthrough((any + "flag2").c_str(), 0), 0);
}

TEST_F(Condition, ReadsOutsideTheTablesCountAsZero)
{
    std::memset(flag, 1, sizeof flag);
    std::memset(item, 1, sizeof item);
    std::memset(findcheck, 1, sizeof findcheck);
    EXPECT_EQ(ifthrough("if (flag 2799) {", 0), 1);
    EXPECT_EQ(ifthrough("if (flag 5000) {", 0), 0);
    EXPECT_EQ(ifthrough("if (flag -1) {", 0), 0);
    EXPECT_EQ(ifthrough("if (!flag 2800) {", 0), 1);
    EXPECT_EQ(ifthrough("if (item69) {", 0), 1);
    EXPECT_EQ(ifthrough("if (item70) {", 0), 0);
    EXPECT_EQ(ifthrough("if (item 99) {", 0), 0);
    EXPECT_EQ(ifthrough("if (check 56) {", 0), 0);
    EXPECT_EQ(ifthrough("if (flag 99999999999) {", 0), 0);

    scripttime = 6;
    timecheck[279] = 4;
    EXPECT_EQ(ifthrough("if (time 279 = 2) {", 0), 1);
    EXPECT_EQ(ifthrough("if (time 300 = 6) {", 0), 1);
    EXPECT_EQ(ifthrough("if (time -3 = 6) {", 0), 1);
    EXPECT_EQ(ifthrough("if (!para99 > 0) {", 0), 1);
}

TEST(ConditionRun, ATermWithoutAKeywordStopsTheGame)
{
    // The same scene with a readable condition runs through.
    EXPECT_EQ(runLine("if (flag1 | !flag2) {").status, 0);

    for (const char* line : {"if (flag1 &) {", "if (flag1 | ) {", "if flag1 &",
                             "if (nothing) {", "if (flag1 & sword) {"}) {
        SCOPED_TRACE(line);
        ReplayRun run = runLine(line);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(reportsFatal(run.err, kBadCondition)) << run.err;
        auto errors = run.only("error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0]["message"], kBadCondition);
    }
}
