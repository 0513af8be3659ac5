// Messages shown by whole runs of the game: what each page shows, how the player turns pages,
// and how a message that cannot be laid out ends the game.
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "support/gamedir.h"
#include "support/layouttext.h"

namespace {

using Json = nlohmann::json;

// The texts of a page's segments, in order.
std::vector<std::string> texts(const Json& page)
{
    std::vector<std::string> all;
    for (const Json& segment : page["segments"]) all.push_back(segment["text"]);
    return all;
}

// The first text of each page, "" for an empty page.
std::vector<std::string> firstTexts(const ReplayRun& run)
{
    std::vector<std::string> all;
    for (const Json& page : run.only("page")) {
        auto segments = texts(page);
        all.push_back(segments.empty() ? "" : segments[0]);
    }
    return all;
}

std::vector<int> times(const std::vector<Json>& events)
{
    std::vector<int> all;
    for (const Json& event : events) all.push_back(event["ms"]);
    return all;
}

void expectSegment(const Json& segment, int row, int x, const std::string& text,
                   std::vector<int> colour, const std::string& font)
{
    EXPECT_EQ(segment["row"], row) << text;
    EXPECT_EQ(segment["x"], x) << text;
    EXPECT_EQ(segment["y"], 402 + 45 * row) << text;
    EXPECT_EQ(segment["text"], text);
    EXPECT_EQ(segment["color"], Json(colour)) << text;
    EXPECT_EQ(segment["font"], font) << text;
}

// The start scene: the messages, then the move section the field menu at its end needs.
void scene(const GameDir& game, const std::string& messages)
{
    game.minimalGame(messages + "*move* {\n出口 A001\n}\n");
}

// The time between each page and the one before it.
std::vector<int> gaps(const ReplayRun& run)
{
    std::vector<int> all, at = times(run.only("page"));
    for (size_t i = 1; i < at.size(); ++i) all.push_back(at[i] - at[i - 1]);
    return all;
}

const char kSevenPages[] = "[p1<p>p2<p>p3<p>p4<p>p5<p>p6<p>p7]\n[m2]\n";

}  // namespace

TEST(TextDisplay, APageShowsEachSegmentWithItsPlaceColourAndType)
{
    GameDir game;
    // The message runs over two lines of the scene.
    scene(game, "[あ<c red>b<s>c\n<f>d<b>えお</b>か]\n");
    ReplayRun run = runFromStart(game, "");
    EXPECT_EQ(run.status, 0) << run.err;
    auto pages = run.only("page");
    ASSERT_EQ(pages.size(), 1u);
    const Json& segments = pages[0]["segments"];
    ASSERT_EQ(segments.size(), 4u);
    expectSegment(segments[0], 0, 35, "あ", {255, 255, 255}, "std");
    expectSegment(segments[1], 0, 2 * 13 + 40, "b", {255, 0, 0}, "std");
    expectSegment(segments[2], 0, 3 * 13 + 40, "c", {255, 255, 255}, "big");
    // The big scale carries over the line break: "d" is 1.5 units wide.
    expectSegment(segments[3], 1, 40, "dえおか", {255, 255, 255}, "change");
    const Json& dots = pages[0]["emphasis"];
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0]["row"], 1);
    EXPECT_EQ(dots[0]["x"], 19 + 38);
    EXPECT_EQ(dots[0]["text"], "・・");
}

TEST(TextDisplay, APageWaitsForAClickAConfirmKeyOrTheWheel)
{
    GameDir game;
    scene(game, kSevenPages);
    // Each action falls due 1000 ms after the last ended; a press or a click takes 100 ms
    // to the release and 50 after it. Motion, the right button and the wheel up (the backlog,
    // left with the wheel down) do not turn a page: the sixth comes with the Return after them.
    ReplayRun run = runFromStart(game, "wait 1000\npress return\nwait 1000\npress space\n"
                                       "wait 1000\nwheel down\nwait 1000\nclick 400 300\n"
                                       "wait 1000\nmove 10 10\nwait 1000\nrclick 5 5\n"
                                       "wait 1000\nwheel up\nwait 1000\nwheel down\n"
                                       "wait 1000\npress return\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"p1", "p2", "p3", "p4", "p5", "p6"}));
    auto between = gaps(run);
    ASSERT_EQ(between.size(), 5u);
    EXPECT_GE(between[0], 1000);
    EXPECT_EQ(std::vector<int>(between.begin() + 1, between.end()),
              (std::vector<int>{1100, 1100, 1050, 5250}));
}

TEST(TextDisplay, HoldingCtrlTurnsAPageEveryTwentyMilliseconds)
{
    GameDir game;
    scene(game, kSevenPages);
    // Held for 50 ms: three pages turn 20 ms apart; released, the page on show waits for
    // the Return 1000 ms later.
    ReplayRun run = runFromStart(game, "keydown lctrl\nwait 50\nkeyup lctrl\nwait 1000\n"
                                       "press return\n");
    EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"p1", "p2", "p3", "p4", "p5"}));
    auto between = gaps(run);
    ASSERT_EQ(between.size(), 4u);
    EXPECT_EQ(between[1], 20);
    EXPECT_EQ(between[2], 20);
    EXPECT_GE(between[3], 950);

    // Held throughout, through every page and into the next message.
    run = runFromStart(game, "keydown rctrl\nwait 1000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstTexts(run).back(), "m2");
    between = gaps(run);
    ASSERT_EQ(between.size(), 7u);
    EXPECT_EQ(std::vector<int>(between.begin() + 1, between.end()), std::vector<int>(6, 20));
}

TEST(TextDisplay, EscapeOrTheCloseRequestEndsTheSceneAtThePageShown)
{
    GameDir game;
    scene(game, "[one<p>two<p>three]\n[four]\n");
    for (const char* stop : {"press escape\n", "quit\n"}) {
        ReplayRun run = runFromStart(game, std::string("press return\n") + stop +
                                               "wait 500\npress return\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"one", "two"})) << stop;
        EXPECT_EQ(run.only("scene").size(), 1u);
    }
}

TEST(TextDisplay, OnlyAPageTagOnAnEmptyPageShowsAnEmptyPage)
{
    GameDir game;
    // A message ending in <p> and newlines leaves no page behind; one of newlines alone, or
    // an empty one, shows nothing, and the scene goes on.
    scene(game, "[abc<p>\n\n]\n[<p>def]\n[\n\n]\n[]\n[ghi<p>]\n[jkl]\n");
    ReplayRun run = runFromStart(game, "keydown lctrl\nwait 1000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"abc", "", "def", "ghi", "jkl"}));
}

TEST(TextDisplay, AMessageThatCannotBeLaidOutEndsTheGame)
{
    struct Case {
        std::string message;
        const char* error;
    } cases[] = {{std::string(300, 'a'), kRunTooLong},
                 {rep("あ", 120), kParagraphTooLong},
                 {std::string(2000, '\x01'), kParagraphTooLong}};
    for (const Case& test : cases) {
        GameDir game;
        scene(game, "[first]\n[" + test.message + "]\n[never]\n");
        ReplayRun run = runFromStart(game, "press return\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(reportsFatal(run.err, test.error)) << run.err;
        auto errors = run.only("error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0]["message"], test.error);
        // Nothing of the message is shown.
        EXPECT_EQ(firstTexts(run), std::vector<std::string>{"first"});
    }
}

TEST(TextDisplay, TheScreenShowsTheTextInItsColoursAtItsPlaces)
{
    GameDir game;
    const Uint32 background = 0x102030;
    game.picture("bg/black.jpg", 800, 600, background);
    scene(game, "[あいう<c red>かきく\n<c green>さしす<b>たち]\n");
    ReplayRun run = runFromStart(game, "shot " + game.file("page.bmp") + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    SDL_Surface* shot = SDL_LoadBMP(game.file("page.bmp").c_str());
    ASSERT_NE(shot, nullptr);

    // Where each colour may appear, and how much of it there is.
    struct Band {
        Uint32 colour;
        int left, top, right, bottom;
        int inside = 0, outside = 0;
    } bands[] = {
        {0xffffff, 35, 402, 35 + 3 * 26, 447},     // あいう
        {0xff0000, 118, 402, 118 + 3 * 26, 447},   // かきく at 6 units
        {0x00ff00, 40, 447, 40 + 5 * 26, 492},     // さしすたち
    };
    // The two dots over たち, at 6 units from x 38 and 22 px above row 1.
    int dots = 0, white = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            Uint32 pixel = pixelAt(shot, x, y);
            if (pixel == background) continue;
            if (pixel == 0xffffff) ++white;
            if (pixel == 0xffffff && x >= 116 && x < 116 + 2 * 26 + 4 && y >= 425 && y < 447)
                ++dots;
            for (Band& band : bands) {
                if (pixel != band.colour) continue;
                bool in = x >= band.left && x < band.right && y >= band.top && y < band.bottom;
                ++(in ? band.inside : band.outside);
            }
        }
    }
    for (const Band& band : bands) {
        EXPECT_GT(band.inside, 50) << std::hex << band.colour;
        if (band.colour != 0xffffff) {
            EXPECT_EQ(band.outside, 0) << std::hex << band.colour;
        }
    }
    EXPECT_GT(dots, 3);
    EXPECT_EQ(white, bands[0].inside + dots);
    // Rows 2 and 3 are empty.
    for (int y = 492; y < 600; ++y)
        for (int x = 0; x < 800; x += 7) ASSERT_EQ(pixelAt(shot, x, y), background) << x << y;
    SDL_FreeSurface(shot);
}

namespace {

// Whether two shots hold the same pixels in rows top to bottom - 1.
bool sameRows(const std::string& one, const std::string& other, int top, int bottom)
{
    SDL_Surface* a = SDL_LoadBMP(one.c_str());
    SDL_Surface* b = SDL_LoadBMP(other.c_str());
    bool same = a && b;
    for (int y = top; same && y < bottom; ++y)
        for (int x = 0; same && x < 800; ++x) same = pixelAt(a, x, y) == pixelAt(b, x, y);
    if (a) SDL_FreeSurface(a);
    if (b) SDL_FreeSurface(b);
    return same;
}

}  // namespace

TEST(TextDisplay, TheWheelUpShowsThePastPagesAsTheyWereAndComesBackToThePage)
{
    GameDir game;
    game.picture("bg/black.jpg", 800, 600, 0x102030);
    scene(game, "[p1 <c red>red<p><f>p2 <b>big</b><p>p3<p>p4]\n");
    auto shot = [&](const char* name) { return "shot " + game.file(name) + "\n"; };
    // On p3: back to p2, p1, no further, forward to p2, p3; the Return then turns p3. A shot
    // waits a moment after a wheel step, which is carried out as soon as it falls due.
    ReplayRun run = runFromStart(game, shot("p1.bmp") + "press return\n" + shot("p2.bmp") +
                                           "press return\n" + shot("p3.bmp") +
                                           "wheel up\nwait 10\n" + shot("b1.bmp") +
                                           "wheel up\nwait 10\n" + shot("b2.bmp") +
                                           "wheel up\nwheel down\nwheel down\nwait 10\n" +
                                           shot("back.bmp") + "press return\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"p1 ", "p2 big", "p3", "p4"}));
    std::vector<std::pair<int, int>> shown;
    for (const Json& page : run.only("backlog")) shown.emplace_back(page["page"], page["of"]);
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}, {1, 2}}));
    // The message frame shows each page exactly as it was; the mark above it is the backlog's.
    EXPECT_TRUE(sameRows(game.file("b1.bmp"), game.file("p2.bmp"), 380, 600));
    EXPECT_TRUE(sameRows(game.file("b2.bmp"), game.file("p1.bmp"), 380, 600));
    EXPECT_FALSE(sameRows(game.file("b1.bmp"), game.file("p2.bmp"), 340, 380));
    EXPECT_TRUE(sameRows(game.file("back.bmp"), game.file("p3.bmp"), 0, 600));
}

TEST(TextDisplay, TheKeyOrClickThatLeavesTheBacklogTurnsNoPage)
{
    GameDir game;
    scene(game, "[p1<p>p2<p>p3]\n");
    for (const char* back : {"press return\n", "press space\n", "click 400 300\n"}) {
        ReplayRun run = runFromStart(game, std::string("press return\nwheel up\nwait 10\n") + back +
                                               "wait 500\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"p1", "p2"})) << back;
    }
}

TEST(TextDisplay, TheBacklogKeepsTheLastTwoHundredPages)
{
    GameDir game;
    std::string pages = "[q0";
    for (int i = 1; i < 230; ++i) pages += "<p>q" + std::to_string(i);
    scene(game, pages + "]\n");
    // Ctrl turns a page every 20 ms.
    ReplayRun run = runFromStart(game, "keydown lctrl\nwait 4300\nkeyup lctrl\nwait 500\n"
                                       "wheel up\nwait 100\nwheel up\n");
    EXPECT_EQ(run.status, 0) << run.err;
    auto shown = run.only("backlog");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0]["of"], 200);
    EXPECT_EQ(shown[1]["page"], 2);
}

TEST(TextDisplay, AutoAdvanceTurnsPagesByThemselvesAndIsKeptForTheNextRun)
{
    GameDir game;
    scene(game, "[p1<p>あいうえお<p>p3]\n");
    // A on the first page: the pages turn 1.5 s and 60 ms a character after it.
    ReplayRun run = runFromStart(game, "press a\nwait 4000\n");
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(gaps(run).size(), 2u);
    EXPECT_EQ(gaps(run)[1], 1500 + 5 * 60);
    EXPECT_NE(game.read("save/settings").find("auto 1\n"), std::string::npos);

    // The next run starts with it; a click still turns a page at once.
    run = runFromStart(game, "wait 4000\n");
    EXPECT_EQ(gaps(run), (std::vector<int>{1500 + 2 * 60, 1500 + 5 * 60}));
    run = runFromStart(game, "wait 100\nclick 400 300\nwait 2000\n");
    ASSERT_EQ(gaps(run).size(), 2u);
    EXPECT_LT(gaps(run)[0], 1500);

    // A settings file that is damaged in any way means the defaults: pages wait again.
    for (const char* damaged : {"auto 1\nwindow x\n", "auto 1\nmusic 11\n", "\x01\xff\n"}) {
        game.write("save/settings", damaged);
        run = runFromStart(game, "wait 5000\n");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(firstTexts(run), std::vector<std::string>{"p1"}) << damaged;
    }
}

TEST(TextDisplay, AltReturnSwitchesToFullscreenInsteadOfTurningThePage)
{
    GameDir game;
    scene(game, kSevenPages);
    ReplayRun run = runFromStart(game, "keydown alt\npress return\nkeyup alt\nwait 100\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstTexts(run), std::vector<std::string>{"p1"});
    EXPECT_NE(game.read("save/settings").find("fullscreen 1\n"), std::string::npos);
    // F11 switches back; the Return alone turns the page again.
    run = runFromStart(game, "press f11\npress return\n");
    EXPECT_EQ(firstTexts(run), (std::vector<std::string>{"p1", "p2"}));
    EXPECT_NE(game.read("save/settings").find("fullscreen 0\n"), std::string::npos);
}
