#include "core/replaywords.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/names.h"
#include "core/onscreen.h"
#include "core/state.h"

namespace {

const char* const kMenuEntries[] = {"search", "items", "move"};
const char* const kTitleButtons[] = {"new", "load", "continue"};

// The index + 1 of word in the list, 0 when it is not there.
template <size_t N>
int entryNumber(const std::string& word, const char* const (&list)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (word == list[i]) return static_cast<int>(i) + 1;
    return 0;
}

bool readWholeInt(const std::string& text, int* value)
{
    if (text.empty() || text.find_first_of(" \t") != std::string::npos) return false;
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(text.c_str(), &end, 10);
    if (*end || errno == ERANGE || n < -2147483647L - 1 || n > 2147483647L) return false;
    *value = static_cast<int>(n);
    return true;
}

// The rest of the line after the verb (and, for expect, its first word), blanks trimmed.
std::string restOf(std::istringstream& in)
{
    std::string rest;
    std::getline(in >> std::ws, rest);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
        rest.pop_back();
    return rest;
}

bool readExpect(std::istringstream& in, WordAction* w, std::string* problem)
{
    std::string what;
    in >> what;
    if (what == "page" || what == "scene") {
        w->verb = what == "page" ? WordAction::ExpectPage : WordAction::ExpectScene;
        w->text = restOf(in);
        if (w->text.empty()) *problem = "expect " + what + " needs a text";
        return true;
    }
    std::string extra;
    if (what == "gameover" || what == "error") {
        w->verb = what == "error" ? WordAction::ExpectError : WordAction::ExpectGameOver;
        if (in >> extra) *problem = "expect " + what + " takes nothing more";
        return true;
    }
    if (what == "ending") {
        w->verb = WordAction::ExpectEnding;
        std::string n;
        if (!(in >> n) || !readWholeInt(n, &w->number) || (in >> extra))
            *problem = "expect ending takes the ending's number";
        return true;
    }
    w->verb = WordAction::ExpectValue;
    w->text = what;
    std::string value, why;
    StateKey key;
    if (what.empty()) {
        *problem = "expect needs page, scene, ending, gameover, error or a KEY";
        return true;
    }
    if (!stateKeyFind(what, &key, &why)) {
        bool unknown = why.rfind("KEY is not", 0) == 0;
        *problem = "expect " + what + ": " + (unknown ? "not page, scene, ending, gameover or error, and " : "") + why;
        return true;
    }
    static const char* const kOps[] = {"==", "!=", "<", "<=", ">", ">="};
    bool known = false;
    if (in >> w->op)
        for (const char* op : kOps) known = known || w->op == op;
    if (!known || !(in >> value) || !readWholeInt(value, &w->number) || (in >> extra))
        *problem = "expect " + what + " needs OP VALUE, OP one of == != < <= > >= and VALUE a whole number";
    return true;
}

// ---- The screen in words ----------------------------------------------------------------

std::string quotedTexts(const OnScreen& s, bool withScenes)
{
    std::string out;
    for (int i = 0; i < s.count; ++i) {
        out += std::string("「") + s.entries[i].text + "」";
        if (withScenes && s.entries[i].leadsTo[0]) out += std::string("(") + s.entries[i].leadsTo + ")";
        if (!s.entries[i].available) out += "(picked)";
    }
    return out;
}

// The entries of a menu-like screen: "search gray, items, move".
std::string entryStates(const OnScreen& s)
{
    std::string out;
    for (int i = 0; i < s.count; ++i) {
        if (i > 0) out += ", ";
        out += s.entries[i].text;
        if (!s.entries[i].available) out += s.kind == Shown::Slots ? " empty" : " gray";
    }
    return out;
}

bool isMoveList(const OnScreen& s) { return s.kind == Shown::Choice && s.count > 0 && s.entries[0].leadsTo[0]; }

// The page's text on one line.
std::string pageLine(const char* page)
{
    std::string text;
    for (const char* p = page; *p; ++p)
        if (*p != '\n') text += *p;
    return text;
}

// ---- Acting -------------------------------------------------------------------------------

bool inside(const ShownArea& a, int x, int y) { return x >= a.x && x < a.x + a.w && y >= a.y && y < a.y + a.h; }

// A point of entry i's area that no earlier entry's area holds (earlier entries win).
WordStep clickOn(const OnScreen& s, int i, WordStep::What what = WordStep::Click)
{
    const ShownArea& area = s.entries[i].area;
    auto free = [&](int x, int y) {
        for (int j = 0; j < i; ++j)
            if (inside(s.entries[j].area, x, y)) return false;
        return true;
    };
    WordStep step{what, area.x + area.w / 2, area.y + area.h / 2, {}};
    for (int y = area.y; !free(step.x, step.y) && y < area.y + area.h; y += 2)
        for (int x = area.x; x < area.x + area.w; x += 2)
            if (free(x, y)) {
                step.x = x;
                step.y = y;
                break;
            }
    return step;
}

WordStep failed(const std::string& needs)
{
    return WordStep{WordStep::Failed, 0, 0, "expected " + needs + ", got " + shownInWords()};
}

bool pageLike(Shown kind) { return kind == Shown::Page || kind == Shown::Items; }

WordStep choose(const WordAction& w, const OnScreen& s)
{
    if (s.kind != Shown::Choice) return failed(wordNeeds(w));
    if (w.number > 0) {
        if (w.number > s.count || !s.entries[w.number - 1].available) return failed(wordNeeds(w));
        return clickOn(s, w.number - 1);
    }
    for (int i = 0; i < s.count; ++i)
        if (s.entries[i].available && w.text == s.entries[i].text) return clickOn(s, i);
    for (int i = 0; i < s.count; ++i)
        if (s.entries[i].available && std::strstr(s.entries[i].text, w.text.c_str())) return clickOn(s, i);
    return failed(wordNeeds(w));
}

WordStep gotoScene(const WordAction& w, const OnScreen& s)
{
    if (s.kind == Shown::Menu) {
        if (s.count < 3 || !s.entries[2].available) return failed(wordNeeds(w));
        return clickOn(s, 2, WordStep::ClickFirst);
    }
    if (!isMoveList(s)) return failed(wordNeeds(w));
    for (int i = 0; i < s.count; ++i)
        if (w.text == s.entries[i].leadsTo) return clickOn(s, i);
    return failed(wordNeeds(w));
}

// Menu, Title and Slot: entry number n of a screen of that kind.
WordStep entryOf(const WordAction& w, const OnScreen& s, Shown kind, int n)
{
    if (s.kind != kind || n < 1 || n > s.count || !s.entries[n - 1].available) return failed(wordNeeds(w));
    return clickOn(s, n - 1);
}

bool compare(int value, const std::string& op, int to)
{
    if (op == "==") return value == to;
    if (op == "!=") return value != to;
    if (op == "<") return value < to;
    if (op == "<=") return value <= to;
    if (op == ">") return value > to;
    return value >= to;
}

std::string outcomeInWords()
{
    const Outcome& o = lastOutcome();
    if (o.kind == EndKind::Ending) return "ending " + std::to_string(o.n);
    if (o.kind == EndKind::GameOver) return "the game over";
    return "no ending and no game over yet";
}

// expect ending, gameover: pages are turned until the outcome has begun or another screen
// waits.
WordStep expectOutcome(const WordAction& w, const OnScreen& s)
{
    const Outcome& o = lastOutcome();
    bool holds = w.verb == WordAction::ExpectGameOver ? o.kind == EndKind::GameOver
                                                      : o.kind == EndKind::Ending && o.n == w.number;
    if (holds) return WordStep{WordStep::Held, 0, 0, {}};
    if (pageLike(s.kind)) return WordStep{WordStep::TurnPage, 0, 0, {}};
    return WordStep{WordStep::Failed, 0, 0, "expected " + wordNeeds(w) + ", got " + outcomeInWords()};
}

}  // namespace

bool wordRead(const std::string& line, WordAction* w, std::string* problem)
{
    std::istringstream in(line);
    std::string verb, word, extra;
    in >> verb;
    problem->clear();
    if (verb == "choose") {
        w->verb = WordAction::Choose;
        w->text = restOf(in);
        if (w->text.size() > 1 && w->text[0] == '#' && readWholeInt(w->text.substr(1), &w->number)) {
            if (w->number < 1) *problem = "choose #N counts options from 1";
        } else if (w->text.empty() || w->text.find_first_of(" \t") != std::string::npos) {
            *problem = "choose takes one word of an option's text, or #N";
        }
    } else if (verb == "menu" || verb == "title") {
        w->verb = verb == "menu" ? WordAction::Menu : WordAction::Title;
        in >> word;
        w->number = verb == "menu" ? entryNumber(word, kMenuEntries) : entryNumber(word, kTitleButtons);
        if (w->number == 0 || (in >> extra))
            *problem = verb == "menu" ? "menu takes search, items or move" : "title takes new, load or continue";
    } else if (verb == "goto-scene") {
        w->verb = WordAction::GotoScene;
        if (!(in >> w->text) || (in >> extra)) *problem = "goto-scene takes a scene name";
    } else if (verb == "draw") {
        w->verb = WordAction::Draw;
        if (!(in >> word) || !readWholeInt(word, &w->number) || w->number < 0 || (in >> extra))
            *problem = "draw takes the value the draw gives, 0 or more";
    } else if (verb == "slot") {
        w->verb = WordAction::Slot;
        in >> word;
        w->number = word == "cancel" ? 0 : word == "1" ? 1 : word == "2" ? 2 : word == "3" ? 3 : -1;
        if (w->number < 0 || (in >> extra)) *problem = "slot takes 1, 2, 3 or cancel";
    } else if (verb == "expect") {
        readExpect(in, w, problem);
    } else {
        return false;
    }
    return true;
}

std::string shownInWords()
{
    const OnScreen& s = onScreen();
    switch (s.kind) {
    case Shown::None: return "nothing waiting for the player yet";
    case Shown::Page: return "a page 「" + pageLine(s.page) + "」";
    case Shown::Items: return "the item window";
    case Shown::Choice:
        return isMoveList(s) ? "a move list " + quotedTexts(s, true) : "a choice " + quotedTexts(s, false);
    case Shown::Menu: return "the field menu (" + entryStates(s) + ")";
    case Shown::Title: return "the title (" + entryStates(s) + ")";
    case Shown::Slots:
        return std::string("the slot screen to ") + (s.mode == 0 ? "load" : "save") + " (" + entryStates(s) + ")";
    case Shown::Error: return "the fatal error 「" + std::string(s.page) + "」";
    case Shown::GameMenu: return "the game menu (" + entryStates(s) + ")";
    case Shown::Confirm: return "the question (" + entryStates(s) + ")";
    case Shown::Settings: return "the settings screen";
    }
    return "";
}

std::string wordNeeds(const WordAction& w)
{
    switch (w.verb) {
    case WordAction::Choose:
        if (w.number > 0) return "a choice with an option #" + std::to_string(w.number) + " not yet picked";
        return "a choice with an option 「" + w.text + "」 not yet picked";
    case WordAction::Menu: return std::string("the field menu with ") + kMenuEntries[w.number - 1] + " available";
    case WordAction::GotoScene: return "a move to " + w.text;
    case WordAction::Draw: return "a random draw";
    case WordAction::Title: return std::string("the title with ") + kTitleButtons[w.number - 1] + " available";
    case WordAction::Slot:
        return w.number == 0 ? "the slot screen" : "the slot screen with slot " + std::to_string(w.number) + " available";
    case WordAction::ExpectPage: return "a page containing 「" + w.text + "」";
    case WordAction::ExpectScene: return "scene " + w.text;
    case WordAction::ExpectValue: return w.text + " " + w.op + " " + std::to_string(w.number);
    case WordAction::ExpectEnding: return "ending " + std::to_string(w.number);
    case WordAction::ExpectGameOver: return "the game over";
    case WordAction::ExpectError: return "a fatal error";
    }
    return "";
}

WordStep wordNow(const WordAction& w)
{
    const OnScreen& s = onScreen();
    const WordStep turn{WordStep::TurnPage, 0, 0, {}};
    const WordStep held{WordStep::Held, 0, 0, {}};
    switch (w.verb) {
    case WordAction::ExpectPage:
        if (s.kind == Shown::Page &&
            (std::strstr(s.page, w.text.c_str()) || pageLine(s.page).find(w.text) != std::string::npos))
            return held;
        return failed(wordNeeds(w));
    case WordAction::ExpectScene:
        if (w.text == nextpoint) return held;
        return WordStep{WordStep::Failed, 0, 0, "expected " + wordNeeds(w) + ", got scene " + nextpoint};
    case WordAction::ExpectValue: {
        StateKey key{nullptr, "", -1};
        std::string why;
        int value = stateKeyFind(w.text, &key, &why) ? *key.slot : 0;
        if (compare(value, w.op, w.number)) return held;
        return WordStep{WordStep::Failed, 0, 0, "expected " + wordNeeds(w) + ", got " + w.text + " " + std::to_string(value)};
    }
    case WordAction::ExpectEnding:
    case WordAction::ExpectGameOver: return expectOutcome(w, s);
    case WordAction::ExpectError:
        if (s.kind == Shown::Error) return held;
        return pageLike(s.kind) ? turn : failed(wordNeeds(w));
    default: break;
    }
    // The acting words turn the pages before the screen they need.
    if (pageLike(s.kind)) return turn;
    switch (w.verb) {
    case WordAction::Choose: return choose(w, s);
    case WordAction::GotoScene: return gotoScene(w, s);
    case WordAction::Menu: return entryOf(w, s, Shown::Menu, w.number);
    case WordAction::Title: return entryOf(w, s, Shown::Title, w.number);
    case WordAction::Slot:
        if (w.number == 0) return s.kind == Shown::Slots ? WordStep{WordStep::RightClick, 400, 300, {}} : failed(wordNeeds(w));
        return entryOf(w, s, Shown::Slots, w.number);
    default: return failed(wordNeeds(w));
    }
}
