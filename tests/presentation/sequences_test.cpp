// The chapter card, the ending and the game-over sequence, run through whole games: what they
// show and play, how long they take, and how the player cuts them short.
#include "presentation/sequences.h"

#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "support/gamedir.h"

namespace {

using Json = nlohmann::json;

const char kMove[] = "*move* {\n出口 A001\n}\n";
const char kTitleMusic[] = "./bgm/OP.ogg";

std::vector<std::string> paths(const std::vector<Json>& events)
{
    std::vector<std::string> all;
    for (const Json& event : events) all.push_back(event["path"]);
    return all;
}

// The backgrounds loaded from the ending pictures, with their times.
std::vector<Json> endingPictures(const ReplayRun& run)
{
    std::vector<Json> found;
    for (const Json& event : run.only("bg")) {
        std::string path = event["path"];
        if (path.rfind("./system/picture/ED/", 0) == 0) found.push_back(event);
    }
    return found;
}

std::vector<int> gaps(const std::vector<Json>& events)
{
    std::vector<int> all;
    for (size_t i = 1; i < events.size(); ++i)
        all.push_back(int(events[i]["ms"]) - int(events[i - 1]["ms"]));
    return all;
}

// The rows of a page, each the text of its segments joined.
std::vector<std::string> rows(const Json& page)
{
    std::vector<std::string> all;
    for (const Json& segment : page["segments"]) {
        size_t row = segment["row"];
        if (all.size() <= row) all.resize(row + 1);
        all[row] += std::string(segment["text"]);
    }
    return all;
}

int count(const std::vector<std::string>& all, const std::string& wanted)
{
    int n = 0;
    for (const std::string& one : all) n += one == wanted;
    return n;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void endingPicturesIn(const GameDir& game)
{
    for (int k = 0; k < 10; ++k)
        game.picture("system/picture/ED/" + std::to_string(k) + ".png", 8, 8, 0x101010 * k);
}

}  // namespace

TEST(ChapterCard, RestoresStrengthAndStaysTwoSecondsWithoutInput)
{
    GameDir game;
    game.picture("bg/black.jpg", 800, 600, 0x000000);
    game.picture("system/picture/chapter/c1.png", 800, 600, 0x2060a0);
    game.minimalGame("hp -100\nguts -50\nchapter c1\n"
                     "if (hp == 123) {\n[体力が戻った]\n}\n"
                     "if (guts == 72) {\n[気力も戻った]\n}\n" +
                     std::string(kMove));
    ReplayRun run = runFromStart(game, "shot " + game.file("card.bmp") + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    // Black first, then the card.
    EXPECT_EQ(paths(run.only("bg")),
              (std::vector<std::string>{"./bg/black.jpg", "./bg/black.jpg",
                                        "./system/picture/chapter/c1.png"}));
    auto pages = run.only("page");
    ASSERT_EQ(pages.size(), 1u);   // the input ends on the first page
    EXPECT_EQ(rows(pages[0]), std::vector<std::string>{"体力が戻った"});
    // The card's fade-in, then two seconds.
    EXPECT_EQ(int(pages[0]["ms"]) - int(run.only("bg")[2]["ms"]), 70 + 2000);

    // The card stays the background under the message.
    SDL_Surface* shot = SDL_LoadBMP(game.file("card.bmp").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(pixelAt(shot, 400, 200), 0x2060a0u);
    SDL_FreeSurface(shot);

    // Guts too: with the first message turned the second one shows.
    run = runFromStart(game, "press return\n");
    pages = run.only("page");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(rows(pages[1]), std::vector<std::string>{"気力も戻った"});
}

TEST(ChapterCard, AMissingCardStillTakesItsTime)
{
    GameDir game;
    game.minimalGame("hp -100\nchapter none\nif (hp == 123) {\n[戻った]\n}\n" +
                     std::string(kMove));
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("bg").empty());
    auto pages = run.only("page");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(int(pages[0]["ms"]) - int(run.only("scene")[0]["ms"]), 70 + 2000);
}

TEST(Ending, PlaysTheThemeAndTenPicturesThenReturnsToTheTitle)
{
    GameDir game;
    endingPicturesIn(game);
    game.minimalGame("ScenarioEnd 3\n[終わりの後]\n" + std::string(kMove));
    // The input lasts longer than the show: a used-up input is a quit request, which ends it.
    ReplayRun run = runFromStart(game, "wait 60000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto music = paths(run.only("music"));
    ASSERT_GE(music.size(), 4u);
    EXPECT_EQ(music[2], "./bgm/ED.ogg");
    EXPECT_EQ(music[3], kTitleMusic);   // back at the title
    EXPECT_TRUE(run.only("page").empty());
    auto pictures = endingPictures(run);
    ASSERT_EQ(pictures.size(), 10u);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(pictures[k]["path"], "./system/picture/ED/" + std::to_string(k) + ".png");
    // About five seconds each: both fades and the hold in steps of 50 ms.
    for (int gap : gaps(pictures)) {
        EXPECT_GE(gap, 5000);
        EXPECT_LE(gap, 5100);
    }
    EXPECT_EQ(run.only("scene").size(), 1u);
}

TEST(Ending, EachNumberHasItsThemeAndOthersKeepTheMusic)
{
    GameDir game;
    const struct {
        const char* n;
        const char* theme;
    } endings[] = {{"1", "./bgm/ED-2.ogg"}, {"2", "./bgm/ED-0.ogg"}, {"3", "./bgm/ED.ogg"},
                   {"0", nullptr},           {"4", nullptr},           {"-1", nullptr}};
    for (const auto& ending : endings) {
        // The scene's own music first, so that "no change" shows.
        game.minimalGame("bgm field\nScenarioEnd " + std::string(ending.n) + "\n" + kMove);
        ReplayRun run = runFromStart(game, "wait 60000\n");
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> want = {kTitleMusic, "off", "./bgm/field.ogg"};
        if (ending.theme) want.push_back(ending.theme);
        want.push_back(kTitleMusic);
        auto music = paths(run.only("music"));
        ASSERT_GE(music.size(), want.size()) << ending.n;
        music.resize(want.size());
        EXPECT_EQ(music, want) << ending.n;
        // Without its pictures the show still takes about fifty seconds.
        int took = int(run.only("music")[want.size() - 1]["ms"]) -
                   int(run.only("scene")[0]["ms"]);
        EXPECT_GE(took, 50000) << ending.n;
        EXPECT_LE(took, 51000) << ending.n;
    }
}

TEST(Ending, ReturnEndsTheShowCtrlShortensItAndAQuitEndsTheGame)
{
    GameDir game;
    endingPicturesIn(game);
    game.minimalGame("ScenarioEnd 2\n" + std::string(kMove));

    // Return held while the first picture is shown: no more pictures, back at the title.
    ReplayRun run = runFromStart(game, "wait 1000\nkeydown return\nwait 1000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto pictures = endingPictures(run);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]["path"], "./system/picture/ED/0.png");
    EXPECT_EQ(count(paths(run.only("music")), kTitleMusic), 2);

    // Ctrl held: every fade is one frame and each picture about half a second.
    run = runReplay(game, std::string("keydown lctrl\n") + kClickStart + "wait 10000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    pictures = endingPictures(run);
    ASSERT_EQ(pictures.size(), 10u);
    for (int gap : gaps(pictures)) {
        EXPECT_GE(gap, 500);
        EXPECT_LE(gap, 600);
    }
    EXPECT_EQ(count(paths(run.only("music")), kTitleMusic), 2);

    // Escape, or the window's close, during the show: it ends within a second, and so does
    // the game, after writing the resume file as after any scene.
    for (std::string quit : {"keydown escape\nwait 100\nkeyup escape\n", "quit\n"}) {
        run = runFromStart(game, "wait 7000\n" + quit + "wait 60000\n");
        EXPECT_EQ(run.status, 0) << run.err;
        pictures = endingPictures(run);
        EXPECT_EQ(pictures.size(), 2u) << quit;
        EXPECT_EQ(count(paths(run.only("music")), kTitleMusic), 1) << quit;
        ASSERT_FALSE(run.only("save").empty()) << quit;
        EXPECT_EQ(run.only("save").back()["file"], "./save/0");
        int quitAt = int(run.only("scene")[0]["ms"]) + 7150;
        EXPECT_LT(int(run.events.back()["ms"]), quitAt + 1000) << quit;
    }
}

TEST(GameOver, TellsTheCollapseOverTwoPagesThenGameOverThenTheTitle)
{
    GameDir game;
    game.minimalGame("hp -200\n[見えないはずの言葉]\n" + std::string(kMove));
    ReplayRun run = runFromStart(game, "press return\npress return\npress return\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto pages = run.only("page");
    ASSERT_EQ(pages.size(), 3u);
    auto first = rows(pages[0]), second = rows(pages[1]);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_FALSE(first[0].empty());
    EXPECT_FALSE(first[1].empty());
    ASSERT_EQ(second.size(), 1u);
    EXPECT_TRUE(endsWith(second[0], "……")) << second[0];
    EXPECT_EQ(rows(pages[2]), std::vector<std::string>{"Game Over……"});
    // The fade lies between the last narration page and the Game Over page.
    EXPECT_GE(int(pages[2]["ms"]) - int(pages[1]["ms"]), 70);
    EXPECT_EQ(count(paths(run.only("music")), kTitleMusic), 2);
    EXPECT_EQ(run.only("scene").size(), 1u);

    // HP exactly 0 is the end as well.
    game.minimalGame("hp -123\n[見えないはずの言葉]\n" + std::string(kMove));
    run = runFromStart(game, "press return\npress return\npress return\n");
    pages = run.only("page");
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(rows(pages[2]), std::vector<std::string>{"Game Over……"});
}

TEST(GameOver, AQuitOnTheNarrationEndsTheGame)
{
    GameDir game;
    game.minimalGame("hp -200\n[見えないはずの言葉]\n" + std::string(kMove));
    ReplayRun run = runFromStart(game, "press escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto pages = run.only("page");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(rows(pages[0]).size(), 2u);
    // No title again: the game ends, the resume file written as after any scene.
    EXPECT_EQ(count(paths(run.only("music")), kTitleMusic), 1);
    ASSERT_FALSE(run.only("save").empty());
    EXPECT_EQ(run.events.back()["ev"], "save");

    // The window's close on either page, the same.
    for (std::string input : {"quit\n", "press return\nquit\n"}) {
        run = runFromStart(game, input + "wait 60000\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(count(paths(run.only("music")), kTitleMusic), 1) << input;
        EXPECT_EQ(run.only("scene").size(), 1u) << input;
    }
}
