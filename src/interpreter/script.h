// Running one scene: the line loop, its block levels, and the brace walkers.
#pragma once

#include <string>

// Runs the scene whose text starts at scene until it ends: on return e is 1 (the next scene
// is in nextpoint), 0 (quit) or 5 (back to the title with a new game).
void script(const char* scene);

// A choice that picked a move among other picks: the move is made (nextpoint set), and the
// scene ends towards it once the other picks' blocks, break or jump are done.
void moveWhenPicksAreDone();

// The first-stage recogniser of a command line: block keywords, break, save, inith and the
// stop commands. Answers the block code of the result table (0 run an else, 1 a true if,
// 4 a running while, 5 break, 6 do, 7 loop a do again, 9 handled, 21 inith, 100 + s skip the
// next block keeping s, 10 + s an ordinary command keeping s). state is the level's line state.
int orders1(const char* word, const char* pos, const char* rest, const char* line, int state);

// "menu" or a word beginning with "*": opens the field menu on the scene and answers where
// the scene goes on; any other word answers pos.
const char* orders2(const char* word, const char* pos, const char* scene);

// From pos backwards: the position in front of the line holding the brace that opens the
// block n levels out (n 0: the block that the "}" just behind pos closes). Brace errors are
// fatal. start is the start of the scene text.
const char* whileBack(const char* pos, int n, const char* start);

// From pos forwards: the position just behind the "}" that closes the block n levels out
// (n 1: the block pos stands in; n 0: the next complete block). Brace errors are fatal.
const char* whileFront(const char* pos, int n);

// The block state of the scene script() is running, for telling whether two runs stand at the
// same place of a scene with the same future: its levels and their bookkeeping, the read
// position and every position kept (worpcheck's too) as offsets into the scene's text, the
// label while a jump waits for it, the argument while a stage that reads it runs, and the
// stage of the command line running (1-4: orders1 to orders4; 0: none, the line loop itself).
// A line that only opens the field menu stands for no position: the menu decides where the
// scene goes on. Appends it to out, sets *stage and answers the scene's text; null when no
// scene runs.
const char* runningScene(std::string* out, int* stage);
