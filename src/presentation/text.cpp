#include "presentation/text.h"

#include <cstring>

#include "core/errors.h"
#include "core/events.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/draw.h"
#include "presentation/window.h"

namespace {

const char kParagraphTooLong[] = "連続文字数が多すぎます。どこかで行替えしてください";

TTF_Font* fontOf(Face face)
{
    switch (face) {
    case Face::Change: return changeFont;
    case Face::Big: return BigFont;
    default: return stdFont;
    }
}

const char* faceName(Face face)
{
    switch (face) {
    case Face::Change: return "change";
    case Face::Big: return "big";
    default: return "std";
    }
}

void drawLine(TTF_Font* font, const char* line, SDL_Color colour, int x, int y)
{
    if (!font || !line[0]) return;
    SDL_Surface* rendered = TTF_RenderUTF8_Solid(font, line, colour);
    blitSurface(rendered, x, y);
    if (rendered) SDL_FreeSurface(rendered);
}

void tracePageOf(const Page& page)
{
    TraceSegment segments[kRows * (kSlots - 1)];
    TraceEmphasis dots[kRows];
    int count = 0, dotCount = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int sl = 1; sl < kSlots; ++sl) {
            if (!page.text[r][sl][0]) continue;
            const SDL_Color& c = page.style.color[r][sl];
            segments[count++] = {r,   page.x[r][sl], page.y[r][sl], page.text[r][sl],
                                 c.r, c.g,           c.b,           faceName(page.style.font[r][sl])};
        }
        if (page.text[r][0][0]) dots[dotCount++] = {r, page.emphasisX[r], page.text[r][0]};
    }
    tracePage(segments, count, dots, dotCount);
}

bool ctrlHeld() { return keystate[SDLK_LCTRL] || keystate[SDLK_RCTRL]; }

void ignoreMotionAndPump()
{
    platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
    platformPumpEvents();
}

void waitForEvent()
{
    platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
    platformWaitEvent(&event);
    ignoreMotionAndPump();
}

bool leftButtonHeld() { return platformMouseState(nullptr, nullptr) & SDL_BUTTON(SDL_BUTTON_LEFT); }

}  // namespace

book textDraw(const Page& page, int mode)
{
    window(mode);
    for (int r = 0; r < kRows; ++r) {
        for (int sl = 1; sl < kSlots; ++sl)
            drawLine(fontOf(page.style.font[r][sl]), page.text[r][sl], page.style.color[r][sl],
                     page.x[r][sl], page.y[r][sl]);
        drawLine(bouFont, page.text[r][0], page.style.color[r][0], page.emphasisX[r], 380 + 45 * r);
    }
    platformFlip(screen);
    tracePageOf(page);
    return page.style;
}

void text(const char* message, int mode)
{
    static Page page;
    int pos = 1;
    if (!message[0]) return;
    while (e >= 1 && message[pos]) {
        PageLayout layout = layoutPage(message, pos, mode, &page);
        if (layout.error) {
            if (std::strcmp(layout.error, kParagraphTooLong) == 0) e = 0;
            errors(layout.error);
        }
        if (layout.ended && layout.empty) {
            e = 1;
            return;
        }
        textDraw(page, mode);
        wait();
        if (layout.ended) return;
        pos = layout.next;
    }
}

void wait()
{
    ignoreMotionAndPump();
    for (;;) {
        if (ctrlHeld()) {
            ignoreMotionAndPump();
            if (ctrlHeld()) {
                platformDelay(20);
                return;
            }
        }
        waitForEvent();
        if (takeReloadKey(event)) return;
        if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_WHEELDOWN) return;
        if (leftButtonHeld() || keystate[SDLK_RETURN] || keystate[SDLK_SPACE]) return;
        if (ctrlHeld()) {
            platformDelay(20);
            return;
        }
        if (keystate[SDLK_ESCAPE] || event.type == SDL_QUIT) {
            e = 0;
            return;
        }
    }
}

void wait2()
{
    for (;;) {
        waitForEvent();
        if (takeReloadKey(event)) return;
        Uint8 buttons = platformMouseState(nullptr, nullptr);
        if ((buttons & SDL_BUTTON(SDL_BUTTON_LEFT)) || keystate[SDLK_RETURN] ||
            keystate[SDLK_SPACE] || (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)))
            return;
        if (keystate[SDLK_ESCAPE] || event.type == SDL_QUIT) {
            e = 0;
            return;
        }
    }
}
