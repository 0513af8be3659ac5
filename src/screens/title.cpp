#include "screens/title.h"

#include <cmath>
#include <cstdio>

#include "core/decision.h"
#include "core/events.h"
#include "core/note.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/state.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "savegame/save.h"

namespace {

enum Button { kNone = 0, kStart = 1, kLoad = 2, kContinue = 3 };

int buttonAt(int x, int y)
{
    if (x < 286 || x > 534) return kNone;
    if (y >= 355 && y <= 389) return kStart;
    if (y >= 410 && y <= 445) return kLoad;
    if (y >= 466 && y <= 500) return kContinue;
    return kNone;
}

bool available(int button, const int* saves)
{
    if (button == kLoad) return saves[0] != 0;
    if (button == kContinue) return saves[1] != 0;
    return true;
}

void setNames(const char* name)
{
    std::snprintf(nextpoint, sizeof nextpoint, "%s", name);
    std::snprintf(prepoint, sizeof prepoint, "%s", name);
}

// Whether any slot exists, and whether the resume file does.
void findSaves(int* saves)
{
    saves[0] = saveExists(1) || saveExists(2) || saveExists(3);
    saves[1] = saveCondition(0) == SaveCondition::Sound;
}

// The pictures of a frame, from the back: background, foreground, the three buttons.
void framePictures(int button, const int* saves, const char* names[kTitlePictures])
{
    names[0] = "title_back";
    names[1] = "title_fore";
    names[2] = button == kStart ? "title_start_on" : "title_start_off";
    names[3] = !saves[0] ? "title_load_gray" : button == kLoad ? "title_load_on" : "title_load_off";
    names[4] = !saves[1]             ? "title_continue_gray"
               : button == kContinue ? "title_continue_on"
                                     : "title_continue_off";
}

// What the title offers: the three buttons' areas, and which can be chosen.
void showTitle(const int* saves)
{
    shownOpens(Shown::Title);
    shownEntry("start", {286, 355, 249, 35}, true);
    shownEntry("load", {286, 410, 249, 36}, saves[0] != 0);
    shownEntry("continue", {286, 466, 249, 35}, saves[1] != 0);
}

// Frames go on until a click: a press of the left button in a pass after one that saw it up.
// A button held when the screen opens must be released first. Answers the button under the
// pointer then (kNone for none), or -1 on quit.
int clickedButton(const int* saves, int& frame, int& button, bool& released)
{
    showTitle(saves);
    for (;;) {
        bool pressed = false;
        titleDraw(button, saves, ++frame);
        if (takeQuitEvents(&pressed)) return -1;
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        Uint8 buttons = platformMouseState(&MousePx, &MousePy);
        int under = buttonAt(MousePx, MousePy);
        if (under != button) {
            button = available(under, saves) ? under : kNone;
            if (button > kNone) systemSound("onmouse");
        }
        if (buttons & SDL_BUTTON(SDL_BUTTON_LEFT)) pressed = true;
        if (!pressed) {
            released = true;
        } else if (released) {
            released = false;
            return button;
        }
    }
}

}  // namespace

void titleFirstPictures(const char* names[kTitlePictures])
{
    int saves[2];
    findSaves(saves);
    framePictures(kNone, saves, names);
}

void titleDraw(int button, const int* saves, int n)
{
    Uint32 started = platformTicks();
    int x = static_cast<int>(std::cos(n / 24.0) * 200) - 400;
    int y = static_cast<int>(std::sin(n / 24.0) * 200) - 200;
    const char* names[kTitlePictures];
    framePictures(button, saves, names);
    blitPicture(names[0], x, y);
    for (int layer = 1; layer < kTitlePictures; ++layer) blitPicture(names[layer], 0, 0);
    platformFlip(screen);
    Uint32 spent = platformTicks() - started;
    if (spent < 20) platformDelay(20 - spent);
}

void title()
{
    int saves[2];
    findSaves(saves);
    // Continue is not offered over a damaged resume file; the player is told why.
    if (saveCondition(0) == SaveCondition::Damaged) noteShow("続きのデータが壊れています（save/0）");
    setNames("start");
    music("./bgm/OP.ogg");
    // Each visit of the title starts the background circling afresh; a cancelled load
    // keeps it going.
    int frame = 0;
    int button = kNone;
    bool released = false;
    Decision decision{DecisionKind::Title, 3, 1, nullptr, nullptr,
                      1u | (saves[0] ? 2u : 0u) | (saves[1] ? 4u : 0u), 0};
    platformWaitBegins();
    while (e == 1) {
        Answer answer;
        if (decisionAnswered(decision, &answer)) {
            button = answer.value[0];
        } else {
            button = clickedButton(saves, frame, button, released);
            if (button < 0) {
                music("off");
                return;
            }
            answer.value[0] = button;
        }
        if (button != kNone) decisionTaken(decision, answer);
        if (button == kStart) {
            systemSound("start");
            break;
        }
        if (button == kLoad) {
            systemSound("enter");
            load(0);
            if (e == 2) {
                e = 1;
                continue;
            }
            setNames("restart");
            break;
        }
        if (button == kContinue) {
            systemSound("start");
            load(1);
            break;
        }
    }
    music("off");
}
