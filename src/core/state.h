// The game state: every global the game runs on, declared once, grouped by lifetime.
// Each routine reads and writes these directly; nothing is passed around.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include "core/platform.h"

// ---- Sizes of the tables ------------------------------------------------------------------

constexpr int kSceneCount = 28000;    // scene indexes t*1000 + a*100 + b*10 + c, 0-27999
constexpr int kItemCount = 70;
constexpr int kFlagCount = 2800;
constexpr int kParameterCount = 10;
constexpr int kTimecheckCount = 280;
constexpr int kFindcheckCount = 56;
constexpr int kChosenCount = 10;
constexpr int kNameSize = 64;         // scene names, item names, cache names, with their NUL

// ---- Display and input -------------------------------------------------------------------

// The held keys as the platform layer serves them; each read of a key is a read in the sense
// of the platform layer's press latch.
struct KeyState {
    Uint8 operator[](int key) const { return platformKeyHeld(key); }
};

extern SDL_Surface* screen;           // the 800x600x24 display surface; everything draws here
extern const KeyState keystate;       // held keys by SDL 1.2 key symbol: keystate[SDLK_RETURN]
extern SDL_Event event;               // the one record every waiting loop polls or waits into
extern int MousePx, MousePy;          // pointer as last read by the menu screens

extern TTF_Font* stdFont;             // 26 pt gothic: messages, choices, error text
extern TTF_Font* changeFont;          // 26 pt mincho: the second typeface of the markup
extern TTF_Font* BigFont;             // 39 pt gothic: big type, the error heading
extern TTF_Font* bouFont;             // 26 pt gothic: emphasis dots
extern TTF_Font* itemFont;            // 20 pt gothic: item window and slot texts

extern const SDL_Color color_white;
extern const SDL_Color color_blue;
extern const SDL_Color color_green;
extern const SDL_Color color_red;
extern const SDL_Color color_gray;
extern const SDL_Color color_black;

// ---- Scene position and control ----------------------------------------------------------

extern int t, a, b, c;                // scene group (A=1..Z=26) and the three digits of the number
extern int e;                         // control code: 1 running, 0 quit, 2 scene change, 5 new game...
extern char nextpoint[kNameSize];     // script name of the scene about to run
extern char prepoint[kNameSize];      // name of the scene left last

// The index of the scene at t, a, b, c, clamped into the per-scene tables.
int sceneIndex();

// ---- Per-scene tables --------------------------------------------------------------------

extern char* scripttext[kSceneCount]; // loaded text of each scene (inside its OpenScript)
extern int scriptcheck[kSceneCount];  // 1 = loaded in this game
extern int scriptread[kSceneCount];   // 1 = played through and left in this game
extern int scripttime;                // scenes entered in this game; the clock of time marks
extern int reread;                    // 1 when the running scene was read before

// ---- Player and story state --------------------------------------------------------------

extern int HP, Guts, HPmax, Gutsmax;
extern int HPtemp, Gutstemp;          // HP and Guts as they were when the scene began
extern int item[kItemCount];          // count held of each item
extern char iname[kItemCount][kNameSize];  // item names from the item list; never reset
extern int flag[kFlagCount];
extern int parameter[kParameterCount];
extern int timecheck[kTimecheckCount];     // scripttime when each time mark was set
extern int findcheck[kFindcheckCount];     // per-scene marks of check+ / check-
extern int chosen[kChosenCount];           // option numbers picked in the last choice, 1-based
extern const char* worpcheck[10][10];      // per block level, picked option blocks still to run

// Script numbers index these tables unchecked; these keep them inside: a read outside a table
// counts as 0 and a write outside it goes nowhere.
template <int N>
int entryOf(const int (&table)[N], int index)
{
    return index >= 0 && index < N ? table[index] : 0;
}
template <int N>
int* slotOf(int (&table)[N], int index)
{
    return index >= 0 && index < N ? &table[index] : nullptr;
}

// Stores value at slot, a variable of the story's state; when that changes it, the trace's
// set event names what (and index, unless it is negative).
void storeTraced(int* slot, int value, const char* what, int index = -1);

// A copy of the story's state as a scene began: position, names, statistics, items, flags,
// parameters, marks, read marks, the scene clock.
struct SceneStart {
    int t, a, b, c;
    char nextpoint[kNameSize], prepoint[kNameSize];
    int HP, Guts, HPmax, Gutsmax;
    int item[kItemCount], flag[kFlagCount], parameter[kParameterCount];
    int timecheck[kTimecheckCount], findcheck[kFindcheckCount];
    int scriptread[kSceneCount];
    int scripttime, reread;
};

// Keeps the copy as a scene begins; backToSceneStart puts it back.
void keepSceneStart();
void backToSceneStart();

// The copy last kept in this game, or null when none was (a new game forgets it).
const SceneStart* keptSceneStart();

// Resets everything a new game starts from: items, flags, marks, parameters, the per-scene
// loaded and read marks, scene 1000, HP 123/123, Guts 72/72, e 1.
void resetNewGame();
