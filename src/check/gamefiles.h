// The game's files besides its scenes: the item list, system/game.txt and system/names.txt.
#pragma once

#include <string>
#include <vector>

#include "check/findings.h"

// Checks script/itemlist.txt as the game reads it (blank lines skipped, 70 names of 63 bytes);
// answers how many items it names.
int checkItemList(const std::string& dir, Findings& found);

// Checks system/game.txt with the game's own reader, when there is one.
void checkGameTexts(const std::string& dir, Findings& found);

// Reads system/names.txt into the names the messages use, reporting what the game would refuse;
// false when the game has no names file.
bool readNames(const std::string& dir, Findings& found);

// With a names file: a warning for each number the scenes use that has no name, at its first use.
void checkUnnamed(const std::vector<NumberUse>& uses, Findings& found);
