#include "check/gamefiles.h"

#include <cstring>
#include <map>
#include <set>

#include "app/gametexts.h"
#include "core/names.h"
#include "core/state.h"
#include "core/textfile.h"

namespace {

const int kItemListSize = 16384;   // the bytes of the item list the game reads
const int kGameTextSize = 16384;
const int kNamesSize = 65536;
const char kItemList[] = "script/itemlist.txt";
const char kGameTexts[] = "system/game.txt";

// Whether a name shows nothing: blanks, ideographic spaces and a line end only.
bool showsNothing(const std::string& name)
{
    for (size_t i = 0; i < name.size();) {
        if (name.compare(i, 3, "\xE3\x80\x80") == 0) i += 3;
        else if (name[i] == ' ' || name[i] == '\t' || name[i] == '\r') ++i;
        else return false;
    }
    return true;
}

// Reads a file of the game into buffer; false when it is not there.
bool readGameFile(const std::string& dir, const char* file, char* buffer, size_t size, Findings& found)
{
    TextFile read = readTextFile((dir + "/" + file).c_str(), buffer, size);
    if (read.opened && read.cut)
        found.warning({file, 1, 1}, "file-size", "only the first " + std::to_string(size - 1) +
                                                     " bytes of the file are read; the rest is not");
    return read.opened;
}

}  // namespace

int checkItemList(const std::string& dir, Findings& found)
{
    static char list[kItemListSize];
    if (!readGameFile(dir, kItemList, list, sizeof list, found)) {
        found.error({kItemList, 1, 1}, "item-list", "the item list is missing; the game does not start without it");
        return 0;
    }
    std::map<std::string, int> first;   // a name, and the item it names first
    int count = 0, line = 1, blank = 0;
    for (const char* pos = list; *pos; ++line) {
        const char* end = pos + std::strcspn(pos, "\n");
        std::string text(pos, end);
        pos = *end ? end + 1 : end;
        size_t start = text.find_first_not_of(" \t\r");
        if (start == std::string::npos) {
            if (count > 0 && !blank) blank = line;
            continue;
        }
        Place place{kItemList, line, 1};
        if (count == kItemCount) {
            found.warning(place, "item-list", "the game reads " + std::to_string(kItemCount) +
                                                  " item names; this line and those after it name nothing");
            break;
        }
        // Blank lines do not count: the next line names the next item.
        if (blank)
            found.warning({kItemList, blank, 1}, "item-list",
                          "an empty line names no item: the game skips it, so line " + std::to_string(line) +
                              " names item " + std::to_string(count) + "; write a name on every line");
        blank = 0;
        std::string name = text.substr(start);
        if (showsNothing(name))
            found.warning(place, "item-list", "the name of item " + std::to_string(count) + " shows nothing");
        else if (name.size() >= static_cast<size_t>(kNameSize))
            found.warning(place, "item-list", "the name of item " + std::to_string(count) + " is longer than " +
                                                  std::to_string(kNameSize - 1) + " bytes; the game cuts it");
        std::string key = name.substr(0, name.find_last_not_of(" \t\r") + 1);
        auto known = first.find(key);
        if (known != first.end())
            found.warning(place, "item-list", "item " + std::to_string(count) + " has the name of item " +
                                                  std::to_string(known->second) + ", " + quoted(key) +
                                                  "; the player cannot tell them apart");
        else
            first[key] = count;
        ++count;
    }
    return count;
}

void checkGameTexts(const std::string& dir, Findings& found)
{
    static char text[kGameTextSize];
    if (!readGameFile(dir, kGameTexts, text, sizeof text, found)) return;
    readGameTexts(text, kGameTexts, [&](int line, const std::string& problem) {
        found.warning({kGameTexts, line, 1}, "game-text", problem);
    });
}

bool readNames(const std::string& dir, Findings& found)
{
    static char text[kNamesSize];
    namesClear();
    if (!readGameFile(dir, kNamesFile, text, sizeof text, found)) return false;
    namesRead(text, [&](int line, const std::string& problem) {
        found.warning({kNamesFile, line, 1}, "names", problem + "; the game leaves the line out");
    });
    return true;
}

void checkUnnamed(const std::vector<NumberUse>& uses, Findings& found)
{
    std::set<std::pair<int, int>> reported;
    for (const NumberUse& u : uses) {
        if (nameOf(kindOf(u.table), u.number) || !reported.insert({static_cast<int>(u.table), u.number}).second)
            continue;
        found.warning(u.place, "name-missing", entryLabel(u.table, u.number) + " has no name in " + kNamesFile);
    }
}
