#include "screens/settingsscreen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/display.h"
#include "core/events.h"
#include "core/menukeys.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/audio.h"
#include "presentation/cache.h"
#include "presentation/draw.h"
#include "presentation/playerkeys.h"
#include "screens/systemlook.h"

namespace {

enum Row { kTextSpeed = 1, kAuto, kAutoPace, kMusic, kSounds, kSkip, kMarker, kWindow, kFullscreen, kBack };
const int kRowCount = kFullscreen;   // the rows of values; 戻る comes after them

struct RowKind {
    const char* label;
    const char* options[2];   // a choice of two; null for a slider
};

const RowKind kRows[kRowCount] = {
    {"文字の速さ", {nullptr, nullptr}},   {"オート", {"オフ", "オン"}},
    {"オートの速さ", {nullptr, nullptr}}, {"音楽の音量", {nullptr, nullptr}},
    {"効果音の音量", {nullptr, nullptr}}, {"スキップ", {"すべて", "既読のみ"}},
    {"クリック待ちの印", {"オフ", "オン"}}, {"ウィンドウの大きさ", {nullptr, nullptr}},
    {"フルスクリーン", {"オフ", "オン"}},
};

const LookBox kPanel = {40, 20, 720, 560};
const LookBox kBackPlate = {310, 500, 180, 44};
const int kRowTop = 84, kRowStep = 44, kRowH = 40;
const int kBarX = 360, kBarW = 260;            // a slider's bar
const int kChipX[2] = {360, 530}, kChipW = 150;

LookBox rowBox(int row) { return {60, kRowTop + kRowStep * (row - 1), 680, kRowH}; }
LookBox chipBox(int row, int i) { return {kChipX[i], rowBox(row).y + 4, kChipW, 32}; }
bool isSlider(int row) { return row >= 1 && row <= kRowCount && !kRows[row - 1].options[0]; }

// The text speeds of the slider, slowest first; instant (0) at its fast end.
int speedAt(int position) { return position < 20 ? kTextSpeedLeast * (position + 1) : 0; }
int speedPosition(int speed) { return speed == 0 ? 20 : std::min(19, std::max(0, speed / kTextSpeedLeast - 1)); }

struct Range {
    int low, high;
};

Range rangeOf(int row)
{
    switch (row) {
    case kTextSpeed: return {0, 20};
    case kAutoPace: return {1, kAutoPaces};
    case kMusic:
    case kSounds: return {0, kVolumeSteps};
    case kWindow: return {1, std::max(1, std::max(displayLargestScale(), settings.windowScale))};
    default: return {0, 1};
    }
}

int valueOf(int row)
{
    switch (row) {
    case kTextSpeed: return speedPosition(settings.textSpeed);
    case kAuto: return settings.autoAdvance;
    case kAutoPace: return settings.autoPace;
    case kMusic: return settings.musicLevel;
    case kSounds: return settings.soundLevel;
    case kSkip: return settings.skipReadOnly;
    case kMarker: return settings.marker;
    case kWindow: return settings.windowScale;
    case kFullscreen: return settings.fullscreen;
    default: return 0;
    }
}

void valueText(int row, char* text, size_t size)
{
    int value = valueOf(row);
    if (row == kTextSpeed && speedAt(value) == 0) std::snprintf(text, size, "瞬間");
    else if (row == kTextSpeed) std::snprintf(text, size, "%d字/秒", speedAt(value));
    else if (row == kWindow) std::snprintf(text, size, "%d倍", value);
    else std::snprintf(text, size, "%d", value);
}

// Sets the row's value (kept within its range) and puts it in force; false when it was so.
bool setValue(int row, int value)
{
    Range range = rangeOf(row);
    value = std::min(range.high, std::max(range.low, value));
    if (value == valueOf(row)) return false;
    switch (row) {
    case kTextSpeed: settings.textSpeed = speedAt(value); break;
    case kAuto: settings.autoAdvance = value == 1; break;
    case kAutoPace: settings.autoPace = value; break;
    case kMusic: settings.musicLevel = value; break;
    case kSounds: settings.soundLevel = value; break;
    case kSkip: settings.skipReadOnly = value == 1; break;
    case kMarker: settings.marker = value == 1; break;
    case kWindow: windowApply(settings.fullscreen, value); return true;
    case kFullscreen: windowApply(value == 1, settings.windowScale); return true;
    default: return false;
    }
    if (row == kMusic || row == kSounds) volumesApply();
    settingsKeep();
    return true;
}

// The value a slider's bar gives at pointer x.
int sliderValueAt(int row, int x)
{
    Range range = rangeOf(row);
    int span = range.high - range.low;
    if (span <= 0) return range.low;
    int offset = std::min(kBarW, std::max(0, x - kBarX));
    return range.low + (offset * span + kBarW / 2) / kBarW;
}

SDL_Surface* screenUnder;

void drawSlider(int row, bool lit)
{
    LookBox box = rowBox(row);
    Range range = rangeOf(row);
    int span = std::max(1, range.high - range.low);
    int knob = kBarX + (valueOf(row) - range.low) * kBarW / span;
    lookFill({kBarX, box.y + 18, kBarW, 4}, kLookDim);
    lookFill({kBarX, box.y + 18, knob - kBarX, 4}, kLookGold);
    lookFill({knob - 5, box.y + 8, 10, 24}, lit ? kLookLight : kLookGold);
    char text[32];
    valueText(row, text, sizeof text);
    lookText(text, kBarX + kBarW + 24, box.y + 9, kLookLight, false);
}

void drawSettings(int lit)
{
    if (ImgGet("settings")) {
        blitPicture("settings", 0, 0);
    } else {
        lookUnder(screenUnder);
        lookPanel(nullptr, kPanel);
        lookText("設定", 400, kPanel.y + 16, kLookGold, true, true);
    }
    for (int row = 1; row <= kRowCount; ++row) {
        LookBox box = rowBox(row);
        if (row == lit) lookFrame(box, kLookGold, 1);
        lookText(kRows[row - 1].label, box.x + 20, box.y + 9, row == lit ? kLookGold : kLookLight, false);
        if (isSlider(row)) {
            drawSlider(row, row == lit);
            continue;
        }
        for (int i = 0; i < 2; ++i) lookChip(chipBox(row, i), kRows[row - 1].options[i], valueOf(row) == i);
    }
    lookPlate(kBackPlate, "戻る", lit == kBack);
    platformFlip(screen);
}

int rowAt(int x, int y)
{
    if (kBackPlate.holds(x, y)) return kBack;
    for (int row = 1; row <= kRowCount; ++row)
        if (rowBox(row).holds(x, y)) return row;
    return 0;
}

void showSettings()
{
    shownOpens(Shown::Settings);
    for (int row = 1; row <= kRowCount; ++row) {
        LookBox box = rowBox(row);
        shownEntry(kRows[row - 1].label, {box.x, box.y, box.w, box.h}, true);
    }
    shownEntry("戻る", {kBackPlate.x, kBackPlate.y, kBackPlate.w, kBackPlate.h}, true);
}

// A click at (x, y) on the row: a choice's chip, or a place on a slider's bar.
bool clickRow(int row, int x, int y)
{
    if (isSlider(row)) return x >= kBarX - 10 && x <= kBarX + kBarW + 10 && setValue(row, sliderValueAt(row, x));
    for (int i = 0; i < 2; ++i)
        if (chipBox(row, i).holds(x, y)) return setValue(row, i);
    return false;
}

// Left or Right on the row: a step along a slider, or the choice on that side.
bool stepRow(int row, int step)
{
    if (isSlider(row)) return setValue(row, valueOf(row) + step);
    return setValue(row, step < 0 ? 0 : 1);
}

void changed(int row)
{
    // The sound's new level is heard at once; the music is heard playing.
    systemSound(row == kSounds ? "enter" : "onmouse");
}

}  // namespace

void settingsScreen(SDL_Surface* under)
{
    screenUnder = under;
    traceScreen("settings");
    showSettings();
    int lit = 0, pointed = 0, dragging = 0;
    MenuKeys keys;
    menuKeysOpen(&keys, MenuLayout::Column, true);
    bool leftReleased = false, rightReleased = false;
    Settings drawn = settings;
    drawSettings(lit);
    platformWaitBegins();
    while (e == 1) {
        platformDelay(10);
        if (takeQuitEvents()) return;
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        Uint8 buttons = platformMouseState(&MousePx, &MousePy);
        bool redraw = std::memcmp(&drawn, &settings, sizeof drawn) != 0;   // F3, F10... meanwhile
        if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) {
            if (rightReleased) break;
        } else {
            rightReleased = true;
        }
        int under = rowAt(MousePx, MousePy);
        if (under != pointed) {
            pointed = under;
            if (under != 0 && under != lit) {
                lit = under;
                systemSound("onmouse");
                redraw = true;
            }
        }
        MenuKey key = menuKeysRead(&keys, &lit, kBack, (1u << kBack) - 1);
        if (key == MenuKey::Moved) {
            systemSound("onmouse");
            redraw = true;
        } else if (key == MenuKey::Back || (key == MenuKey::Picked && lit == kBack)) {
            break;
        } else if (key == MenuKey::Picked && !isSlider(lit) && setValue(lit, 1 - valueOf(lit))) {
            changed(lit);
            redraw = true;
        } else if (keys.sideways != 0 && lit >= 1 && lit <= kRowCount && stepRow(lit, keys.sideways)) {
            changed(lit);
            redraw = true;
        }
        if (!(buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
            leftReleased = true;
            dragging = 0;
        } else if (leftReleased) {
            leftReleased = false;
            if (pointed == kBack) break;
            if (pointed > 0 && clickRow(pointed, MousePx, MousePy)) {
                changed(pointed);
                redraw = true;
            }
            if (isSlider(pointed)) dragging = pointed;
        } else if (dragging && setValue(dragging, sliderValueAt(dragging, MousePx))) {
            // The knob follows the pointer while the button is held.
            changed(dragging);
            redraw = true;
        }
        if (redraw) {
            drawn = settings;
            drawSettings(lit);
        }
    }
    if (e == 1) systemSound("return");
}
