// What a finished search tells: the findings with an input script for each that replays it
// from a new game, the dead ends found from the ways between the states, the scenes and lines
// never run, the story map with the ways taken, and the totals.
#pragma once

#include <string>

struct SearchTotals {
    std::string gameDir;        // as the author gave it
    std::string gamePath;       // absolute
    std::string outDir;         // where the inputs and the story map go, absolute
    std::string outShown;       // the same as the author gave it, for the report
    std::string replayOptions;  // --scene and --set as given, for the inputs' comment
    bool startsAtTitle;
    bool interrupted;           // stopped by the user
    bool json;
    int jobs;
    double seconds;
    double peakMiB;             // the memory of every process of the search together, at most
};

// Prints the report (text, or one JSON object) and writes the files; answers the exit status:
// 1 when a fatal error, a dead end, a busy loop or a crash was found, 0 otherwise.
int searchReport(const SearchTotals& totals);
