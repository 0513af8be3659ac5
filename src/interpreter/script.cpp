#include "interpreter/script.h"

#include "core/platform.h"
#include "core/state.h"
#include "presentation/window.h"

// For now a scene shows the base screen and waits until the player quits.
void script(const char*)
{
    HPtemp = HP;
    Gutstemp = Guts;
    window(0);
    platformFlip(screen);
    while (e == 1) {
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformWaitEvent(&event);
        platformPumpEvents();
        if (event.type == SDL_QUIT || keystate[SDLK_ESCAPE]) e = 0;
    }
}
