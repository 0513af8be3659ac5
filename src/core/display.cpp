#include "core/display.h"

#include <cstdlib>
#include <dlfcn.h>

#include <SDL.h>

#include "core/state.h"

namespace {

// The few SDL2 calls the window needs beyond SDL 1.2, reached inside the compatibility layer.
// Without it (a plain SDL 1.2) they stay null: fullscreen still works, the window stays 1x.
struct Sdl2 {
    struct Rect {
        int x, y, w, h;
    };
    void* (*window)() = nullptr;
    void (*setWindowSize)(void*, int, int) = nullptr;
    void (*setWindowPosition)(void*, int, int) = nullptr;
    int (*usableBounds)(int, Rect*) = nullptr;
    bool looked = false;
};

Sdl2& sdl2()
{
    static Sdl2 api;
    if (api.looked) return api;
    api.looked = true;
    void* self = dlsym(RTLD_DEFAULT, "SDL12COMPAT_GetWindow");
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!self || !library) return api;
    api.window = reinterpret_cast<void* (*)()>(self);
    api.setWindowSize = reinterpret_cast<void (*)(void*, int, int)>(dlsym(library, "SDL_SetWindowSize"));
    api.setWindowPosition =
        reinterpret_cast<void (*)(void*, int, int)>(dlsym(library, "SDL_SetWindowPosition"));
    api.usableBounds =
        reinterpret_cast<int (*)(int, Sdl2::Rect*)>(dlsym(library, "SDL_GetDisplayUsableBounds"));
    return api;
}

const int kCentered = 0x2FFF0000;   // SDL2's "centred on the first display" position

}  // namespace

void displayPrepare(bool fullscreen)
{
    setenv("SDL12COMPAT_SCALE_METHOD", fullscreen ? "linear" : "nearest", 0);
}

int displayLargestScale()
{
    Sdl2& api = sdl2();
    Sdl2::Rect area{};
    if (!api.usableBounds || api.usableBounds(0, &area) != 0) return 1;
    int scale = area.w / 800 < area.h / 600 ? area.w / 800 : area.h / 600;
    return scale < 1 ? 1 : scale;
}

int displayApply(int scale, bool fullscreen)
{
    if (!screen) return 1;
    int largest = displayLargestScale();
    if (scale > largest) scale = largest;
    if (scale < 1) scale = 1;
    bool now = (screen->flags & SDL_FULLSCREEN) != 0;
    if (now != fullscreen) SDL_WM_ToggleFullScreen(screen);
    Sdl2& api = sdl2();
    void* window = api.window ? api.window() : nullptr;
    if (!fullscreen && window && api.setWindowSize) {
        api.setWindowSize(window, 800 * scale, 600 * scale);
        if (api.setWindowPosition) api.setWindowPosition(window, kCentered, kCentered);
    }
    return scale;
}
