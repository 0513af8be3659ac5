#include "core/errorplace.h"

#include <cstdio>

namespace {

char placeFileName[sizeof ErrorPlace{}.file];
const char* lineText;   // the text being run, or null
const char* lineEnd;    // where its line being run ends

}  // namespace

void placeFile(const char* file)
{
    std::snprintf(placeFileName, sizeof placeFileName, "%s", file);
    placeLine(nullptr, nullptr);
}

void placeLine(const char* start, const char* end)
{
    lineText = start;
    lineEnd = end;
}

void placeNone() { placeFile(""); }

ErrorPlace placeNow()
{
    ErrorPlace place{};
    std::snprintf(place.file, sizeof place.file, "%s", placeFileName);
    // Lines are counted only now: running a line only notes where it ends.
    if (lineText && lineEnd) {
        place.line = 1;
        for (const char* at = lineText; at < lineEnd; ++at)
            if (*at == '\n') ++place.line;
    }
    return place;
}
