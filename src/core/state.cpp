#include "core/state.h"

#include <cstring>

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
