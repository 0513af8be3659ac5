// Page save files: a moment of a scene where the game waited for the player (a text page, a
// choice, a move list, the field menu), kept as the state the scene began with and every
// decision taken in it since (pages turned, picks, menu choices, slot choices, random draws),
// with the backlog and what the load list shows of it (a small picture, the date and time, the
// chapter, the page's first line). They live in ./save/ beside the described saves and never
// touch those: ./save/quick (F6), ./save/auto0 (the game quit in the middle of a scene),
// ./save/auto1 to auto3 (the last scene starts) and ./save/page01 to page30 (the places of the
// list). The layout is in pagefile.cpp; every file is versioned and checksummed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <SDL.h>

#include "core/platform.h"

constexpr int kPagePlaces = 30;       // the places of the list
constexpr int kAutoSaves = 3;         // automatic saves of scene starts kept
constexpr int kPictureW = 160, kPictureH = 120;   // the small picture, a fifth of the screen
constexpr int kPictureBytes = kPictureW * kPictureH * 3;
constexpr int kFirstLineSize = 256;
constexpr int kChapterSize = 160;

// What happened at a point of a scene where something was decided.
enum class PointKind { Page = 1, Choice, MoveList, Menu, Slot, Draw };

struct Point {
    PointKind kind;
    int value[5];     // the answer: the options picked, the entry, the slot, the value drawn
    uint32_t check;   // what the point offered (the page's text, the options...), to tell
                      // whether a scene run again still stands at the same point
};

// The state a scene began with.
struct SceneOpening {
    std::string state;        // the state image (core/state.h)
    std::string background;   // the picture shown as "bg"
    std::string music;        // the music playing ("off" for none)
    std::string loop;         // the looping sound effect ("" for none)
    int pagesBefore;          // pages the game had passed
    int index;                // the scene's index
    uint32_t textCheck;       // CRC-32 of the scene's text
};

// A scene as it went: its start and the points decided in it, in order.
struct SceneRecord {
    SceneOpening start;
    std::vector<Point> points;
};

// Where a page save came from.
enum class PageSaveKind { Place, Quick, QuitAuto, SceneAuto };

struct PageSave {
    uint32_t sequence;                 // counts the page saves made: the newest is the largest
    PlatformDate date;
    PointKind kind;                    // of the point waited at: Page, Choice, MoveList, Menu
    int page;                          // the page's number in the game (of the last page shown
                                       // for the others)
    char chapter[kChapterSize];        // as the list shows it
    char firstLine[kFirstLineSize];    // the page's first line, or the options offered
    std::vector<unsigned char> picture;   // kPictureW x kPictureH, RGB, row by row
    // The rest is read only when the save is loaded.
    SceneRecord scene;                 // with the points decided before the moment
    Point at;                          // the point waited at (its answer unused)
    std::string backlog;               // the backlog's pages, encoded (see pagefile.cpp)
};

// The file of a place (1-30), the quick save, the automatic ones (0 on quit, 1-3 scene starts).
std::string placePath(int place);
const char* quickPath();
std::string autoPath(int n);

// Encodes a page save as its file's bytes, and decodes them: false (nothing usable in *save)
// when the bytes are not a whole page save of this version. With whole unset only what the
// list shows is kept (the checksum still covers every byte).
std::string encodePageSave(const PageSave& save);
bool decodePageSave(const std::string& bytes, PageSave* save, bool whole = true);

// Reads a page save file: Missing, Damaged (cut short, changed, of another version, or no
// regular file: never loaded) or Sound with *save filled.
enum class PageFile { Missing, Damaged, Sound };
PageFile readPageSave(const std::string& path, PageSave* save, bool whole = true);

// Writes the file atomically (a temporary, flushed, renamed) and traces it as a save, or as an
// automatic save; false, with the old file left as it was, when it cannot be written.
bool writePageSave(const std::string& path, const PageSave& save, bool automatic = false);

// The sequence number the next page save gets: one more than any page save's on disk.
uint32_t nextPageSequence();

// The automatic scene-start save to write next: a missing one, else the oldest.
std::string nextAutoPath();

// The newest page save that loads, and whether a damaged one is newer than it (by the
// file's time): its path then in *damaged. Empty when there is none.
std::string newestPageSave(std::string* damaged);

// Removes the temporaries that a kill left of page saves.
void removeUnfinishedPageSaves();

// The backlog as bytes, and back: restoreBacklog replaces the backlog by the pages encoded
// (false, the backlog left as it was, when the bytes are not whole).
std::string encodeBacklog();
bool restoreBacklog(const std::string& bytes);

// The screen in small, for the picture of a page save.
std::vector<unsigned char> smallPicture(SDL_Surface* surface);
