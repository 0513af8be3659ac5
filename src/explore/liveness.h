// What a game's scenes can read: before a search, every line of every scene file that may hold
// a condition is read for the words a condition names an entry by (itemN, flagN, checkN,
// paraD, time M), so that entries no condition can test, whose values never change the way
// the story goes (commands only set or count them), are left out of the states.
#pragma once

#include <string>

#include "explore/shared.h"

// Fills the live entries of the head; its time cap: one past the largest number on any line
// that holds "time" (a time condition compares no more scenes than that); and the scene
// indexes shared by more than one name: the scene files, the words after moveto, the last
// word of each line of a move list and every word of a capital letter and digits. A name
// that does not start with a capital letter (its index depends on the scene running) makes
// every index shared.
// It also finds the parameters some scene may read as it holds them on entry (paraKept): the
// others every scene sets afresh before reading, so that they count only while a scene that
// names them runs.
void findLiveEntries(const std::string& gamePath, SharedHead* head);

// The parameters a scene's text names anywhere, as bits (bit D: parameter D).
unsigned paraMentions(const char* text);
