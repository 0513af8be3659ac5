// Dev mode end to end: the error screen that says where and starts the scene again on F5, the
// state overlay on F12, names in the trace and in --set.
#include "app/devmode.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/names.h"
#include "core/state.h"
#include "support/gamedir.h"

namespace {

const char kMove[] = "*move*\n{\n戻る start\n}\n";

std::vector<std::string> kinds(const ReplayRun& run)
{
    std::vector<std::string> out;
    for (const auto& event : run.events) {
        std::string kind = event["ev"];
        if (kind == "scene" || kind == "error" || kind == "set" || kind == "pick" || kind == "overlay")
            out.push_back(kind == "set" ? "set " + event["what"].get<std::string>() : kind);
    }
    return out;
}

// How many pixels of a band of rows differ between two shots.
int differing(const std::string& a, const std::string& b, int top, int bottom)
{
    SDL_Surface* x = SDL_LoadBMP(a.c_str());
    SDL_Surface* y = SDL_LoadBMP(b.c_str());
    int count = -1;
    if (x && y) {
        count = 0;
        for (int row = top; row < bottom; ++row)
            for (int col = 0; col < 800; ++col) count += pixelAt(x, col, row) != pixelAt(y, col, row);
    }
    if (x) SDL_FreeSurface(x);
    if (y) SDL_FreeSurface(y);
    return count;
}

}  // namespace

TEST(DevMode, F5OnTheErrorScreenStartsTheSceneAgainWithTheStateItBeganWith)
{
    GameDir game;
    game.picture("bg/black.jpg", 800, 600, 0x204080);
    game.minimalGame("flag+ 3\nhp -10\npick {\n壊す{\nif (nothing) {\n}\n}\n進む none\n}\n[おわり]\n" +
                     std::string(kMove));
    const std::string input = "click 400 200\nwait 1500\nshot " + game.file("error.bmp") +
                              "\npress f5\nclick 400 250\npress return\n";
    ReplayRun run = runReplay(game, input, "--dev --scene start");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(kinds(run), (std::vector<std::string>{"scene", "set flag", "set hp", "pick", "error", "scene",
                                                    "set flag", "set hp", "pick"}));
    EXPECT_NE(run.err.find("error: script/start.txt:5: if文の文法が間違っています"), std::string::npos) << run.err;

    // Without --dev the same run ends on the plain screen, whose message line stands at y 300:
    // the dev screen draws the place there in a panel of its own.
    ReplayRun plain = runFromStart(game, "click 400 200\nwait 1500\nshot " + game.file("plain.bmp") + "\npress f5\n");
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.only("scene").size(), 1u);
    EXPECT_GT(differing(game.file("error.bmp"), game.file("plain.bmp"), 170, 470), 10000);
}

TEST(DevMode, AnUnreadableSceneStartsTheSceneThatNamedItAgain)
{
    GameDir game;
    game.minimalGame("moveto A001\n");
    game.write("script/A001.txt", "item+ 1\n[鍵を拾った]\nmoveto B0001\n");
    ReplayRun run = runReplay(game, "press return\nwait 1500\npress f5\nwait 100\npress return\nwait 1500\n",
                              "--scene A001");
    EXPECT_EQ(run.status, 1);   // the scene is still missing when the input runs out
    std::vector<std::string> scenes;
    for (const auto& scene : run.only("scene")) scenes.push_back(scene["name"]);
    EXPECT_EQ(scenes, (std::vector<std::string>{"A001", "A001"}));
    ASSERT_EQ(run.only("error").size(), 2u);
    EXPECT_EQ(run.only("error")[0]["file"], "script/B0001.txt");
    // The item was taken away again with the state the scene began with, and taken once more.
    EXPECT_EQ(run.only("set").size(), 2u);
}

TEST(DevMode, F12ShowsTheNamedStateAndWhatChangedUntilTheNextKey)
{
    GameDir game;
    game.minimalGame("");
    game.write("system/names.txt", "flag 10 鍵を見つけた\nflag 11 門を開けた\nitem 1 古い鍵\npara 2 歩数\n");
    game.write("script/A001.txt", "flag+ 10\nitem+ 1\nitem+ 0\npara2 = 5\nflag+ 700\n[待つ]\n[次]\n" + std::string(kMove));
    const std::string before = game.file("before.bmp"), after = game.file("after.bmp");
    ReplayRun run = runReplay(game, "shot " + before + "\npress f12\npress space\nshot " + after + "\npress return\n",
                              "--scene A001 --set 門を開けた=1 --set hp=50");
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.only("overlay").size(), 1u);
    std::vector<std::string> lines = run.only("overlay")[0]["lines"];
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "HP 50/123　Guts 72/72");
    EXPECT_EQ(lines[2], "フラグ　鍵を見つけた 1　門を開けた 1　flag700 1");
    EXPECT_EQ(lines[3], "アイテム　薬草 1　古い鍵 1");
    EXPECT_EQ(lines[4], "パラメータ　歩数 5");
    EXPECT_EQ(lines[5], "この場面で変わったもの　鍵を見つけた 0→1　flag700 0→1　薬草 0→1");
    EXPECT_EQ(lines[6], "　　古い鍵 0→1　歩数 0→5");
    // The key that closed it turned no page (the Return after it turns the first), and the
    // page is back as it was.
    EXPECT_EQ(run.only("page").size(), 2u);
    EXPECT_EQ(differing(before, after, 0, 600), 0);
    // The set events name what has a name.
    auto sets = run.only("set");
    ASSERT_GE(sets.size(), 4u);
    EXPECT_EQ(sets[0]["name"], "鍵を見つけた");
    EXPECT_EQ(sets[1]["name"], "古い鍵");
    EXPECT_FALSE(sets[2].contains("name"));

    // Without dev mode F12 is no key of the game's.
    run = runFromStart(game, "press f12\n");
    EXPECT_TRUE(run.only("overlay").empty());
    // A name --set does not know is told as a bad option.
    run = runReplay(game, "", "--set 窓を開けた=1");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("nor a name of system/names.txt"), std::string::npos) << run.err;
}

TEST(Names, TheFileGivesEachNumberOneNameAndKeysFindThem)
{
    std::vector<std::string> problems;
    namesRead("\xEF\xBB\xBF" "flag 1 扉\n\n# note\nitem 69 最後\ntimecheck 280 遅い\nflag 2 扉\nflag 1 別\npara 1 hp\n"
              "check 3\nclue 1 謎\nflag x 数\n",
              [&](int line, const std::string&) { problems.push_back(std::to_string(line)); });
    EXPECT_EQ(problems, (std::vector<std::string>{"5", "6", "7", "8", "9", "10", "11"}));
    EXPECT_STREQ(nameOf(Numbered::Flag, 1), "扉");
    EXPECT_STREQ(nameOf("item", 69), "最後");
    EXPECT_EQ(nameOf(Numbered::Flag, 2), nullptr);
    EXPECT_EQ(nameOf("hp", 1), nullptr);
    EXPECT_EQ(numberedLabel(Numbered::Item, 69), "item 69 (最後)");

    StateKey key;
    std::string problem;
    ASSERT_TRUE(stateKeyFind("扉", &key, &problem));
    EXPECT_EQ(key.slot, &flag[1]);
    EXPECT_STREQ(key.what, "flag");
    ASSERT_TRUE(stateKeyFind("timecheck279", &key, &problem));
    EXPECT_EQ(key.index, 279);
    ASSERT_TRUE(stateKeyFind("gutsmax", &key, &problem));
    EXPECT_EQ(key.slot, &Gutsmax);
    EXPECT_EQ(key.index, -1);
    for (const char* bad : {"flag2800", "flag", "hp3", "hpmax1", "別", "item-1"}) {
        EXPECT_FALSE(stateKeyFind(bad, &key, &problem)) << bad;
        EXPECT_FALSE(problem.empty());
    }
    namesClear();
    EXPECT_EQ(nameOf(Numbered::Flag, 1), nullptr);
}
