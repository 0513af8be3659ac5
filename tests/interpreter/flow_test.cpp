// Sound effects, jumps and choices in whole runs: what each entry of a choice does when it is
// picked, blocks owned by entries, leaving a loop or jumping from a choice, and the limits of
// a choice block. What ran is read from the pages shown and the choice/pick events.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace {

using Json = nlohmann::json;
using Pages = std::vector<std::string>;
using Strings = std::vector<std::string>;

// The field menu that a scene reaching its end opens needs a move section.
const char kMoveSection[] = "*move* {\n出口 A001\n}\n";

const char kNext[] = "press return\n";

// A click on option `option` (1-based) of a list of n: the list is centred on y 225 and each
// option has a band of 50 pixels.
std::string choose(int option, int n)
{
    return "click 400 " + std::to_string(250 - 25 * n + 50 * (option - 1)) + "\n";
}

struct Played {
    ReplayRun run;
    Pages pages;                     // the text of each page shown
    std::vector<Strings> choices;    // the options of each list shown
    std::vector<std::vector<int>> picks;
};

// Plays scene, followed by a move section, as the start scene of a new game.
Played play(const std::string& scene, const std::string& input)
{
    GameDir game;
    game.minimalGame(scene + kMoveSection);
    Played played{runFromStart(game, input), {}, {}, {}};
    for (const Json& page : played.run.only("page")) {
        std::string text;
        for (const Json& segment : page["segments"]) text += segment["text"].get<std::string>();
        played.pages.push_back(text);
    }
    for (const Json& choice : played.run.only("choice"))
        played.choices.push_back(choice["options"].get<Strings>());
    for (const Json& pick : played.run.only("pick"))
        played.picks.push_back(pick["chosen"].get<std::vector<int>>());
    return played;
}

// The events from the first scene on, as "kind" or "kind:path".
Strings sceneEvents(const ReplayRun& run, const Strings& kinds)
{
    Strings found;
    bool inScene = false;
    for (const Json& event : run.events) {
        std::string kind = event["ev"];
        if (kind == "scene") inScene = true;
        if (!inScene) continue;
        for (const auto& wanted : kinds) {
            if (kind != wanted) continue;
            if (event.contains("path")) found.push_back(kind + ":" + event["path"].get<std::string>());
            else found.push_back(kind);
        }
    }
    return found;
}

void expectFatal(const Played& played, const std::string& message)
{
    EXPECT_EQ(played.run.status, 1);
    EXPECT_TRUE(reportsFatal(played.run.err, message)) << played.run.err;
}

std::string repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

}  // namespace

TEST(Flow, SoundEffectsPlayTheirCount)
{
    Played played = play("se door\nse door 0\nse door 3\nse door 03\nse door x\n"
                         "se ./sounds/bell.ogg 2\nse ./sounds/chime.wav\nseoff\n[end]\n",
                         "");
    EXPECT_EQ(played.run.status, 0) << played.run.err;
    std::vector<std::pair<std::string, int>> sounds;
    for (const Json& sound : played.run.only("sound"))
        sounds.emplace_back(sound["path"].get<std::string>(), sound["count"].get<int>());
    EXPECT_EQ(sounds, (std::vector<std::pair<std::string, int>>{{"./se/door.wav", 1},
                                                                 {"./se/door.wav", 0},
                                                                 {"./se/door.wav", 3},
                                                                 {"./se/door.wav", 3},
                                                                 {"./se/door.wav", 1},
                                                                 {"./sounds/bell.ogg", 2},
                                                                 {"./sounds/chime.wav", 1},
                                                                 {"off", 0}}));
    EXPECT_EQ(played.pages, Pages{"end"});
}

TEST(Flow, GotoGoesToTheFirstOccurrenceOfItsLabel)
{
    // A label further down first occurs in the goto line itself: the scene simply goes on.
    EXPECT_EQ(play("goto 後\n[A]\n後\n[B]\n", repeat(kNext, 3)).pages, (Pages{"A", "B"}));
    // A label further up is jumped to; the block levels stay as they are.
    EXPECT_EQ(play("もう一度\n[pass]\nif (!flag1) {\nflag+ 1\ngoto もう一度\n}\n[done]\n",
                   repeat(kNext, 4))
                  .pages,
              (Pages{"pass", "pass", "done"}));
    // The label may stand inside a line: the rest of that line is read as the next line.
    EXPECT_EQ(play("// 立てる: flag+ 2 する\nif (flag2) {\n[set]\n}else{\ngoto flag+\n}\n",
                   repeat(kNext, 2))
                  .pages,
              Pages{"set"});
}

TEST(Flow, PickedEntriesCarryOutTheirActionsInTheOrderPicked)
{
    const std::string sides = "左 flag+ 1\n右 flag+ 2\n}\nif (flag1) {\n[left]\n}\n"
                              "if (flag2) {\n[right]\n}\n";
    Played played = play("pick {\n" + sides, choose(2, 2) + kNext);
    EXPECT_EQ(played.choices, (std::vector<Strings>{{"左", "右"}}));
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{2}}));
    EXPECT_EQ(played.pages, Pages{"right"});
    // The brace may stand on the line after the pick.
    EXPECT_EQ(play("pick\n{\n" + sides, choose(1, 2) + kNext).pages, Pages{"left"});

    // Two picks: setting HP to 50 and lowering it by 10 give 40 only in that order.
    const std::string twice = "pick 2 {\n甲 flag+ 1\n乙 hp -10\n丙 hp = 50\n}\n"
                              "if (hp == 40) {\n[丙乙]\n}\nif (hp == 50) {\n[乙丙]\n}\n";
    played = play(twice, choose(3, 3) + choose(2, 3) + kNext);
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{3, 2}}));
    EXPECT_EQ(played.pages, Pages{"丙乙"});
    EXPECT_EQ(play(twice, choose(2, 3) + choose(3, 3) + kNext).pages, Pages{"乙丙"});

    // A move picked ends the scene at once.
    GameDir game;
    game.minimalGame(std::string("pick {\n残る flag+ 1\n行く moveto B001\n}\n[stay]\n") +
                     kMoveSection);
    game.write("script/B001.txt", std::string("[arrived]\n") + kMoveSection);
    ReplayRun run = runFromStart(game, choose(2, 2) + kNext);
    EXPECT_EQ(sceneEvents(run, {"scene", "page"}), (Strings{"scene", "scene", "page"}));
    EXPECT_EQ(run.only("scene").back()["name"], "B001");

    // The arithmetic reads the whole entry line: a digit in the shown text comes first and
    // leaves the value unchanged.
    EXPECT_EQ(play("pick {\n薬2 hp -10\n}\nif (hp == 123) {\n[unchanged]\n}\n",
                   choose(1, 1) + kNext)
                  .pages,
              Pages{"unchanged"});
}

TEST(Flow, ChangeEntriesAreOfferedOnlyWhenTheirConditionHolds)
{
    const std::string scene = "flag+ 7\npick {\n"
                              "change (flag7) 甲 flag+ 1\n"
                              "change (flag8) 乙 flag+ 2\n"
                              "change (flag8) 丙 {\n[never]\n}\n"
                              "change (flag8) 丁{\n[never]\n}\n"
                              "戊 flag+ 4\n"
                              "change (1) 己 {\n[己]\n}\n"
                              "}\nif (flag1) {\n[甲]\n}\nif (flag4) {\n[戊]\n}\n[end]\n";
    for (int option = 1; option <= 3; ++option) {
        SCOPED_TRACE(option);
        Played played = play(scene, choose(option, 3) + repeat(kNext, 2));
        EXPECT_EQ(played.choices, (std::vector<Strings>{{"甲", "戊", "己"}}));
        const char* shown[] = {"甲", "戊", "己"};
        EXPECT_EQ(played.pages, (Pages{shown[option - 1], "end"}));
    }
}

TEST(Flow, BlockEntriesRunTheirLinesThenTheSceneGoesOnBehindTheChoice)
{
    auto scene = [](const std::string& picks) {
        return "[before]\npick" + picks + " {\n甲{\n[甲]\n}\n乙 {\nif (1) {\n[乙]\n}\n}\n"
               "丙 flag+ 1\n}\nif (flag1) {\n[丙]\n}\n[after]\n";
    };
    Played played = play(scene(""), kNext + choose(1, 3) + repeat(kNext, 2));
    EXPECT_EQ(played.choices, (std::vector<Strings>{{"甲", "乙", "丙"}}));
    EXPECT_EQ(played.pages, (Pages{"before", "甲", "after"}));
    EXPECT_EQ(play(scene(""), kNext + choose(2, 3) + repeat(kNext, 2)).pages,
              (Pages{"before", "乙", "after"}));
    EXPECT_EQ(play(scene(""), kNext + choose(3, 3) + repeat(kNext, 2)).pages,
              (Pages{"before", "丙", "after"}));

    // Picked blocks run in the order picked, then the other actions' results show.
    played = play(scene(" 3"), kNext + choose(2, 3) + choose(3, 3) + choose(1, 3) +
                                   repeat(kNext, 4));
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{2, 3, 1}}));
    EXPECT_EQ(played.pages, (Pages{"before", "乙", "甲", "丙", "after"}));

    // A choice with blocks may stand nine levels deep, not ten.
    auto nested = [](int levels) {
        return repeat("if (1) {\n", levels) + "pick {\n甲 {\n[in]\n}\n乙 flag+ 1\n}\n[after]\n" +
               repeat("}\n", levels) + "[out]\n";
    };
    EXPECT_EQ(play(nested(9), choose(1, 2) + repeat(kNext, 3)).pages,
              (Pages{"in", "after", "out"}));
    played = play(nested(10), choose(1, 2) + repeat(kNext, 3));
    expectFatal(played, "ブロックを持つ選択肢は９段目までに置いてください");
    EXPECT_EQ(played.pages, Pages{});
    // Without a block entry picked the depth does not matter.
    EXPECT_EQ(play(nested(10), choose(2, 2) + repeat(kNext, 2)).pages,
              (Pages{"after", "out"}));
}

TEST(Flow, BreakAndGotoEntriesLeaveTheLoopOrJump)
{
    Played played = play("while (1) {\n[loop]\npick {\n続ける flag+ 1\n抜ける break\n}\n}\n"
                         "[out]\n",
                         kNext + choose(1, 2) + kNext + choose(2, 2) + kNext);
    EXPECT_EQ(played.choices.size(), 2u);
    EXPECT_EQ(played.pages, (Pages{"loop", "loop", "out"}));

    // With a block picked too, the block runs first and then the loop is left.
    played = play("while (1) {\n[loop]\npick 2 {\n甲 {\n[甲]\n}\n抜ける break\n乙 flag+ 1\n}\n"
                  "[rest]\n}\n[out]\n",
                  kNext + choose(2, 3) + choose(1, 3) + repeat(kNext, 2));
    EXPECT_EQ(played.pages, (Pages{"loop", "甲", "out"}));

    const std::string back = "[top]\n戻り\npick {\n戻る goto 戻り\n進む flag+ 1\n}\n[end]\n";
    played = play(back, kNext + choose(1, 2) + choose(2, 2) + kNext);
    EXPECT_EQ(played.choices.size(), 2u);
    EXPECT_EQ(played.pages, (Pages{"top", "end"}));

    // A jump picked with a block waits for the block, whose commands do not change its label;
    // it leaves the block levels behind.
    played = play("[top]\n戻り\nif (flag1) {\n[second]\n}else{\npick 2 {\n甲 {\nflag+ 1\n"
                  "[block]\n}\n乙 goto 戻り\n}\n}\n[end]\n",
                  kNext + choose(2, 2) + choose(1, 2) + repeat(kNext, 3));
    EXPECT_EQ(played.run.status, 0) << played.run.err;
    EXPECT_EQ(played.pages, (Pages{"top", "block", "second", "end"}));
}

TEST(Flow, AMoveAmongThePicksEndsTheSceneOnceTheOthersAreDone)
{
    auto playMove = [](const std::string& scene, const std::string& input) {
        GameDir game;
        game.minimalGame(scene + kMoveSection);
        game.write("script/A001.txt", "[着いた]\n" + std::string(kMoveSection));
        ReplayRun run = runFromStart(game, input);
        Strings names, pages;
        for (const Json& event : run.only("scene")) names.push_back(event["name"]);
        for (const Json& page : run.only("page")) pages.push_back(page["segments"][0]["text"]);
        int titles = 0;
        for (const Json& music : run.only("music")) titles += music["path"] == "./bgm/OP.ogg";
        EXPECT_EQ(titles, 1) << scene;   // never a new game
        EXPECT_EQ(names, (Strings{"start", "A001"})) << scene;   // never a lost move
        return pages;
    };
    const std::string twoPicks = choose(1, 2) + choose(2, 2) + kNext + kNext;
    // With a jump: the jump is made, then the move.
    EXPECT_EQ(playMove("印\n[top]\npick 2 {\n行く moveto A001\n戻る goto 印\n}\n[after]\n",
                       kNext + twoPicks),
              (Strings{"top", "着いた"}));
    // With a block, picked after or before the move: the block runs first.
    const std::string block = "pick 2 {\n行く moveto A001\n甲 {\n[甲]\n}\n}\n[after]\n";
    EXPECT_EQ(playMove(block, twoPicks), (Strings{"甲", "着いた"}));
    EXPECT_EQ(playMove(block, choose(2, 2) + choose(1, 2) + kNext + kNext),
              (Strings{"甲", "着いた"}));
    // With a break: the loop is left, and the scene ends there.
    EXPECT_EQ(playMove("while (1) {\npick 2 {\n行く moveto A001\n抜ける break\n}\n[loop]\n}\n"
                       "[out]\n",
                       twoPicks),
              (Strings{"着いた"}));
    // With a plain command: as a move alone.
    EXPECT_EQ(playMove("pick 2 {\n行く moveto A001\n拾う item+ 1\n}\n[after]\n", twoPicks),
              (Strings{"着いた"}));
}

TEST(Flow, StopEntriesTakeEffectWhenTheListIsShown)
{
    const std::string scene = "bgm theme\nse door 0\npick {\n静かに bgmoff\n止める seoff\n"
                              "そのまま flag+ 1\n}\n[end]\n";
    const Strings kinds = {"music", "sound", "choice", "pick"};
    const Strings shown = {"music:./bgm/theme.ogg", "sound:./se/door.wav", "music:off",
                           "sound:off", "choice"};
    Strings expected = shown;
    expected.push_back("pick");
    EXPECT_EQ(sceneEvents(play(scene, choose(3, 3)).run, kinds), expected);
    // Picked, they act again.
    expected.push_back("music:off");
    EXPECT_EQ(sceneEvents(play(scene, choose(1, 3)).run, kinds), expected);
}

TEST(Flow, CancellingOrQuittingAChoice)
{
    const std::string scene = "pick {\n甲 bgm theme\n乙 flag+ 1\n}\n[end]\n";
    // A right click shows the list again. The click outside the list waits for it; the list
    // polls every 10 ms, so a button held that long cancels it once.
    Played played =
        play(scene, "click 700 500\ndown right\nwait 10\nup right\n" + choose(1, 2) + kNext);
    EXPECT_EQ(played.choices.size(), 2u);
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{}, {1}}));
    EXPECT_EQ(sceneEvents(played.run, {"music", "pick"}),
              (Strings{"pick", "pick", "music:./bgm/theme.ogg"}));
    EXPECT_EQ(played.pages, Pages{"end"});

    // Releasing Escape quits at once and carries out nothing.
    played = play(scene, "press escape\n" + choose(1, 2) + kNext);
    EXPECT_EQ(played.run.status, 0);
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{}}));
    EXPECT_EQ(sceneEvents(played.run, {"music"}), Strings{});
    EXPECT_EQ(played.pages, Pages{});

    // The picks made before quitting a multi-pick are carried out.
    played = play("pick 2 {\n甲 bgm theme\n乙 flag+ 1\n}\n[end]\n",
                  choose(1, 2) + "press escape\n" + choose(2, 2));
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{1}}));
    EXPECT_EQ(sceneEvents(played.run, {"music"}), Strings{"music:./bgm/theme.ogg"});
    EXPECT_EQ(played.pages, Pages{});

    // Whatever they would do next, the quit stands: the game ends with this scene.
    for (std::string action : {"moveto B001", "goto 戻り", "break", "{\n[甲]\n}"}) {
        GameDir game;
        game.minimalGame("戻り\nwhile (1) {\n[top]\npick 2 {\n甲 " + action +
                         "\n乙 flag+ 1\n}\n}\n" + kMoveSection);
        game.write("script/B001.txt", std::string("[next]\n") + kMoveSection);
        ReplayRun run = runFromStart(game, kNext + choose(1, 2) + "press escape\n" +
                                               choose(2, 2) + repeat(kNext, 3));
        EXPECT_EQ(run.status, 0) << action << run.err;
        EXPECT_EQ(sceneEvents(run, {"scene", "page", "choice", "menu"}),
                  (Strings{"scene", "page", "choice"})) << action;
    }
}

TEST(Flow, ChoiceBlocksBeyondWhatScriptsWrite)
{
    // Ten entries at most: the rest are read past, blocks and all.
    const char* names[] = {"い", "ろ", "は", "に", "ほ", "へ", "と", "ち", "り", "ぬ"};
    std::string entries;
    for (int i = 0; i < 10; ++i) entries += std::string(names[i]) + " flag+ " +
                                            std::to_string(i + 1) + "\n";
    Played played = play("pick {\n" + entries + "る {\n[る]\n}\nを flag+ 1\n}\n"
                         "if (flag10 & !flag1) {\n[ぬ]\n}\n[after]\n",
                         choose(10, 10) + repeat(kNext, 2));
    EXPECT_EQ(played.choices, (std::vector<Strings>{Strings(names, names + 10)}));
    EXPECT_EQ(played.pages, (Pages{"ぬ", "after"}));

    // Five picks at most, and no more than the entries offered.
    played = play("pick 7 {\n" + entries + "}\n[after]\n",
                  choose(1, 10) + choose(2, 10) + choose(3, 10) + choose(4, 10) +
                      choose(5, 10) + kNext);
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{1, 2, 3, 4, 5}}));
    EXPECT_EQ(played.pages, Pages{"after"});
    played = play("pick 9 {\n甲 flag+ 1\nchange (0) 乙 flag+ 2\n丙 flag+ 3\n}\n"
                  "if (flag1 & flag3) {\n[both]\n}\n",
                  choose(2, 2) + choose(1, 2) + kNext);
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{2, 1}}));
    EXPECT_EQ(played.pages, Pages{"both"});
    // Fewer than one pick asked for counts as one.
    played = play("pick -1 {\n甲 flag+ 1\n乙 flag+ 2\n}\nif (flag2) {\n[two]\n}\n",
                  choose(2, 2) + kNext);
    EXPECT_EQ(played.picks, (std::vector<std::vector<int>>{{2}}));
    EXPECT_EQ(played.pages, Pages{"two"});

    // Entry lines and words longer than their tables are cut.
    const std::string longText = repeat("ア", 120);
    played = play("pick 2 {\n" + longText + " flag+ 1\n甲 flag+ " + repeat("9", 400) +
                      "\n}\n[after]\n",
                  choose(1, 2) + choose(2, 2) + kNext);
    EXPECT_EQ(played.run.status, 0) << played.run.err;
    ASSERT_EQ(played.choices.size(), 1u);
    EXPECT_EQ(played.choices[0][0], longText.substr(0, 255));
    EXPECT_EQ(played.pages, Pages{"after"});

    // Nothing offered: no list, the scene goes on.
    played = play("pick {\nchange (0) 甲 flag+ 1\n}\n[after]\n", kNext);
    EXPECT_EQ(played.choices.size(), 0u);
    EXPECT_EQ(played.pages, Pages{"after"});

    // A block that never closes ends at the end of the text; the move section above is
    // skipped by the scene but found by the field menu.
    GameDir game;
    game.minimalGame(std::string("if (0) {\n") + kMoveSection +
                     "}\npick {\n甲 flag+ 1\n乙 flag+ 2\n");
    ReplayRun run = runFromStart(game, choose(1, 2));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sceneEvents(run, {"choice", "pick", "menu"}),
              (Strings{"choice", "pick", "menu"}));

    // Without a brace on the pick line or the next one the game stops.
    expectFatal(play("pick\n甲 flag+ 1\n}\n", ""), "スクリプト中に｛記号が見つかりません");
    game.write("script/start.txt", "[a]\npick");
    run = runFromStart(game, kNext);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("スクリプト中に｛記号が見つかりません"), std::string::npos) << run.err;

    // An entry's block that never closes runs the brace walk off the end of the scene.
    expectFatal(play("pick {\n甲{\n[x]\n", ""), "｝が必要数見つかりません");
}
