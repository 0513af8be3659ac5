// The web back end: the platform layer in a browser page, over the DOM's input events.
//
// The game blocks as on the desktop; the browser never may. Built with Asyncify, every wait
// and sleep here hands the page back to the browser (emscripten_sleep) and resumes after it,
// so a page waiting for the player costs next to nothing. Input comes from the page's mouse,
// wheel and key events, taken in at each pump in the order they came, with the pointer in
// the game's 800x600 coordinates however large the canvas is drawn; quick presses are latched
// as in the live game. The browser's SDL only draws, loads and plays; its own event queue is
// drained and dropped.
#include "core/platform.h"

#include <cstring>
#include <deque>

#include <emscripten.h>
#include <emscripten/html5.h>

#include "core/madeinput.h"
#include "core/presslatch.h"

namespace {

// A wait sleeps until input arrives, and looks again after this long in any case.
const int kIdleMs = 1000;
// A game busy without sleeping hands the page back to the browser this often.
const double kYieldMs = 50;

enum class Kind { Move, Down, Up, Wheel, KeyDown, KeyUp };

struct Input {
    Kind kind;
    int code;   // button number or key symbol
    int x, y;   // Move
};

struct Web {
    std::deque<Input> arrived;   // from the page's event handlers, not yet taken in
    int mouseX = 0, mouseY = 0;  // where the last move put the pointer
    double lastYield = 0;
    bool started = false;
    bool audioUnlocked = false;
};

Web web;

// ---- From the page ---------------------------------------------------------------------

// Hands the page back to the browser until input arrives or ms have passed, so that a page
// waiting for the player costs nothing at all.
EM_ASYNC_JS(void, sleepUntilInput, (int ms), {
    await new Promise(function(resolve) {
        Module['tessarcWake'] = resolve;
        setTimeout(resolve, ms);
    });
    Module['tessarcWake'] = null;
});

EM_JS(void, wake, (), {
    if (Module['tessarcWake']) Module['tessarcWake']();
});

void arrive(const Input& in)
{
    web.arrived.push_back(in);
    wake();
}

// The canvas point under the page point, in the game's pixels, kept on the canvas.
EM_JS(int, canvasPoint, (double clientX, double clientY), {
    var canvas = Module['canvas'];
    var rect = canvas.getBoundingClientRect();
    if (!rect.width || !rect.height) return 0;
    var x = Math.floor((clientX - rect.left) * canvas.width / rect.width);
    var y = Math.floor((clientY - rect.top) * canvas.height / rect.height);
    x = Math.max(0, Math.min(canvas.width - 1, x));
    y = Math.max(0, Math.min(canvas.height - 1, y));
    return x * 65536 + y;
});

// Browsers let a page play sound only after the player's first press: the music that the
// title started silently starts now.
EM_JS(void, unlockAudio, (), {
    if (typeof SDL == 'undefined') return;
    if (SDL.audioContext && SDL.audioContext.state == 'suspended') SDL.audioContext.resume();
    if (SDL.music && SDL.music.audio && SDL.music.audio.paused) {
        var playing = SDL.music.audio.play();
        if (playing && playing.catch) playing.catch(function() {});
    }
});

void pressed()
{
    if (web.audioUnlocked) return;
    web.audioUnlocked = true;
    unlockAudio();
}

// While the game waits for a file still on its way, the page shows a progress bar: a press
// then is not taken as one on whatever shows next. Releases still count, so nothing stays held.
EM_JS(int, awaitingFiles, (), { return Module['tessarcAwaiting'] ? 1 : 0; });

int buttonOf(unsigned short domButton)
{
    switch (domButton) {
    case 0: return SDL_BUTTON_LEFT;
    case 1: return SDL_BUTTON_MIDDLE;
    case 2: return SDL_BUTTON_RIGHT;
    default: return 0;
    }
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* ev, void*)
{
    int point = canvasPoint(ev->clientX, ev->clientY);
    arrive({Kind::Move, 0, point / 65536, point % 65536});
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) return EM_FALSE;
    int button = buttonOf(ev->button);
    if (!button) return EM_FALSE;
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN && awaitingFiles()) return EM_TRUE;
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN) pressed();
    arrive({type == EMSCRIPTEN_EVENT_MOUSEDOWN ? Kind::Down : Kind::Up, button, 0, 0});
    return EM_TRUE;
}

EM_BOOL onWheel(int, const EmscriptenWheelEvent* ev, void*)
{
    if (ev->deltaY == 0) return EM_FALSE;
    arrive({Kind::Wheel, ev->deltaY < 0 ? SDL_BUTTON_WHEELUP : SDL_BUTTON_WHEELDOWN, 0, 0});
    return EM_TRUE;
}

// The game's keys by the DOM's physical key codes. F5 (reload) and F11 (fullscreen) stay the
// browser's, and F12 its tools: the page offers a fullscreen button of its own, and Alt+Return
// asks the browser for fullscreen through the game's own key.
int keyOf(const char* code)
{
    static const struct { const char* code; int key; } keys[] = {
        {"Enter", SDLK_RETURN},       {"NumpadEnter", SDLK_RETURN}, {"Space", SDLK_SPACE},
        {"Escape", SDLK_ESCAPE},      {"ControlLeft", SDLK_LCTRL},  {"ControlRight", SDLK_RCTRL},
        {"AltLeft", SDLK_LALT},       {"AltRight", SDLK_RALT},      {"F1", SDLK_F1},
        {"F2", SDLK_F2},              {"F3", SDLK_F3},              {"F4", SDLK_F4},
        {"F6", SDLK_F6},              {"F7", SDLK_F7},              {"F8", SDLK_F8},
        {"F9", SDLK_F9},              {"F10", SDLK_F10},            {"KeyA", SDLK_a},
        {"KeyS", SDLK_s},             {"KeyL", SDLK_l},             {"Tab", SDLK_TAB},
        {"Backspace", SDLK_BACKSPACE}, {"ArrowUp", SDLK_UP},        {"ArrowDown", SDLK_DOWN},
        {"ArrowLeft", SDLK_LEFT},     {"ArrowRight", SDLK_RIGHT},   {"PageUp", SDLK_PAGEUP},
        {"PageDown", SDLK_PAGEDOWN},  {"Home", SDLK_HOME},          {"End", SDLK_END},
    };
    for (const auto& entry : keys)
        if (std::strcmp(code, entry.code) == 0) return entry.key;
    return 0;
}

// In fullscreen the browser takes Escape to leave it: that press, and its release, are not
// the game's quit.
EM_JS(int, inFullscreen, (), { return document.fullscreenElement ? 1 : 0; });

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* ev, void*)
{
    static bool escapeForBrowser = false;
    int key = keyOf(ev->code);
    if (!key) return EM_FALSE;
    bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    if (key == SDLK_ESCAPE) {
        if (down) escapeForBrowser = inFullscreen();
        if (escapeForBrowser) {
            if (!down) escapeForBrowser = false;
            return EM_FALSE;
        }
    }
    // SDL 1.2 sends no repeats unless asked to; the game never asks.
    if (ev->repeat) return EM_TRUE;
    if (down && awaitingFiles()) return EM_TRUE;
    if (down) pressed();
    arrive({down ? Kind::KeyDown : Kind::KeyUp, key, 0, 0});
    return EM_TRUE;
}

void start()
{
    if (web.started) return;
    web.started = true;
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_TRUE, onMouse);
    // Releases and moves outside the canvas count too, as the desktop's captured mouse does.
    emscripten_set_mouseup_callback(window, nullptr, EM_TRUE, onMouse);
    emscripten_set_mousemove_callback(window, nullptr, EM_TRUE, onMouse);
    emscripten_set_wheel_callback("#canvas", nullptr, EM_TRUE, onWheel);
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, onKey);
}

// ---- Taking input in -----------------------------------------------------------------------

void takeIn(const Input& in)
{
    switch (in.kind) {
    case Kind::Move:
        // The page reports the pointer with every press and release too.
        if (in.x == web.mouseX && in.y == web.mouseY) break;
        web.mouseX = in.x;
        web.mouseY = in.y;
        inputMove(in.x, in.y);
        break;
    case Kind::Down:
    case Kind::Up:
        inputButton(in.code, in.kind == Kind::Down);
        break;
    case Kind::Wheel:
        inputWheel(in.code);
        break;
    case Kind::KeyDown:
    case Kind::KeyUp:
        inputKey(in.code, in.kind == Kind::KeyDown);
        break;
    }
}

void pump()
{
    start();
    double now = emscripten_get_now();
    if (now - web.lastYield >= kYieldMs) {
        web.lastYield = now;
        emscripten_sleep(0);
    }
    // The browser's SDL queues the canvas's events too; nobody reads them.
    SDL_Event dropped;
    while (SDL_PollEvent(&dropped)) {}

    latchPumpBegins();
    while (!web.arrived.empty()) {
        Input in = web.arrived.front();
        web.arrived.pop_front();
        takeIn(in);
    }
}

}  // namespace

// ---- The platform layer --------------------------------------------------------------------

Uint64 platformTicks64()
{
    static const double origin = emscripten_get_now();
    return static_cast<Uint64>(emscripten_get_now() - origin);
}

Uint32 platformTicks() { return static_cast<Uint32>(platformTicks64()); }

void platformDelay(Uint32 ms)
{
    web.lastYield = emscripten_get_now();
    emscripten_sleep(ms);
}

int platformPollEvent(SDL_Event* ev)
{
    pump();
    return inputTake(ev) ? 1 : 0;
}

int platformWaitEvent(SDL_Event* ev)
{
    for (;;) {
        pump();
        if (inputTake(ev)) return 1;
        sleepUntilInput(kIdleMs);
        web.lastYield = emscripten_get_now();
    }
}

void platformPumpEvents() { pump(); }

void platformForgetPresses()
{
    pump();
    latchForget();
}

void platformWaitBegins() { latchForget(); }

Uint8 platformEventState(Uint8 type, int state) { return inputEventState(type, state); }

Uint8 platformKeyHeld(int key) { return inputKeyHeld(key); }

Uint8 platformMouseState(int* x, int* y) { return inputMouseState(x, y); }

long platformTime() { return static_cast<long>(emscripten_get_now() / 1000); }

// The screen is the page's canvas itself: what was drawn shows when the page is handed back.
void platformFlip(SDL_Surface* surface) { SDL_Flip(surface); }

// A page has no close button of its own: leaving the page ends the game.
bool platformQuitPending()
{
    pump();
    return false;
}
