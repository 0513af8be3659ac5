// The field menu at the end of a scene's text: search, items, move.
#pragma once

// Runs the menu over the scene text until the player searches (answers the position just
// after the "*search*" line, e 1), moves (e 2) or quits (e 0); both of those answer scene.
const char* menu(const char* scene);
