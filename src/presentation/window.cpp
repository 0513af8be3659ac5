#include "presentation/window.h"

#include <cstdlib>

#include "core/decision.h"
#include "core/state.h"
#include "presentation/draw.h"

namespace {

// The chip strips "moji" and "moji_red": 30 px high chips side by side.
const int kChipHeight = 30;
const int kDigitWidth = 20;
const int kDigitStep = 15;    // digits overlap their neighbours by 5 px
const int kPanelY = 15;

struct Chip {
    int x, width;
};
const Chip kHpLabel = {206, 37};
const Chip kGutsLabel = {247, 52};
const Chip kSlash = {305, 15};

void drawChip(const char* strip, Chip chip, int x)
{
    blitPiece(strip, chip.x, 0, chip.width, kChipHeight, x, kPanelY);
}

// One decimal digit of value; values outside the panel's range still pick one of the ten chips.
Chip digitChip(int value)
{
    int digit = std::abs(value % 10);
    return {kDigitWidth * digit, kDigitWidth};
}

// Draws value with `digits` cells starting at x, leading zeros left out so that the number
// starts at the field's left edge; returns the x of the last cell drawn.
int drawNumber(const char* strip, int value, int digits, int x)
{
    int power = 1;
    for (int i = 1; i < digits; ++i) power *= 10;
    bool started = false;
    for (int cell = 0; cell < digits; ++cell, power /= 10) {
        bool last = cell == digits - 1;
        if (!last && value <= power - 1 && !started) continue;
        if (started) x += kDigitStep;
        drawChip(strip, digitChip(value / power), x);
        started = true;
    }
    return x;
}

}  // namespace

int window(int mode)
{
    if (quietRun()) return 0;
    if (mode == 1) {
        blitPicture("bg", 70, 188);
        return 0;
    }
    blitPicture("bg", 0, 0);
    drawChip("moji", kHpLabel, 17);

    const char* hpStrip = HP < HPmax / 3 ? "moji_red" : "moji";
    int x = drawNumber(hpStrip, HP, 3, 58);
    x += kDigitStep;
    drawChip("moji", kSlash, x);
    x = drawNumber("moji", HPmax, 3, x + 10);

    int gutsX = x + 32;
    drawChip("moji", kGutsLabel, gutsX);
    x = drawNumber("moji", Guts, 2, gutsX + 56);
    x += kDigitStep;
    drawChip("moji", kSlash, x);
    drawNumber("moji", Gutsmax, 2, x + 10);

    blitPicture("text", 25, 380);
    return 0;
}
