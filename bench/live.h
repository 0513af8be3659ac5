// The live game as a player starts it, on a private X server (Xvfb) that nobody sees, with
// the default way to the screen (the player's environment is passed on as it is) and silent
// audio: how soon the first title frame shows, and how light the game is while it waits.
#pragma once

#include <string>

struct LiveFigures {
    bool ok = false;
    std::string error;         // why the figures are missing, when !ok
    double firstFrameMs = 0;   // launch to the first title frame, fastest launch
    double firstFrameCpuMs = 0;   // processor time the game had used by then, in that launch
    double titleCpuPercent = 0;   // one core's share while the title animates, its music playing
    double titlePeakMiB = 0;      // peak memory after the stay at the title
    double pageCpuPercent = 0;    // one core's share on the first text page, waiting for a click
    double loadAverage = 0;       // the machine's load average (one minute) when the launches began
};

// Runs `program` in a copy of `gameDir` `launches` times for the first frame, then once more
// through the title to the first page. Needs Xvfb and xdotool; says so in `error` otherwise.
LiveFigures measureLive(const std::string& program, const std::string& gameDir, int launches);
