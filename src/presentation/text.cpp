#include "presentation/text.h"

#include <algorithm>
#include <cstdint>
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
#include "core/readpages.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/backlog.h"
#include "presentation/draw.h"
#include "presentation/pagemarks.h"
#include "presentation/playerkeys.h"
#include "presentation/typewriter.h"
#include "presentation/window.h"

PageMenuAsks (*pageMenu)();

namespace {

const char kParagraphTooLong[] = "連続文字数が多すぎます。どこかで行替えしてください";

}  // namespace

TTF_Font* faceFont(Face face)
{
    switch (face) {
    case Face::Change: return changeFont;
    case Face::Big: return BigFont;
    default: return stdFont;
    }
}

namespace {

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
bool shownPageSeen;   // the player had seen the page before, in any game
bool skipShown;       // the page on the display was drawn as one a held Ctrl skips

// A mark of the message window (the place in the backlog, the skip of a held Ctrl, or the
// auto-advance mode), on the top-right corner of the message frame.
void drawMark(const char* mark)
{
    SDL_Rect area = labelArea(mark, 775, 0);
    area.y = static_cast<Sint16>(378 - area.h);
    labelDraw(screen, mark, area);
}

void drawBody(const Page& page, int mode) { drawPageBody(page, mode, -1); }

// Draws the page, with the mark of a held Ctrl's skip or of auto-advance, and the click-wait
// marker unless the page is being skipped; and shows it.
void showPage(const Page& page, int mode)
{
    markerOff();
    drawBody(page, mode);
    if (skipShown) drawMark("SKIP");
    else if (settings.autoAdvance) drawMark("AUTO");
    if (settings.marker && !skipShown) markerShow(markerPlace(page, faceFont));
    platformFlip(screen);
}

// A held Ctrl turns the page: any page, or only one seen before when the settings say so.
bool skipTurns() { return ctrlHeld() && (!settings.skipReadOnly || shownPageSeen); }

// When the shown page turns by itself: at the usual pace 1.5 s and 60 ms for each character
// on it, longer or shorter at the others.
Uint32 autoDue()
{
    int characters = shownPage ? pageCharacters(*shownPage) : 0;
    return platformTicks() + static_cast<Uint32>(autoWaitMs(characters));
}

// Takes the next event into `event`. While auto-advance is on it answers false instead once
// `due` has come; while a note is up it looks for events every 10 ms, so that the note goes
// in time.
bool takeEvent(Uint32 due)
{
    for (;;) {
        bool noting = noteTick();
        if (!settings.autoAdvance && !noting) {
            if (!markerOn()) {
                waitForEvent();
                return true;
            }
            // The marker's next frame is drawn when no event has come by then.
            platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
            Uint32 until = markerNextFrame() - platformTicks();
            if (platformWaitEventTimeout(&event, static_cast<Sint32>(until) > 0 ? until : 0)) {
                ignoreMotionAndPump();
                return true;
            }
            markerTick();
            continue;
        }
        markerTick();
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

// The page's text: its segments, rows joined by line feeds.
std::string pageText(const Page& page)
{
    std::string shown;
    for (int r = 0; r < kRows; ++r) {
        if (r > 0) shown += '\n';
        for (int sl = 1; sl < kSlots; ++sl) shown += page.text[r][sl];
    }
    return shown;
}

// Tells what the page shows.
void showPageText(const Page& page)
{
    shownOpens(Shown::Page);
    shownText(pageText(page).c_str());
}

// Whether the player had seen the page before, in the scene running; from now on they have.
void notePageSeen(const Page& page)
{
    std::uint64_t key = pageKey(nextpoint, pageText(page).c_str());
    shownPageSeen = pageSeen(key);
    pageSeenNow(key);
}

// Shows backlog page k of count, with its mark.
void showPast(int k, int count)
{
    static Page past;
    markerOff();
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

// A held Ctrl turns the page: it shows for 20 ms, and the next page is drawn as skipped.
void skipped()
{
    markerOff();
    skipShown = true;
    platformDelay(20);
}

// The game menu is asked for: a right click on the page, or M.
bool pageMenuAsked()
{
    if (!pageMenu || !shownPage) return false;
    return buttonPressed(SDL_BUTTON_RIGHT) ||
           (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_m);
}

// Opens the game menu over the page; true when the page is to be left (a quit, or back to
// the title), otherwise the page is shown again as it was, or the backlog first when the menu
// asked for it.
bool openPageMenu()
{
    markerOff();
    PageMenuAsks asks = pageMenu();
    if (e != 1) return true;
    if (asks == PageMenuAsks::Backlog && backlogCount() > 0) {
        traceScreen("page");
        browseBacklog();
        if (e != 1) return true;
    } else {
        showPage(*shownPage, shownMode);
        traceScreen("page");
    }
    showPageText(*shownPage);
    return false;
}

}  // namespace

void drawPageBody(const Page& page, int mode, int characters)
{
    window(mode);
    int left = characters;
    for (int r = 0; r < kRows; ++r) {
        int reached = 0;   // the right end of the row's text drawn
        bool whole = true;
        for (int sl = 1; sl < kSlots; ++sl) {
            const char* text = page.text[r][sl];
            TTF_Font* font = faceFont(page.style.font[r][sl]);
            if (characters < 0) {
                drawLine(font, text, page.style.color[r][sl], page.x[r][sl], page.y[r][sl]);
                continue;
            }
            // Only the first `left` characters of the segment, when the page is being typed.
            char part[kSegmentSize];
            size_t length = 0;
            for (; text[length]; ++length)
                if ((text[length] & 0xC0) != 0x80 && left-- <= 0) break;
            if (text[length]) whole = false;
            if (left < 0) left = 0;
            std::memcpy(part, text, length);
            part[length] = '\0';
            drawLine(font, part, page.style.color[r][sl], page.x[r][sl], page.y[r][sl]);
            int w = 0, h = 0;
            if (part[0] && font && TTF_SizeUTF8(font, part, &w, &h) == 0)
                reached = std::max(reached, page.x[r][sl] + w);
        }
        // The emphasis dots over the characters drawn, each dot one full-width character wide.
        char dots[kSegmentSize];
        std::snprintf(dots, sizeof dots, "%s", page.text[r][0]);
        if (characters >= 0 && !whole) {
            size_t shown = 0;
            const size_t dotBytes = std::strlen("・");
            for (int x = page.emphasisX[r]; shown + dotBytes <= std::strlen(dots) && x < reached; x += 26)
                shown += dotBytes;
            dots[shown] = '\0';
        }
        drawLine(bouFont, dots, page.style.color[r][0], page.emphasisX[r], 380 + 45 * r);
    }
}

int pageCharacters(const Page& page)
{
    int characters = 0;
    for (int r = 0; r < kRows; ++r)
        for (int sl = 1; sl < kSlots; ++sl)
            for (const char* p = page.text[r][sl]; *p; ++p)
                if ((*p & 0xC0) != 0x80) ++characters;
    return characters;
}

book textDraw(const Page& page, int mode)
{
    showPage(page, mode);
    tracePageOf(page);
    return page.style;
}


namespace {

// A quiet run lays a page out only to learn where it ends and whether the layout refuses it,
// and the same message laid out from the same place always ends the same way: a search that
// plays the same pages again and again lays each out once.
// What the page would show is kept with it, for the page turn point.
PageLayout quietLayout(const char* message, int pos, int mode, std::string* shown)
{
    static std::unordered_map<std::string, std::pair<PageLayout, std::string>> known;
    static Page unseen;
    std::string key(reinterpret_cast<const char*>(&pos), sizeof pos);
    key += static_cast<char>(mode);
    key += message;
    auto found = known.find(key);
    if (found != known.end()) {
        *shown = found->second.second;
        return found->second.first;
    }
    // A game whose messages are made anew without end would keep filling it.
    if (known.size() >= 65536) known.clear();
    PageLayout layout = layoutPage(message, pos, mode, &unseen);
    *shown = pageText(unseen);
    known.emplace(std::move(key), std::make_pair(layout, *shown));
    return layout;
}

}  // namespace

void text(const char* message, int mode)
{
    static Page page;
    int pos = 1;
    if (!message[0]) return;
    // Back to the title from the game menu, the rest of the message is not shown.
    while (e >= 1 && e != kBackToTitle && message[pos]) {
        std::string shown;
        bool laidQuietly = quietRun();
        PageLayout layout = laidQuietly ? quietLayout(message, pos, mode, &shown)
                                        : layoutPage(message, pos, mode, &page);
        if (layout.error) {
            if (std::strcmp(layout.error, kParagraphTooLong) == 0) e = 0;
            errors(layout.error);
        }
        if (layout.ended && layout.empty) {
            e = 1;
            return;
        }
        if (!quietRun()) shown = pageText(page);
        // Turned by the answerer, or quiet: the page is laid out, neither shown nor waited on.
        if (pageTurnAnswered(shown.c_str()) || quietRun()) {
            backlogPass();
            if (layout.ended) return;
            pos = layout.next;
            continue;
        }
        // A quiet run that ends at this page (a page save's moment): it is laid out to show.
        if (laidQuietly) layoutPage(message, pos, mode, &page);
        showPageText(page);
        notePageSeen(page);
        typeOut(page, mode, skipTurns);
        if (e == 0) return;
        textDraw(page, mode);
        shownPage = &page;
        shownMode = mode;
        wait();
        shownPage = nullptr;
        backlogAdd(page, mode);
        if (e != 0) pageTurnTaken(shown.c_str());
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
        if (skipTurns()) {
            ignoreMotionAndPump();
            if (skipTurns()) {
                skipped();
                return;
            }
        }
        // Drawn while a held Ctrl skipped, the page waits now: it is drawn as a waiting one.
        if (skipShown) {
            skipShown = false;
            if (shownPage) showPage(*shownPage, shownMode);
        }
        if (!takeEvent(due)) return;
        if (takeReloadKey(event)) return;
        playerKey(event);
        if (takePageSaveKey(event) && e != 0) {
            due = autoDue();
            continue;
        }
        if (e == 0) return;
        if (pageMenuAsked()) {
            if (openPageMenu()) return;
            due = autoDue();
            continue;
        }
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
        if (skipTurns()) {
            skipped();
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
