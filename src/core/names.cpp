#include "core/names.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "core/state.h"
#include "core/textfile.h"

namespace {

const int kNamesFileSize = 65536;

const struct {
    const char* word;
    int size;
} kKinds[kNumberedKinds] = {
    {"flag", kFlagCount}, {"item", kItemCount}, {"para", kParameterCount},
    {"check", kFindcheckCount}, {"timecheck", kTimecheckCount},
};

struct Entry {
    Numbered kind;
    int number;
    int line;
};

// By table and number, and by name.
std::vector<std::string> byNumber[kNumberedKinds];
std::map<std::string, Entry> byName;
bool given;

int* tableOf(Numbered kind)
{
    switch (kind) {
    case Numbered::Flag: return flag;
    case Numbered::Item: return item;
    case Numbered::Para: return parameter;
    case Numbered::Check: return findcheck;
    default: return timecheck;
    }
}

const struct {
    const char* key;
    int* slot;
} kSingles[] = {{"hp", &HP}, {"guts", &Guts}, {"hpmax", &HPmax}, {"gutsmax", &Gutsmax}};

bool allDigits(const std::string& text)
{
    return !text.empty() && text.size() < 10 && text.find_first_not_of("0123456789") == std::string::npos;
}

// The key as one of the state's own (flagN ... gutsmax), answered as for stateKeyFind; false
// with *problem empty when the key is none of them.
bool builtInKey(const std::string& key, StateKey* found, std::string* problem)
{
    for (const auto& single : kSingles) {
        if (key == single.key) {
            *found = {single.slot, single.key, -1};
            return true;
        }
        if (key.size() > std::string(single.key).size() && key.rfind(single.key, 0) == 0 &&
            allDigits(key.substr(std::string(single.key).size()))) {
            *problem = std::string(single.key) + " takes no number";
            return false;
        }
    }
    size_t digits = key.find_first_of("0123456789");
    Numbered kind;
    if (!numberedOf(key.substr(0, digits), &kind)) return false;
    std::string number = digits == std::string::npos ? "" : key.substr(digits);
    int size = numberedSize(kind);
    int index = allDigits(number) ? std::atoi(number.c_str()) : -1;
    if (index < 0 || index >= size) {
        *problem = std::string(numberedWord(kind)) + " takes a number from 0 to " + std::to_string(size - 1);
        return false;
    }
    *found = {tableOf(kind) + index, numberedWord(kind), index};
    return true;
}

void takeLine(const std::string& line, int number, const std::function<void(int, const std::string&)>& report)
{
    std::istringstream words(line);
    std::string kindWord, numberWord, name, extra;
    words >> kindWord >> numberWord >> name >> extra;
    Numbered kind;
    if (name.empty() || !extra.empty()) {
        report(number, "not KIND N NAME (one name without blanks)");
        return;
    }
    if (!numberedOf(kindWord, &kind)) {
        report(number, "unknown kind `" + kindWord + "`: KIND is flag, item, para, check or timecheck");
        return;
    }
    int size = numberedSize(kind);
    int n = allDigits(numberWord) ? std::atoi(numberWord.c_str()) : -1;
    if (n < 0 || n >= size) {
        report(number, kindWord + " " + numberWord + " is outside the " + kindWord + " numbers 0-" +
                           std::to_string(size - 1));
        return;
    }
    StateKey ignored;
    std::string why;
    if (builtInKey(name, &ignored, &why) || !why.empty() || name.find('=') != std::string::npos) {
        report(number, "the name `" + name + "` reads as a key of the state itself (or holds `=`), "
                       "which --set would take first; give another name");
        return;
    }
    auto known = byName.find(name);
    if (known != byName.end()) {
        report(number, "the name `" + name + "` is given twice: line " + std::to_string(known->second.line) +
                           " gives it to " + numberedWord(known->second.kind) + " " +
                           std::to_string(known->second.number));
        return;
    }
    std::string& slot = byNumber[static_cast<int>(kind)][n];
    if (!slot.empty()) {
        report(number, kindWord + " " + std::to_string(n) + " is named twice: line " +
                           std::to_string(byName[slot].line) + " calls it `" + slot + "`");
        return;
    }
    slot = name;
    byName[name] = {kind, n, number};
}

}  // namespace

const char* numberedWord(Numbered kind) { return kKinds[static_cast<int>(kind)].word; }

int numberedSize(Numbered kind) { return kKinds[static_cast<int>(kind)].size; }

bool numberedOf(const std::string& word, Numbered* kind)
{
    for (int k = 0; k < kNumberedKinds; ++k)
        if (word == kKinds[k].word) {
            *kind = static_cast<Numbered>(k);
            return true;
        }
    return false;
}

void namesClear()
{
    for (auto& table : byNumber) table.clear();
    byName.clear();
    given = false;
}

void namesRead(const char* text, const std::function<void(int, const std::string&)>& report)
{
    namesClear();
    given = true;
    for (int k = 0; k < kNumberedKinds; ++k) byNumber[k].resize(kKinds[k].size);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        // Editors may put a byte order mark in front of UTF-8 text.
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        takeLine(line, number, report);
    }
}

void namesLoad()
{
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    static char text[kNamesFileSize];
    TextFile file = readTextFile((std::string("./") + kNamesFile).c_str(), text, sizeof text);
    if (!file.opened) return;
    if (file.cut)
        std::fprintf(stderr, "warning: %s: only its first %d bytes are read\n", kNamesFile, kNamesFileSize - 1);
    namesRead(text, [](int line, const std::string& problem) {
        std::fprintf(stderr, "warning: %s:%d: %s\n", kNamesFile, line, problem.c_str());
    });
}

bool namesGiven() { return given; }

const char* nameOf(Numbered kind, int number)
{
    const auto& table = byNumber[static_cast<int>(kind)];
    if (number < 0 || number >= static_cast<int>(table.size()) || table[number].empty()) return nullptr;
    return table[number].c_str();
}

const char* nameOf(const char* word, int number)
{
    Numbered kind;
    return numberedOf(word, &kind) ? nameOf(kind, number) : nullptr;
}

bool numberOfName(const std::string& name, Numbered* kind, int* number)
{
    auto found = byName.find(name);
    if (found == byName.end()) return false;
    *kind = found->second.kind;
    *number = found->second.number;
    return true;
}

std::string numberedLabel(Numbered kind, int number)
{
    std::string label = std::string(numberedWord(kind)) + " " + std::to_string(number);
    if (const char* name = nameOf(kind, number)) label += std::string(" (") + name + ")";
    return label;
}

bool stateKeyFind(const std::string& key, StateKey* found, std::string* problem)
{
    problem->clear();
    if (builtInKey(key, found, problem)) return true;
    if (!problem->empty()) return false;
    Numbered kind;
    int number;
    if (numberOfName(key, &kind, &number)) {
        *found = {tableOf(kind) + number, numberedWord(kind), number};
        return true;
    }
    *problem = "KEY is not one of flagN, itemN, paraN, checkN, timecheckN, hp, guts, hpmax, gutsmax";
    if (namesGiven()) *problem += std::string(", nor a name of ") + kNamesFile;
    return false;
}
