#include "core/errors.h"

#include <cstdio>
#include <cstdlib>

#include "app/devmode.h"
#include "app/init.h"
#include "app/options.h"
#include "core/errorplace.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/runwatch.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/draw.h"

namespace {

SDL_Surface* renderLine(TTF_Font* font, const char* line)
{
    return font ? TTF_RenderUTF8_Solid(font, line, color_white) : nullptr;
}

bool acknowledged()
{
    if (platformMouseState(nullptr, nullptr) & SDL_BUTTON(SDL_BUTTON_LEFT)) return true;
    if (keystate[SDLK_RETURN] || keystate[SDLK_SPACE] || keystate[SDLK_ESCAPE]) return true;
    return event.type == SDL_QUIT;
}

// Tells the world outside the window: "error: FILE:LINE: MESSAGE" on standard error (the
// place as far as it is known), and the trace's error event.
void report(const char* message)
{
    ErrorPlace place = placeNow();
    traceError(message, place.file, place.line);
    if (place.line > 0) std::fprintf(stderr, "error: %s:%d: %s\n", place.file, place.line, message);
    else if (place.file[0]) std::fprintf(stderr, "error: %s: %s\n", place.file, message);
    else std::fprintf(stderr, "error: %s\n", message);
}

}  // namespace

void errors(const char* message)
{
    watchFatal(message);
    report(message);
    shownOpens(Shown::Error);
    shownText(message);
    // Fonts are opened late in start-up, and their own failure comes through here.
    bool canShow = screen && stdFont && BigFont;
    // An author sees where the error is, and may start the scene again.
    bool dev = canShow && authorDevMode();

    SDL_Surface* heading = canShow && !dev ? renderLine(BigFont, "※エラー！") : nullptr;
    SDL_Surface* text = canShow && !dev ? renderLine(stdFont, message) : nullptr;
    if (dev) drawDevError(message);
    blitSurface(heading, 100, 200);
    blitSurface(text, 100, 300);
    if (screen) platformFlip(screen);

    platformDelay(1000);
    // What is pressed and released during that second must not acknowledge the message: only
    // what is held when an event arrives after it does.
    platformForgetPresses();
    do {
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformWaitEvent(&event);
        platformPumpEvents();
        if (dev && devErrorKey(event)) break;
    } while (!acknowledged());

    if (heading) SDL_FreeSurface(heading);
    if (text) SDL_FreeSurface(text);
    quiting();
    std::exit(1);
}
