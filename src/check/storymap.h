// The story map: the scenes and their ways out as a Graphviz graph.
#pragma once

#include <string>

#include "check/check.h"

// The story as DOT: a node per scene and per ending, game over and return to the title; an
// edge per way out, one line each: "  \"FROM\" -> \"TO\" [label=\"...\"];".
std::string storyDot(const Story& story);

// Writes base + ".dot" and base + ".svg" (laid out and drawn by Graphviz's library). False,
// with problem set, when either cannot be written.
bool writeStoryMap(const Story& story, const std::string& base, std::string& problem);
