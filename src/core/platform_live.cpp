// The live back end: the platform layer as plain SDL and the C library clock.
#include "core/platform.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <poll.h>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define TESSARC_PRESENT_VECTORS 1
#endif

#include <SDL_syswm.h>

#include "core/calendar.h"
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

// ---- The quick way to the window ----------------------------------------------------------
//
// The SDL 1.2 layer shows each frame by converting the 24-bit screen into a texture, clearing
// the window's picture, copying the texture onto it and sending that to the X server: three
// passes over the frame. With SDL2's software renderer the window's picture is an image the X
// server reads, and a window of 800x600 shows the screen unscaled: the frame is converted into
// it in one pass and sent, the pixels the same, at a third of the cost. An animation that
// redraws the whole screen (the title) lives on it. Anything else (a larger window,
// fullscreen, another renderer, another video driver) goes the layer's own way.

// SDL2's surface and pixel format, as its stable ABI lays them out.
struct Sdl2Format {
    Uint32 format;
    void* palette;
    Uint8 bitsPerPixel, bytesPerPixel, padding[2];
    Uint32 rmask, gmask, bmask, amask;
};
struct Sdl2Surface {
    Uint32 flags;
    Sdl2Format* format;
    int w, h, pitch;
    void* pixels;
};

struct Sdl2Rect {
    int x, y, w, h;
};

struct QuickWay {
    void* (*window)() = nullptr;
    Sdl2Surface* (*surface)(void*) = nullptr;
    int (*update)(void*) = nullptr;
    int (*updateRects)(void*, const Sdl2Rect*, int) = nullptr;
    void (*size)(void*, int*, int*) = nullptr;
    bool allowed = false;
};

bool envIs(const char* name, const char* value)
{
    const char* set = std::getenv(name);
    return set && std::strcmp(set, value) == 0;
}

QuickWay& quickWay()
{
    static QuickWay way;
    static bool looked = false;
    if (looked) return way;
    looked = true;
    // Only on the path the game chooses itself: SDL2's software renderer drawing into the
    // window's own picture. Under OpenGL or another renderer that picture is not the window's.
    if (!envIs("SDL_FRAMEBUFFER_ACCELERATION", "0") || !envIs("SDL_RENDER_DRIVER", "software"))
        return way;
    void* window = dlsym(RTLD_DEFAULT, "SDL12COMPAT_GetWindow");
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!window || !library) return way;
    way.window = reinterpret_cast<void* (*)()>(window);
    way.surface = reinterpret_cast<Sdl2Surface* (*)(void*)>(dlsym(library, "SDL_GetWindowSurface"));
    way.update = reinterpret_cast<int (*)(void*)>(dlsym(library, "SDL_UpdateWindowSurface"));
    way.size = reinterpret_cast<void (*)(void*, int*, int*)>(dlsym(library, "SDL_GetWindowSize"));
    way.updateRects = reinterpret_cast<int (*)(void*, const Sdl2Rect*, int)>(
        dlsym(library, "SDL_UpdateWindowSurfaceRects"));
    way.allowed = way.surface && way.update && way.size && way.updateRects;
    return way;
}

bool isScreenLayout(Uint32 r, Uint32 g, Uint32 b) { return r == 0xFF0000 && g == 0xFF00 && b == 0xFF; }

// One row of 24-bit pixels into 32-bit ones, the fourth byte opaque.
#ifdef TESSARC_PRESENT_VECTORS
__attribute__((target("ssse3"))) void widenRowVectors(const Uint8* in, Uint32* out, int w)
{
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int x = 0;
    // Each step reads 16 bytes and uses 12: two more pixels must follow.
    for (; x + 6 <= w; x += 4, in += 12)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_shuffle_epi8(
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), spread),
                                      opaque));
    for (; x < w; ++x, in += 3) out[x] = 0xFF000000u | in[0] | in[1] << 8 | in[2] << 16;
}
#endif

void widenRow(const Uint8* in, Uint32* out, int w)
{
#ifdef TESSARC_PRESENT_VECTORS
    static const bool vectors = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    if (vectors) return widenRowVectors(in, out, w);
#endif
    for (int x = 0; x < w; ++x, in += 3) out[x] = 0xFF000000u | in[0] | in[1] << 8 | in[2] << 16;
}

// Shows the area of the surface (all of it when null) by the quick way; false, having done
// nothing, where it does not apply.
bool presentQuickly(SDL_Surface* surface, const Sdl2Rect* area = nullptr)
{
    QuickWay& way = quickWay();
    if (!way.allowed || !surface || surface != SDL_GetVideoSurface() ||
        (surface->flags & SDL_FULLSCREEN) || xConnection() < 0)
        return false;
    const SDL_PixelFormat* from = surface->format;
    if (surface->w != 800 || surface->h != 600 || from->BytesPerPixel != 3 ||
        !isScreenLayout(from->Rmask, from->Gmask, from->Bmask) || SDL_MUSTLOCK(surface))
        return false;
    void* window = way.window();
    if (!window) return false;
    int w = 0, h = 0;
    way.size(window, &w, &h);
    if (w != surface->w || h != surface->h) return false;
    Sdl2Surface* target = way.surface(window);
    if (!target || !target->pixels || !target->format || target->w != w || target->h != h ||
        target->format->bytesPerPixel != 4 ||
        !isScreenLayout(target->format->rmask, target->format->gmask, target->format->bmask))
        return false;
    Sdl2Rect part = {0, 0, w, h};
    if (area) {
        part.x = area->x < 0 ? 0 : area->x;
        part.y = area->y < 0 ? 0 : area->y;
        part.w = (area->x + area->w > w ? w : area->x + area->w) - part.x;
        part.h = (area->y + area->h > h ? h : area->y + area->h) - part.y;
        if (part.w <= 0 || part.h <= 0) return true;
    }
    for (int y = part.y; y < part.y + part.h; ++y)
        widenRow(static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + part.x * 3,
                 reinterpret_cast<Uint32*>(static_cast<Uint8*>(target->pixels) + y * target->pitch) + part.x,
                 part.w);
    return (area ? way.updateRects(window, &part, 1) : way.update(window)) == 0;
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

int platformWaitEventTimeout(SDL_Event* ev, Uint32 ms)
{
    pumpBegins();
    Uint32 until = SDL_GetTicks() + ms;
    int x = xConnection();
    for (;;) {
        if (SDL_PollEvent(ev)) return 1;
        Sint32 left = static_cast<Sint32>(until - SDL_GetTicks());
        if (left <= 0) return 0;
        if (x < 0) {
            SDL_Delay(left < 10 ? static_cast<Uint32>(left) : 10);
            continue;
        }
        struct pollfd server = {x, POLLIN, 0};
        poll(&server, 1, left < 100 ? left : 100);
    }
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

PlatformDate platformDate() { return calendarDate(std::time(nullptr), true); }

void platformFlip(SDL_Surface* surface)
{
    noteOver(surface);
    if (!presentQuickly(surface)) SDL_Flip(surface);
    noteOff(surface);
}

void platformFlipArea(SDL_Surface* surface, int x, int y, int w, int h)
{
    Sdl2Rect area = {x, y, w, h};
    noteOver(surface);
    if (!presentQuickly(surface, &area)) SDL_Flip(surface);
    noteOff(surface);
}

bool platformQuitPending()
{
    platformPumpEvents();
    SDL_Event ev;
    return SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}
