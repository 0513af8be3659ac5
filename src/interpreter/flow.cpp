#include "interpreter/flow.h"

#include <cstdio>
#include <cstring>

#include "core/errorplace.h"
#include "core/errors.h"
#include "core/runwatch.h"
#include "core/state.h"
#include "interpreter/commands.h"
#include "interpreter/condition.h"
#include "interpreter/scanner.h"
#include "interpreter/script.h"
#include "presentation/audio.h"
#include "screens/choice.h"

namespace {

const int kEntryLineSize = 289;
const int kPicksAtMost = 5;
const int kPickRows = 10;

void playEffect(const char* arg, const char* rest)
{
    char path[320];
    if (contains(arg, ".wav") || contains(arg, ".ogg")) std::snprintf(path, sizeof path, "%s", arg);
    else std::snprintf(path, sizeof path, "./se/%s.wav", arg);
    // The count is the word after the name; missing or not a number, the sound plays once.
    char name[kArgSize], countWord[kArgSize];
    int count = 1;
    if (const char* after = GetWord(name, rest); after && GetWord(countWord, after)) {
        int value = readNumber(countWord);
        if (value != 0 || countWord[0] == '0') count = value;
    }
    sound(path, count);
}

const char* jumpTo(const char* scene, const char* label)
{
    const char* found = std::strstr(scene, label);
    if (!found) errors("スクリプト中に指定のラベルが見つかりません");
    return found;
}

// One entry of a choice block.
struct Entry {
    char line[kEntryLineSize];      // the raw entry line
    char text[kOptionSize];         // shown in the list
    char action[kOptionSize];
    char arg[kOptionSize];
};

struct Choice {
    Entry entries[kOptionsAtMost];
    int count = 0;
};

// Reads one entry line; false when the entry is left out (a change entry whose condition
// does not hold). pos moves past the entry's own block, if it has one.
bool readEntry(const char* raw, const char*& pos, Entry* entry)
{
    std::snprintf(entry->line, sizeof entry->line, "%s", raw);
    char word[kOptionSize];
    const char* words = GetWord(word, raw);
    if (contains(word, "change")) {
        const char* open = std::strchr(raw, '(');
        if (ifthrough(open ? open : "", 0) != 1) {
            if (std::strchr(raw, '{')) pos = whileFront(pos, 1);
            return false;
        }
        const char* close = std::strchr(raw, ')');
        words = GetWord(word, close ? close + 1 : "");
        if (!words) word[0] = '\0';
    }
    entry->action[0] = entry->arg[0] = '\0';
    if (std::strchr(word, '{')) {
        IfSkip(entry->text, word);
        std::snprintf(entry->action, sizeof entry->action, "%s", word);
    } else {
        std::snprintf(entry->text, sizeof entry->text, "%s", word);
        words = GetWord(entry->action, words);
    }
    if (std::strchr(entry->action, '{')) {
        pos = whileFront(pos, 1);
    } else if (contains(entry->action, "off")) {
        // A stop command takes effect as soon as the list is shown.
        orders1(entry->action, pos, "", entry->line, 0);
    } else {
        GetWord(entry->arg, words);
    }
    return true;
}

void carryOut(const Entry& entry, int k, const char* blockStart, char* arg, int level)
{
    if (std::strchr(entry.action, '{')) {
        if (level >= kPickRows) errors("ブロックを持つ選択肢は９段目までに置いてください");
        worpcheck[level][k] = std::strstr(blockStart, entry.line);
        e += 100;
    } else if (std::strcmp(entry.action, "break") == 0) {
        e += 11;
    } else if (std::strcmp(entry.action, "goto") == 0) {
        std::snprintf(arg, kArgSize, "%s", entry.arg);
        e += 12;
    } else if (contains(entry.action, "off")) {
        orders1(entry.action, nullptr, "", entry.line, 0);
    } else {
        orders3(entry.action, entry.arg, entry.line);
    }
}

const char* runChoice(const char* scene, const char* pickLine, char* arg, const char* pos,
                      int level)
{
    static Choice choice;
    choice.count = 0;
    const char* blockStart = pos;
    char keyword[kEntryLineSize];
    int picks = readNumber(GetNumber(keyword, pickLine));
    if (picks < 1) picks = 1;

    char line[kEntryLineSize];
    if (!std::strchr(pickLine, '{')) {
        const char* next = GetLine(line, pos);
        if (!next || !std::strchr(line, '{')) errors("スクリプト中に｛記号が見つかりません");
        pos = next;
    }
    // Entries run up to the line holding "}", or to the end of the text.
    for (const char* from = pos; const char* next = GetLine(line, pos); from = pos) {
        pos = next;
        placeLine(scene, next);
        if (std::strchr(line, '}')) break;
        Entry scratch;
        Entry* entry = choice.count < kOptionsAtMost ? &choice.entries[choice.count] : &scratch;
        if (!readEntry(line, pos, entry)) continue;
        watchLinesRun(scene, from, next);
        if (entry != &scratch) ++choice.count;
    }
    if (choice.count == 0) return pos;
    if (picks > kPicksAtMost) picks = kPicksAtMost;
    if (picks > choice.count) picks = choice.count;

    static char texts[kOptionsAtMost][kOptionSize];
    for (int i = 0; i < choice.count; ++i) std::memcpy(texts[i], choice.entries[i].text, kOptionSize);
    do {
        pick(picks, choice.count, texts);
    } while (e != 0 && chosen[0] == 0);

    // A quit during a later pick still carries out the picks made before it, but the quit
    // stands over the codes they leave.
    // A move among the picks is made at once, but the scene ends towards it only when the
    // others have been carried out: their codes would otherwise add up with its own.
    const bool quit = e == 0;
    bool moved = false;
    for (int k = 0; k < picks && chosen[k] != 0; ++k) {
        if (quit) e = 0;
        int codes = e;
        carryOut(choice.entries[chosen[k] - 1], k, blockStart, arg, level);
        // The move sets e to 2 over the codes of the picks before it.
        if (e == 2 && codes != 2) {
            moved = true;
            e = codes;
        }
    }
    if (quit) e = 0;
    else if (moved && e == 1) e = 2;
    else if (moved) moveWhenPicksAreDone();
    return pos;
}

}  // namespace

const char* orders4(const char* word, char* arg, const char* scene, const char* pos,
                    const char* rest, const char* line, int level, int*)
{
    if (std::strcmp(word, "se") == 0) {
        playEffect(arg, rest);
        return pos;
    }
    if (std::strcmp(word, "goto") == 0) return jumpTo(scene, arg);
    if (contains(word, "pick")) return runChoice(scene, line, arg, pos, level);
    return pos;
}
