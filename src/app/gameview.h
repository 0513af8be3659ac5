// A view of a game folder with a save folder of its own: a folder under the system's temporary
// folder that shows each of the game folder's entries through a symbolic link, except save/,
// which it holds empty. A run in it reads the game as it is and writes nothing into it.
#pragma once

#include <string>

// Makes the view of gameDir; answers its path, or empty with *problem set.
std::string gameViewMake(const std::string& gameDir, std::string* problem);

// Removes the view (the links, never what they point at) and what was saved in it.
void gameViewRemove(const std::string& view);
