#include "check/words.h"

#include <cstring>
#include <vector>

#include "core/nearest.h"
#include "interpreter/scanner.h"

namespace {

const std::vector<std::string> kCommandWords = {
    "bg",     "bgm",   "bgmoff", "se",    "seoff",   "effect", "none",      "hp",      "guts",
    "hpmax",  "gutsmax", "para", "item+", "item-",   "flag+",  "flag-",     "check+",  "check-",
    "timecheck", "chapter", "ScenarioEnd", "moveto", "goto", "save", "inith", "menu", "pick",
    "if",     "elseif", "else",  "while", "do",      "break",
};

// Keywords the game finds anywhere in a first word.
const char* const kContained[] = {"while", "if", "else", "pick", "hp", "guts", "para"};

const std::vector<std::string> kBlockWords = {"if", "elseif", "else", "while", "do", "pick"};
const std::vector<std::string> kClosingWords = {"}else{", "}elseif", "}while"};

}  // namespace

bool isCommandWord(const char* word)
{
    for (const std::string& command : kCommandWords)
        if (command == word) return true;
    for (const char* keyword : kContained)
        if (contains(word, keyword)) return true;
    return false;
}

bool lineOnly(const char* word)
{
    for (const char* only : {"inith", "save", "menu", "pick", "if", "elseif", "else", "while", "do"})
        if (std::strcmp(word, only) == 0) return true;
    return false;
}

std::string commandAdvice(const std::string& word, const std::string& arg, const ArgumentFits& fits)
{
    std::vector<std::string> near = nearestWords(word, kCommandWords), fitting;
    // Every near word, not only the nearest: `bgn shore` is one letter from both bg and bgm.
    for (const std::string& command : kCommandWords)
        if (nearEnough(word, command) && fits(command, arg)) fitting.push_back(command);
    return didYouMean(fitting.empty() ? near : nearestWords(word, fitting));
}

std::string blockWordAdvice(const std::string& word)
{
    if (!word.empty() && word[0] == '}') return didYouMean(nearestWords(word, kClosingWords));
    std::string bare = word;
    if (size_t brace = bare.find('{'); brace != std::string::npos) bare.erase(brace);
    return didYouMean(nearestWords(bare, kBlockWords));
}

bool looksLikeOption(const char* word, const char* rest, const std::function<bool(const char*)>& isLabel)
{
    if (!*word || std::strchr("*{}", word[0]) || contains(word, "[") || contains(word, "]") ||
        contains(word, "//") || isCommandWord(word) || isLabel(word))
        return false;
    if (std::strchr(word, '{') || contains(word, "change")) return true;
    char action[600] = "";
    if (!rest || !GetWord(action, rest)) return false;
    return std::strcmp(action, "{") == 0 || std::strcmp(action, "break") == 0 || contains(action, "off") ||
           isCommandWord(action);
}
