#include "interpreter/scanner.h"

#include <climits>
#include <cstring>

namespace {

const char kWhite[] = " \t\r\n";
const char kNumberSet[] = "0123456789><=%+-";

bool isWhite(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// Whether ch is one of the first `limit` bytes of set; NUL padding never matches.
bool inSet(char ch, const char* set, size_t limit)
{
    for (size_t i = 0; i < limit && set[i]; ++i)
        if (set[i] == ch) return true;
    return false;
}

const char* copyUntil(char* dest, size_t cap, const char* src, const char* set, size_t limit)
{
    if (!src || !*src) return nullptr;
    // The set as a string of its first `limit` bytes, for the library's scan: the interpreter
    // scans every line it passes over, and a byte-by-byte look through the set costs more.
    char stops[32];
    size_t count = 0;
    while (count < limit && count + 1 < sizeof stops && set[count]) {
        stops[count] = set[count];
        ++count;
    }
    stops[count] = '\0';
    size_t length = std::strcspn(src, stops);
    if (cap > 0) {
        size_t stored = length < cap - 1 ? length : cap - 1;
        std::memcpy(dest, src, stored);
        dest[stored] = '\0';
    }
    return src + length;
}

}  // namespace

const char* SkipSpace(const char* pos)
{
    while (isWhite(*pos)) ++pos;
    return pos;
}

const char* SkipSpace_Back(const char* pos, const char* start)
{
    while (pos > start && isWhite(*pos)) --pos;
    return pos;
}

const char* skipping(char* dest, size_t cap, const char* src, const char* delims)
{
    return copyUntil(dest, cap, src, delims, 5);
}

const char* skipping_Back(const char* src, const char* delims, const char* start)
{
    if (!src || !*src) return nullptr;
    while (*src && !inSet(*src, delims, 4)) {
        if (src == start) return start;
        --src;
    }
    return src;
}

const char* GetWord(char* dest, size_t cap, const char* src)
{
    return src ? skipping(dest, cap, SkipSpace(src), kWhite) : nullptr;
}

const char* GetLine(char* dest, size_t cap, const char* src)
{
    return src ? skipping(dest, cap, SkipSpace(src), "\n") : nullptr;
}

const char* GetText(char* dest, size_t cap, const char* src) { return skipping(dest, cap, src, "]"); }

const char* IfSkip(char* dest, size_t cap, const char* src) { return skipping(dest, cap, src, "{}"); }

const char* conditionSkip(char* dest, size_t cap, const char* src)
{
    return skipping(dest, cap, src, "&|");
}

const char* GetNumber(char* dest, size_t cap, const char* src)
{
    return copyUntil(dest, cap, src, kNumberSet, sizeof kNumberSet - 1);
}

const char* GetWord_Back(const char* src, const char* start)
{
    return src ? skipping_Back(SkipSpace_Back(src, start), kWhite, start) : nullptr;
}

const char* GetLine_Back(const char* src, const char* start)
{
    return src ? skipping_Back(SkipSpace_Back(src, start), "\n", start) : nullptr;
}

const char* numberAt(const char* pos)
{
    while (*pos && !inSet(*pos, kNumberSet, sizeof kNumberSet - 1)) ++pos;
    return pos;
}

bool contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

int readNumber(const char* pos)
{
    if (!pos) return 0;
    while (isWhite(*pos) || *pos == '\v' || *pos == '\f') ++pos;
    bool negative = *pos == '-';
    if (*pos == '-' || *pos == '+') ++pos;
    long long value = 0;
    while (*pos >= '0' && *pos <= '9') {
        value = value * 10 + (*pos - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
        ++pos;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
