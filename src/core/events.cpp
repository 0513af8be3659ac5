#include "core/events.h"

#include "core/platform.h"
#include "core/state.h"

bool takeQuitEvents(bool* leftPressed)
{
    while (platformPollEvent(&event)) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_ESCAPE)) {
            e = 0;
            return true;
        }
        if (leftPressed && event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT)
            *leftPressed = true;
    }
    return false;
}
