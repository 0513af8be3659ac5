// The game menu over a page, played through the replay: how it opens and backs out, each of
// its entries from the mouse and from the keyboard, the question before going back to the
// title or quitting, and the settings screen changing and keeping every setting.
#include "screens/gamemenu.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/gamedir.h"
#include "support/shots.h"

namespace {

// The menu's plates, 1 セーブ to 6 ゲーム終了, and the question's answers.
std::string entry(int n) { return "click 400 " + std::to_string(172 + 56 * (n - 1)) + "\n"; }
const char kYes[] = "click 305 327\n";
const char kNo[] = "click 495 327\n";
const char kOpen[] = "rclick 700 100\n";   // on the page, away from the plates

// Settings rows 1-9 (text speed ... fullscreen): the chip on the left, on the right, a place on
// the slider's bar; and 戻る.
std::string chip(int row, int side)
{
    return "click " + std::to_string(side == 0 ? 435 : 605) + " " + std::to_string(104 + 44 * (row - 1)) + "\n";
}
std::string bar(int row, int x) { return "click " + std::to_string(x) + " " + std::to_string(104 + 44 * (row - 1)) + "\n"; }
const char kBack[] = "click 400 522\n";

std::vector<std::string> screens(const ReplayRun& run)
{
    std::vector<std::string> names;
    for (const auto& event : run.only("screen")) names.push_back(event["name"]);
    return names;
}

std::vector<std::string> firstTexts(const ReplayRun& run)
{
    std::vector<std::string> texts;
    for (const auto& page : run.only("page")) texts.push_back(page["segments"].empty() ? "" : page["segments"][0]["text"]);
    return texts;
}

using Names = std::vector<std::string>;

class GameMenu : public testing::Test {
protected:
    void SetUp() override
    {
        // A grey background, so that the menu's dimming shows.
        game.picture("bg/black.jpg", 800, 600, 0x808080);
        game.minimalGame("[p1<p>p2<p>p3]\n[m2]\n*move* {\n出口 A001\n}\n");
    }
    ReplayRun play(const std::string& input) { return runFromStart(game, input); }
    GameDir game;
};

}  // namespace

TEST_F(GameMenu, ARightClickOrMOpensItOverThePageAndARightClickOrBackspaceClosesIt)
{
    ReplayRun run = play("shot " + game.file("page.bmp") + "\n" + kOpen + "shot " + game.file("menu.bmp") +
                         "\nrclick 700 100\npress m\npress backspace\nshot " + game.file("back.bmp") +
                         "\npress return\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "page", "gamemenu", "page"}));
    // Neither the clicks nor the keys turned the page; the Return after them did.
    EXPECT_EQ(firstTexts(run), (Names{"p1", "p2"}));
    // The page lies dimmed under the menu, and comes back as it was.
    EXPECT_EQ(shotPixel(game.file("page.bmp"), 700, 100), 0x808080u);
    EXPECT_EQ(shotPixel(game.file("menu.bmp"), 700, 100), 0x404040u);
    EXPECT_NE(shotPixel(game.file("menu.bmp"), 400, 172), 0x404040u);
    SDL_Rect d = shotDifference(game.file("page.bmp"), game.file("back.bmp"));
    EXPECT_EQ(d.w, 0) << d.x << "," << d.y << " " << d.w << "x" << d.h;
}

TEST_F(GameMenu, BackToTheTitleAsksFirstWithNoLit)
{
    // いいえ (clicked), then Return on the answer lit when the question opens: いいえ again;
    // then はい.
    ReplayRun run = play(std::string(kOpen) + entry(5) + kNo + entry(5) + "press return\n" + entry(5) +
                         "shot " + game.file("question.bmp") + "\n" + kYes + "wait 500\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "confirm", "gamemenu", "confirm", "gamemenu", "confirm"}));
    // The title's music plays again; the message's next pages never showed.
    std::vector<std::string> music;
    for (const auto& event : run.only("music")) music.push_back(event["path"]);
    EXPECT_EQ(std::count(music.begin(), music.end(), "./bgm/OP.ogg"), 2) << music.size();
    EXPECT_EQ(firstTexts(run), Names{"p1"});
    EXPECT_EQ(run.only("scene").size(), 1u);
    // いいえ is lit: dark text on its plate, light text on はい's.
    EXPECT_NE(shotPixel(game.file("question.bmp"), 420, 310), shotPixel(game.file("question.bmp"), 230, 310));

    // And from the keyboard alone: M, Up from no highlight to ゲーム終了, Up to タイトルへ,
    // Return, Left to はい, Return; then a new game starts at the title with the keyboard too.
    std::remove(game.file("save/0").c_str());
    run = play("move 5 595\npress m\npress up\npress up\npress return\npress left\npress return\n"
               "wait 300\npress down\npress return\n");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.only("scene").size(), 2u);
    EXPECT_EQ(firstTexts(run), (Names{"p1", "p1"}));
}

TEST_F(GameMenu, QuittingThroughItIsClosingTheWindow)
{
    ReplayRun closed = play("quit\n");
    ASSERT_EQ(closed.status, 0) << closed.err;
    std::string closedSave = game.read("save/0");
    ASSERT_FALSE(closedSave.empty());
    std::remove(game.file("save/0").c_str());

    ReplayRun run = play(std::string(kOpen) + entry(6) + kYes + "wait 5000\npress return\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "confirm"}));
    EXPECT_EQ(firstTexts(run), Names{"p1"});
    EXPECT_EQ(game.read("save/0"), closedSave);
    ASSERT_FALSE(run.only("save").empty());
    EXPECT_EQ(run.only("save").back()["file"], "./save/0");
}

TEST_F(GameMenu, TheBacklogEntryShowsThePagesAlreadyShown)
{
    // On the first page there is no backlog: the entry does nothing.
    ReplayRun run = play(std::string(kOpen) + entry(4) + "press backspace\npress return\n" + kOpen + entry(4) +
                         "click 400 300\npress return\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "page", "gamemenu", "page"}));
    ASSERT_EQ(run.only("backlog").size(), 1u);
    EXPECT_EQ(run.only("backlog")[0]["of"], 1);
    // The click that left the backlog did not turn the page; the Return did.
    EXPECT_EQ(firstTexts(run), (Names{"p1", "p2", "p3"}));

    // The keyboard: Down four times from no highlight skips nothing here (the backlog is
    // there), Return opens it.
    run = play("press return\npress down\npress down\npress down\npress down\npress m\n"
               "press down\npress down\npress down\npress down\npress return\n");
    EXPECT_EQ(run.only("backlog").size(), 1u);
}

TEST_F(GameMenu, SaveAndLoadOpenThePageSaveLists)
{
    // セーブ, then place 2 (the top right of the list's first page): written, and the page is
    // back, not turned by the click.
    ReplayRun run = play(std::string(kOpen) + entry(1) + "click 595 144\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "page"}));
    EXPECT_EQ(firstTexts(run), Names{"p1"});
    EXPECT_FALSE(game.read("save/page02").empty());

    // ロード backed out of with Backspace (the menu again, no step back), the menu left with
    // Backspace; the next page, then ロード from the keyboard and the newest save: the first
    // page again.
    run = play(std::string(kOpen) + entry(2) + "press backspace\npress backspace\npress return\n" + kOpen +
               "press down\npress down\npress return\npress return\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("rollback").empty());
    EXPECT_EQ(firstTexts(run), (Names{"p1", "p2", "p1"}));
    ASSERT_EQ(run.only("load").size(), 1u);
}

TEST_F(GameMenu, TheSettingsScreenChangesEverySettingAtOnceAndKeepsIt)
{
    // With the mouse: text speed 10 a second (the bar's left end), auto on, its pace 9, music
    // 0, sounds 5, read pages only, the marker on, fullscreen on; then back with 戻る.
    ReplayRun run = play(std::string(kOpen) + entry(3) + bar(1, 360) + chip(2, 1) + bar(3, 620) + bar(4, 350) +
                         bar(5, 490) + chip(6, 1) + chip(7, 1) + chip(9, 1) + kBack + "press backspace\n" +
                         "press a\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "settings", "gamemenu", "page"}));
    EXPECT_EQ(game.read("save/settings"), "# Tessarc settings\nwindow 1\nfullscreen 1\nmusic 0\nsounds 5\n"
                                          "auto 0\ntextspeed 10\nautopace 9\nskipread 1\nmarker 1\n");

    // With the keyboard, from that file: Down to each row, Left or Right to change it,
    // Return on the choices' rows flips them, Backspace leaves.
    run = play("move 5 595\npress m\npress down\npress down\npress down\npress return\n"   // the settings
               "press down\npress right\npress right\n"                       // text speed 30
               "press down\npress return\n"                                   // auto on
               "press down\npress left\n"                                     // pace 8
               "press down\npress right\n"                                    // music 1
               "press down\npress left\npress left\n"                         // sounds 3
               "press down\npress left\n"                                     // all pages
               "press down\npress return\n"                                   // marker off
               "press down\npress down\npress left\n"                         // the window
               "press down\npress return\n"                                   // 戻る
               "press backspace\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(screens(run), (Names{"gamemenu", "settings", "gamemenu", "page"}));
    EXPECT_EQ(game.read("save/settings"), "# Tessarc settings\nwindow 1\nfullscreen 0\nmusic 1\nsounds 3\n"
                                          "auto 1\ntextspeed 30\nautopace 8\nskipread 0\nmarker 0\n");
}

TEST_F(GameMenu, TheSettingsTakeEffectOnThePageAtOnce)
{
    // Auto-advance turned on in the settings turns the page by itself once back on it; the
    // next page is typed out at 20 characters a second.
    game.write("script/start.txt", "[p1]\n[abcdefghij]\n[m3]\n*move* {\n出口 A001\n}\n");
    ReplayRun run = play(std::string(kOpen) + entry(3) + chip(2, 1) + bar(1, 360 + 13) + kBack +
                         "press backspace\nwait 6000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<int> at;
    for (const auto& page : run.only("page")) at.push_back(page["ms"]);
    ASSERT_GE(at.size(), 3u);
    int back = run.only("screen").back()["ms"];
    // p1 turns 1.5 s and 120 ms after the page came back; the ten letters take half a second
    // to type before their page is drawn whole.
    EXPECT_NEAR(at[1] - back, 1500 + 2 * 60 + 450, 30);
    EXPECT_EQ(game.read("save/settings").find("textspeed 20\n") != std::string::npos, true);
}
