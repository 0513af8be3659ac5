#include "core/onscreen.h"

#include <cstdio>

namespace {

OnScreen shown;
Outcome outcome;

}  // namespace

void shownOpens(Shown kind, int mode)
{
    shown.kind = kind;
    shown.mode = mode;
    shown.count = 0;
    shown.page[0] = '\0';
}

void shownEntry(const char* text, ShownArea area, bool available, const char* leadsTo)
{
    if (shown.count >= kShownEntries) return;
    ShownEntry& entry = shown.entries[shown.count++];
    std::snprintf(entry.text, sizeof entry.text, "%s", text);
    std::snprintf(entry.leadsTo, sizeof entry.leadsTo, "%s", leadsTo);
    entry.area = area;
    entry.available = available;
}

void shownText(const char* text) { std::snprintf(shown.page, sizeof shown.page, "%s", text); }

void shownTaken(int i)
{
    if (i >= 0 && i < shown.count) shown.entries[i].available = false;
}

const OnScreen& onScreen() { return shown; }

void outcomeBegins(EndKind kind, int n)
{
    outcome.kind = kind;
    outcome.n = n;
    ++outcome.serial;
}

const Outcome& lastOutcome() { return outcome; }
