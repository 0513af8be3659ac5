// The live back end: the platform layer as plain SDL and the C library clock.
#include "core/platform.h"

#include <ctime>
#include <poll.h>

#include <SDL_syswm.h>

#include "core/presslatch.h"

namespace {

// The X server's connection, or -1 when the game does not show through X.
int xConnection()
{
#ifdef SDL_VIDEO_DRIVER_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11 && info.info.x11.display)
        return ConnectionNumber(info.info.x11.display);
#endif
    return -1;
}

// SDL calls the filter as a pump takes each event in, which is where presses are latched:
// by the time the game reads the held state, a tap may already have been released.
int takePress(const SDL_Event* ev)
{
    if (ev->type == SDL_KEYDOWN) latchKeyPressed(ev->key.keysym.sym);
    else if (ev->type == SDL_MOUSEBUTTONDOWN) latchButtonPressed(ev->button.button);
    return 1;
}

void pumpBegins()
{
    static bool filtering = false;
    if (!filtering) {
        SDL_SetEventFilter(takePress);
        filtering = true;
    }
    latchPumpBegins();
}

}  // namespace

#include "core/note.h"

Uint32 platformTicks() { return SDL_GetTicks(); }

Uint64 platformTicks64()
{
    // SDL's count wraps after 49 days; each wrap seen adds 2^32.
    static Uint32 last = 0;
    static Uint64 wraps = 0;
    Uint32 now = SDL_GetTicks();
    if (now < last) wraps += Uint64{1} << 32;
    last = now;
    return wraps + now;
}

void platformDelay(Uint32 ms) { SDL_Delay(ms); }

int platformPollEvent(SDL_Event* ev)
{
    pumpBegins();
    return SDL_PollEvent(ev);
}

// SDL_WaitEvent of the 1.2 layer looks for events a hundred times a second, which on a page
// that waits for the player is most of the game's work. Under X the game sleeps until the
// server has something to say instead; a tenth of a second at most, for requests that do not
// come through the server (a quit signal).
int platformWaitEvent(SDL_Event* ev)
{
    pumpBegins();
    int x = xConnection();
    if (x < 0) return SDL_WaitEvent(ev);
    while (!SDL_PollEvent(ev)) {
        struct pollfd server = {x, POLLIN, 0};
        poll(&server, 1, 100);
    }
    return 1;
}

void platformPumpEvents()
{
    pumpBegins();
    SDL_PumpEvents();
}

void platformForgetPresses()
{
    platformPumpEvents();
    latchForget();
}

void platformWaitBegins() { latchForget(); }

Uint8 platformEventState(Uint8 type, int state) { return SDL_EventState(type, state); }

Uint8 platformKeyHeld(int key)
{
    if (key <= 0 || key >= SDLK_LAST) return 0;
    return latchKey(key, SDL_GetKeyState(nullptr)[key]);
}

Uint8 platformMouseState(int* x, int* y) { return latchButtons(SDL_GetMouseState(x, y)); }

long platformTime() { return static_cast<long>(std::time(nullptr)); }

void platformFlip(SDL_Surface* surface)
{
    noteOver(surface);
    SDL_Flip(surface);
    noteOff(surface);
}

bool platformQuitPending()
{
    platformPumpEvents();
    SDL_Event ev;
    return SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}
