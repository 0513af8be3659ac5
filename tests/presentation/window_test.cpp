// The base screen: where each status chip lands and which strip it comes from.
#include "presentation/window.h"

#include <gtest/gtest.h>

#include "core/state.h"
#include "presentation/cache.h"
#include "support/gamedir.h"
#include "support/screen.h"

namespace {

// Chip strips whose chips each have their own colour: digit d is 0x0000d0 + d (blue),
// labels and slash are green, and the red strip marks its chips with 0x80 in red.
SDL_Surface* chipStrip(Uint32 redMark)
{
    SDL_Surface* strip = solidSurface(320, 30, 0);
    auto fill = [&](int x, int w, Uint32 rgb) {
        SDL_Rect r = {static_cast<Sint16>(x), 0, static_cast<Uint16>(w), 30};
        SDL_FillRect(strip, &r, rgb | redMark);
    };
    for (int d = 0; d < 10; ++d) fill(20 * d, 20, 0x0000d0 + d);
    fill(206, 37, 0x00a000);   // HP label
    fill(247, 52, 0x00b000);   // Guts label
    fill(305, 15, 0x00c000);   // slash
    return strip;
}

class Window : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        dir.picture("bg.png", 800, 600, 0x303030);
        dir.picture("text.png", 750, 200, 0x505050);
        SDL_Surface* strip = chipStrip(0);
        dir.picture("moji.png", strip);
        SDL_FreeSurface(strip);
        strip = chipStrip(0x800000);
        dir.picture("moji_red.png", strip);
        SDL_FreeSurface(strip);
        for (const char* name : {"bg", "text", "moji", "moji_red"})
            ImgLoad(dir.file(std::string(name) + ".png").c_str(), name);
    }

    // The colour at the left edge of the visible part of a chip, 5 px into it.
    Uint32 chipAt(int x) { return pixelAt(screen, x + 1, 20); }

    GameDir dir;
};

Uint32 digit(int d, bool red = false) { return 0x0000d0 + d + (red ? 0x800000 : 0); }

}  // namespace

TEST_F(Window, LaysOutTheStatusPanelFromTheLeft)
{
    HP = 7, HPmax = 120, Guts = 15, Gutsmax = 20;
    window(0);
    EXPECT_EQ(chipAt(17), 0x00a000u);          // HP label
    EXPECT_EQ(chipAt(58), digit(7, true));     // 7 < 120 / 3: red
    EXPECT_EQ(chipAt(73), 0x00c000u);          // slash
    EXPECT_EQ(chipAt(83), digit(1));
    EXPECT_EQ(chipAt(98), digit(2));
    EXPECT_EQ(chipAt(113), digit(0));
    EXPECT_EQ(chipAt(145), 0x00b000u);         // Guts label
    EXPECT_EQ(chipAt(201), digit(1));
    EXPECT_EQ(chipAt(216), digit(5));
    EXPECT_EQ(chipAt(231), 0x00c000u);
    EXPECT_EQ(chipAt(241), digit(2));
    EXPECT_EQ(chipAt(256), digit(0));
    // The last digit is whole; right of it lies the background.
    EXPECT_EQ(pixelAt(screen, 275, 20), digit(0));
    EXPECT_EQ(pixelAt(screen, 277, 20), 0x303030u);
    EXPECT_EQ(pixelAt(screen, 30, 380), 0x505050u);   // message frame at (25, 380)
    EXPECT_EQ(pixelAt(screen, 24, 380), 0x303030u);
}

TEST_F(Window, ThreeDigitHpAndTheRedThreshold)
{
    HP = 41, HPmax = 123, Guts = 5, Gutsmax = 72;
    window(0);
    // 41 is exactly 123 / 3: normal colour.
    EXPECT_EQ(chipAt(58), digit(4));
    EXPECT_EQ(chipAt(73), digit(1));
    EXPECT_EQ(chipAt(88), 0x00c000u);
    EXPECT_EQ(chipAt(98), digit(1));
    EXPECT_EQ(chipAt(113), digit(2));
    EXPECT_EQ(chipAt(128), digit(3));
    EXPECT_EQ(chipAt(160), 0x00b000u);
    EXPECT_EQ(chipAt(216), digit(5));          // a single Guts digit at the field's start
    EXPECT_EQ(chipAt(231), 0x00c000u);

    HP = 40;
    window(0);
    EXPECT_EQ(chipAt(58), digit(4, true));
    EXPECT_EQ(chipAt(88), 0x00c000u);          // the slash never turns red

    HP = 0, HPmax = 3;
    window(0);
    EXPECT_EQ(chipAt(58), digit(0, true));
}

TEST_F(Window, ValuesOutsideThePanelStillPickDigitChips)
{
    HP = -7, HPmax = 12345, Guts = 250, Gutsmax = -99;
    window(0);   // must not read outside the strip
    EXPECT_EQ(chipAt(58), digit(7, true));
    HP = 123, HPmax = 123, Guts = 72, Gutsmax = 72;
}

TEST_F(Window, MissingPicturesAreSkippedAndModeOneDrawsOnlyTheBackground)
{
    SDL_FillRect(screen, nullptr, 0x123456);
    ImgDelete("moji");
    ImgDelete("moji_red");
    window(1);
    EXPECT_EQ(pixelAt(screen, 69, 187), 0x123456u);
    EXPECT_EQ(pixelAt(screen, 70, 188), 0x303030u);
    EXPECT_EQ(pixelAt(screen, 30, 20), 0x123456u);
    window(0);
    EXPECT_EQ(pixelAt(screen, 30, 20), 0x303030u);
}
