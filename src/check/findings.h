// What checking one scene finds: its diagnostics, and the facts the whole-game checks and the
// story map gather from every scene (numbers used, ways out, chapter).
#pragma once

#include <string>
#include <vector>

#include "check/check.h"
#include "core/names.h"

// A position in a file of the game folder.
struct Place {
    std::string file;
    int line;
    int column;
};

// A scene's text with its path, answering where a position in it stands.
struct SourceText {
    SourceText(std::string path, const char* text);
    Place at(const char* pos) const;

    std::string file;               // relative to the game folder: "script/A001.txt"
    const char* text;               // NUL-terminated
    std::vector<const char*> lines; // where each line starts
};

// The numbered tables a script names.
enum class Table { Item, Flag, Mark, Parameter, TimeMark };

struct NumberUse {
    Table table;
    int number;
    bool set;                       // flag+, item+, check+ (a raise) rather than a test or a clear
    bool tested;                    // a condition reads it
    Place place;
};

// A way out of the scene: to another scene, or to an ending, the game over or the title.
struct Exit {
    std::string to;
    NodeKind kind;
    std::string label;
    Place place;
};

// One destination of a move list: TEXT SCENE, or change TEXT (CONDITION) SCENE.
struct MoveCandidate {
    std::string scene;
    std::string condition;          // the text the game reads it from; "" when unconditional
    Place place;
};

// One list of the move section: a plain "{" block, or a branch of its if chain ("" and always
// for else), whose candidates the menu offers when it is the branch taken.
struct MoveBranch {
    std::string condition;          // the text the game reads it from
    bool always;
    bool broken;                    // its "{" is missing: the game finds no list here
    std::vector<MoveCandidate> candidates;
};

// The move section of a scene, and what the field menu there can do besides moving.
struct MoveSection {
    bool present = false;
    Place place;                    // the "*move*" line
    std::vector<MoveBranch> branches;
    bool menuOpens = false;         // the field menu can open in the scene
    bool searchLeaves = false;      // the search section can end the scene
};

struct Findings {
    std::vector<Diagnostic>* diagnostics = nullptr;
    std::vector<NumberUse> numbers;
    std::vector<Exit> exits;
    std::string chapter;
    MoveSection move;               // of the scene being checked

    void error(const Place& p, const char* code, const std::string& message);
    void warning(const Place& p, const char* code, const std::string& message);
    // Records a use of entry number of table, and an error when the table has no such entry.
    void use(Table table, int number, bool set, bool tested, const Place& p);
};

// "`word`": the script's own words in a message.
std::string quoted(const std::string& words);

// The names file's kind of a table.
Numbered kindOf(Table table);

// "flag 12", "item 3 (古い鍵)": an entry of a table in a message, with its name when it has one.
std::string entryLabel(Table table, int number);
