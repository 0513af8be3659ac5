#include "explore/liveness.h"

#include <algorithm>
#include <cstring>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "interpreter/scanner.h"

namespace fs = std::filesystem;

namespace {

// Marks, for every place the keyword stands in the text, the entry its condition term would
// read: the number at the first digit or operator after it, as the condition reader finds it.
template <int N>
void markReads(const std::string& text, const char* keyword, bool (&live)[N])
{
    for (size_t at = text.find(keyword); at != std::string::npos; at = text.find(keyword, at + 1)) {
        int index = readNumber(numberAt(text.c_str() + at));
        if (index >= 0 && index < N) live[index] = true;
    }
}

// The lines a condition may be read from: every line holding "if", "while" or "change" (an
// if, elseif or while line, the closing line of a do loop, a branch of the move section, a
// change entry of a choice or a move list). A move list's change line without "(" takes its
// condition from the next "(" on, wherever it stands: then the rest of the text counts.
// Commands and messages on those lines are read too: that only keeps more entries.
std::string conditionLines(const std::string& text)
{
    std::string kept;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        bool change = line.find("change") != std::string::npos;
        if (change && line.find('(') == std::string::npos) {
            kept += line + "\n";
            std::string rest;
            while (std::getline(lines, rest)) kept += rest + "\n";
            break;
        }
        if (change || line.find("if") != std::string::npos || line.find("while") != std::string::npos)
            kept += line + "\n";
    }
    return kept;
}

// The largest number on the lines that hold "time".
long largestTimeNumber(const std::string& text)
{
    long largest = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("time") == std::string::npos) continue;
        for (size_t i = 0; i < line.size();) {
            if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
                ++i;
                continue;
            }
            long n = 0;
            for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
                n = std::min(n * 10 + (line[i] - '0'), 1000000000L);
            largest = std::max(largest, n);
        }
    }
    return largest;
}

bool capitalName(const std::string& word)
{
    return word.size() >= 2 && word[0] >= 'A' && word[0] <= 'Z';
}

// ---- Parameters set afresh ---------------------------------------------------------------

// The parameters a line may read or write: where it holds "para", the one its first digit or
// operator names (as a para command, or a choice entry's action, reads it) and the one after
// each "para" (as a condition term reads it).
unsigned paraOfLine(const char* line, const char* end)
{
    std::string text(line, end);
    if (text.find("para") == std::string::npos) return 0;
    unsigned bits = 0;
    auto mark = [&](const char* at) {
        int d = readNumber(numberAt(at));
        if (d >= 0 && d < 10) bits |= 1u << d;
        else bits |= 0x3ffu;   // an index out of the table: take none as safe
    };
    mark(text.c_str());
    for (size_t at = text.find("para"); at != std::string::npos; at = text.find("para", at + 1))
        mark(text.c_str() + at);
    return bits;
}

// Whether the line is "paraD = N" or "paraD = rand %N" and nothing else: it sets parameter D
// without reading it.
bool setsParaAfresh(const std::string& line, int d)
{
    std::istringstream in(line);
    std::string word, op, value, more;
    if (!(in >> word >> op)) return false;
    if (word != "para" + std::to_string(d) || op != "=") return false;
    if (!(in >> value)) return false;
    if (value == "rand") {
        if (!(in >> value) || value.size() < 2 || value[0] != '%') return false;
        value = value.substr(1);
    }
    size_t digits = value[0] == '-' ? 1 : 0;
    if (value.size() <= digits || value.find_first_not_of("0123456789", digits) != std::string::npos) return false;
    return !(in >> more);
}

// Whether a scene enters with parameter d dead: the first line naming it sets it afresh, and
// no line before it can go elsewhere in the scene (no brace, goto or field menu), so that every
// way through the scene sets it before reading it. A scene that never names it counts too.
bool paraSetOnEntry(const std::string& text, int d)
{
    std::istringstream lines(text);
    std::string line;
    bool straight = true;   // every line so far runs, one after another
    while (std::getline(lines, line)) {
        if (paraOfLine(line.c_str(), line.c_str() + line.size()) & (1u << d))
            return straight && setsParaAfresh(line, d);
        std::istringstream in(line);
        std::string first;
        in >> first;
        if (line.find_first_of("{}") != std::string::npos || line.find("goto") != std::string::npos ||
            first == "menu" || (!first.empty() && first[0] == '*'))
            straight = false;
    }
    return true;
}

bool sceneLike(const std::string& word)
{
    return capitalName(word) && word.find_first_not_of("0123456789", 1) == std::string::npos;
}

// The scene index a name leads to, as the game converts it; -1 when it depends on the scene
// running (no capital letter first).
int indexOf(const std::string& name)
{
    if (name.compare(0, 2, "OP") == 0) return 1000;
    if (!capitalName(name)) return -1;
    int n = readNumber(name.c_str() + 1);
    int index = (name[0] - 'A' + 1) * 1000 + n;
    return n >= 0 && n <= 999 ? index : -2;
}

struct Names {
    std::map<int, std::set<std::string>> byIndex;
    bool wild = false;

    void add(const std::string& name)
    {
        int index = indexOf(name);
        if (index == -1) wild = true;
        if (index >= 0) byIndex[index].insert(name);
    }
};

// The names of scenes a scene's text may lead to.
void namesIn(const std::string& text, Names* names)
{
    std::istringstream lines(text);
    std::string line;
    bool inMove = false;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;) words.push_back(w);
        if (line.find("*move*") != std::string::npos) inMove = true;
        bool structure = line.find_first_of("{}") != std::string::npos || line.find("if") != std::string::npos ||
                         line.find("else") != std::string::npos || line.find("*move*") != std::string::npos;
        bool candidates = inMove && !structure && words.size() >= 2 && words[0].find("//") == std::string::npos;
        for (size_t i = 0; i < words.size(); ++i) {
            // A word of a capital letter and digits only is a name wherever it stands; in a
            // move list any word starting with a capital may be a destination (a condition
            // word such as "from A002)" elsewhere leads nowhere).
            if (sceneLike(words[i]) || (candidates && capitalName(words[i]))) names->add(words[i]);
            if (words[i] == "moveto" && i + 1 < words.size()) names->add(words[i + 1]);
        }
        if (candidates) names->add(words.back());
    }
}

}  // namespace

void findLiveEntries(const std::string& gamePath, SharedHead* head)
{
    long largest = 0;
    Names names;
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(gamePath + "/script", failed)) {
        std::string file = entry.path().filename().string();
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0 && file != "itemlist.txt") {
            std::string scene = file.substr(0, file.size() - 4);
            // A new game enters "start" at scene 1000; "restart" only follows a loaded save.
            if (scene == "start") names.byIndex[1000].insert(scene);
            else if (scene != "restart") names.add(scene);
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream read;
        read << in.rdbuf();
        // The game reads a scene up to its first 0 byte.
        std::string text = read.str();
        text = text.substr(0, text.find('\0'));
        std::string conditions = conditionLines(text);
        markReads(conditions, "item", head->liveItem);
        markReads(conditions, "flag", head->liveFlag);
        markReads(conditions, "check", head->liveCheck);
        markReads(conditions, "para", head->livePara);
        markReads(conditions, "time", head->liveMark);
        for (int d = 0; d < 10; ++d)
            if (!paraSetOnEntry(text, d)) head->paraKept |= 1u << d;
        largest = std::max(largest, largestTimeNumber(text));
        namesIn(text, &names);
    }
    head->timeCap = static_cast<int>(largest + 1);
    for (const auto& [index, those] : names.byIndex)
        if (those.size() > 1 && index < 28000) head->sharedIndex[index] = true;
    if (names.wild)
        for (bool& index : head->sharedIndex) index = true;
}

unsigned paraMentions(const char* text)
{
    unsigned bits = 0;
    for (const char* line = text; *line;) {
        const char* end = std::strchr(line, '\n');
        if (!end) end = line + std::strlen(line);
        bits |= paraOfLine(line, end);
        line = *end ? end + 1 : end;
    }
    return bits;
}
