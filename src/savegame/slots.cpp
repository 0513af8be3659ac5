#include "savegame/slots.h"

#include <cstdio>

#include "core/decision.h"
#include "core/events.h"
#include "core/gametext.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/state.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "savegame/save.h"

namespace {

const struct {
    int x, y;
} kSlots[3] = {{297, 95}, {121, 255}, {447, 247}};

int pickSlot(const int (*heads)[6], int mode, const int (*flags)[2800], unsigned open);

// The slot under the pointer; slot 1 wins where the areas overlap.
int slotAt(int x, int y)
{
    for (int s = 0; s < 3; ++s)
        if (x > kSlots[s].x + 20 && x < kSlots[s].x + 220 && y > kSlots[s].y + 20 &&
            y < kSlots[s].y + 240)
            return s + 1;
    return 0;
}

}  // namespace

int chapterOf(const int* flags)
{
    for (int chapter = 1; chapter <= 5; ++chapter)
        if (flags[50 + chapter] == 1) return chapter;
    return 1;
}

void saveDraw(const int (*heads)[6], int highlight, int mode, const int (*flags)[2800])
{
    SDL_Surface* lines[3][4] = {};
    bool saved[3];
    for (int s = 0; s < 3; ++s) {
        SaveCondition condition = saveCondition(s + 1);
        saved[s] = condition != SaveCondition::Missing;
        if (!saved[s] || !itemFont) continue;
        char text[4][64] = {};
        if (condition == SaveCondition::Damaged) {
            // The card says so; such a slot cannot be loaded, and saving over it keeps it.
            std::snprintf(text[0], sizeof text[0], "このセーブは");
            std::snprintf(text[1], sizeof text[1], "壊れています");
        } else {
            int chapter = chapterOf(flags[s]);
            std::snprintf(text[0], sizeof text[0], "第%d章", chapter == 5 ? 4 : chapter);
            std::snprintf(text[1], sizeof text[1], "%s", chapterTitles[chapter]);
            std::snprintf(text[2], sizeof text[2], "HP %d", heads[s][1]);
            std::snprintf(text[3], sizeof text[3], "Guts %d", heads[s][2]);
        }
        for (int j = 0; j < 4; ++j)
            if (text[j][0]) lines[s][j] = TTF_RenderUTF8_Solid(itemFont, text[j], color_black);
    }
    blitPicture(mode > 0 ? "save" : "load", 0, 0);
    for (int s = 0; s < 3; ++s)
        if (s + 1 != highlight && (saved[s] || mode == 1))
            blitPicture("save_memo_off", kSlots[s].x, kSlots[s].y);
    if (highlight > 0) blitPicture("save_memo_on", kSlots[highlight - 1].x, kSlots[highlight - 1].y);
    for (int s = 0; s < 3; ++s)
        for (int j = 0; j < 4; ++j) blitSurface(lines[s][j], kSlots[s].x + 40, kSlots[s].y + 80 + 30 * j);
    platformFlip(screen);
    for (auto& slot : lines)
        for (SDL_Surface* line : slot)
            if (line) SDL_FreeSurface(line);
}

void saveFailedNotice()
{
    const char kNotice[] = "セーブできませんでした（saveフォルダに書き込めません）";
    SDL_Rect band = {0, 520, 800, 60};
    SDL_FillRect(screen, &band, SDL_MapRGB(screen->format, 40, 0, 0));
    if (SDL_Surface* line = stdFont ? TTF_RenderUTF8_Solid(stdFont, kNotice, color_white) : nullptr) {
        blitSurface(line, (800 - line->w) / 2, 550 - line->h / 2);
        SDL_FreeSurface(line);
    }
    platformFlip(screen);
}

int savePick(const int (*heads)[6], int mode, const int (*flags)[2800])
{
    // In load mode only a slot with a sound save can be chosen.
    unsigned open = 0;
    for (int s = 0; s < 3; ++s)
        if (mode != 0 || saveCondition(s + 1) == SaveCondition::Sound) open |= 1u << s;
    Decision decision{DecisionKind::Slot, 3, 1, nullptr, nullptr, open, mode};
    Answer answer;
    if (!decisionAnswered(decision, &answer)) answer.value[0] = pickSlot(heads, mode, flags, open);
    if (e != 0) decisionTaken(decision, answer);
    return answer.value[0];
}

namespace {

int pickSlot(const int (*heads)[6], int mode, const int (*flags)[2800], unsigned open)
{
    shownOpens(Shown::Slots, mode);
    for (int s = 0; s < 3; ++s) {
        char name[16];
        std::snprintf(name, sizeof name, "slot %d", s + 1);
        shownEntry(name, {kSlots[s].x + 21, kSlots[s].y + 21, 199, 219}, (open >> s) & 1);
    }
    int highlight = 0, pointed = 0;
    bool released = false;
    saveDraw(heads, 0, mode, flags);
    platformWaitBegins();
    while (e == 1) {
        platformDelay(10);
        if (takeQuitEvents()) return 0;
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        Uint8 buttons = platformMouseState(&MousePx, &MousePy);
        if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) return 0;
        int under = slotAt(MousePx, MousePy);
        // Only a move onto another slot (or off them all) changes anything; in load mode an
        // empty slot is never highlighted.
        if (under != pointed) {
            pointed = under;
            highlight = mode == 0 && under > 0 && !((open >> (under - 1)) & 1) ? 0 : under;
            if (highlight > 0) systemSound("onmouse");
            saveDraw(heads, highlight, mode, flags);
        }
        if (buttons & SDL_BUTTON(SDL_BUTTON_LEFT)) {
            if (released && highlight > 0) {
                systemSound(mode == 1 ? "save" : "start");
                return highlight;
            }
            released = false;
        } else {
            released = true;
        }
    }
    return 0;
}

}  // namespace
