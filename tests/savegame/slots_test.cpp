// The slot screen: which slot the pointer finds, what makes a click, what load mode refuses,
// the pictures and texts drawn in each mode, and the chapter a save shows.
#include "savegame/slots.h"

#include <filesystem>
#include <string>

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include "core/fonts.h"
#include "core/replay.h"
#include "core/state.h"
#include "presentation/cache.h"
#include "savegame/save.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace fs = std::filesystem;

namespace {

const Uint32 kSaveBack = 0x2040C0;
const Uint32 kLoadBack = 0x40A040;
const Uint32 kCardOff = 0xC08020;
const Uint32 kCardOn = 0xF0E070;
const Uint32 kWhite = 0xFFFFFF;

// The cards' corners, slots 1 to 3.
const int kCorner[3][2] = {{297, 95}, {121, 255}, {447, 247}};

// The slot pictures: backgrounds of two colours and 60 by 60 cards, so that no card covers
// another.
void slotPictures(const GameDir& game)
{
    game.picture("system/picture/save.png", 800, 600, kSaveBack);
    game.picture("system/picture/load.png", 800, 600, kLoadBack);
    game.picture("system/picture/save_memo_off.png", 60, 60, kCardOff);
    game.picture("system/picture/save_memo_on.png", 60, 60, kCardOn);
}

// A slot record of a new game: a save that loads.
std::string slotRecord()
{
    unsigned char record[kResumeRecord];
    int length = encodeRecord(0, record);
    return std::string(reinterpret_cast<char*>(record), static_cast<size_t>(length));
}

// The colour inside slot s's card (1-3), near its corner.
Uint32 card(SDL_Surface* surface, int s)
{
    return pixelAt(surface, kCorner[s - 1][0] + 3, kCorner[s - 1][1] + 3);
}

// Runs in-process in a game directory as the current directory, on the dummy display.
class SlotScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        home_ = fs::current_path();
        fs::current_path(game.path());
        e = 1;
    }

    void TearDown() override
    {
        fs::current_path(home_);
        e = 1;
        ScreenTest::TearDown();
    }

    void loadPictures()
    {
        slotPictures(game);
        for (const char* name : {"save", "load", "save_memo_off", "save_memo_on"})
            ImgLoad(game.file(std::string("system/picture/") + name + ".png").c_str(), name);
    }

    // Runs the screen on the scripted input; answers its answer.
    int pick(int mode, const std::string& input)
    {
        std::string error;
        EXPECT_TRUE(replayLoad(input, game.path(), &error)) << error;
        e = 1;
        return savePick(heads, mode, flags);
    }

    GameDir game;
    int heads[3][6] = {};
    int flags[3][2800] = {};

private:
    fs::path home_;
};

}  // namespace

TEST_F(SlotScreen, TheSlotUnderThePointerIsFoundSlotOneFirst)
{
    struct Case {
        int x, y, slot;
    } cases[] = {
        {200, 350, 2}, {600, 400, 3}, {400, 200, 1},
        // Slot 1's area overlaps both others and wins there.
        {330, 300, 1}, {500, 300, 1},
        // The areas are strict on every side.
        {317, 200, 0}, {318, 200, 1}, {516, 200, 1}, {517, 200, 0},
        {400, 115, 0}, {400, 116, 1}, {400, 334, 1}, {400, 335, 0},
        {141, 350, 0}, {142, 350, 2}, {340, 494, 2}, {341, 494, 0},
        {666, 486, 3}, {667, 486, 0}, {600, 487, 0},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(pick(1, "click " + std::to_string(test.x) + " " + std::to_string(test.y)),
                  test.slot)
            << test.x << "," << test.y;
    }
}

TEST_F(SlotScreen, AChoiceIsAFreshPressOverASlot)
{
    // A button held when the screen opens chooses nothing when released over a slot...
    std::string held = "down left\nwait 100\nmove 200 350\nwait 100\nup left\nwait 100\n";
    EXPECT_EQ(pick(1, held), 0);
    // ...only the next press does.
    EXPECT_EQ(pick(1, held + "click 200 350\n"), 2);
    // A press over no slot is spent, also when the pointer is then dragged onto one.
    EXPECT_EQ(pick(1, "move 50 50\nwait 50\ndown left\nwait 50\nmove 600 400\nwait 100\n"
                      "up left\nwait 100\n"),
              0);
    EXPECT_EQ(pick(1, "click 50 50\nclick 600 400\n"), 3);

    // The right button leaves without a choice; Escape and the close request quit.
    EXPECT_EQ(pick(1, "move 200 350\nwait 100\nrclick 200 350\nclick 200 350\n"), 0);
    EXPECT_EQ(e, 1);
    EXPECT_EQ(pick(1, "move 200 350\nwait 100\npress escape\nclick 200 350\n"), 0);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(pick(1, "move 200 350\nwait 100\nquit\nclick 200 350\n"), 0);
    EXPECT_EQ(e, 0);
    // Escape counts when released.
    EXPECT_EQ(pick(1, "keydown escape\nwait 100\nclick 200 350\n"), 2);
}

TEST_F(SlotScreen, LoadModeOffersOnlySavedSlots)
{
    loadPictures();
    game.write("save/2", slotRecord());
    EXPECT_EQ(pick(0, "click 400 150\n"), 0);
    EXPECT_EQ(pick(0, "click 600 400\n"), 0);
    // Slot 1 is found first where it overlaps slot 2, and it is empty.
    EXPECT_EQ(pick(0, "click 330 300\n"), 0);
    EXPECT_EQ(pick(0, "click 400 150\nclick 200 350\n"), 2);

    // An empty slot under the pointer is not highlighted; a saved one is.
    pick(0, "move 400 150\nwait 100\n");
    EXPECT_EQ(pixelAt(screen, 5, 5), kLoadBack);
    EXPECT_EQ(card(screen, 1), kLoadBack);
    EXPECT_EQ(card(screen, 2), kCardOff);
    EXPECT_EQ(card(screen, 3), kLoadBack);
    pick(0, "move 200 350\nwait 100\n");
    EXPECT_EQ(card(screen, 2), kCardOn);
    // Moving from the empty slot onto the saved one highlights it too.
    pick(0, "move 400 150\nwait 100\nmove 200 400\nwait 100\n");
    EXPECT_EQ(card(screen, 1), kLoadBack);
    EXPECT_EQ(card(screen, 2), kCardOn);
}

TEST_F(SlotScreen, EachModeDrawsItsBackgroundAndCards)
{
    loadPictures();
    // Save mode: every slot has a card, saved or not.
    saveDraw(heads, 2, 1, flags);
    EXPECT_EQ(pixelAt(screen, 5, 5), kSaveBack);
    EXPECT_EQ(card(screen, 1), kCardOff);
    EXPECT_EQ(card(screen, 2), kCardOn);
    EXPECT_EQ(card(screen, 3), kCardOff);
    // The card's corner is the slot's corner.
    EXPECT_EQ(pixelAt(screen, 121, 255), kCardOn);
    EXPECT_EQ(pixelAt(screen, 180, 314), kCardOn);
    EXPECT_EQ(pixelAt(screen, 120, 255), kSaveBack);
    EXPECT_EQ(pixelAt(screen, 121, 254), kSaveBack);

    // Load mode: only saved slots have cards.
    game.write("save/3", slotRecord());
    saveDraw(heads, 0, 0, flags);
    EXPECT_EQ(pixelAt(screen, 5, 5), kLoadBack);
    EXPECT_EQ(card(screen, 1), kLoadBack);
    EXPECT_EQ(card(screen, 2), kLoadBack);
    EXPECT_EQ(card(screen, 3), kCardOff);
    // The highlighted card is drawn whether or not its slot is saved.
    saveDraw(heads, 2, 0, flags);
    EXPECT_EQ(card(screen, 2), kCardOn);

    // Saved mode: the save background, cards for saved slots and the one just written.
    saveDraw(heads, 1, 2, flags);
    EXPECT_EQ(pixelAt(screen, 5, 5), kSaveBack);
    EXPECT_EQ(card(screen, 1), kCardOn);
    EXPECT_EQ(card(screen, 2), kSaveBack);
    EXPECT_EQ(card(screen, 3), kCardOff);
}

namespace {

// Counts the pixels of the screen that differ from the text drawn in black over white with
// its corner at (x, y).
int differences(const char* text, int x, int y)
{
    SDL_Surface* line = TTF_RenderUTF8_Solid(itemFont, text, color_black);
    if (!line) return -1;
    SDL_Surface* expected = solidSurface(line->w, line->h, kWhite);
    SDL_BlitSurface(line, nullptr, expected, nullptr);
    int count = 0;
    for (int j = 0; j < line->h; ++j)
        for (int i = 0; i < line->w; ++i)
            if (pixelAt(expected, i, j) != pixelAt(screen, x + i, y + j)) ++count;
    SDL_FreeSurface(expected);
    SDL_FreeSurface(line);
    return count;
}

int blackPixels(int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (pixelAt(screen, x, y) == 0) ++count;
    return count;
}

}  // namespace

TEST_F(SlotScreen, ASavedSlotShowsItsChapterAndStatistics)
{
    ASSERT_EQ(TTF_Init(), 0);
    itemFont = GetFont("MSGOTHIC.TTC", 20);
    if (!itemFont) {
        TTF_Quit();
        GTEST_SKIP() << "no Japanese gothic font";
    }
    game.picture("system/picture/save.png", 800, 600, kWhite);
    ImgLoad(game.file("system/picture/save.png").c_str(), "save");
    game.write("save/1", slotRecord());
    heads[0][1] = 123, heads[0][2] = 72;
    heads[1][1] = 99, heads[1][2] = 99;   // slot 2 has no file: no text
    const int x = 297 + 40, y = 95 + 80;

    // The last chapter shows the label of the fourth with the game's title.
    flags[0][55] = 1;
    saveDraw(heads, 0, 1, flags);
    EXPECT_EQ(differences("第4章", x, y), 0);
    EXPECT_EQ(differences("Tessellane'Arc", x, y + 30), 0);
    EXPECT_EQ(differences("HP 123", x, y + 60), 0);
    EXPECT_EQ(differences("Guts 72", x, y + 90), 0);
    EXPECT_EQ(blackPixels(121, 300, 330, 600), 0);

    // The first chapter flag set counts; none set is chapter 1.
    flags[0][51] = flags[0][53] = 1;
    heads[0][1] = 5;
    saveDraw(heads, 1, 1, flags);
    EXPECT_EQ(differences("第1章", x, y), 0);
    EXPECT_EQ(differences("HP 5", x, y + 60), 0);
    flags[0][51] = flags[0][53] = flags[0][55] = 0;
    saveDraw(heads, 0, 2, flags);
    EXPECT_EQ(differences("第1章", x, y), 0);

    TTF_CloseFont(itemFont);
    itemFont = nullptr;
    TTF_Quit();
}

TEST(SlotChapter, TheFirstChapterFlagSetGivesTheChapter)
{
    static int flags[2800];
    EXPECT_EQ(chapterOf(flags), 1);
    flags[50] = flags[56] = 1;
    EXPECT_EQ(chapterOf(flags), 1);
    flags[53] = 1;
    EXPECT_EQ(chapterOf(flags), 3);
    flags[51] = 1;
    EXPECT_EQ(chapterOf(flags), 1);
    flags[51] = flags[53] = 0;
    flags[55] = 1;
    EXPECT_EQ(chapterOf(flags), 5);
    flags[54] = 1;
    EXPECT_EQ(chapterOf(flags), 4);
    flags[52] = 2;   // only a set flag (1) counts
    EXPECT_EQ(chapterOf(flags), 4);
}

TEST(SlotRun, TheSaveScreenHighlightsTheCardUnderThePointer)
{
    GameDir game;
    slotPictures(game);
    game.minimalGame("save\n*move*\n{\n行く A001\n}\n");
    ReplayRun run = runFromStart(game, "move 200 350\nwait 100\nshot " +
                                           game.file("save.bmp") + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    SDL_Surface* shot = SDL_LoadBMP(game.file("save.bmp").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(pixelAt(shot, 5, 5), kSaveBack);
    EXPECT_EQ(card(shot, 1), kCardOff);
    EXPECT_EQ(card(shot, 2), kCardOn);
    EXPECT_EQ(card(shot, 3), kCardOff);
    SDL_FreeSurface(shot);
    EXPECT_FALSE(game.exists("save/2"));

    // Saved into slot 3, the load screen shows that card alone; hovering the empty slot 1
    // highlights nothing.
    ASSERT_EQ(runFromStart(game, "click 600 400\n").status, 0);
    ASSERT_TRUE(game.exists("save/3"));
    run = runReplay(game, "click 410 427\nmove 400 150\nwait 100\nshot " +
                              game.file("load.bmp") + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.only("scene").empty());
    shot = SDL_LoadBMP(game.file("load.bmp").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(pixelAt(shot, 5, 5), kLoadBack);
    EXPECT_EQ(card(shot, 1), kLoadBack);
    EXPECT_EQ(card(shot, 2), kLoadBack);
    EXPECT_EQ(card(shot, 3), kCardOff);
    SDL_FreeSurface(shot);
}

// A save that cannot be written (here ./save is a file, which stops even root) is never shown
// as done: the player is told over the slot screen, and the file in the way stays as it was.
TEST_F(SlotScreen, ASaveThatCannotBeWrittenTellsThePlayer)
{
    loadPictures();
    game.write("save", "not a folder");
    std::string error;
    ASSERT_TRUE(replayLoad("click 200 350\n", game.path(), &error)) << error;
    testing::internal::CaptureStderr();
    save(0);
    std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("./save/2を書き込めませんでした"), std::string::npos) << told;
    EXPECT_EQ(pixelAt(screen, 5, 525), 0x280000u);
    EXPECT_EQ(pixelAt(screen, 5, 5), kSaveBack);
    EXPECT_EQ(game.read("save"), "not a folder");

    // Where it can be written, the screen shows the saved slot without a notice.
    fs::remove(game.file("save"));
    ASSERT_TRUE(replayLoad("click 200 350\n", game.path(), &error)) << error;
    save(0);
    EXPECT_EQ(pixelAt(screen, 5, 525), kSaveBack);
    EXPECT_EQ(game.read("save/2").size(), 464u);
}
