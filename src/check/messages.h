// Checking a message: its closing "]", its markup and its pages.
#pragma once

#include "check/findings.h"

// Checks the message whose "[" stands at open in src, the way the game shows it: the text up
// to the next "]", its tags and colours, and every page through the game's own layout.
// Answers where the game reads on (the "]", or the end of the text).
const char* checkMessage(const char* open, const SourceText& src, Findings& found);
