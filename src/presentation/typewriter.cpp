#include "presentation/typewriter.h"

#include <algorithm>

#include "core/decision.h"
#include "core/events.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"
#include "presentation/playerkeys.h"
#include "presentation/text.h"

namespace {

const Uint32 kFrameMs = 16;   // at most one frame this often, however fast the speed

// Whether the event completes the page.
bool completes(const SDL_Event& ev)
{
    if (ev.type == SDL_MOUSEBUTTONDOWN)
        return ev.button.button == SDL_BUTTON_LEFT || ev.button.button == SDL_BUTTON_WHEELDOWN;
    if (ev.type != SDL_KEYDOWN) return false;
    SDLKey key = ev.key.keysym.sym;
    return key == SDLK_SPACE || (key == SDLK_RETURN && !altHeld() && !(ev.key.keysym.mod & KMOD_ALT));
}

// Takes the events that came; true when the page is to be completed (or e dropped to 0).
bool takeEvents()
{
    while (platformPollEvent(&event)) {
        if (takeReloadKey(event)) return true;
        if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) {
            e = 0;
            return true;
        }
        playerKey(event);
        if (e == 0) return true;
        if (!completes(event)) continue;
        // The wheel has no release to wait for.
        if (event.type == SDL_KEYDOWN || event.button.button == SDL_BUTTON_LEFT) awaitRelease(event);
        return true;
    }
    return false;
}

}  // namespace

void typeOut(const Page& page, int mode, bool (*skips)())
{
    int speed = settings.textSpeed;
    if (speed <= 0 || quietRun() || !screen) return;
    int total = pageCharacters(page);
    platformWaitBegins();
    platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
    Uint32 started = platformTicks();
    int shown = 0;
    for (;;) {
        // The first character at once, then one each 1/speed of a second.
        int due = 1 + static_cast<int>(static_cast<Uint64>(platformTicks() - started) * speed / 1000);
        if (due >= total || skips()) return;
        if (due != shown) {
            shown = due;
            drawPageBody(page, mode, shown);
            platformFlip(screen);
        }
        if (takeEvents()) return;
        // Reading the pointer is waiting for the player, as in the menu screens.
        platformMouseState(nullptr, nullptr);
        Uint32 next = started + static_cast<Uint32>((static_cast<Uint64>(shown) * 1000 + speed - 1) / speed);
        Sint32 left = static_cast<Sint32>(next - platformTicks());
        platformDelay(static_cast<Uint32>(std::max<Sint32>(std::max<Sint32>(left, 0), kFrameMs)));
    }
}
