// The save records, field by field.
//
//   offset  length  field                                      encoding        in
//   0       10      item 0-69                                  bit group       both
//   10      400     flag 0-2799                                bit group       both
//   410     10      parameter 0-9                              counter bytes   both
//   420     1       t                                          counter byte    both
//   421     1       HPmax                                      counter byte    both
//   422     1       Gutsmax                                    counter byte    both
//   423     1       scripttime                                 counter byte    both
//   424     1       HPtemp                                     counter byte    resume
//   425     1       Gutstemp                                   counter byte    resume
//   426     4       prepoint                                   name field      resume
//   430     4       nextpoint                                  name field      resume
//   434     4000    scriptread 0-27999                         bit group       resume
//   424/4434 40     timecheck 0-279                            bit group       both
//
// Bit group: element 7j+k is bit k of byte j, bit 7 always set. Counter byte: the value plus
// 1; read back as a signed byte minus 1. Name field: the first four bytes of the name.
// No byte of a record is 0, and reading refuses a record with a 0 byte after the first.
#include "savegame/save.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/decision.h"
#include "core/filewrite.h"
#include "core/platform.h"
#include "core/textfile.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/audio.h"
#include "savegame/companion.h"
#include "savegame/slots.h"

namespace {

const int kReadBuffer = 131072;
// Short scene names are padded with a byte no scene name holds: names are single words.
const char kNamePad = ' ';

// ---- Writing -----------------------------------------------------------------------------

struct Writer {
    unsigned char* at;

    void bits(const int* values, int count)
    {
        for (int j = 0; j * 7 < count; ++j) {
            unsigned char byte = 0x80;
            for (int k = 0; k < 7 && j * 7 + k < count; ++k)
                if (values[j * 7 + k] >= 1) byte |= 1 << k;
            *at++ = byte;
        }
    }

    // A counter byte holds -128..126 except -1: larger values are kept at 126, smaller at
    // -128, and -1 becomes -2 so that the sign survives.
    void counter(int value)
    {
        if (value > 126) value = 126;
        if (value < -128) value = -128;
        if (value == -1) value = -2;
        *at++ = static_cast<unsigned char>(value + 1);
    }

    void counters(const int* values, int count)
    {
        for (int i = 0; i < count; ++i) counter(values[i]);
    }

    void name(const char* text)
    {
        size_t length = std::strlen(text);
        for (size_t i = 0; i < 4; ++i) *at++ = static_cast<unsigned char>(i < length ? text[i] : kNamePad);
    }
};

// ---- Reading -----------------------------------------------------------------------------

struct Reader {
    const unsigned char* at;

    void bits(int* values, int count)
    {
        for (int j = 0; j * 7 < count; ++j, ++at)
            for (int k = 0; k < 7 && j * 7 + k < count; ++k) values[j * 7 + k] = (*at >> k) & 1;
    }

    int counter() { return static_cast<signed char>(*at++) - 1; }

    void counters(int* values, int count)
    {
        for (int i = 0; i < count; ++i) values[i] = counter();
    }

    void name(char* text)
    {
        char field[5];
        std::memcpy(field, at, 4);
        at += 4;
        field[4] = '\0';
        for (int i = 3; i >= 0 && field[i] == kNamePad; --i) field[i] = '\0';
        if (std::strcmp(field, "star") == 0) std::snprintf(text, 64, "start");
        else if (std::strcmp(field, "rest") == 0) std::snprintf(text, 64, "restart");
        else std::snprintf(text, 64, "%s", field);
    }
};

void savePath(char* path, size_t size, int n) { std::snprintf(path, size, "./save/%d", n); }

void writingPath(char* path, size_t size, int n) { std::snprintf(path, size, "./save/%d.writing", n); }

enum class Found { Nothing, Odd, File };

// Opens save file n for reading. Only a regular file is opened; anything else there is Odd.
// A file that cannot be opened counts as Nothing.
Found openSave(int n, std::FILE** file)
{
    char path[32];
    savePath(path, sizeof path, n);
    bool odd = false;
    *file = openRegularFile(path, &odd);
    if (*file) return Found::File;
    return odd ? Found::Odd : Found::Nothing;
}

// Reads file n into buffer; answers the bytes read (0 for an odd file, which reading then
// refuses as damaged), or -1 when it does not exist.
int readFile(int n, unsigned char* buffer)
{
    std::FILE* file = nullptr;
    Found found = openSave(n, &file);
    if (found == Found::Nothing) return -1;
    int length = 0;
    if (file) {
        // A longer file is read only as far as the buffer holds.
        length = static_cast<int>(std::fread(buffer, 1, kReadBuffer - 1, file));
        std::fclose(file);
    }
    buffer[length] = 0;
    return length;
}

int recordLengthOf(int n) { return n == 0 ? kResumeRecord : kSlotRecord; }

// A damaged save about to be written over is kept as "./save/N.damaged" (or .damaged-2,
// -3... when that name is taken): the game never deletes a player's bytes.
void keepDamaged(int n)
{
    if (saveCondition(n) != SaveCondition::Damaged) return;
    char path[32], kept[48];
    savePath(path, sizeof path, n);
    for (int k = 1; k < 1000; ++k) {
        if (k == 1) std::snprintf(kept, sizeof kept, "%s.damaged", path);
        else std::snprintf(kept, sizeof kept, "%s.damaged-%d", path, k);
        struct stat info;
        if (lstat(kept, &info) != 0 && errno == ENOENT) {
            if (std::rename(path, kept) == 0)
                std::fprintf(stderr, "%s: 壊れたセーブを%sとして残しました\n", path, kept);
            return;
        }
    }
}

// Writes the record to ./save/<n>, then its companion; the old save survives anything that
// goes wrong on the way. A companion that cannot be written leaves the save loading as its
// bytes say: the old companion no longer matches it.
bool writeFile(int n, const unsigned char* record, int length)
{
    if (mkdir("./save", 0777) != 0 && errno != EEXIST) return false;
    keepDamaged(n);
    char path[32];
    savePath(path, sizeof path, n);
    if (!writeFileAtomically(path, record, static_cast<size_t>(length))) return false;
    unsigned char companion[kCompanionSize];
    int size = encodeCompanion(record, length, companion);
    char more[32];
    companionPath(more, sizeof more, n);
    if (!writeFileAtomically(more, companion, static_cast<size_t>(size)))
        std::fprintf(stderr, "%sを書き込めませんでした\n", more);
    traceSave(path);
    return true;
}

// Puts the exact values of save file n's companion into the game state, where it has one
// that belongs to the file as it is now.
void restoreExact(int n)
{
    static unsigned char record[kReadBuffer];
    int length = readFile(n, record);
    if (length < recordLengthOf(n)) return;
    char more[32];
    companionPath(more, sizeof more, n);
    std::FILE* file = openRegularFile(more);
    if (!file) return;
    unsigned char companion[kCompanionSize + 1];
    int size = static_cast<int>(std::fread(companion, 1, sizeof companion, file));
    std::fclose(file);
    restoreFromCompanion(companion, size, record, recordLengthOf(n));
}

}  // namespace

SaveCondition saveCondition(int n)
{
    static unsigned char buffer[kReadBuffer];
    int length = readFile(n, buffer);
    if (length < 0) return SaveCondition::Missing;
    return recordValid(buffer, length, recordLengthOf(n)) ? SaveCondition::Sound
                                                          : SaveCondition::Damaged;
}

bool saveExists(int n)
{
    std::FILE* file = nullptr;
    Found found = openSave(n, &file);
    if (file) std::fclose(file);
    return found != Found::Nothing;
}

void removeUnfinishedSaves()
{
    char temporary[48], more[32];
    for (int n = 0; n <= 3; ++n) {
        writingPath(temporary, sizeof temporary, n);
        unlink(temporary);
        companionPath(more, sizeof more, n);
        std::snprintf(temporary, sizeof temporary, "%s.writing", more);
        unlink(temporary);
    }
}

int encodeRecord(int mode, unsigned char* record)
{
    Writer w{record};
    w.bits(item, kItemCount);
    w.bits(flag, kFlagCount);
    w.counters(parameter, kParameterCount);
    w.counter(t);
    w.counter(HPmax);
    w.counter(Gutsmax);
    w.counter(scripttime);
    if (mode == 1) {
        w.counter(HPtemp);
        w.counter(Gutstemp);
        w.name(prepoint);
        w.name(nextpoint);
        w.bits(scriptread, kSceneCount);
    }
    w.bits(timecheck, kTimecheckCount);
    return static_cast<int>(w.at - record);
}

void decodeRecord(const unsigned char* bytes, int row, SaveData* data)
{
    Reader r{bytes};
    r.bits(data->items[row], kItemCount);
    r.bits(data->flags[row], kFlagCount);
    r.counters(data->parameters[row], kParameterCount);
    r.counters(data->heads[row], 4);
    if (row == 3) {
        r.counters(&data->heads[row][4], 2);
        r.name(data->prepoints[row]);
        r.name(data->nextpoints[row]);
        r.bits(data->reads[row], kSceneCount);
    }
    r.bits(data->timechecks[row], kTimecheckCount);
}

bool recordValid(const unsigned char* bytes, int length, int recordLength)
{
    if (length < recordLength) return false;
    for (int i = 1; i < recordLength; ++i)
        if (bytes[i] == 0) return false;
    return true;
}

const SaveData& dataLoad(int count)
{
    static SaveData data;
    static unsigned char buffer[kReadBuffer];
    for (int row = 0; row < count && row < 4; ++row) {
        int length = readFile((row + 1) % 4, buffer);
        if (length < 0) continue;
        // One damaged file is shown as damaged and never loaded; the others still work.
        if (!recordValid(buffer, length, row == 3 ? kResumeRecord : kSlotRecord)) continue;
        decodeRecord(buffer, row, &data);
    }
    return data;
}

void save(int mode)
{
    int slot = 0;
    if (mode == 0) {
        music("./bgm/5.ogg");
        const SaveData& slots = dataLoad(3);
        slot = savePick(slots.heads, 1, slots.flags);
    }
    // Quiet: the slot screen was still a decision, but nothing is written.
    if (quietRun()) return;
    bool written = true;
    if (mode == 1 || slot > 0) {
        unsigned char record[kResumeRecord];
        int length = encodeRecord(mode, record);
        written = writeFile(slot, record, length);
        if (!written) std::fprintf(stderr, "./save/%dを書き込めませんでした\n", slot);
    }
    if (mode == 0) {
        const SaveData& slots = dataLoad(3);
        saveDraw(slots.heads, slot, 2, slots.flags);
        // A save that could not be written is never shown as done: the player is told, and
        // given time to read it.
        if (!written) saveFailedNotice();
        platformDelay(written ? 500 : 2500);
    }
}

void load(int mode)
{
    int row = 3;
    if (mode == 1 && saveCondition(0) != SaveCondition::Sound) return;
    const SaveData& data = dataLoad(mode == 1 ? 4 : 3);
    if (mode != 1) {
        int slot = savePick(data.heads, 0, data.flags);
        if (slot == 0) {
            if (e != 0) e = 2;
            return;
        }
        row = slot - 1;
    }
    char file[32];
    savePath(file, sizeof file, mode == 1 ? 0 : row + 1);
    traceLoad(file);
    t = data.heads[row][0];
    HPmax = data.heads[row][1];
    Gutsmax = data.heads[row][2];
    scripttime = data.heads[row][3];
    std::memcpy(item, data.items[row], sizeof item);
    std::memcpy(flag, data.flags[row], sizeof flag);
    std::memcpy(timecheck, data.timechecks[row], sizeof timecheck);
    std::memcpy(parameter, data.parameters[row], sizeof parameter);
    if (mode == 1) {
        HP = data.heads[row][4];
        Guts = data.heads[row][5];
        std::snprintf(prepoint, sizeof prepoint, "%s", data.prepoints[row]);
        std::snprintf(nextpoint, sizeof nextpoint, "%s", data.nextpoints[row]);
    }
    // What the record cannot hold comes from its companion.
    restoreExact(mode == 1 ? 0 : row + 1);
    if (mode != 1) return;
    if (nextpoint[0] == 'O' && nextpoint[1] == 'P') {
        t = 1;
        a = b = c = 0;
    } else {
        // The stored name has four characters at most: three digits at most after the letter.
        int n = 0;
        for (const char* digit = nextpoint[0] ? nextpoint + 1 : nextpoint;
             *digit >= '0' && *digit <= '9'; ++digit)
            n = n * 10 + (*digit - '0');
        a = n / 100;
        b = n % 100 / 10;
        c = n % 10;
    }
    std::memcpy(scriptread, data.reads[row], sizeof scriptread);
}
