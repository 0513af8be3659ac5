#include "core/menukeys.h"

#include "core/events.h"
#include "core/platform.h"
#include "core/state.h"

namespace {

enum Key { kUp, kDown, kLeft, kRight, kReturn, kSpace, kBackspace, kKeys };

const int kSymbols[kKeys] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT,
                             SDLK_RETURN, SDLK_SPACE, SDLK_BACKSPACE};

const Uint32 kRepeatDelay = 400;   // a held arrow steps again after this long
const Uint32 kRepeatEvery = 80;    // and then this often

// The step of an arrow in this layout: -1, +1, or 0 when the layout does not use it.
int stepOf(int key, MenuLayout layout)
{
    bool vertical = key == kUp || key == kDown;
    if (layout == MenuLayout::Column && !vertical) return 0;
    if (layout == MenuLayout::Row && vertical) return 0;
    return key == kUp || key == kLeft ? -1 : 1;
}

// Whether the key was pressed in this pass (or, for an arrow, repeats now).
bool pressed(MenuKeys* keys, int key, Uint32 now)
{
    bool down = keystate[kSymbols[key]] != 0;
    bool was = keys->held[key];
    keys->held[key] = down;
    if (!down) {
        keys->seenUp[key] = true;
        return false;
    }
    if (!keys->seenUp[key]) return false;
    if (!was) {
        if (key <= kRight) keys->repeatAt[key] = now + kRepeatDelay;
        return true;
    }
    if (key <= kRight && static_cast<Sint32>(now - keys->repeatAt[key]) >= 0) {
        keys->repeatAt[key] = now + kRepeatEvery;
        return true;
    }
    return false;
}

// The key that picked is waited on until it is let go, its events taken, so that the screen
// after (a page turns on a held Return) does not take it as well.
void spend(int key)
{
    while (e == 1 && keystate[kSymbols[key]]) {
        platformDelay(10);
        if (takeQuitEvents()) break;
        platformPumpEvents();
    }
    platformForgetPresses();
}

}  // namespace

void menuKeysOpen(MenuKeys* keys, MenuLayout layout, bool backs)
{
    *keys = MenuKeys{};
    keys->layout = layout;
    keys->backs = backs;
    // A key held now (the Return that turned the page before) must be seen up first; one
    // pressed from now on counts.
    for (int key = 0; key < kKeys; ++key) {
        if (key == kBackspace && !backs) continue;
        keys->seenUp[key] = !keystate[kSymbols[key]];
        keys->held[key] = !keys->seenUp[key];
    }
}

int menuStep(int current, int count, unsigned open, int step)
{
    int at = current;
    if (at < 1 || at > count) at = step > 0 ? 0 : count + 1;
    for (int tries = 0; tries < count; ++tries) {
        at += step;
        if (at < 1) at = count;
        if (at > count) at = 1;
        if ((open >> (at - 1)) & 1u) return at;
    }
    return current >= 1 && current <= count && ((open >> (current - 1)) & 1u) ? current : 0;
}

MenuKey menuKeysRead(MenuKeys* keys, int* highlight, int count, unsigned open)
{
    Uint32 now = platformTicks();
    MenuKey result = MenuKey::None;
    keys->sideways = 0;
    for (int key = kUp; key <= kRight; ++key) {
        if (!pressed(keys, key, now)) continue;
        if (key == kLeft || key == kRight) keys->sideways = key == kLeft ? -1 : 1;
        int step = stepOf(key, keys->layout);
        if (step == 0 || result != MenuKey::None) continue;
        int next = menuStep(*highlight, count, open, step);
        if (next != *highlight) {
            *highlight = next;
            result = MenuKey::Moved;
        }
    }
    bool alt = keystate[SDLK_LALT] || keystate[SDLK_RALT];
    bool returned = pressed(keys, kReturn, now) && !alt;
    bool spaced = pressed(keys, kSpace, now);
    if (result == MenuKey::None && (returned || spaced) && *highlight > 0) {
        spend(returned ? kReturn : kSpace);
        result = MenuKey::Picked;
    }
    if (keys->backs && pressed(keys, kBackspace, now) && result == MenuKey::None)
        result = MenuKey::Back;
    return result;
}
