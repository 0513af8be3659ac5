#include "screens/title.h"

#include <cmath>
#include <cstdio>

#include "core/events.h"
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

}  // namespace

void titleDraw(int button, const int* saves, int n)
{
    Uint32 started = platformTicks();
    int x = static_cast<int>(std::cos(n / 24.0) * 200) - 400;
    int y = static_cast<int>(std::sin(n / 24.0) * 200) - 200;
    blitPicture("title_back", x, y);
    blitPicture("title_fore", 0, 0);
    blitPicture(button == kStart ? "title_start_on" : "title_start_off", 0, 0);
    blitPicture(!saves[0] ? "title_load_gray" : button == kLoad ? "title_load_on" : "title_load_off", 0, 0);
    blitPicture(!saves[1]               ? "title_continue_gray"
                : button == kContinue   ? "title_continue_on"
                                        : "title_continue_off",
                0, 0);
    platformFlip(screen);
    Uint32 spent = platformTicks() - started;
    if (spent < 20) platformDelay(20 - spent);
}

void title()
{
    int saves[2] = {saveExists(1) || saveExists(2) || saveExists(3), saveExists(0)};
    setNames("start");
    music("./bgm/OP.ogg");
    // Each visit of the title starts the background circling afresh; a cancelled load
    // keeps it going.
    int frame = 0;
    int button = kNone;
    bool released = false;
    while (e == 1) {
        // Frames go on until a click: a press of the left button in a pass after one that
        // saw it up. A button held when the screen opens must be released first.
        for (;;) {
            bool pressed = false;
            titleDraw(button, saves, ++frame);
            if (takeQuitEvents(&pressed)) {
                music("off");
                return;
            }
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
                break;
            }
        }
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
