#include "check/conditions.h"

#include <cstring>

#include "check/fault.h"
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
    recordTerms(condition, place, found);
    return condition;
}
