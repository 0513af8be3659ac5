#include "screens/menu.h"

#include <cstdio>
#include <cstring>

#include "core/decision.h"
#include "core/errorplace.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/onscreen.h"
#include "core/runwatch.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "interpreter/commands.h"
#include "interpreter/condition.h"
#include "interpreter/scanner.h"
#include "interpreter/script.h"
#include "presentation/audio.h"
#include "presentation/draw.h"
#include "presentation/window.h"
#include "screens/choice.h"
#include "screens/itemwindow.h"

namespace {

enum Entry { kNoEntry = 0, kSearch = 1, kItems = 2, kMove = 3, kOnEdge = -1 };

const int kLineSize = 600;
const char kMoveSection[] = "*move*";
const char kSearchSection[] = "*search*";
const char kMalformed[] = "*move*の文法が間違っています";

// The entry band under the pointer; kOnEdge on a band edge inside the menu.
int entryAt(int x, int y)
{
    if (x <= 550 || x > 679 || y <= 154 || y > 275) return kNoEntry;
    if (y > 155 && y < 195) return kSearch;
    if (y > 195 && y < 235) return kItems;
    if (y > 235 && y < 275) return kMove;
    return kOnEdge;
}

bool entryAvailable(int entry, const int* available)
{
    if (entry == kSearch) return available[1] != 0;
    if (entry == kMove) return available[0] != 0;
    return entry == kItems;
}

// Waits for a click on the menu; answers the entry clicked (kNoEntry outside the entries
// or on quit). highlight and released carry over from one wait to the next.
int waitForClick(int& highlight, bool& released, const int* available)
{
    while (e == 1) {
        platformDelay(10);
        if (takeQuitEvents()) return kNoEntry;
        platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        platformPumpEvents();
        Uint8 buttons = platformMouseState(&MousePx, &MousePy);
        int under = entryAt(MousePx, MousePy);
        if (under != kOnEdge && under != highlight) {
            highlight = under;
            int shown = entryAvailable(highlight, available) ? highlight : kNoEntry;
            if (shown > 0) systemSound("onmouse");
            menuDraw(shown, available);
        }
        if (!(buttons & SDL_BUTTON(SDL_BUTTON_LEFT))) {
            released = true;
        } else if (released) {
            released = false;
            return entryAvailable(highlight, available) ? highlight : kNoEntry;
        }
    }
    return kNoEntry;
}

// ---- The move list ----------------------------------------------------------------------

struct Reader {
    const char* start;   // the scene's text
    const char* pos;
    char line[kLineSize];

    // Reads the next line; at the end of the text the line is empty and pos stays.
    void next()
    {
        const char* after = GetLine(line, pos);
        if (after) {
            pos = after;
            placeLine(start, after);
        } else {
            line[0] = '\0';
        }
    }
    bool restHolds(char ch) const { return std::strchr(pos, ch) != nullptr; }
    bool holds(const char* part) const { return contains(line, part); }
    int condition() const
    {
        const char* open = std::strchr(line, '(');
        return ifthrough(open ? open : "", 0);
    }
    // Skips the block of a branch not taken and forgets its line.
    void skipBranch()
    {
        pos = whileFront(pos, std::strchr(line, '{') ? 1 : 0);
        line[0] = '\0';
    }
};

struct Candidate {
    char text[kOptionSize];
    char scene[kOptionSize];
};

// The condition text of a change candidate: from the first "(" after pos to the end of its
// line.
int candidateCondition(const char* pos)
{
    char condition[kLineSize] = "";
    if (const char* open = std::strchr(pos, '(')) {
        const char* end = std::strchr(open, '\n');
        size_t length = end ? static_cast<size_t>(end - open) : std::strlen(open);
        if (length >= sizeof condition) length = sizeof condition - 1;
        std::memcpy(condition, open, length);
        condition[length] = '\0';
    }
    return ifthrough(condition, 0);
}

int readCandidates(const char* scene, const char* pos, Candidate* candidates)
{
    int count = 0;
    char word[kOptionSize], condition[kOptionSize];
    for (const char* from = pos; count < kOptionsAtMost && (pos = GetWord(word, pos)) &&
                                 !std::strchr(word, '}');
         from = pos) {
        Candidate& candidate = candidates[count];
        if (contains(word, "change")) {
            int holds = candidateCondition(pos);
            if (!(pos = GetWord(candidate.text, pos)) || !(pos = GetWord(condition, pos)) ||
                !(pos = GetWord(candidate.scene, pos)))
                break;
            if (holds != 1) continue;
        } else {
            std::snprintf(candidate.text, sizeof candidate.text, "%s", word);
            if (!(pos = GetWord(candidate.scene, pos))) break;
        }
        ++count;
        watchLinesRun(scene, from, pos);
    }
    return count;
}

// What the menu offers: the three entries' bands, and which can be chosen.
void showMenu(const int* available)
{
    shownOpens(Shown::Menu);
    shownEntry("search", {551, 156, 129, 39}, available[1] != 0);
    shownEntry("items", {551, 196, 129, 39}, true);
    shownEntry("move", {551, 236, 129, 39}, available[0] != 0);
}

}  // namespace

void menuDraw(int highlight, const int* available)
{
    window(0);
    blitPicture("menu", 500, 100);
    blitPicture(!available[1] ? "menu1_gray" : highlight == kSearch ? "menu1_on" : "menu1_off", 500, 100);
    blitPicture(highlight == kItems ? "menu2_on" : "menu2_off", 500, 100);
    blitPicture(!available[0] ? "menu3_gray" : highlight == kMove ? "menu3_on" : "menu3_off", 500, 100);
    platformFlip(screen);
}

int kouhoCheck(const char* scene, const char** list, const char* name)
{
    Reader r{scene, std::strstr(scene, name), ""};
    if (!r.pos) {
        char message[128];
        std::snprintf(message, sizeof message, "スクリプト中に%sが見つかりません", name);
        errors(message);
    }
    int cond = 0, result = 1;
    r.next();
    while (!r.holds("{") && !r.holds("if")) {
        if (!r.restHolds('}')) errors(kMalformed);
        r.next();
    }
    if (r.holds("if")) {
        cond = r.condition();
        if (cond == 0) r.skipBranch();
    }
    for (;;) {
        if (r.holds("elseif")) {
            if (cond == 0 && (cond = r.condition()) == 1) {
                std::snprintf(r.line, sizeof r.line, "{");
                break;
            }
            r.skipBranch();
        } else if (r.holds("else") || r.holds("{") || r.holds("if")) {
            break;
        }
        if (!r.restHolds('}')) break;
        r.next();
    }
    while (!r.holds("{") && !r.holds("else") && !r.holds("if") && r.restHolds('}')) r.next();
    if (r.holds("else") && cond != 0) errors(kMalformed);
    while (!r.holds("{")) {
        if (!r.restHolds('}') || r.holds("if")) {
            result = 0;
            break;
        }
        r.next();
    }
    *list = r.pos;
    return result;
}

void menuMove(const char* scene)
{
    const char* list = scene;
    kouhoCheck(scene, &list, kMoveSection);
    static Candidate candidates[kOptionsAtMost];
    int count = readCandidates(scene, list, candidates);
    if (count == 0) {
        e = 4;
        return;
    }
    static char texts[kOptionsAtMost][kOptionSize], scenes[kOptionsAtMost][kOptionSize];
    for (int i = 0; i < count; ++i) {
        std::memcpy(texts[i], candidates[i].text, kOptionSize);
        std::memcpy(scenes[i], candidates[i].scene, kOptionSize);
    }
    pick(1, count, texts, scenes);
    if (e == 0) return;
    if (chosen[0] == 0) {
        e = 4;
        return;
    }
    leaveScene(candidates[chosen[0] - 1].scene);
}

const char* menu(const char* scene)
{
    systemSound("paper");
    const char* list = scene;
    int available[2] = {kouhoCheck(scene, &list, kMoveSection),
                        std::strstr(scene, kSearchSection) ? 1 : 0};
    traceMenu(available[1] != 0, available[0] != 0);
    int highlight = kNoEntry;
    bool released = false;
    Decision decision{DecisionKind::Menu, 3, 1, nullptr, nullptr,
                      (available[1] ? 1u : 0u) | 2u | (available[0] ? 4u : 0u), 0};
    while (e == 1) {
        Answer answer;
        int clicked;
        if (decisionAnswered(decision, &answer)) {
            clicked = answer.value[0];
        } else {
            showMenu(available);
            menuDraw(kNoEntry, available);
            platformWaitBegins();
            clicked = waitForClick(highlight, released, available);
            answer.value[0] = clicked;
        }
        if (e == 0) return scene;
        if (clicked != kNoEntry) decisionTaken(decision, answer);
        if (clicked == kSearch) {
            const char* section = std::strstr(scene, kSearchSection);
            const char* end = std::strchr(section, '\n');
            return end ? end : section + std::strlen(section);
        }
        if (clicked == kItems) {
            itemwindow();
            platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
        } else if (clicked == kMove) {
            systemSound("enter");
            menuMove(scene);
            if (e == 0) return scene;
            if (e == 4) {
                e = 1;
                continue;
            }
            e = 2;
            return scene;
        }
    }
    return scene;
}
