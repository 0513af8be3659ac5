// Walking one scene's lines the way the interpreter reads them, without running them.
#pragma once

#include <functional>
#include <string>

#include "check/findings.h"

struct GameFolder {
    std::string dir;
    // Whether the file at path (relative to dir) exists.
    bool has(const std::string& path) const;
    // Whether scene name has its file "script/NAME.txt".
    bool hasScene(const std::string& name) const;
};

// Checks the scene text in src: blocks and braces, commands, conditions, choices, the move
// list, labels, messages, the files it names. Fills found with its diagnostics, the numbers it
// uses and its ways out.
void checkScene(const SourceText& src, const GameFolder& game, Findings& found);
