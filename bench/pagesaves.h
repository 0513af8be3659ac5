// Page saves and stepping back at their hardest: a page save on page 2000 of one scene with
// 200 picks before it, loaded, and one step back from there; and the memory that 30 page saves
// and 10 scenes of stepping back add.
#pragma once

#include <string>

struct PageSaveFigures {
    std::string error;      // why the figures are missing, when it is not empty
    double loadMs = 0;      // the page save loaded: its file read, the scene run again to page 2000, shown
    double stepBackMs = 0;  // one step back from page 2000: the scene run again to page 1999, shown
    double memoryMiB = 0;   // the resident memory 10 scenes of stepping back and the load list
                            // with 30 page saves add, at their peak
};

// Runs in a game folder of its own under the system's temporary folder; the current folder is
// the same again afterwards. Needs the game started (init) on the replay back end. The memory
// is measured by the program itself started again with kPageSaveMemory as its argument, which
// calls pageSaveMemory (in a game folder of its own) and prints what it answers.
PageSaveFigures measurePageSaves(const char* program);

constexpr char kPageSaveMemory[] = "--page-save-memory";
double pageSaveMemory();
