#include "core/state.h"

#include <cstring>

#include "core/bytes.h"
#include "core/platform.h"
#include "core/trace.h"

SDL_Surface* screen;
const KeyState keystate{};
SDL_Event event;
int MousePx, MousePy;

TTF_Font* stdFont;
TTF_Font* changeFont;
TTF_Font* BigFont;
TTF_Font* bouFont;
TTF_Font* itemFont;

const SDL_Color color_white = {255, 255, 255, 255};
const SDL_Color color_blue = {0, 0, 255, 0};
const SDL_Color color_green = {0, 255, 0, 0};
const SDL_Color color_red = {255, 0, 0, 0};
const SDL_Color color_gray = {127, 127, 127, 127};
const SDL_Color color_black = {0, 0, 0, 0};

int t = 1, a, b, c;
int e;
char nextpoint[kNameSize];
char prepoint[kNameSize];

char* scripttext[kSceneCount];
int scriptcheck[kSceneCount];
int scriptread[kSceneCount];
int scripttime;
int reread;

int HP = 123, Guts = 72, HPmax = 123, Gutsmax = 72;
int HPtemp, Gutstemp;
int item[kItemCount];
char iname[kItemCount][kNameSize];
int flag[kFlagCount];
int parameter[kParameterCount];
int timecheck[kTimecheckCount];
int findcheck[kFindcheckCount];
int chosen[kChosenCount];
const char* worpcheck[10][10];

namespace {

SceneStart sceneStart;
bool sceneStartKept;   // in this game

}  // namespace

int sceneIndex()
{
    // Names above 999, or positions read from a foreign save, can leave the scheme; they must
    // still land inside the tables.
    long long index = t * 1000LL + a * 100LL + b * 10LL + c;
    if (index < 0) return 0;
    if (index >= kSceneCount) return kSceneCount - 1;
    return static_cast<int>(index);
}

void resetNewGame()
{
    std::memset(item, 0, sizeof item);
    std::memset(flag, 0, sizeof flag);
    std::memset(timecheck, 0, sizeof timecheck);
    std::memset(parameter, 0, sizeof parameter);
    std::memset(scriptcheck, 0, sizeof scriptcheck);
    std::memset(scriptread, 0, sizeof scriptread);
    t = 1;
    a = b = c = 0;
    HP = 123;
    Guts = 72;
    HPmax = 123;
    Gutsmax = 72;
    reread = 0;
    scripttime = 0;
    e = 1;
    sceneStartKept = false;
}

void storeTraced(int* slot, int value, const char* what, int index)
{
    if (*slot == value) return;
    *slot = value;
    traceSet(what, index, value);
}

namespace {

// Copies every field of the state between the globals and the kept copy, one way or the other.
template <typename T>
void copyField(T& kept, T& live, bool keep)
{
    if (keep) std::memcpy(&kept, &live, sizeof kept);
    else std::memcpy(&live, &kept, sizeof kept);
}

void copyState(bool keep)
{
    SceneStart& s = sceneStart;
    copyField(s.t, t, keep);
    copyField(s.a, a, keep);
    copyField(s.b, b, keep);
    copyField(s.c, c, keep);
    copyField(s.nextpoint, nextpoint, keep);
    copyField(s.prepoint, prepoint, keep);
    copyField(s.HP, HP, keep);
    copyField(s.Guts, Guts, keep);
    copyField(s.HPmax, HPmax, keep);
    copyField(s.Gutsmax, Gutsmax, keep);
    copyField(s.item, item, keep);
    copyField(s.flag, flag, keep);
    copyField(s.parameter, parameter, keep);
    copyField(s.timecheck, timecheck, keep);
    copyField(s.findcheck, findcheck, keep);
    copyField(s.scriptread, scriptread, keep);
    copyField(s.scripttime, scripttime, keep);
    copyField(s.reread, reread, keep);
}

}  // namespace

void keepSceneStart()
{
    copyState(true);
    sceneStartKept = true;
}

const SceneStart* keptSceneStart() { return sceneStartKept ? &sceneStart : nullptr; }

void backToSceneStart() { copyState(false); }

// ---- The state image ----------------------------------------------------------------------
//
// The story's state as bytes, field by field (core/bytes.h: numbers of 32 bits, least
// significant byte first; counted strings):
//
//   field                                              encoding
//   t, a, b, c                                         4 numbers
//   nextpoint, prepoint                                2 counted strings
//   HP, Guts, HPmax, Gutsmax, HPtemp, Gutstemp         6 numbers
//   scripttime, reread                                 2 numbers
//   item, flag, parameter, timecheck, findcheck,       6 sparse tables, in this order
//   scriptread
//
// A sparse table: the count n of its entries that are not 0, then n pairs (index, value) with
// rising indexes. Every value keeps its whole 32 bits.

namespace {

template <int N>
void putTable(ByteWriter& w, const int (&table)[N])
{
    uint32_t count = 0;
    for (int value : table) count += value != 0;
    w.number(count);
    for (int i = 0; i < N; ++i)
        if (table[i] != 0) {
            w.number(static_cast<uint32_t>(i));
            w.signedNumber(table[i]);
        }
}

// Reads a sparse table into table when `into` is set; only checks it otherwise.
template <int N>
void takeTable(ByteReader& r, int (&table)[N], bool into)
{
    uint32_t count = r.number();
    if (count > static_cast<uint32_t>(N)) r.ok = false;
    if (into) std::memset(table, 0, sizeof table);
    long last = -1;
    for (uint32_t k = 0; r.ok && k < count; ++k) {
        uint32_t index = r.number();
        int value = r.signedNumber();
        if (index >= static_cast<uint32_t>(N) || static_cast<long>(index) <= last) r.ok = false;
        else if (into) table[index] = value;
        last = index;
    }
}

// Walks an image, putting it into the globals when `into` is set.
bool takeImage(const std::string& image, bool into)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    ByteReader r{bytes, bytes + image.size()};
    int position[4];
    for (int& p : position) p = r.signedNumber();
    char next[kNameSize], previous[kNameSize];
    r.text(next, sizeof next);
    r.text(previous, sizeof previous);
    int numbers[8];
    for (int& n : numbers) n = r.signedNumber();
    if (!r.ok) return false;
    takeTable(r, item, into);
    takeTable(r, flag, into);
    takeTable(r, parameter, into);
    takeTable(r, timecheck, into);
    takeTable(r, findcheck, into);
    takeTable(r, scriptread, into);
    if (!into) return r.finished();
    t = position[0], a = position[1], b = position[2], c = position[3];
    std::memcpy(nextpoint, next, sizeof nextpoint);
    std::memcpy(prepoint, previous, sizeof prepoint);
    HP = numbers[0], Guts = numbers[1], HPmax = numbers[2], Gutsmax = numbers[3];
    HPtemp = numbers[4], Gutstemp = numbers[5];
    scripttime = numbers[6], reread = numbers[7];
    return true;
}


}  // namespace

std::string stateImage()
{
    std::string image;
    ByteWriter w{&image};
    for (int p : {t, a, b, c}) w.signedNumber(p);
    w.text(nextpoint);
    w.text(prepoint);
    for (int n : {HP, Guts, HPmax, Gutsmax, HPtemp, Gutstemp, scripttime, reread}) w.signedNumber(n);
    putTable(w, item);
    putTable(w, flag);
    putTable(w, parameter);
    putTable(w, timecheck);
    putTable(w, findcheck);
    putTable(w, scriptread);
    return image;
}

bool stateFromImage(const std::string& image)
{
    // The image is checked whole before anything is changed.
    return stateImageWhole(image) && takeImage(image, true);
}

bool stateImageWhole(const std::string& image) { return takeImage(image, false); }

bool stateImageScene(const std::string& image, char (&name)[kNameSize])
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    ByteReader r{bytes, bytes + image.size()};
    for (int i = 0; i < 4; ++i) r.number();
    r.text(name, sizeof name);
    return r.ok;
}
