// The flip in a browser page. The screen is the page's canvas, drawn as the game draws; the
// page shows it when the browser gets the thread back. The live back end's waits hand it back
// all the time, the replay back end's never do (its time is virtual), so a flip hands it back
// now and then: the page keeps showing the game and answering while a replay runs.
#include <SDL.h>

#include <emscripten.h>

namespace {

const double kYieldMs = 30;

}  // namespace

extern "C" int SDL_Flip(SDL_Surface*)
{
    static double lastYield = 0;
    double now = emscripten_get_now();
    if (now - lastYield >= kYieldMs) {
        emscripten_sleep(0);
        lastYield = emscripten_get_now();
    }
    return 0;
}
