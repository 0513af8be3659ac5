#include "presentation/text.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/decision.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/note.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/backlog.h"
#include "presentation/draw.h"
#include "presentation/playerkeys.h"
#include "presentation/window.h"

namespace {

const char kParagraphTooLong[] = "連続文字数が多すぎます。どこかで行替えしてください";

// A quiet run lays a page out only to learn where it ends and whether the layout refuses it,
// and the same message laid out from the same place always ends the same way: a search that
// plays the same pages again and again lays each out once.
PageLayout quietLayout(const char* message, int pos, int mode)
{
    static std::unordered_map<std::string, PageLayout> known;
    static Page unseen;
    std::string key(reinterpret_cast<const char*>(&pos), sizeof pos);
    key += static_cast<char>(mode);
    key += message;
    auto found = known.find(key);
    if (found != known.end()) return found->second;
    // A game whose messages are made anew without end would keep filling it.
    if (known.size() >= 65536) known.clear();
    PageLayout layout = layoutPage(message, pos, mode, &unseen);
    known.emplace(std::move(key), layout);
    return layout;
}

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

bool buttonPressed(Uint8 button)
{
    return event.type == SDL_MOUSEBUTTONDOWN && event.button.button == button;
}

bool quitAsked() { return keystate[SDLK_ESCAPE] || event.type == SDL_QUIT; }

// The page on the display and its layout mode, while wait() waits on it (null otherwise).
const Page* shownPage;
int shownMode;

// A mark of the message window (the place in the backlog, or the auto-advance mode), on the
// top-right corner of the message frame.
void drawMark(const char* mark)
{
    SDL_Rect area = labelArea(mark, 775, 0);
    area.y = static_cast<Sint16>(378 - area.h);
    labelDraw(screen, mark, area);
}

void drawBody(const Page& page, int mode)
{
    window(mode);
    for (int r = 0; r < kRows; ++r) {
        for (int sl = 1; sl < kSlots; ++sl)
            drawLine(fontOf(page.style.font[r][sl]), page.text[r][sl], page.style.color[r][sl],
                     page.x[r][sl], page.y[r][sl]);
        drawLine(bouFont, page.text[r][0], page.style.color[r][0], page.emphasisX[r], 380 + 45 * r);
    }
}

// Draws the page, with the auto-advance mark while that mode is on, and shows it.
void showPage(const Page& page, int mode)
{
    drawBody(page, mode);
    if (settings.autoAdvance) drawMark("AUTO");
    platformFlip(screen);
}

// When the shown page turns by itself: 1.5 s and 60 ms for each character on it.
Uint32 autoDue()
{
    int characters = 0;
    for (int r = 0; shownPage && r < kRows; ++r)
        for (int sl = 1; sl < kSlots; ++sl)
            for (const char* p = shownPage->text[r][sl]; *p; ++p)
                if ((*p & 0xC0) != 0x80) ++characters;
    return platformTicks() + 1500 + 60 * characters;
}

// Takes the next event into `event`. While auto-advance is on it answers false instead once
// `due` has come; while a note is up it looks for events every 10 ms, so that the note goes
// in time.
bool takeEvent(Uint32 due)
{
    for (;;) {
        bool noting = noteTick();
        if (!settings.autoAdvance && !noting) {
            waitForEvent();
            return true;
        }
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        // Reading the pointer is waiting for the player, as in the menu screens.
        platformMouseState(nullptr, nullptr);
        if (platformPollEvent(&event)) {
            ignoreMotionAndPump();
            return true;
        }
        if (settings.autoAdvance && static_cast<Sint32>(platformTicks() - due) >= 0) return false;
        platformDelay(10);
    }
}

// Shows backlog page k of count, with its mark.
void showPast(int k, int count)
{
    static Page past;
    int mode = backlogGet(k, &past);
    drawBody(past, mode);
    char mark[32];
    std::snprintf(mark, sizeof mark, "backlog %d/%d", k, count);
    drawMark(mark);
    platformFlip(screen);
    traceBacklog(k, count);
}

// The backlog, from the newest kept page: the wheel up goes further back, the wheel down
// forward; the wheel down past the newest page, a click, Return or Space come back to the
// shown page, which is drawn again.
void browseBacklog()
{
    int count = backlogCount();
    if (count == 0) return;
    int k = 1;
    showPast(k, count);
    for (;;) {
        waitForEvent();
        playerKey(event);
        if (e != 0 && quitAsked()) e = 0;
        if (e == 0) return;
        if (buttonPressed(SDL_BUTTON_WHEELUP)) {
            if (k < count) showPast(++k, count);
            continue;
        }
        if (buttonPressed(SDL_BUTTON_WHEELDOWN)) {
            if (k == 1) break;
            showPast(--k, count);
            continue;
        }
        SDLKey key = event.type == SDL_KEYDOWN ? event.key.keysym.sym : SDLK_UNKNOWN;
        if (buttonPressed(SDL_BUTTON_LEFT) || buttonPressed(SDL_BUTTON_RIGHT) ||
            key == SDLK_SPACE || (key == SDLK_RETURN && !altHeld())) {
            // The click or key that came back must not also turn the page.
            awaitRelease(event);
            break;
        }
    }
    if (shownPage && e != 0) showPage(*shownPage, shownMode);
}

}  // namespace

book textDraw(const Page& page, int mode)
{
    showPage(page, mode);
    tracePageOf(page);
    return page.style;
}

namespace {

// Tells what the page shows: its segments, rows joined by line feeds.
void showPageText(const Page& page)
{
    std::string shown;
    for (int r = 0; r < kRows; ++r) {
        if (r > 0) shown += '\n';
        for (int sl = 1; sl < kSlots; ++sl) shown += page.text[r][sl];
    }
    shownOpens(Shown::Page);
    shownText(shown.c_str());
}

}  // namespace

void text(const char* message, int mode)
{
    static Page page;
    int pos = 1;
    if (!message[0]) return;
    while (e >= 1 && message[pos]) {
        PageLayout layout = quietRun() ? quietLayout(message, pos, mode) : layoutPage(message, pos, mode, &page);
        if (layout.error) {
            if (std::strcmp(layout.error, kParagraphTooLong) == 0) e = 0;
            errors(layout.error);
        }
        if (layout.ended && layout.empty) {
            e = 1;
            return;
        }
        // Quiet: every page is laid out, none is shown or waited on.
        if (quietRun()) {
            if (layout.ended) return;
            pos = layout.next;
            continue;
        }
        showPageText(page);
        textDraw(page, mode);
        shownPage = &page;
        shownMode = mode;
        wait();
        shownPage = nullptr;
        backlogAdd(page, mode);
        if (layout.ended) return;
        pos = layout.next;
    }
}

void wait()
{
    platformWaitBegins();
    ignoreMotionAndPump();
    Uint32 due = autoDue();
    for (;;) {
        if (ctrlHeld()) {
            ignoreMotionAndPump();
            if (ctrlHeld()) {
                platformDelay(20);
                return;
            }
        }
        if (!takeEvent(due)) return;
        if (takeReloadKey(event)) return;
        playerKey(event);
        if (e == 0) return;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_a) {
            settings.autoAdvance = !settings.autoAdvance;
            settingsKeep();
            if (shownPage) showPage(*shownPage, shownMode);
            due = autoDue();
            continue;
        }
        if (buttonPressed(SDL_BUTTON_WHEELUP)) {
            browseBacklog();
            if (e == 0) return;
            due = autoDue();
            continue;
        }
        if (buttonPressed(SDL_BUTTON_WHEELDOWN)) return;
        if (leftButtonHeld() || (keystate[SDLK_RETURN] && !altHeld()) || keystate[SDLK_SPACE])
            return;
        if (ctrlHeld()) {
            platformDelay(20);
            return;
        }
        if (quitAsked()) {
            e = 0;
            return;
        }
    }
}

void wait2()
{
    if (quietRun()) return;
    platformWaitBegins();
    for (;;) {
        waitForEvent();
        if (takeReloadKey(event)) return;
        playerKey(event);
        if (e == 0) return;
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
