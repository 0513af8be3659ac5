// Walking one scene's lines the way the interpreter reads them, without running them.
#pragma once

#include "check/findings.h"
#include "check/folder.h"

// Checks the scene text in src: blocks and braces, commands, conditions, choices, the move
// list, labels, messages, the files it names. Fills found with its diagnostics, the numbers it
// uses, its ways out and its move section.
void checkScene(const SourceText& src, const GameFolder& game, Findings& found);
