// tessarc-check: reads a game's scenes the way the game reads them, without running them, and
// reports what would stop the game or do what the author plainly did not mean; and draws the
// scenes as a story map.
#pragma once

#include <string>
#include <vector>

enum class Severity { Error, Warning };

// One finding, at a place in a file of the game folder (path relative to it, line and column
// counted from 1, the column in characters).
struct Diagnostic {
    std::string file;
    int line;
    int column;
    Severity severity;
    std::string code;
    std::string message;
};

// The kinds of node of the story map besides scenes.
enum class NodeKind { Scene, Ending, GameOver, Title };

struct StoryNode {
    std::string name;      // the scene's name, or "ending N", "game over", "title"
    NodeKind kind;
    std::string chapter;   // the card named by the scene's first chapter command
    std::string style = "";   // more DOT attributes for its drawing, when not empty
};

// One way out of a scene, labelled with the conditions that gate it in the script's words.
struct StoryEdge {
    std::string from, to, label;
    std::string style = "";   // more DOT attributes for its drawing, when not empty
};

struct Story {
    std::vector<StoryNode> nodes;
    std::vector<StoryEdge> edges;
};

// Checks the game in dir (every scene in dir/script/, the item list and the files the scenes
// name) and fills diagnostics, in file and line order, and the story. False, with nothing
// filled, when dir has no script folder.
bool checkGame(const std::string& dir, std::vector<Diagnostic>& diagnostics, Story& story);

// "FILE:LINE:COL: error: MESSAGE [CODE]", the form compilers use.
std::string formatDiagnostic(const Diagnostic& d);

// The same as one line of JSON: file, line, column, severity, code, message.
std::string formatDiagnosticJson(const Diagnostic& d);
