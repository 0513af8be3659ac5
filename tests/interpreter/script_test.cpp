// Whole scenes through tessarc-replay: if chains, skipped blocks, while and do loops, break,
// Escape, the fatal brace and nesting errors, and the line limits. What ran is read from the
// page events: every message line shows one page, and every page waits for a press.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace {

using Pages = std::vector<std::string>;

struct SceneRun {
    int status;
    std::string err;
    Pages pages;   // the text of each page shown, its rows joined by "|"
};

// The field menu that a scene reaching its end opens needs a move section.
const char kMoveSection[] = "*move* {\n出口 A001\n}\n";

// Plays scene, followed by a move section, as the start scene of a new game (start is
// clicked on the title): input first, then presses page advances. Once the input is used up
// the next wait quits the game.
SceneRun play(const std::string& scene, int presses = 10, const std::string& input = "")
{
    GameDir game;
    game.minimalGame(scene + kMoveSection);
    std::string actions = "click 400 370\n" + input;
    for (int i = 0; i < presses; ++i) actions += "press return\n";
    ReplayRun run = runReplay(game, actions);
    SceneRun result{run.status, run.err, {}};
    for (const auto& page : run.only("page")) {
        std::string text;
        int row = -1;
        for (const auto& segment : page["segments"]) {
            if (row >= 0 && segment["row"] != row) text += "|";
            row = segment["row"];
            text += segment["text"].get<std::string>();
        }
        result.pages.push_back(text);
    }
    return result;
}

// The pages of a scene that must run without an error.
Pages pagesOf(const std::string& scene, int presses = 10)
{
    SceneRun run = play(scene, presses);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.pages;
}

// A scene that shows the pages before and then stops on the fatal message.
void expectFatal(const std::string& scene, const std::string& message, const Pages& before)
{
    SceneRun run = play(scene);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(reportsFatal(run.err, message)) << run.err;
    EXPECT_EQ(run.pages, before);
}

std::string repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

const char kBadCondition[] = "if文の文法が間違っています";

}  // namespace

TEST(Script, IfChainsRunTheFirstTrueBranchOnly)
{
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n}else{\n[B]\n}\n[C]\n"), (Pages{"A", "C"}));
    EXPECT_EQ(pagesOf("if (0) {\n[A]\n}else{\n[B]\n}\n[C]\n"), (Pages{"B", "C"}));
    const std::string chain = "if (0) {\n[A]\n}elseif (1) {\n[B]\n}elseif (1) {\n[C]\n"
                              "}else{\n[D]\n}\n[E]\n";
    EXPECT_EQ(pagesOf(chain), (Pages{"B", "E"}));
    EXPECT_EQ(pagesOf("if (0) {\n[A]\n}elseif (0) {\n[B]\n}else{\n[C]\n}\n[D]\n"),
              (Pages{"C", "D"}));
    // The condition is the whole line, read against the game state: HP 123, a first visit,
    // route 1.
    EXPECT_EQ(pagesOf("if hp > 100 {\n[A]\n}\nif read {\n[B]\n}elseif !read {\n[C]\n}\n"
                      "if route = 2 {\n[D]\n}elseif route = 1 {\n[E]\n}\n"),
              (Pages{"A", "C", "E"}));
    // Each level keeps its own chain: a false inner chain does not reopen the outer else.
    EXPECT_EQ(pagesOf("if (1) {\n[A]\nif (0) {\n[X]\n}else{\n[B]\n}\n[C]\n}else{\n[Y]\n}\n"
                      "[D]\n"),
              (Pages{"A", "B", "C", "D"}));
    // Blocks hold any number of lines; the levels come back down after each one.
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n[B]\n}\nif (0) {\n[X]\n}\n[C]\n"),
              (Pages{"A", "B", "C"}));
}

TEST(Script, ABranchContinuesTheChainOnlyWhenItsKeywordTouchesTheBrace)
{
    // "}" alone as the first word ends the chain and opens nothing, so the lines after it
    // run whatever came before, and the last "}" closes nothing.
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n} else {\n[B]\n}\n[C]\n"), (Pages{"A", "B", "C"}));
    EXPECT_EQ(pagesOf("if (0) {\n[A]\n} else {\n[B]\n}\n[C]\n"), (Pages{"B", "C"}));
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n} elseif (0) {\n[B]\n}\n[C]\n"),
              (Pages{"A", "B", "C"}));
    // A command line between the branches ends the chain too.
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n}\nnoop\nelse {\n[B]\n}\n[C]\n"),
              (Pages{"A", "B", "C"}));
}

TEST(Script, AnElseifAfterATrueBranchIsNotEvaluated)
{
    // A condition without any keyword would be fatal if it were read.
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n}elseif (bogus) {\n[B]\n}elseif (bogus) {\n[C]\n"
                      "}else{\n[D]\n}\n[E]\n"),
              (Pages{"A", "E"}));
    EXPECT_EQ(pagesOf("if (0) {\n[A]\n}elseif (1) {\n[B]\n}elseif (bogus) {\n[C]\n}\n[D]\n"),
              (Pages{"B", "D"}));
    // After a false branch it is evaluated.
    expectFatal("if (0) {\n[A]\n}elseif (bogus) {\n[B]\n}\n[C]\n", kBadCondition, {});
}

TEST(Script, AFalseBlockIsSkippedWithEverythingNestedInIt)
{
    // The lines inside are never classified: no message, no loop, no break, no condition,
    // no field menu, and nested blocks (a lone "{" among them) are skipped whole.
    const std::string skipped = "if (0) {\n"
                                "[A]\n"
                                "if (1) {\n[B]\n}else{\n[C]\n}\n"
                                "while (1) {\n[D]\n}\n"
                                "do {\n[E]\n}while (1)\n"
                                "{\n[F]\n}\n"
                                "if (bogus) {\n[G]\n}\n"
                                "break\nmenu\n*search*\n"
                                "}\n[H]\n";
    EXPECT_EQ(pagesOf(skipped), (Pages{"H"}));
    // A skipped else branch skips its own nested chain as well.
    EXPECT_EQ(pagesOf("if (1) {\n[A]\n}else{\nif (1) {\n[X]\n}else{\n[Y]\n}\n[Z]\n}\n[B]\n"),
              (Pages{"A", "B"}));
    // Whereas a lone "{" in running text is a command that opens nothing.
    EXPECT_EQ(pagesOf("{\n[A]\n}\nif (0) {\n[X]\n}else{\n[B]\n}\n"), (Pages{"A", "B"}));
}

TEST(Script, AMessageRunsFromTheLastOpeningBracketOfItsLineToTheClosingOne)
{
    // A message may span lines; what stands in it is text, never commands.
    EXPECT_EQ(pagesOf("[one\nif (0) {\ntwo]\n[three]\n"),
              (Pages{"one|if (0) {|two", "three"}));
    EXPECT_EQ(pagesOf("[A] [B]\n[C]\n"), (Pages{"B", "C"}));
    // The rest of the closing line is never executed.
    EXPECT_EQ(pagesOf("[A] if (0) {\n[B]\n}\n[C]\n"), (Pages{"A", "B", "C"}));
    // Comment lines and stray closing lines of a message are passed over.
    EXPECT_EQ(pagesOf("// if (0) {\n[A]\n] break\n[B]\n"), (Pages{"A", "B"}));
}

TEST(Script, WhileLoopsTestTheirHeadOnEveryPass)
{
    // False at the first test: the body is skipped once, and nothing loops.
    EXPECT_EQ(pagesOf("while (0) {\n[A]\nif (1) {\n[B]\n}\n}\n[C]\n"), (Pages{"C"}));
    EXPECT_EQ(pagesOf("while hp > 200 {\n[A]\n}\nif (0) {\n[B]\n}else{\n[C]\n}\n"),
              (Pages{"C"}));
    // A loop that always holds runs until the player quits; lines before its head run once,
    // and a chain in the body is taken afresh on every pass.
    EXPECT_EQ(pagesOf("[pre]\nwhile (1) {\nif (0) {\n[X]\n}else{\n[A]\n}\n[B]\n}\n[after]\n",
                      4),
              (Pages{"pre", "A", "B", "A", "B"}));
    // A break in a skipped block is not carried out.
    EXPECT_EQ(pagesOf("while (1) {\n[A]\nif (0) {\nbreak\n}\n}\n[B]\n", 2),
              (Pages{"A", "A", "A"}));
}

TEST(Script, BreakLeavesTheInnermostLoopAndGoesOnBehindIt)
{
    EXPECT_EQ(pagesOf("while (1) {\n[A]\nbreak\n[B]\n}\n[C]\n"), (Pages{"A", "C"}));
    // From inside nested blocks; the blocks it leaves do not disturb the chains behind it.
    EXPECT_EQ(pagesOf("while (1) {\n[A]\nif (1) {\nif hp > 100 {\nbreak\n}\n[X]\n}\n[B]\n}\n"
                      "[C]\nif (0) {\n[Y]\n}else{\n[D]\n}\n"),
              (Pages{"A", "C", "D"}));
    // Only the inner loop is left; the outer one goes on.
    EXPECT_EQ(pagesOf("while (1) {\n[A]\nwhile (1) {\n[B]\nif (1) {\nbreak\n}\n[X]\n}\n"
                      "[C]\n}\n[Y]\n",
                      5),
              (Pages{"A", "B", "C", "A", "B", "C"}));
    // From an else branch.
    EXPECT_EQ(pagesOf("while (1) {\n[A]\nif (0) {\n[X]\n}else{\nbreak\n}\n[Y]\n}\n[B]\n"),
              (Pages{"A", "B"}));
}

TEST(Script, DoLoopsRunTheirBodyBeforeTheFirstTest)
{
    // The closing line may hold a blank between the brace and while.
    EXPECT_EQ(pagesOf("do {\n[A]\n}while (0)\n[B]\n"), (Pages{"A", "B"}));
    EXPECT_EQ(pagesOf("do {\n[A]\n} while (0)\n[B]\n"), (Pages{"A", "B"}));
    EXPECT_EQ(pagesOf("[pre]\ndo {\n[A]\nif (1) {\n[B]\n}\n} while read\n[C]\n"),
              (Pages{"pre", "A", "B", "C"}));
    EXPECT_EQ(pagesOf("do {\n[A]\nif (0) {\n[X]\n}\n[B]\n}while (1)\n[C]\n", 3),
              (Pages{"A", "B", "A", "B"}));
    // A break skips the rest of the body; the closing line is then read as a line of its
    // own, and with a true condition the scene goes on behind it.
    EXPECT_EQ(pagesOf("do {\n[A]\nif hp > 100 {\nbreak\n}\n[B]\n}while (1)\n[C]\n"),
              (Pages{"A", "C"}));
    // A do loop inside a while loop.
    EXPECT_EQ(pagesOf("while (1) {\n[A]\ndo {\n[B]\n}while (0)\n[C]\n}\n", 4),
              (Pages{"A", "B", "C", "A", "B"}));
}

TEST(Script, EscapeHeldEndsTheSceneAtTheNextLine)
{
    // Control held lets the page waits pass on their own, so only the scene itself can
    // stop at the Escape key.
    SceneRun run = play("[A]\n[B]\nif (1) {\n[C]\n}\n", 0, "keydown lctrl\nkeydown escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.pages, (Pages{"A"}));
}

TEST(Script, AMenuLineOpensTheFieldMenu)
{
    SceneRun run = play("[A]\nmenu\n[B]\n", 1);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.pages, (Pages{"A"}));
    run = play("[A]\n*search*\n[B]\n", 1);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.pages, (Pages{"A"}));
}

TEST(Script, ADoBlockMustBeClosedByAWhileLine)
{
    expectFatal("do {\n[A]\n}\n[B]\n", "do文の文法が間違っています", {"A"});
    expectFatal("do {\n[A]\n}else{\n[B]\n}\n", "do文の文法が間違っています", {"A"});
}

TEST(Script, ALoopWhoseBracesDoNotMatchIsFatal)
{
    // The walk back from the closing line finds no opening brace.
    expectFatal("[A]\nwhile (1)\n[B]\n}\n[C]\n", "｛の数が足りません", {"A", "B"});
    // The first brace the walk back meets opens a block.
    expectFatal("while (1) {\n[A]\n}{\n[B]\n", "while文の｛｝の数が異常です", {"A"});
}

TEST(Script, BlocksNestNineteenLevelsDeep)
{
    auto nested = [](int depth, const char* outer) {
        return std::string(outer) + repeat("if (1) {\n", depth - 1) + "[deep]\n" +
               repeat("}\n", depth) + "[out]\n";
    };
    EXPECT_EQ(pagesOf(nested(19, "if (1) {\n")), (Pages{"deep", "out"}));
    EXPECT_EQ(pagesOf(nested(19, "if (0) {\n")), (Pages{"out"}));
    const char tooDeep[] = "｛｝の入れ子が深すぎます（19段まで）";
    expectFatal("[A]\n" + nested(20, "if (1) {\n"), tooDeep, {"A"});
    expectFatal("[A]\n" + nested(20, "if (0) {\n"), tooDeep, {"A"});
    expectFatal(nested(20, "while (1) {\n"), tooDeep, {});
}

TEST(Script, ABreakOutsideAnyLoopIsFatal)
{
    const char outside[] = "breakがwhile文やdo文の外にあります";
    expectFatal("[A]\nbreak\n[B]\n", outside, {"A"});
    expectFatal("if (1) {\n[A]\nif (1) {\nbreak\n}\n}\n[B]\n", outside, {"A"});
    // Behind a loop that has ended.
    expectFatal("while (0) {\n}\ndo {\n[A]\n}while (0)\nbreak\n", outside, {"A"});
}

TEST(Script, AClosingBraceAtTheOutermostLevelClosesNothing)
{
    EXPECT_EQ(pagesOf("}\n}\n[A]\nif (0) {\n[X]\n}else{\n[B]\n}\n}\n[C]\nwhile (1) {\n[D]\n"
                      "break\n}\n[E]\n"),
              (Pages{"A", "B", "C", "D", "E"}));
}

TEST(Script, OverlongLinesAndWordsAreCut)
{
    const std::string scene = "[A]\n"
                              "// " + repeat("c", 1000) + "\n" +
                              repeat("x", 1000) + "\n" +
                              "noop " + repeat("y", 1000) + " " + repeat("z", 700) + "\n" +
                              "if (1) { " + repeat("w", 1000) + "\n[B]\n}\n" +
                              "if hp > 100 " + repeat("h", 1000) + " {\n[C]\n}\n" +
                              "while (0) { " + repeat("v", 1000) + "\n[X]\n}\n" +
                              "[D]\n";
    EXPECT_EQ(pagesOf(scene), (Pages{"A", "B", "C", "D"}));
}
