// The companion record, field by field; numbers are 32-bit, least significant byte first.
//
//   offset  length  field
//   0       4       "TSC+"
//   4       4       version: 1
//   8       4       length of the save record it belongs to (464 slot, 4474 resume)
//   12      4       CRC-32 of that record's bytes
//   16      280     item 0-69
//   296     1120    timecheck 0-279
//   1416    40      parameter 0-9
//   1456    16      t, HPmax, Gutsmax, scripttime
//   1472    8       HPtemp, Gutstemp                   (zero in a slot's companion)
//   1480    64      prepoint, NUL-padded               (empty in a slot's companion)
//   1544    64      nextpoint, NUL-padded              (empty in a slot's companion)
//   1608    4       CRC-32 of bytes 0-1607
#include "savegame/companion.h"

#include <cstdio>
#include <cstring>

#include "core/checksum.h"
#include "core/state.h"
#include "savegame/save.h"

namespace {

const char kMagic[4] = {'T', 'S', 'C', '+'};
const int kVersion = 1;
const int kBody = kCompanionSize - 4;

struct Writer {
    unsigned char* at;

    void number(uint32_t value)
    {
        for (int i = 0; i < 4; ++i) *at++ = static_cast<unsigned char>(value >> (8 * i));
    }
    void numbers(const int* values, int count)
    {
        for (int i = 0; i < count; ++i) number(static_cast<uint32_t>(values[i]));
    }
    void name(const char* text)
    {
        char field[kNameSize] = {};
        std::snprintf(field, sizeof field, "%s", text);
        std::memcpy(at, field, kNameSize);
        at += kNameSize;
    }
};

struct Reader {
    const unsigned char* at;

    uint32_t number()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t{*at++} << (8 * i);
        return value;
    }
    void numbers(int* values, int count)
    {
        for (int i = 0; i < count; ++i) values[i] = static_cast<int>(number());
    }
    void name(char* text)
    {
        std::memcpy(text, at, kNameSize);
        text[kNameSize - 1] = '\0';
        at += kNameSize;
    }
};

}  // namespace

void companionPath(char* path, int size, int n) { std::snprintf(path, size, "./save/%d.more", n); }

int encodeCompanion(const unsigned char* record, int length, unsigned char* out)
{
    const bool resume = length == kResumeRecord;
    Writer w{out};
    std::memcpy(w.at, kMagic, 4);
    w.at += 4;
    w.number(kVersion);
    w.number(static_cast<uint32_t>(length));
    w.number(crc32Of(record, static_cast<size_t>(length)));
    w.numbers(item, kItemCount);
    w.numbers(timecheck, kTimecheckCount);
    w.numbers(parameter, kParameterCount);
    const int heads[] = {t, HPmax, Gutsmax, scripttime};
    w.numbers(heads, 4);
    const int temps[] = {resume ? HPtemp : 0, resume ? Gutstemp : 0};
    w.numbers(temps, 2);
    w.name(resume ? prepoint : "");
    w.name(resume ? nextpoint : "");
    w.number(crc32Of(out, kBody));
    return static_cast<int>(w.at - out);
}

bool restoreFromCompanion(const unsigned char* companion, int companionLength,
                          const unsigned char* record, int length)
{
    if (companionLength != kCompanionSize || std::memcmp(companion, kMagic, 4) != 0) return false;
    Reader r{companion + 4};
    Reader end{companion + kBody};
    if (end.number() != crc32Of(companion, kBody)) return false;
    if (r.number() != kVersion || r.number() != static_cast<uint32_t>(length)) return false;
    if (r.number() != crc32Of(record, static_cast<size_t>(length))) return false;
    r.numbers(item, kItemCount);
    r.numbers(timecheck, kTimecheckCount);
    r.numbers(parameter, kParameterCount);
    int heads[4];
    r.numbers(heads, 4);
    t = heads[0];
    HPmax = heads[1];
    Gutsmax = heads[2];
    scripttime = heads[3];
    if (length != kResumeRecord) return true;
    int temps[2];
    r.numbers(temps, 2);
    HP = temps[0];
    Guts = temps[1];
    r.name(prepoint);
    r.name(nextpoint);
    return true;
}
