#include "core/madeinput.h"

#include <cstring>
#include <deque>

#include "core/presslatch.h"

namespace {

struct Made {
    std::deque<SDL_Event> queue;
    Uint8 eventStates[256];
    Uint8 keys[SDLK_LAST];
    int mouseX, mouseY;
    Uint8 buttons;
};

Made made = [] {
    Made fresh{};
    std::memset(fresh.eventStates, SDL_ENABLE, sizeof fresh.eventStates);
    return fresh;
}();

void push(SDL_Event ev)
{
    if (made.eventStates[ev.type] == SDL_IGNORE) return;
    made.queue.push_back(ev);
}

void pushButton(Uint8 type, int button)
{
    SDL_Event ev{};
    ev.button.type = type;
    ev.button.button = static_cast<Uint8>(button);
    ev.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    ev.button.x = static_cast<Uint16>(made.mouseX);
    ev.button.y = static_cast<Uint16>(made.mouseY);
    push(ev);
}

SDLMod heldMods()
{
    int mods = 0;
    if (made.keys[SDLK_LCTRL]) mods |= KMOD_LCTRL;
    if (made.keys[SDLK_RCTRL]) mods |= KMOD_RCTRL;
    if (made.keys[SDLK_LALT]) mods |= KMOD_LALT;
    return static_cast<SDLMod>(mods);
}

}  // namespace

void inputReset()
{
    made.queue.clear();
    std::memset(made.eventStates, SDL_ENABLE, sizeof made.eventStates);
    std::memset(made.keys, 0, sizeof made.keys);
    made.mouseX = made.mouseY = 0;
    made.buttons = 0;
    latchForget();
}

void inputMove(int x, int y)
{
    SDL_Event ev{};
    ev.motion.type = SDL_MOUSEMOTION;
    ev.motion.state = made.buttons;
    ev.motion.x = static_cast<Uint16>(x);
    ev.motion.y = static_cast<Uint16>(y);
    ev.motion.xrel = static_cast<Sint16>(x - made.mouseX);
    ev.motion.yrel = static_cast<Sint16>(y - made.mouseY);
    made.mouseX = x;
    made.mouseY = y;
    push(ev);
}

void inputButton(int button, bool down)
{
    if (down) {
        made.buttons |= SDL_BUTTON(button);
        latchButtonPressed(button);
    } else {
        made.buttons &= ~SDL_BUTTON(button);
    }
    pushButton(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, button);
}

void inputWheel(int button)
{
    pushButton(SDL_MOUSEBUTTONDOWN, button);
    pushButton(SDL_MOUSEBUTTONUP, button);
}

void inputKey(int key, bool down)
{
    if (key <= 0 || key >= SDLK_LAST) return;
    made.keys[key] = down ? 1 : 0;
    if (down) latchKeyPressed(key);
    SDL_Event ev{};
    ev.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = static_cast<SDLKey>(key);
    ev.key.keysym.mod = heldMods();
    // Unicode translation is on in the game: the printable keys carry their character.
    if (down && (key == SDLK_RETURN || key == SDLK_SPACE || key == SDLK_ESCAPE || key == SDLK_a))
        ev.key.keysym.unicode = static_cast<Uint16>(key);
    push(ev);
}

void inputQuit()
{
    SDL_Event ev{};
    ev.quit.type = SDL_QUIT;
    push(ev);
}

bool inputTake(SDL_Event* ev)
{
    if (made.queue.empty()) return false;
    if (ev) *ev = made.queue.front();
    made.queue.pop_front();
    return true;
}

bool inputQuitQueued()
{
    for (const SDL_Event& ev : made.queue)
        if (ev.type == SDL_QUIT) return true;
    return false;
}

Uint8 inputEventState(Uint8 type, int state)
{
    Uint8 before = made.eventStates[type];
    if (state == SDL_QUERY) return before;
    made.eventStates[type] = static_cast<Uint8>(state);
    if (state == SDL_IGNORE) {
        std::deque<SDL_Event> kept;
        for (const SDL_Event& ev : made.queue)
            if (ev.type != type) kept.push_back(ev);
        made.queue.swap(kept);
    }
    return before;
}

Uint8 inputKeyHeld(int key)
{
    if (key <= 0 || key >= SDLK_LAST) return 0;
    return latchKey(key, made.keys[key]);
}

Uint8 inputMouseState(int* x, int* y)
{
    if (x) *x = made.mouseX;
    if (y) *y = made.mouseY;
    return latchButtons(made.buttons);
}
