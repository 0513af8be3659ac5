// The replay's word actions, in whole runs: acting on the screens by their texts, expecting
// what the game shows and holds, the failures that end a run with status 3, and --test.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace fs = std::filesystem;

namespace {

// A start scene with a choice, a two-pick choice, a draw and a field menu that moves on.
const char kStart[] =
    "[はじまり]\n"
    "pick {\n森の奥へ flag+ 2\n森へ flag+ 1\n海へ flag+ 3\n}\n"
    "pick 2 {\n赤 item+ 0\n青 item+ 1\n白 item+ 2\n}\n"
    "para1 = rand %5\n"
    "*move*\n{\n奥へ A001\n戻る start\n}\n";

const char kA001[] = "[着いた]\nsave\n*search*\n[何もない]\n*move*\n{\n戻る start\n}\n";

class Words : public testing::Test {
protected:
    void SetUp() override
    {
        game.minimalGame(kStart);
        game.write("script/A001.txt", kA001);
    }

    ReplayRun play(const std::string& input) { return runReplay(game, input); }

    // The one line a failed run says why, with the input's path and line.
    std::string failureAt(int line, const std::string& why) const
    {
        return game.file("input.txt") + ":" + std::to_string(line) + ": " + why + "\n";
    }

    GameDir game;
};

}  // namespace

TEST_F(Words, ActOnTheScreensByTheirTextsAndExpectWhatTheGameHolds)
{
    ReplayRun run = play("title new\n"
                         "expect page はじまり\n"
                         "expect scene start\n"
                         "choose 森へ\n"           // the exact text, though 森の奥へ contains it
                         "choose #3\n"             // the second choice: 白, then 赤
                         "choose 赤\n"
                         "draw 4\n"
                         "expect flag1 == 1\n"
                         "expect flag2 != 1\n"
                         "expect item2 >= 1\n"
                         "expect item1 < 1\n"
                         "expect para1 == 4\n"
                         "expect hp > 122\n"
                         "expect gutsmax <= 72\n"
                         "goto-scene A001\n"       // from the menu: move, then the destination
                         "slot cancel\n"           // the save command's slot screen
                         "menu search\n"
                         "expect page 何もない\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    auto picks = run.only("pick");
    ASSERT_EQ(picks.size(), 3u);
    EXPECT_EQ(picks[0]["chosen"], nlohmann::json::array({2}));
    EXPECT_EQ(picks[1]["chosen"], nlohmann::json::array({3, 1}));
    EXPECT_EQ(picks[2]["chosen"], nlohmann::json::array({1}));
    EXPECT_FALSE(game.exists("save/1"));
}

TEST_F(Words, AnActionThatCannotBeDoneOrAWrongExpectationEndsTheRunWithOneLine)
{
    struct Case {
        const char* input;
        int line;
        const char* why;
    } cases[] = {
        {"title new\nchoose 山へ\n", 2,
         "expected a choice with an option 「山へ」 not yet picked, got a choice 「森の奥へ」「森へ」「海へ」"},
        {"title new\nchoose #4\n", 2,
         "expected a choice with an option #4 not yet picked, got a choice 「森の奥へ」「森へ」「海へ」"},
        {"title new\nchoose 森へ\nchoose 赤\nchoose 赤\n", 4,
         "expected a choice with an option 「赤」 not yet picked, got a choice 「赤」(picked)「青」「白」"},
        {"title new\nexpect page おわり\n", 2, "expected a page containing 「おわり」, got a page 「はじまり」"},
        {"title new\nexpect flag1 == 1\n", 2, "expected flag1 == 1, got flag1 0"},
        {"title new\nexpect scene A001\n", 2, "expected scene A001, got scene start"},
        {"title new\nchoose 森へ\nchoose 赤\nchoose 青\ndraw 5\n", 5,
         "expected a draw from 0 to 4, got 5"},
        {"title new\nchoose 森へ\nchoose 赤\nchoose 青\nmenu search\n", 5,
         "expected the field menu with search available, got the field menu (search gray, items, move)"},
        {"title new\nchoose 森へ\nchoose 赤\nchoose 青\ngoto-scene B009\n", 5,
         "expected a move to B009, got a move list 「奥へ」(A001)「戻る」(start)"},
        {"title continue\n", 1, "expected the title with continue available, got the title (start, load gray, continue gray)"},
        {"title new\nexpect ending 1\n", 2, "expected ending 1, got no ending and no game over yet"},
        // The game ends (the window is closed) before the action can be done.
        {"title new\nquit\nchoose 森へ\n", 3,
         "expected a choice with an option 「森へ」 not yet picked, got the end of the game"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ReplayRun run = play(c.input);
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, failureAt(c.line, c.why));
    }
}

TEST_F(Words, BadWordLinesAreRefusedWithTheirNumberAndWhy)
{
    struct Case {
        const char* input;
        const char* why;
    } cases[] = {
        {"title start\n", "line 1: not an action: title start (title takes new, load or continue)"},
        {"# a comment\nexpect flag == 1\n", "line 2: not an action: expect flag == 1 (expect flag: flag takes a number from 0 to 2799)"},
        {"expect hp = 3\n", "line 1: not an action: expect hp = 3 (expect hp needs OP VALUE, OP one of == != < <= > >= and VALUE a whole number)"},
        {"expect mood == 3\n", "(expect mood: not page, scene, ending, gameover or error, and KEY is not one of flagN"},
        {"draw -1\n", "(draw takes the value the draw gives, 0 or more)"},
        {"slot 4\n", "(slot takes 1, 2, 3 or cancel)"},
        {"choose #0\n", "(choose #N counts options from 1)"},
        {"choose 二 語\n", "(choose takes one word of an option's text, or #N)"},
        {"menu talk\n", "(menu takes search, items or move)"},
        {"expect ending\n", "(expect ending takes the ending's number)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ReplayRun run = play(c.input);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
    }
}

TEST_F(Words, TestFolderPlaysEveryInputFromFreshSavesAndSumsUp)
{
    // After its two choices the start scene moves to a scene that has no file: fatal.
    game.write("script/start.txt", "[はじまり]\npick {\n森へ flag+ 1\n}\npick 2 {\n赤 item+ 0\n"
                                   "青 item+ 1\n}\nmoveto Z999\n");
    std::string tests = game.file("tests");
    game.write("tests/a_pass.input", "title new\nchoose 森へ\nexpect flag1 == 1\n");
    game.write("tests/b_fail.input", "title new\nexpect flag1 == 1\n");
    game.write("tests/c_error.input", "title new\nchoose 森へ\nchoose 赤\nchoose 青\nexpect error\n");
    game.write("tests/d_unexpected.input", "title new\nchoose 森へ\nchoose 赤\nchoose 青\n");
    game.write("tests/not-a-test.txt", "nonsense\n");
    std::string command = std::string(TESSARC_REPLAY) + " --dir '" + game.path() + "' --test '" +
                          tests + "' >'" + game.file("out.txt") + "' 2>&1";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 3);
    std::string out = game.read("out.txt");
    EXPECT_NE(out.find("ok   " + tests + "/a_pass.input\n"), std::string::npos) << out;
    EXPECT_NE(out.find("FAIL " + tests + "/b_fail.input: " + tests +
                       "/b_fail.input:2: expected flag1 == 1, got flag1 0\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("ok   " + tests + "/c_error.input\n"), std::string::npos) << out;
    EXPECT_NE(out.find("FAIL " + tests +
                       "/d_unexpected.input: error: script/Z999.txt: スクリプトファイルが見つかりません\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("2 passed, 2 failed\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("not-a-test"), std::string::npos);
    // Each ran in a view of the game with saves of its own.
    EXPECT_FALSE(game.exists("save"));
}

TEST_F(Words, ComparisonsHoldExactlyToTheirBoundsAndMissingScreensAreNamed)
{
    const std::string drawn = "title new\nchoose 森へ\nchoose 赤\nchoose 青\ndraw 4\n";
    ReplayRun held = play(drawn + "expect para1 <= 4\nexpect para1 >= 4\nexpect para1 > 3\nexpect para1 < 5\n"
                                  "expect para1 != 5\n");
    EXPECT_EQ(held.status, 0) << held.err;
    for (const char* wrong : {"para1 < 4", "para1 <= 3", "para1 > 4", "para1 >= 5", "para1 != 4", "para1 == 3"}) {
        ReplayRun run = play(drawn + "expect " + wrong + "\n");
        EXPECT_EQ(run.status, 3) << wrong;
        EXPECT_EQ(run.err, failureAt(6, std::string("expected ") + wrong + ", got para1 4")) << wrong;
    }

    struct Case {
        const char* input;
        int line;
        const char* why;
    } cases[] = {
        {"title load\n", 1, "expected the title with load available, got the title (start, load gray, continue gray)"},
        {"title new\nexpect error\n", 2, "expected a fatal error, got a choice 「森の奥へ」「森へ」「海へ」"},
        {"title new\nexpect gameover\n", 2, "expected the game over, got no ending and no game over yet"},
        {"title new\nslot 1\n", 2, "expected the slot screen with slot 1 available, got a choice 「森の奥へ」「森へ」「海へ」"},
        {"title new\ngoto-scene A001\n", 2, "expected a move to A001, got a choice 「森の奥へ」「森へ」「海へ」"},
        {"title new\nquit\ndraw 1\n", 3, "expected a random draw, got the end of the game"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        fs::remove_all(game.file("save"));   // the runs before left a game to continue
        ReplayRun run = play(c.input);
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, failureAt(c.line, c.why));
    }

    // A key of the names file is expected by its name.
    game.write("system/names.txt", "flag 1 森を選んだ\n");
    ReplayRun named = play("title new\nchoose 森へ\nexpect 森を選んだ == 1\nexpect 森を選んだ > 1\n");
    EXPECT_EQ(named.status, 3);
    EXPECT_EQ(named.err, failureAt(4, "expected 森を選んだ > 1, got 森を選んだ 1"));
}

namespace {

struct TestRun {
    int status;
    std::string out;
};

TestRun runTests(const GameDir& game, const std::string& options)
{
    std::string command = std::string(TESSARC_REPLAY) + " --dir '" + game.path() + "' " + options + " >'" +
                          game.file("out.txt") + "' 2>&1";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, game.read("out.txt")};
}

}  // namespace

TEST_F(Words, EachTestFileHasSavesOfItsOwnAndTheStartItWasGiven)
{
    // The first file saves to slot 1; the second, played next, finds no save to load.
    std::string tests = game.file("tests");
    game.write("tests/a_save.input", "title new\nchoose 森へ\nchoose 赤\nchoose 青\ndraw 1\ngoto-scene A001\n"
                                     "slot 1\nexpect scene A001\n");
    game.write("tests/b_load.input", "title load\n");
    game.write("tests/c_no_error.input", "title new\nexpect error\n");
    TestRun run = runTests(game, "--test '" + tests + "/'");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "ok   " + tests + "/a_save.input\n"
                       "FAIL " + tests + "/b_load.input: " + tests + "/b_load.input:1: expected the title with "
                       "load available, got the title (start, load gray, continue gray)\n"
                       "FAIL " + tests + "/c_no_error.input: " + tests + "/c_no_error.input:2: expected a fatal "
                       "error, got a choice 「森の奥へ」「森へ」「海へ」\n"
                       "1 passed, 2 failed\n");
    EXPECT_FALSE(game.exists("save"));

    // --scene and --set start every file where they say.
    game.write("there/a.input", "expect scene A001\nslot cancel\nexpect flag1 == 1\nmenu search\nexpect page 何もない\n");
    run = runTests(game, "--scene A001 --set flag1=1 --test '" + game.file("there") + "'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "ok   " + game.file("there") + "/a.input\n1 passed, 0 failed\n");

    // A folder without tests, one that is not there, or an INPUT beside --test is a usage error.
    game.write("empty/notes.txt", "no tests\n");
    for (const std::string& bad : {"--test '" + game.file("empty") + "'", "--test '" + game.file("nowhere") + "'",
                                   "--test '" + tests + "' '" + tests + "/b_load.input'"}) {
        TestRun refused = runTests(game, bad);
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_EQ(refused.out.rfind("tessarc-replay: ", 0), 0u) << bad << ": " << refused.out;
    }
}
