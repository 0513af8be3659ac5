#include "screens/menuscreen.h"

#include "core/events.h"
#include "core/platform.h"
#include "core/state.h"
#include "presentation/audio.h"

namespace {

bool isOpen(const MenuScreen& menu, int entry)
{
    return entry >= 1 && entry <= menu.count && ((menu.open >> (entry - 1)) & 1u);
}

}  // namespace

int runMenuScreen(const MenuScreen& menu, int lit)
{
    if (!isOpen(menu, lit)) lit = 0;
    menu.draw(lit);
    MenuKeys keys;
    menuKeysOpen(&keys, menu.layout, true);
    bool leftReleased = false, rightReleased = false, first = true;
    int pointed = 0;
    platformWaitBegins();
    while (e == 1) {
        platformDelay(10);
        if (takeQuitEvents()) return -1;
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        Uint8 buttons = platformMouseState(&MousePx, &MousePy);
        if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) {
            if (rightReleased) {
                systemSound("return");
                return 0;
            }
        } else {
            rightReleased = true;
        }
        // Only a move onto another entry (or off them all) changes the highlight, so that the
        // arrows can move it away from a pointer that stays still. At first the highlight
        // stays unless the pointer is on an entry.
        int under = menu.entryAt(MousePx, MousePy);
        if (under != pointed) {
            pointed = under;
            int next = isOpen(menu, under) ? under : 0;
            if (next != lit && !(first && next == 0)) {
                lit = next;
                if (lit > 0) systemSound("onmouse");
                menu.draw(lit);
            }
        }
        first = false;
        MenuKey key = menuKeysRead(&keys, &lit, menu.count, menu.open);
        if (key == MenuKey::Moved) {
            systemSound("onmouse");
            menu.draw(lit);
        } else if (key == MenuKey::Back) {
            systemSound("return");
            return 0;
        }
        int picked = key == MenuKey::Picked ? lit : 0;
        if (!(buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
            leftReleased = true;
        } else if (leftReleased) {
            leftReleased = false;
            if (isOpen(menu, pointed)) picked = pointed;
        }
        if (picked > 0) {
            systemSound("enter");
            return picked;
        }
    }
    return -1;
}
