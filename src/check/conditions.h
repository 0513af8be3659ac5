// Checking a condition as the game's condition reader reads it.
#pragma once

#include <string>

#include "check/findings.h"

// Checks the condition the game reads from engineText (the whole line for if, elseif and
// while; the text from "(" for change entries). pos is where the line stands in src. Reports
// what the game cannot read, words it would pass over, parentheses left out and numbers
// outside their tables; records the flags and items it tests. Answers the condition in the
// script's own words (inside its parentheses) for the story map.
std::string checkCondition(const char* engineText, const char* pos, const SourceText& src, Findings& found);
