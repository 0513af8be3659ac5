#include "core/events.h"

#include "core/note.h"
#include "core/platform.h"
#include "core/state.h"

ReloadKey reloadKey = ReloadKey::Off;

bool takeReloadKey(const SDL_Event& ev)
{
    if (reloadKey != ReloadKey::Armed || ev.type != SDL_KEYDOWN || ev.key.keysym.sym != SDLK_F5)
        return false;
    reloadKey = ReloadKey::Pressed;
    e = 0;
    return true;
}

void (*playerKeys)(const SDL_Event& ev);
bool (*pageSaveKeys)(const SDL_Event& ev);

bool pageSaveKeysPaused = false;

bool takePageSaveKey(const SDL_Event& ev) { return pageSaveKeys && !pageSaveKeysPaused && pageSaveKeys(ev); }

bool takeQuitEvents(bool* leftPressed)
{
    noteTick();
    while (platformPollEvent(&event)) {
        if (takeReloadKey(event)) return true;
        if (event.type == SDL_QUIT ||
            (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_ESCAPE)) {
            e = 0;
            return true;
        }
        if (leftPressed && event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT)
            *leftPressed = true;
        if (playerKeys) playerKeys(event);
        takePageSaveKey(event);
        if (e == 0) return true;
    }
    return false;
}
