#include "screens/menu.h"

#include "core/platform.h"
#include "core/state.h"

// Until the field menu lands, the end of a scene waits for the player to quit.
const char* menu(const char* scene)
{
    platformFlip(screen);
    while (e == 1) {
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformWaitEvent(&event);
        platformPumpEvents();
        if (event.type == SDL_QUIT || keystate[SDLK_ESCAPE]) e = 0;
    }
    return scene;
}
