// The field menu at the end of a scene's text: search the place, look at the items, move on.
#pragma once

// Runs the menu over the scene text until the player searches (answers the position just
// after the "*search*" line, e 1), moves (e 2) or quits (e 0); both of those answer scene.
const char* menu(const char* scene);

// Draws the menu over window(0) with entry `highlight` (1 search, 2 items, 3 move, 0 none)
// and flips. available[0] tells whether move is available, available[1] search.
void menuDraw(int highlight, const int* available);

// Finds the candidate list of the section `name` that applies now: 1 with *list just after
// the line holding its "{", or 0 when no list applies. A missing section or a malformed
// header is fatal.
int kouhoCheck(const char* scene, const char** list, const char* name);

// Offers the destinations of the move list through the choice screen: e 1 with the scene
// change made, 4 when the player cancelled with the right button, 0 on quit.
void menuMove(const char* scene);
