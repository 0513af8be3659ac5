#include "interpreter/condition.h"

#include <cstring>

#include "core/errors.h"
#include "core/state.h"
#include "interpreter/scanner.h"

namespace {

const int kTermCapacity = 64;   // terms beyond these are not evaluated
const int kTermSize = 256;

enum class Term { Item, Flag, Check, HPmax, Gutsmax, HP, Guts, Para, Route, Time, From, Read };

const struct {
    const char* keyword;
    Term kind;
} kKeywords[] = {
    {"item", Term::Item},   {"flag", Term::Flag},   {"check", Term::Check},
    {"hpmax", Term::HPmax}, {"gutsmax", Term::Gutsmax}, {"hp", Term::HP},
    {"guts", Term::Guts},   {"para", Term::Para},   {"route", Term::Route},
    {"time", Term::Time},   {"from", Term::From},   {"read", Term::Read},
};
static_assert(sizeof kKeywords / sizeof kKeywords[0] == kConditionKeywordCount, "one entry per keyword");

// Compares the elapsed scenes of "time M OP N": the comparison starts at the first of
// > = < after the mark number; without one the term is false.
int timeTerm(const char* at)
{
    const char* pos = numberAt(at);
    int elapsed = scripttime - entryOf(timecheck, readNumber(pos));
    while (*pos) {
        if (*pos == '>' || *pos == '=' || *pos == '<') return ifchecking2(pos, elapsed);
        pos = numberAt(pos + 1);
    }
    return 0;
}

int evaluate(Term kind, const char* at)
{
    switch (kind) {
    case Term::Item: return ifchecking1(at, item, kItemCount);
    case Term::Flag: return ifchecking1(at, flag, kFlagCount);
    case Term::Check: return ifchecking1(at, findcheck, kFindcheckCount);
    case Term::HPmax: return ifchecking2(at, HPmax);
    case Term::Gutsmax: return ifchecking2(at, Gutsmax);
    case Term::HP: return ifchecking2(at, HP);
    case Term::Guts: return ifchecking2(at, Guts);
    case Term::Para: {
        // Only the digit right after the keyword is the index; the comparison starts behind it.
        const char* digit = numberAt(at);
        int value = entryOf(parameter, readNumber(digit));
        return ifchecking2(*digit ? digit + 1 : digit, value);
    }
    case Term::Route: return ifchecking2(at, t);
    case Term::Time: return timeTerm(at);
    case Term::From: return std::strstr(at, prepoint) ? 1 : 0;
    case Term::Read: return reread;
    }
    return 0;
}

int termValue(const char* term)
{
    const char* at = nullptr;
    int found = conditionKeyword(term, &at);
    if (found < 0) errors("if文の文法が間違っています");
    int value = evaluate(kKeywords[found].kind, at);
    if (std::strchr(term, '!')) value = value == 1 ? 0 : value == 0 ? 1 : value;
    return value;
}

}  // namespace

int conditionKeyword(const char* term, const char** at)
{
    for (int k = 0; k < kConditionKeywordCount; ++k)
        if (const char* found = std::strstr(term, kKeywords[k].keyword)) {
            *at = found;
            return k;
        }
    return -1;
}

const char* conditionKeywordName(int k) { return k >= 0 && k < kConditionKeywordCount ? kKeywords[k].keyword : ""; }

int ifchecking1(const char* pos, const int* table, int size)
{
    int index = readNumber(numberAt(pos));
    return index >= 0 && index < size && table[index] >= 1 ? 1 : 0;
}

int ifchecking2(const char* pos, int value)
{
    const char* at = numberAt(pos);
    char op = *at;
    if (!op) return 0;
    ++at;
    bool orEqual = *at == '=';
    if (orEqual) ++at;
    int number = readNumber(numberAt(at));
    switch (op) {
    case '>': return orEqual ? value >= number : value > number;
    case '<': return orEqual ? value <= number : value < number;
    case '=': return value == number;
    default: return 0;
    }
}

int ifthrough(const char* condition, int)
{
    if (std::strstr(condition, "(1)") || std::strstr(condition, "( 1 )")) return 1;
    if (std::strstr(condition, "(0)") || std::strstr(condition, "( 0 )")) return 0;
    bool all = std::strchr(condition, '&') != nullptr;

    int values[kTermCapacity];
    int count = 0;
    const char* pos = condition;
    while (count < kTermCapacity) {
        while (*pos == '&' || *pos == '|') ++pos;
        char term[kTermSize] = "";
        if (const char* stop = conditionSkip(term, pos)) pos = stop;
        values[count++] = termValue(term);
        if (*pos != '&' && *pos != '|') break;
    }
    if (count == 1) return values[0];
    for (int i = 0; i < count; ++i) {
        if (all && values[i] == 0) return 0;
        if (!all && values[i] == 1) return 1;
    }
    return all ? 1 : 0;
}
