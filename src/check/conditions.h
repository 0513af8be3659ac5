// Checking a condition as the game's condition reader reads it.
#pragma once

#include <functional>
#include <string>

#include "check/findings.h"

// Checks the condition the game reads from engineText (the whole line for if, elseif and
// while; the text from "(" for change entries). pos is where the line stands in src. Reports
// what the game cannot read, words it would pass over, parentheses left out and numbers
// outside their tables; records the flags and items it tests. Answers the condition in the
// script's own words (inside its parentheses) for the story map.
std::string checkCondition(const char* engineText, const char* pos, const SourceText& src, Findings& found);

// Whether a numbered entry can be raised (set, held) at all in the states that reach a scene.
using CanBeSet = std::function<bool(Table table, int number)>;

// Whether the condition the game reads from engineText can hold in some state that reaches the
// scene, as far as the checker can tell: false only when it is sure that it cannot (a term on
// an entry that nothing sets, in an AND or alone; a route the scene is not on; "(0)"). route is
// the scene's route, 0 when it varies. When false, *why names the term that cannot hold.
bool conditionCanHold(const std::string& engineText, const CanBeSet& canBeSet, int route, std::string* why);

// The condition in the script's words with each numbered term's number replaced by its name
// from the names file, where it has one ("flag11 & !item2" -> "門を開けた & !銀の羅針盤").
std::string withNames(const std::string& condition);
