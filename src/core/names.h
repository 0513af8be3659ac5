// The names an author gives the numbers of the story's state, from the game's optional
// system/names.txt: one "KIND N NAME" a line, KIND one of flag, item, para, check, timecheck,
// NAME any text without blanks (Japanese included); blank lines and lines starting with # are
// skipped. Scripts keep their numbers; the checker's messages and story map, the trace's set
// events, --set, the replay's expectations and the dev overlay show and take the names.
#pragma once

#include <functional>
#include <string>

constexpr char kNamesFile[] = "system/names.txt";

// The numbered tables of the story's state, known by the words scripts and the trace use.
enum class Numbered { Flag, Item, Para, Check, Timecheck };
constexpr int kNumberedKinds = 5;

const char* numberedWord(Numbered kind);    // "flag", "item", "para", "check", "timecheck"
int numberedSize(Numbered kind);            // the entries of its table: 2800, 70, 10, 56, 280
// The kind a word names; false for any other word.
bool numberedOf(const std::string& word, Numbered* kind);

// Takes the names of text (a names file's contents) in place of those held. Each line that
// cannot be taken (not KIND N NAME, a number outside its table, a name or a number given
// twice: the first stands) is told to report with its line, counted from 1.
void namesRead(const char* text, const std::function<void(int line, const std::string& problem)>& report);

// Reads ./system/names.txt the first time it is called in the process (later calls do
// nothing): problems as "warning: system/names.txt:LINE: ..." on standard error. No file:
// no names.
void namesLoad();

// Forgets every name.
void namesClear();

// Whether a names file was read (namesRead or namesLoad with a file).
bool namesGiven();

// The name of entry number of the table, or null when it has none.
const char* nameOf(Numbered kind, int number);
// The same by the table's word ("flag" ...); null for words of no table.
const char* nameOf(const char* word, int number);

// The table and number a name stands for; false when no entry has that name.
bool numberOfName(const std::string& name, Numbered* kind, int* number);

// "flag 12", or "flag 12 (鍵を見つけた)" when it has a name: numbers in messages to authors.
std::string numberedLabel(Numbered kind, int number);

// A variable of the story's state as --set and the replay's expectations name it: flagN, itemN,
// paraN, checkN, timecheckN, hp, guts, hpmax, gutsmax, or a name of the names file.
struct StateKey {
    int* slot;          // the variable
    const char* what;   // "flag", "item", "para", "check", "timecheck", "hp", "guts", "hpmax", "gutsmax"
    int index;          // its entry in the table; -1 for the four single values
};

// Finds key; false with a one-line reason in *problem (without the key's option around it).
bool stateKeyFind(const std::string& key, StateKey* found, std::string* problem);
