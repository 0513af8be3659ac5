#include "check/conditions.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "check/fault.h"
#include "core/names.h"
#include "interpreter/condition.h"
#include "interpreter/scanner.h"

namespace {

const int kTermSize = 256;   // the condition reader's term buffer

// The numbered tables behind the keywords item, flag, check, para and time.
bool tableOf(const char* keyword, Table* table)
{
    static const struct {
        const char* keyword;
        Table table;
    } kNumbered[] = {{"item", Table::Item},      {"flag", Table::Flag},     {"check", Table::Mark},
                     {"para", Table::Parameter}, {"time", Table::TimeMark}};
    for (const auto& n : kNumbered)
        if (std::strcmp(keyword, n.keyword) == 0) {
            *table = n.table;
            return true;
        }
    return false;
}

bool isKeyword(const std::string& word)
{
    for (int k = 0; k < kConditionKeywordCount; ++k)
        if (word == conditionKeywordName(k)) return true;
    return false;
}

std::string unknownWordAdvice(const std::string& word)
{
    if (word == "and" || word == "AND" || word == "&&") return "; join terms with `&`";
    if (word == "or" || word == "OR" || word == "||") return "; join terms with `|`";
    if (word == "not" || word == "NOT") return "; turn a term round with `!`";
    return "; a condition holds only item, flag, check, hp, guts, hpmax, gutsmax, para, route, "
           "time, from NAME and read";
}

// The first word of the condition that is no keyword (the scene name after "from" excepted),
// or "".
std::string unknownWord(const std::string& condition)
{
    const char* kSeparators = " \t()!&|<>=%+-0123456789";
    bool afterFrom = false;
    size_t pos = 0;
    while ((pos = condition.find_first_not_of(kSeparators, pos)) != std::string::npos) {
        size_t end = condition.find_first_of(kSeparators, pos);
        std::string word = condition.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (!afterFrom && !isKeyword(word)) return word;
        afterFrom = word == "from";
        pos = end;
    }
    return "";
}

// Records the numbers the terms name; the terms are cut as the reader cuts them.
void recordTerms(const std::string& condition, const Place& place, Findings& found)
{
    const char* pos = condition.c_str();
    for (;;) {
        while (*pos == '&' || *pos == '|') ++pos;
        char term[kTermSize] = "";
        if (const char* stop = conditionSkip(term, pos)) pos = stop;
        const char* at = nullptr;
        int k = conditionKeyword(term, &at);
        Table table;
        if (k >= 0 && tableOf(conditionKeywordName(k), &table))
            found.use(table, readNumber(numberAt(at)), false, true, place);
        if (*pos != '&' && *pos != '|') break;
    }
}

}  // namespace

std::string checkCondition(const char* engineText, const char* pos, const SourceText& src, Findings& found)
{
    Place place = src.at(pos);
    const char* open = std::strchr(engineText, '(');
    const char* close = std::strrchr(engineText, ')');
    std::string condition = open && close > open ? std::string(open + 1, close) : "";
    try {
        ifthrough(engineText, 0);
    } catch (const ScriptFault&) {
        found.error(place, "condition",
                    "the game cannot read the condition " + quoted(open ? open : engineText) +
                        ": every term between `&` and `|` needs one of item, flag, check, hp, guts, "
                        "hpmax, gutsmax, para, route, time, from or read");
        return condition;
    }
    if (!open || !close || close < open) {
        found.error(place, "condition", "the condition needs parentheses around it, as in `if (flag1) {`");
        return condition;
    }
    std::string word = unknownWord(condition);
    if (!word.empty())
        found.error(place, "condition", "unknown word " + quoted(word) + " in the condition " +
                                            quoted("(" + condition + ")") + unknownWordAdvice(word));
    if (std::strchr(engineText, '&') && std::strchr(engineText, '|'))
        found.warning(place, "condition-mixed",
                      "the condition " + quoted("(" + condition + ")") +
                          " mixes `&` and `|`: the game joins all its terms with AND, `|` too; "
                          "test the alternatives in an `elseif` or in nested `if`s");
    recordTerms(condition, place, found);
    return withNames(condition);
}

bool conditionCanHold(const std::string& engineText, const CanBeSet& canBeSet, int route, std::string* why)
{
    const char* text = engineText.c_str();
    if (std::strstr(text, "(1)") || std::strstr(text, "( 1 )")) return true;
    if (std::strstr(text, "(0)") || std::strstr(text, "( 0 )")) {
        *why = "it holds `(0)`";
        return false;
    }
    bool all = std::strchr(text, '&') != nullptr;
    bool any = false, every = true;
    std::string first;
    const char* pos = text;
    for (;;) {
        while (*pos == '&' || *pos == '|') ++pos;
        char term[kTermSize] = "";
        if (const char* stop = conditionSkip(term, pos)) pos = stop;
        const char* at = nullptr;
        int k = conditionKeyword(term, &at);
        bool can = true;
        Table table;
        // A turned-round term, and comparisons of values the checker does not follow, may hold.
        if (k >= 0 && !std::strchr(term, '!')) {
            std::string keyword = conditionKeywordName(k);
            if (keyword != "time" && keyword != "para" && tableOf(keyword.c_str(), &table)) {
                int number = readNumber(numberAt(at));
                can = canBeSet(table, number);
                if (!can && first.empty()) first = "nothing raises " + entryLabel(table, number);
            } else if (keyword == "route" && route > 0) {
                can = ifchecking2(at, route) == 1;
                if (!can && first.empty()) first = "the scene is on route " + std::to_string(route);
            }
        }
        any = any || can;
        every = every && can;
        if (*pos != '&' && *pos != '|') break;
    }
    if (all ? every : any) return true;
    *why = first;
    return false;
}

std::string withNames(const std::string& condition)
{
    static const struct {
        const char* keyword;
        Numbered kind;
        bool keep;      // the keyword stays in front of the name
    } kNamed[] = {{"item", Numbered::Item, false}, {"flag", Numbered::Flag, false},
                  {"check", Numbered::Check, false}, {"para", Numbered::Para, false},
                  {"time", Numbered::Timecheck, true}};
    if (!namesGiven()) return condition;
    std::string out;
    for (size_t i = 0; i < condition.size();) {
        bool replaced = false;
        for (const auto& n : kNamed) {
            size_t length = std::strlen(n.keyword);
            if (condition.compare(i, length, n.keyword) != 0 || (i > 0 && std::isalpha(static_cast<unsigned char>(condition[i - 1]))))
                continue;
            size_t digits = condition.find_first_not_of(" ", i + length);
            size_t end = condition.find_first_not_of("0123456789", digits);
            if (digits == std::string::npos || end == digits) continue;
            const char* name = nameOf(n.kind, std::atoi(condition.c_str() + digits));
            if (!name) continue;
            out += (n.keep ? condition.substr(i, digits - i) : "") + name;
            i = end == std::string::npos ? condition.size() : end;
            replaced = true;
            break;
        }
        if (!replaced) out += condition[i++];
    }
    return out;
}
