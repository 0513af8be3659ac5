// The item window: the labels, where they land on the sheet, and the ways back to the menu.
#include "screens/itemwindow.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/fonts.h"
#include "core/replay.h"
#include "core/state.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace {

const Uint32 kSheet = 0x40c040;
const Uint32 kBackground = 0x000080;

// Item names and counts are put back after each test.
class ItemLabel : public testing::Test {
protected:
    void SetUp() override
    {
        std::memcpy(names, iname, sizeof names);
        resetNewGame();
    }
    void TearDown() override
    {
        std::memcpy(iname, names, sizeof names);
        resetNewGame();
    }

    static std::string labelOf(int n)
    {
        char label[kNameSize];
        std::memset(label, 'z', sizeof label);
        itemLabel(n, label, sizeof label);
        return label;
    }

    char names[kItemCount][kNameSize];
};

// The bounding box of the black pixels of a picture inside [x0, x1) x [y0, y1).
struct Box {
    int left = 9999, top = 9999, count = 0;
};

Box blackIn(SDL_Surface* shot, int x0, int y0, int x1, int y1)
{
    Box box;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (pixelAt(shot, x, y) == 0) {
                ++box.count;
                if (x < box.left) box.left = x;
                if (y < box.top) box.top = y;
            }
    return box;
}

// A label whose top-left corner is at (x, y): black pixels start just right of and below it.
void expectLabelAt(SDL_Surface* shot, int x, int y)
{
    Box box = blackIn(shot, x - 20, y - 10, x + 150, y + 29);
    EXPECT_GT(box.count, 20) << "no label at " << x << "," << y;
    EXPECT_GE(box.left, x);
    EXPECT_LE(box.left, x + 4);
    EXPECT_GE(box.top, y);
    EXPECT_LE(box.top, y + 10);
}

// The text in itemFont drawn at (x, y) four times, a pixel apart to the right and down, and
// nothing else black around it.
void expectLabelDrawn(SDL_Surface* shot, const char* text, int x, int y)
{
    SDL_Surface* rendered = TTF_RenderUTF8_Solid(itemFont, text, color_black);
    ASSERT_NE(rendered, nullptr);
    SDL_Surface* expected = solidSurface(rendered->w + 3, rendered->h + 3, 0xffffff);
    for (int offset : {0x11, 0x12, 0x21, 0x22}) {
        SDL_Rect at = {Sint16(offset >> 4), Sint16(offset & 15), 0, 0};
        SDL_BlitSurface(rendered, nullptr, expected, &at);
    }
    int wrong = 0;
    for (int j = 0; j < expected->h; ++j)
        for (int i = 0; i < expected->w; ++i)
            wrong += (pixelAt(expected, i, j) == 0) != (pixelAt(shot, x - 1 + i, y - 1 + j) == 0);
    EXPECT_EQ(wrong, 0) << text;
    EXPECT_GT(blackIn(expected, 0, 0, expected->w, expected->h).count, 20) << text;
    SDL_FreeSurface(expected);
    SDL_FreeSurface(rendered);
}

}  // namespace

TEST_F(ItemLabel, ShowsTheCountAfterAnIdeographicSpaceFromTwoOn)
{
    std::strcpy(iname[3], "薬草");
    item[3] = 1;
    EXPECT_EQ(labelOf(3), "薬草");
    item[3] = 2;
    EXPECT_EQ(labelOf(3), "薬草\xe3\x80\x80" "2");
    item[3] = 12;
    EXPECT_EQ(labelOf(3), "薬草　12");
    item[3] = 2147483647;
    EXPECT_EQ(labelOf(3), "薬草　2147483647");
    iname[3][0] = '\0';
    EXPECT_EQ(labelOf(3), "　2147483647");
}

TEST_F(ItemLabel, ALongNameGivesUpWholeCharactersForTheCount)
{
    // 21 three-byte characters: 63 bytes, the most a name holds.
    std::string name;
    for (int i = 0; i < 21; ++i) name += "あ";
    std::strcpy(iname[5], name.c_str());
    item[5] = 1;
    EXPECT_EQ(labelOf(5), name);
    item[5] = 12;
    EXPECT_EQ(labelOf(5), name.substr(0, 19 * 3) + "　12");
    // One-byte characters give up just what the count needs.
    std::strcpy(iname[5], std::string(63, 'x').c_str());
    item[5] = 2;
    EXPECT_EQ(labelOf(5), std::string(59, 'x') + "　2");
    item[5] = 1;
    EXPECT_EQ(labelOf(5), std::string(63, 'x'));
}

class ItemWindow : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        std::memcpy(names, iname, sizeof names);
        resetNewGame();
        ASSERT_EQ(TTF_Init(), 0);
        itemFont = GetFont("MSGOTHIC.TTC", 20);
        ASSERT_NE(itemFont, nullptr);
        dir.picture("item.png", 800, 600, kSheet);
        ImgLoad(dir.file("item.png").c_str(), "item");
        std::string error;
        // Nothing to play: the window's wait gets the quit request at once.
        ASSERT_TRUE(replayLoad("", "", &error)) << error;
    }
    void TearDown() override
    {
        TTF_CloseFont(itemFont);
        itemFont = nullptr;
        TTF_Quit();
        std::memcpy(iname, names, sizeof names);
        resetNewGame();
        ScreenTest::TearDown();
    }

    char names[kItemCount][kNameSize];
    GameDir dir;
};

TEST_F(ItemWindow, ListsOnlyTheItemsHeldInReadingOrder)
{
    for (int n = 0; n < kItemCount; ++n) std::snprintf(iname[n], kNameSize, "品%d", n);
    iname[9][0] = '\0';
    item[2] = -1;   // below zero counts as not held
    item[4] = 1;
    item[9] = 1;    // an empty name still takes its place
    item[11] = 3;
    item[69] = 1;
    itemwindow();
    EXPECT_EQ(e, 0);   // the wait was left by the quit request
    EXPECT_EQ(pixelAt(screen, 5, 5), kSheet);
    expectLabelDrawn(screen, "品4", 125, 140);
    EXPECT_EQ(blackIn(screen, 300, 130, 490, 170).count, 0);
    expectLabelDrawn(screen, "品11　3", 495, 140);
    expectLabelDrawn(screen, "品69", 125, 170);
    EXPECT_EQ(blackIn(screen, 0, 200, 800, 600).count, 0);
}

TEST(ItemWindowRun, ShowsTheSheetAndLabelsThenAnyClickOrKeyReturnsToTheMenu)
{
    GameDir game;
    game.write("script/itemlist.txt", "石\n薬草\n鍵\n剣\n盾\n");
    game.write("script/start.txt", "item+ 1\nitem+ 2\nitem+ 2\nitem+ 3\nitem+ 4\n"
                                   "*move*\n{\n行く A001\n}\n");
    game.picture("system/picture/item.png", 800, 600, kSheet);
    game.picture("bg/black.jpg", 800, 600, kBackground);
    auto shot = [&](const std::string& name) { return "shot " + game.file(name) + "\n"; };
    const std::string items = "click 600 215\n";
    ReplayRun run = runFromStart(game, items + shot("open.bmp") + "rclick 300 300\n" +
                                           shot("menu1.bmp") + items + "press return\n" +
                                           shot("menu2.bmp") + items + "click 300 300\n" +
                                           shot("menu3.bmp") + "click 600 250\n");
    EXPECT_EQ(run.status, 0) << run.err;

    SDL_Surface* open = SDL_LoadBMP(game.file("open.bmp").c_str());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(pixelAt(open, 300, 300), kSheet);
    EXPECT_EQ(pixelAt(open, 799, 599), kSheet);
    for (int k = 0; k < 4; ++k) expectLabelAt(open, 125 + 185 * (k % 3), 140 + 30 * (k / 3));
    // The count stands after the name and the ideographic space, two characters in.
    EXPECT_GT(blackIn(open, 310 + 40, 140, 310 + 60, 170).count, 0);
    EXPECT_EQ(blackIn(open, 495 + 40, 140, 495 + 60, 170).count, 0);
    SDL_FreeSurface(open);

    // Each way out shows the menu again over the scene, which then still moves on.
    for (const char* name : {"menu1.bmp", "menu2.bmp", "menu3.bmp"}) {
        SDL_Surface* menu = SDL_LoadBMP(game.file(name).c_str());
        ASSERT_NE(menu, nullptr) << name;
        EXPECT_EQ(pixelAt(menu, 300, 300), kBackground) << name;
        SDL_FreeSurface(menu);
    }
    EXPECT_EQ(run.only("menu").size(), 1u);
    EXPECT_EQ(run.only("choice").size(), 1u);
}
