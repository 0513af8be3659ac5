#include "interpreter/commands.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/decision.h"
#include "core/state.h"
#include "interpreter/scanner.h"
#include "presentation/audio.h"
#include "presentation/cache.h"
#include "presentation/effects.h"
#include "presentation/sequences.h"
#include "presentation/window.h"

namespace {

int clampToInt(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// The path of a named resource: the argument itself when it already names a file of one of
// the extensions, else the folder's pattern around it.
void resourcePath(char* path, size_t size, const char* arg, const char* pattern,
                  const char* ext1, const char* ext2 = nullptr)
{
    if (std::strstr(arg, ext1) || (ext2 && std::strstr(arg, ext2))) std::snprintf(path, size, "%s", arg);
    else std::snprintf(path, size, pattern, arg);
}

// ---- The commands ----------------------------------------------------------------------

struct Command {
    const char* arg;
    const char* line;
    int number() const { return readNumber(arg); }
};

void background(const Command& c)
{
    char path[320];
    resourcePath(path, sizeof path, c.arg, "./bg/%s.jpg", ".jpg");
    fade(0);
    ImgReplace(path, "bg");
    fade(1);
    window(0);
}

void backgroundMusic(const Command& c)
{
    char path[320];
    resourcePath(path, sizeof path, c.arg, "./bgm/%s.ogg", ".mid", ".ogg");
    music(path);
}

void screenEffect(const Command& c) { effect(c.number()); }

void raiseHPmax(const Command& c) { storeTraced(&HPmax, Math_order(c.line, HPmax), "hpmax"); }
void raiseGutsmax(const Command& c) { storeTraced(&Gutsmax, Math_order(c.line, Gutsmax), "gutsmax"); }

void changeHP(const Command& c)
{
    int value = Math_order(c.line, HP);
    storeTraced(&HP, value > HPmax ? HPmax : value, "hp");
}

void changeGuts(const Command& c)
{
    int value = Math_order(c.line, Guts);
    storeTraced(&Guts, value > Gutsmax ? Gutsmax : value, "guts");
}

void changeParameter(const Command& c)
{
    // Only the digit right after "para" names the parameter; the expression follows it.
    const char* digit = numberAt(c.line);
    int index = readNumber(digit);
    if (int* value = slotOf(parameter, index))
        storeTraced(value, Math_order(*digit ? digit + 1 : digit, *value), "para", index);
}

// Sets entry n of a table of the story's state, when the table has one.
template <int N>
void setEntry(int (&table)[N], int n, int value, const char* what)
{
    if (int* entry = slotOf(table, n)) storeTraced(entry, value, what, n);
}

void addItem(const Command& c)
{
    int n = c.number();
    setEntry(item, n, clampToInt(entryOf(item, n) + 1LL), "item");
}

void removeItem(const Command& c)
{
    int n = c.number(), count = entryOf(item, n);
    if (count != 0) setEntry(item, n, count - 1, "item");
}

void setFlag(const Command& c) { setEntry(flag, c.number(), 1, "flag"); }
void clearFlag(const Command& c) { setEntry(flag, c.number(), 0, "flag"); }
void setCheck(const Command& c) { setEntry(findcheck, c.number(), 1, "check"); }
void clearCheck(const Command& c) { setEntry(findcheck, c.number(), 0, "check"); }
void markTime(const Command& c) { setEntry(timecheck, c.number(), scripttime, "timecheck"); }

void chapter(const Command& c) { ChapterChange(c.arg); }
void scenarioEnd(const Command& c) { Ending(c.number()); }
void plainWindow(const Command&) { window(0); }

void moveTo(const Command& c)
{
    leaveScene(c.arg);
    e = 2;
}

enum class Match { Exact, Contains };

// Tried in this order; the first match wins. hpmax and gutsmax come before hp and guts, and
// every word containing hp, guts or para is arithmetic.
const struct {
    const char* keyword;
    Match match;
    void (*run)(const Command&);
} kCommands[] = {
    {"bg", Match::Exact, background},
    {"bgm", Match::Exact, backgroundMusic},
    {"effect", Match::Exact, screenEffect},
    {"hpmax", Match::Contains, raiseHPmax},
    {"gutsmax", Match::Contains, raiseGutsmax},
    {"hp", Match::Contains, changeHP},
    {"guts", Match::Contains, changeGuts},
    {"para", Match::Contains, changeParameter},
    {"item+", Match::Exact, addItem},
    {"item-", Match::Exact, removeItem},
    {"flag+", Match::Exact, setFlag},
    {"flag-", Match::Exact, clearFlag},
    {"check+", Match::Exact, setCheck},
    {"check-", Match::Exact, clearCheck},
    {"timecheck", Match::Exact, markTime},
    {"chapter", Match::Exact, chapter},
    {"ScenarioEnd", Match::Exact, scenarioEnd},
    {"none", Match::Exact, plainWindow},
    {"moveto", Match::Exact, moveTo},
};

}  // namespace

int orders3(const char* word, const char* arg, const char* line)
{
    for (const auto& command : kCommands) {
        bool matches = command.match == Match::Exact ? std::strcmp(word, command.keyword) == 0
                                                     : std::strstr(word, command.keyword) != nullptr;
        if (!matches) continue;
        command.run(Command{arg, line});
        break;
    }
    return 0;
}

int Math_order(const char* expression, int current)
{
    const char* op = numberAt(expression);
    if (!*op) return current;
    char before[600];
    const char* found = GetNumber(before, op + 1);
    if (!found) return current;
    if (std::strstr(before, "rand") && *found == '%') {
        const char* limit = numberAt(found + 1);
        if (!*limit) return current;
        int n = readNumber(limit);
        return n == 0 ? current : scriptDraw(n);
    }
    if (!*found) return current;
    long long n = readNumber(found);
    switch (*op) {
    case '+': return clampToInt(current + n);
    case '-': return current - n < 0 ? 0 : clampToInt(current - n);
    case '=': return static_cast<int>(n);
    case '%':
        if (n == 0) return current;
        return static_cast<int>(current % n);
    default: return current;
    }
}

void sceneFromName(const char* name)
{
    if (name[0] == 'O' && name[1] == 'P') {
        t = 1;
        a = b = c = 0;
        return;
    }
    if (name[0] >= 'A' && name[0] <= 'Z') t = name[0] - 'A' + 1;
    // Numbers of more than six digits lie far outside the scene tables anyway; bounding them
    // keeps the scene index computable.
    const int kLargest = 999999;
    int n = name[0] ? readNumber(name + 1) : 0;
    n = n > kLargest ? kLargest : n < -kLargest ? -kLargest : n;
    a = n / 100;
    b = n % 100 / 10;
    c = n % 10;
}

void leaveScene(const char* name)
{
    scriptread[sceneIndex()] = 1;
    sceneFromName(name);
    std::snprintf(prepoint, sizeof prepoint, "%s", nextpoint);
    std::snprintf(nextpoint, sizeof nextpoint, "%s", name);
}
