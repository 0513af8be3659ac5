#include "app/gametexts.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "core/gametext.h"
#include "core/nearest.h"
#include "core/textfile.h"
#include "presentation/textlayout.h"

namespace {

const char kFile[] = "system/game.txt";
const int kFileSize = 16384;

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The game-over sequence shows the narration as two pages: it is a message ("[" first, no
// "]"), its first page two sentences joined by one <n>, then one <p> and a closing line
// ending in "……"; and every page of it must lay out.
const char* narrationProblem(const std::string& text)
{
    const std::string ellipsis = "……";
    size_t lineBreak = text.find("<n>"), page = text.find("<p>");
    if (text.empty() || text[0] != '[' || text.find(']') != std::string::npos)
        return "the narration must be a message beginning with [ and holding no ]";
    if (lineBreak == std::string::npos || page == std::string::npos || lineBreak > page ||
        text.find("<n>", lineBreak + 3) != std::string::npos ||
        text.find("<p>", page + 3) != std::string::npos)
        return "the narration must be two sentences joined by <n>, then <p> and a closing line";
    if (text.size() < page + 3 + ellipsis.size() ||
        text.compare(text.size() - ellipsis.size(), ellipsis.size(), ellipsis) != 0)
        return "the narration's closing line must end in ……";
    static Page laid;
    for (int pos = 1; text[pos];) {
        PageLayout layout = layoutPage(text.c_str(), pos, 0, &laid);
        if (layout.error) return layout.error;
        if (layout.ended) break;
        pos = layout.next;
    }
    return nullptr;
}

// The text a key names and its capacity, or null.
char* textOf(const std::string& key, size_t* capacity)
{
    *capacity = kGameTextSize;
    if (key == "caption") return gameCaption;
    for (int n = 1; n <= 5; ++n)
        if (key == "chapter" + std::to_string(n)) return chapterTitles[n];
    *capacity = kNarrationSize;
    if (key == "gameover") return gameOverNarration;
    return nullptr;
}

const char* const kKeys[] = {"caption", "gameover", "chapter1", "chapter2", "chapter3", "chapter4", "chapter5"};

std::string unknownKey(const std::string& key)
{
    std::vector<std::string> near = nearestWords(key, std::vector<std::string>(std::begin(kKeys), std::end(kKeys)));
    return "unknown key \"" + key + "\"" + (near.empty() ? "" : " (did you mean " + near[0] + "?)");
}

}  // namespace

void readGameTexts(const char* text, const char* file,
                   const std::function<void(int, const std::string&)>& report)
{
    auto warn = [&](const char* name, int line, const std::string& problem) {
        if (report) report(line, problem + "; the built-in text stays");
        else std::fprintf(stderr, "warning: %s:%d: %s; the built-in text stays\n", name, line, problem.c_str());
    };
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        // Editors may put a byte order mark in front of UTF-8 text.
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        std::string content = trimmed(line);
        if (content.empty() || content[0] == '#') continue;
        size_t equals = content.find('=');
        if (equals == std::string::npos) {
            warn(file, number, "not key = value");
            continue;
        }
        std::string key = trimmed(content.substr(0, equals));
        std::string value = trimmed(content.substr(equals + 1));
        size_t capacity;
        char* target = textOf(key, &capacity);
        if (!target) {
            warn(file, number, unknownKey(key));
            continue;
        }
        if (value.size() >= capacity) {
            warn(file, number, key + " is longer than " + std::to_string(capacity - 1) + " bytes");
            continue;
        }
        if (key == "gameover") {
            if (const char* problem = narrationProblem(value)) {
                warn(file, number, problem);
                continue;
            }
        }
        std::memcpy(target, value.c_str(), value.size() + 1);
    }
}

void loadGameTexts()
{
    static char text[kFileSize];
    char path[32];
    std::snprintf(path, sizeof path, "./%s", kFile);
    TextFile file = readTextFile(path, text, sizeof text);
    if (!file.opened) return;
    if (file.cut) std::fprintf(stderr, "warning: %s: only its first %d bytes are read\n", kFile, kFileSize - 1);
    readGameTexts(text, kFile);
}
