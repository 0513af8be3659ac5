#include "core/presslatch.h"

namespace {

enum Latch : Uint8 { kNone, kUnread, kRead };

constexpr int kButtons = 4;  // index 1-3: left, middle, right

Latch keys[SDLK_LAST];
Latch buttons[kButtons];
int active;  // latches not yet let go, so that most pumps need not look at any

void setLatch(Latch* latch)
{
    if (*latch == kNone) ++active;
    *latch = kUnread;
}

Uint8 readLatch(Latch* latch, Uint8 held)
{
    if (*latch == kNone) return held;
    *latch = kRead;
    return 1;
}

void release(Latch* latches, int count, bool readOnly)
{
    for (int i = 0; i < count; ++i)
        if (latches[i] == kRead || (!readOnly && latches[i] == kUnread)) {
            latches[i] = kNone;
            --active;
        }
}

}  // namespace

void latchPumpBegins()
{
    if (active == 0) return;
    release(keys, SDLK_LAST, true);
    release(buttons, kButtons, true);
}

void latchKeyPressed(int key)
{
    if (key > 0 && key < SDLK_LAST) setLatch(&keys[key]);
}

void latchButtonPressed(int button)
{
    if (button >= 1 && button < kButtons) setLatch(&buttons[button]);
}

Uint8 latchKey(int key, Uint8 held)
{
    if (key <= 0 || key >= SDLK_LAST) return 0;
    return readLatch(&keys[key], held);
}

Uint8 latchButtons(Uint8 held)
{
    Uint8 seen = held;
    for (int b = 1; b < kButtons; ++b)
        if (readLatch(&buttons[b], 0)) seen |= SDL_BUTTON(b);
    return seen;
}

void latchForget()
{
    if (active == 0) return;
    release(keys, SDLK_LAST, false);
    release(buttons, kButtons, false);
}
