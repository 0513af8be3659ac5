// The live back end: the platform layer as plain SDL and the C library clock.
#include "core/platform.h"

#include <ctime>

#include "core/note.h"

Uint32 platformTicks() { return SDL_GetTicks(); }

void platformDelay(Uint32 ms) { SDL_Delay(ms); }

int platformPollEvent(SDL_Event* ev) { return SDL_PollEvent(ev); }

int platformWaitEvent(SDL_Event* ev) { return SDL_WaitEvent(ev); }

void platformPumpEvents() { SDL_PumpEvents(); }

Uint8 platformEventState(Uint8 type, int state) { return SDL_EventState(type, state); }

Uint8* platformKeyState() { return SDL_GetKeyState(nullptr); }

Uint8 platformMouseState(int* x, int* y) { return SDL_GetMouseState(x, y); }

long platformTime() { return static_cast<long>(std::time(nullptr)); }

void platformFlip(SDL_Surface* surface)
{
    noteOver(surface);
    SDL_Flip(surface);
    noteOff(surface);
}

bool platformQuitPending()
{
    SDL_PumpEvents();
    SDL_Event ev;
    return SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}

bool platformReportFatal(const char*) { return false; }
