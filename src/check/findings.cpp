// Places in a scene's text, and the record of what a scene holds.
#include "check/findings.h"

#include <algorithm>
#include <utility>

#include "core/state.h"

namespace {

const struct {
    const char* name;
    int size;
} kTables[] = {
    {"item", kItemCount},           {"flag", kFlagCount},           {"mark", kFindcheckCount},
    {"parameter", kParameterCount}, {"time mark", kTimecheckCount},
};

bool isContinuationByte(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

}  // namespace

SourceText::SourceText(std::string path, const char* scene) : file(std::move(path)), text(scene)
{
    lines.push_back(text);
    for (const char* p = text; *p; ++p)
        if (*p == '\n') lines.push_back(p + 1);
}

Place SourceText::at(const char* pos) const
{
    auto after = std::upper_bound(lines.begin(), lines.end(), pos);
    const char* start = *(after - 1);
    int column = 1;
    for (const char* p = start; p < pos && *p; ++p)
        if (!isContinuationByte(*p)) ++column;
    return {file, static_cast<int>(after - lines.begin()), column};
}

void Findings::error(const Place& p, const char* code, const std::string& message)
{
    diagnostics->push_back({p.file, p.line, p.column, Severity::Error, code, message});
}

void Findings::warning(const Place& p, const char* code, const std::string& message)
{
    diagnostics->push_back({p.file, p.line, p.column, Severity::Warning, code, message});
}

void Findings::use(Table table, int number, bool set, bool tested, const Place& p)
{
    const auto& t = kTables[static_cast<int>(table)];
    if (number < 0 || number >= t.size) {
        error(p, "range", std::string(t.name) + " " + std::to_string(number) + " is outside the " +
                              t.name + "s 0-" + std::to_string(t.size - 1) + "; the game ignores it");
        return;
    }
    numbers.push_back({table, number, set, tested, p});
}

std::string quoted(const std::string& words) { return "`" + words + "`"; }

Numbered kindOf(Table table)
{
    static const Numbered kKinds[] = {Numbered::Item, Numbered::Flag, Numbered::Check, Numbered::Para,
                                      Numbered::Timecheck};
    return kKinds[static_cast<int>(table)];
}

std::string entryLabel(Table table, int number) { return numberedLabel(kindOf(table), number); }
