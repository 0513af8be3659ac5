// Whether the field menu of each scene can always move on: a move list that can offer no
// destination in any state that reaches the scene leaves the player stuck there.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "check/findings.h"

// Checks the move section of every scene (by name), knowing what every scene raises (uses).
void checkMoves(const std::map<std::string, MoveSection>& sections, const std::vector<NumberUse>& uses,
                Findings& found);
