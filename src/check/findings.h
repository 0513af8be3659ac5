// What checking one scene finds: its diagnostics, and the facts the whole-game checks and the
// story map gather from every scene (numbers used, ways out, chapter).
#pragma once

#include <string>
#include <vector>

#include "check/check.h"

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
    bool set;                       // flag+ (a set) rather than a test or a clear
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

struct Findings {
    std::vector<Diagnostic>* diagnostics = nullptr;
    std::vector<NumberUse> numbers;
    std::vector<Exit> exits;
    std::string chapter;

    void error(const Place& p, const char* code, const std::string& message);
    void warning(const Place& p, const char* code, const std::string& message);
    // Records a use of entry number of table, and an error when the table has no such entry.
    void use(Table table, int number, bool set, bool tested, const Place& p);
};

// "`word`": the script's own words in a message.
std::string quoted(const std::string& words);
