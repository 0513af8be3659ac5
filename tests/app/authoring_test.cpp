// The author's loop: errors that say where, starting anywhere with any state, the reload key,
// the story's state in the trace, snaps, and the game's own texts.
#include "app/gametexts.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/gametext.h"
#include "core/settings.h"
#include "core/state.h"
#include "interpreter/openscript.h"
#include "support/gamedir.h"

namespace {

const char kMove[] = "*move* {\n出口 A001\n}\n";

// The texts of the pages drawn, each page's segments joined by "/".
std::vector<std::string> pageTexts(const ReplayRun& run)
{
    std::vector<std::string> pages;
    for (const auto& page : run.only("page")) {
        std::string joined;
        for (const auto& segment : page["segments"])
            joined += (joined.empty() ? "" : "/") + segment["text"].get<std::string>();
        pages.push_back(joined);
    }
    return pages;
}

// The set events as "what[index]=value".
std::vector<std::string> sets(const ReplayRun& run)
{
    std::vector<std::string> found;
    for (const auto& set : run.only("set")) {
        std::string what = set["what"];
        if (set.contains("index")) what += "[" + std::to_string(set["index"].get<int>()) + "]";
        found.push_back(what + "=" + std::to_string(set["value"].get<int>()));
    }
    return found;
}

}  // namespace

TEST(AuthorLoop, FatalErrorsNameTheirFileAndLine)
{
    GameDir game;
    game.minimalGame("[一]\n// 次の行が壊れている\r\nif (nothing) {\n}\n");
    ReplayRun run = runFromStart(game, "press return\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("error: script/start.txt:3: if文の文法が間違っています\n"),
              std::string::npos) << run.err;
    auto errors = run.only("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]["file"], "script/start.txt");
    EXPECT_EQ(errors[0]["line"], 3);

    // A scene that cannot be found is named itself; so is a missing item list.
    game.minimalGame("moveto A0001\n");
    run = runFromStart(game, "");
    EXPECT_NE(run.err.find("error: script/A0001.txt: スクリプトファイルが見つかりません\n"),
              std::string::npos) << run.err;
    errors = run.only("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]["file"], "script/A0001.txt");
    EXPECT_FALSE(errors[0].contains("line"));

    GameDir bare;
    bare.write("script/start.txt", "");
    run = runFromStart(bare, "");
    EXPECT_NE(run.err.find("error: script/itemlist.txt: itemlist.txtがありません\n"),
              std::string::npos) << run.err;
}

TEST(AuthorLoop, SceneAndSetStartANewGameMidStory)
{
    GameDir game;
    game.minimalGame("[タイトルからの始まり]\n");
    game.write("script/B002.txt", "if (flag12) {\n[旗]\n}\nif (item3) {\n[品]\n}\n"
                                  "if (hp == 40) {\n[四十]\n}\n" + std::string(kMove));
    ReplayRun run = runReplay(game, "press return\npress return\n",
                              "--scene B002 --set flag12=1 --set item3=2 --set hpmax=40 --set hp=40");
    EXPECT_EQ(run.status, 0) << run.err;
    auto scenes = run.only("scene");
    ASSERT_GE(scenes.size(), 1u);
    EXPECT_EQ(scenes[0]["name"], "B002");
    EXPECT_EQ(scenes[0]["index"], 2002);
    EXPECT_TRUE(run.only("music").empty());   // the title never showed
    EXPECT_EQ(pageTexts(run), (std::vector<std::string>{"旗", "品", "四十"}));

    for (const char* bad : {"--set flag2800=1", "--set hp", "--set luck=3", "--set flag1=x",
                            "--set hp3=1", "--scene NOPE", "--scene ../start"}) {
        SCOPED_TRACE(bad);
        run = runReplay(game, "", bad);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("tessarc-replay: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

TEST(AuthorLoop, F5InDevModeStartsTheSceneAgainWithTheStateItBeganWith)
{
    GameDir game;
    const std::string scene = "flag+ 7\nhp -20\n[一頁]\n[二頁]\n" + std::string(kMove);
    game.minimalGame(scene);
    game.write("script/A001.txt", scene);
    ReplayRun run = runReplay(game, "press return\npress f5\npress return\n", "--scene A001");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.only("scene").size(), 2u);
    // Flag 7 and HP were back at their start values, so the scene changes them again.
    EXPECT_EQ(sets(run), (std::vector<std::string>{"flag[7]=1", "hp=103", "flag[7]=1", "hp=103"}));
    EXPECT_EQ(pageTexts(run), (std::vector<std::string>{"一頁", "二頁", "一頁", "二頁"}));

    // Without --dev the key does nothing.
    run = runFromStart(game, "press return\npress f5\n");
    EXPECT_EQ(run.only("scene").size(), 1u);
    EXPECT_EQ(pageTexts(run), (std::vector<std::string>{"一頁", "二頁"}));
}

TEST(AuthorLoop, SceneFilesAreReadAgainOrKeptWhenUnreadable)
{
    GameDir dir;
    dir.write("script/A001.txt", "[一]\n");
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    std::snprintf(nextpoint, sizeof nextpoint, "A001");
    auto* scene = new OpenScript();
    EXPECT_STREQ(scene->file, "script/A001.txt");
    char why[160] = "";
    dir.write("script/A001.txt", "[二]\r\n");
    EXPECT_TRUE(scene->reread(why, sizeof why));
    EXPECT_STREQ(scene->text, "[二]\n");
    dir.write("script/A001.txt", "[" + std::string(131072, 'x'));
    EXPECT_FALSE(scene->reread(why, sizeof why));
    EXPECT_STREQ(why, "スクリプトファイルが大きすぎます（131071バイトまで）");
    std::remove("script/A001.txt");
    EXPECT_FALSE(scene->reread(why, sizeof why));
    EXPECT_STREQ(why, "スクリプトファイルが見つかりません");
    EXPECT_STREQ(scene->text, "[二]\n");
    scripttext[sceneIndex()] = nullptr;
    delete scene;
    nextpoint[0] = '\0';
    EXPECT_EQ(chdir(cwd), 0);
}

TEST(AuthorLoop, TheTraceFollowsTheStorysStateAndSnapsNeedNoPlayer)
{
    GameDir game;
    game.minimalGame("");
    game.picture("bg/black.jpg", 800, 600, 0x000000);
    game.picture("system/picture/chapter/c1.png", 800, 600, 0x2060a0);
    game.write("script/A001.txt", "flag+ 12\nflag+ 12\nitem+ 3\nitem- 3\nhp -30\npara3 = 5\n"
                                  "check+ 2\ntimecheck 4\neffect 7\nchapter c1\nScenarioEnd 0\n");
    ReplayRun run = runReplay(game, "wait 1500\nsnap " + game.file("card.bmp") + "\n", "--scene A001");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sets(run), (std::vector<std::string>{"flag[12]=1", "item[3]=1", "item[3]=0",
                                                   "hp=93", "para[3]=5", "check[2]=1",
                                                   "timecheck[4]=1", "hp=123"}));
    ASSERT_EQ(run.only("effect").size(), 1u);
    EXPECT_EQ(run.only("effect")[0]["n"], 7);
    ASSERT_EQ(run.only("chapter").size(), 1u);
    EXPECT_EQ(run.only("chapter")[0]["name"], "c1");
    ASSERT_EQ(run.only("ending").size(), 1u);
    EXPECT_EQ(run.only("ending")[0]["n"], 0);
    // The card is on the screen, held for two seconds without input, when the snap falls due.
    SDL_Surface* card = SDL_LoadBMP(game.file("card.bmp").c_str());
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(pixelAt(card, 400, 300), 0x2060a0u);
    SDL_FreeSurface(card);
}

TEST(GameTexts, AGameFolderBringsItsOwnTexts)
{
    GameDir game;
    game.minimalGame("hp -200\n[倒れる前]\n");
    game.write("system/game.txt", "# 自分のゲーム\ncaption = 私の島\n"
                                  "gameover = [倒れた。<n>もう動けない。<p>おしまい……\n");
    ReplayRun run = runFromStart(game, "press return\npress return\npress return\nclick 410 483\n");
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.only("gameover").size(), 2u);
    std::vector<std::string> pages = pageTexts(run);
    ASSERT_GE(pages.size(), 3u);
    EXPECT_EQ(pages[0], "倒れた。/もう動けない。");
    EXPECT_EQ(pages[1], "おしまい……");
    ASSERT_EQ(run.only("load").size(), 1u);
    EXPECT_EQ(run.only("load")[0]["file"], "./save/0");
}

TEST(GameTexts, UnknownKeysAndBadNarrationsKeepTheBuiltInTexts)
{
    char caption[kGameTextSize], narration[kNarrationSize], chapters[6][kGameTextSize];
    std::memcpy(caption, gameCaption, sizeof caption);
    std::memcpy(narration, gameOverNarration, sizeof narration);
    std::memcpy(chapters, chapterTitles, sizeof chapters);

    // The bundled game's own file holds exactly the built-in texts.
    std::ifstream file(std::string(TESSARC_SOURCE_DIR) + "/game/system/game.txt");
    std::stringstream bundled;
    bundled << file.rdbuf();
    testing::internal::CaptureStderr();
    readGameTexts(bundled.str().c_str(), "system/game.txt");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_STREQ(gameCaption, caption);
    EXPECT_STREQ(gameOverNarration, narration);
    EXPECT_EQ(std::memcmp(chapterTitles, chapters, sizeof chapters), 0);

    testing::internal::CaptureStderr();
    std::string texts = "\xEF\xBB\xBF" "chapter2 = 第二の章\nluck = 7\nno equals here\n"
                  "gameover = [一文だけ……\ngameover = [長い。<n>" + std::string(230, 'x') +
                  "<p>終わり……\ncaption = " + std::string(64, 'c') + "\n";
    readGameTexts(texts.c_str(), "system/game.txt");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(chapterTitles[2], "第二の章");
    EXPECT_STREQ(gameOverNarration, narration);
    EXPECT_STREQ(gameCaption, caption);
    for (const char* line : {":2: unknown key", ":3: not key = value", ":4: the narration",
                             ":5: 半角文字", ":6: caption is longer"})
        EXPECT_NE(err.find(std::string("warning: system/game.txt") + line), std::string::npos) << err;

    std::memcpy(gameCaption, caption, sizeof caption);
    std::memcpy(gameOverNarration, narration, sizeof narration);
    std::memcpy(chapterTitles, chapters, sizeof chapters);
    // The bundled game's file also chose its own default settings.
    settingsDefaults = kDefaultSettings;
}

TEST(GameTexts, AGameChoosesItsOwnDefaultSettings)
{
    settingsDefaults = kDefaultSettings;
    testing::internal::CaptureStderr();
    readGameTexts("marker = on\nskip = read\nautopace = 7\ntextspeed = 40\n", "system/game.txt");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(settingsDefaults.marker);
    EXPECT_TRUE(settingsDefaults.skipReadOnly);
    EXPECT_EQ(settingsDefaults.autoPace, 7);
    EXPECT_EQ(settingsDefaults.textSpeed, 40);
    readGameTexts("textspeed = instant\nmarker = off\nskip = all\n", "system/game.txt");
    EXPECT_EQ(settingsDefaults.textSpeed, 0);
    EXPECT_FALSE(settingsDefaults.marker);
    EXPECT_FALSE(settingsDefaults.skipReadOnly);

    // A bad value keeps the engine's default and is told with the line; a near miss of a key
    // is named.
    testing::internal::CaptureStderr();
    readGameTexts("marker = yes\ntextspeed = 5\nautopace = 10\nmarkers = on\n", "system/game.txt");
    std::string err = testing::internal::GetCapturedStderr();
    for (const char* line : {":1: marker must be on or off; the engine's default stays",
                             ":2: textspeed must be", ":3: autopace must be", ":4: unknown key \"markers\" (did you mean marker?)"})
        EXPECT_NE(err.find(std::string("warning: system/game.txt") + line), std::string::npos) << err;
    EXPECT_FALSE(settingsDefaults.marker);
    EXPECT_EQ(settingsDefaults.textSpeed, 0);
    settingsDefaults = kDefaultSettings;
}
