#include "screens/choice.h"

#include <cstring>

#include "core/decision.h"
#include "core/events.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "presentation/window.h"

namespace {

const int kTextX = 228;
const int kBand = 50;
const int kPicksAtMost = 5;
static_assert(kOptionSize == kDecisionTextSize && kOptionSize == kShownTextSize, "one text size");

bool alreadyPicked(int option)
{
    for (int k = 0; k < kPicksAtMost; ++k)
        if (chosen[k] == option) return true;
    return false;
}

// The option whose band the pointer is in; 0 outside the list, -1 on a band boundary (the
// highlight then stays what it was).
int optionAt(int x, int y, int top, int n)
{
    if (x <= kTextX || x > 627 || y < top || y > top + kBand * n) return 0;
    for (int i = 0; i < n; ++i)
        if (y > top + kBand * i && y < top + kBand * (i + 1)) return i + 1;
    return -1;
}

}  // namespace

void pickDraw(int hover, int x, int top, int n, const char (*texts)[kOptionSize])
{
    window(0);
    for (int i = 0; i < n; ++i) {
        int y = top + kBand * i;
        blitPicture(i + 1 == hover ? "sentakushi_on" : "sentakushi_off", x - 50, y - 50);
        if (!texts[i][0] || !stdFont) continue;
        bool picked = false;
        for (int k = 0; k < n && k < kPicksAtMost; ++k) picked = picked || chosen[k] == i + 1;
        SDL_Surface* line =
            TTF_RenderUTF8_Solid(stdFont, texts[i], picked ? color_gray : color_white);
        blitSurface(line, x, y + 5);
        if (line) SDL_FreeSurface(line);
    }
    platformFlip(screen);
}

namespace {

// Tells what the list offers for the pick to come: each option's band, and whether it can
// still be picked.
void showChoice(int top, int n, const char (*texts)[kOptionSize], const char (*leadsTo)[kOptionSize])
{
    shownOpens(Shown::Choice);
    for (int i = 0; i < n; ++i)
        shownEntry(texts[i], {kTextX + 1, top + kBand * i + 1, 627 - kTextX, kBand - 1},
                   !alreadyPicked(i + 1), leadsTo ? leadsTo[i] : "");
}

// The player picks with the mouse, as the decision asks.
void pickByHand(int picks, int n, const char (*texts)[kOptionSize],
                const char (*leadsTo)[kOptionSize])
{
    int top = 225 - 25 * n;
    for (int k = 0; k < picks && k < kPicksAtMost; ++k) {
        int hover = 0;
        bool released = false;
        showChoice(top, n, texts, leadsTo);
        pickDraw(0, kTextX, top, n, texts);
        platformWaitBegins();
        while (e == 1) {
            platformDelay(10);
            if (takeQuitEvents()) break;
            platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
            platformPumpEvents();
            Uint8 buttons = platformMouseState(&MousePx, &MousePy);
            bool redraw = false;
            if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) {
                if (picks == 1) break;
            } else {
                int under = optionAt(MousePx, MousePy, top, n);
                if (under > 0 && under != hover) {
                    hover = under;
                    redraw = true;
                } else if (under == 0 && hover != 0) {
                    hover = 0;
                    redraw = true;
                }
            }
            if (redraw) {
                if (hover > 0 && !alreadyPicked(hover)) systemSound("onmouse");
                pickDraw(hover, kTextX, top, n, texts);
            }
            if (!(buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
                released = true;
            } else if (released) {
                released = false;
                if (hover > 0 && !alreadyPicked(hover)) {
                    systemSound("enter");
                    chosen[k] = hover;
                    break;
                }
            }
        }
        if (e == 0 || chosen[k] == 0) break;
    }
}

}  // namespace

int pick(int picks, int n, const char (*texts)[kOptionSize], const char (*leadsTo)[kOptionSize])
{
    const char* options[kOptionsAtMost];
    for (int i = 0; i < n && i < kOptionsAtMost; ++i) options[i] = texts[i];
    traceChoice(options, n < kOptionsAtMost ? n : kOptionsAtMost);
    std::memset(chosen, 0, kPicksAtMost * sizeof chosen[0]);
    Decision decision{leadsTo ? DecisionKind::MoveList : DecisionKind::Choice, n,
                      picks < kPicksAtMost ? picks : kPicksAtMost, texts, leadsTo, 0, 0};
    Answer answer;
    if (decisionAnswered(decision, &answer)) {
        for (int k = 0; k < decision.picks; ++k) chosen[k] = answer.value[k];
    } else {
        pickByHand(picks, n, texts, leadsTo);
        for (int k = 0; k < decision.picks; ++k) answer.value[k] = chosen[k];
    }
    // A quit is no decision.
    if (e != 0) decisionTaken(decision, answer);
    tracePick(chosen, kPicksAtMost);
    return 0;
}
