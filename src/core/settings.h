// The player's settings, kept between runs in "./save/settings": window size, fullscreen, the
// music and sound volumes, auto-advance and its pace, the text speed, what a held Ctrl skips
// and the click-wait marker. A small text file, one "name value" a line.
#pragma once

constexpr int kVolumeSteps = 10;   // a volume level runs from 0 (silent) to 10 (full)
constexpr int kTextSpeedLeast = 10;    // a typed page shows 10 to 200 characters a second
constexpr int kTextSpeedMost = 200;
constexpr int kAutoPaces = 9;          // auto-advance waits at one of 9 paces, 1 the slowest
constexpr int kAutoPaceUsual = 5;      // the pace whose waits are 1.5 s and 60 ms a character

struct Settings {
    int windowScale;    // the window is 800x600 times this (1, 2, 3...)
    bool fullscreen;
    int musicLevel;     // 0 to kVolumeSteps
    int soundLevel;     // 0 to kVolumeSteps
    bool autoAdvance;   // text pages turn by themselves
    int textSpeed;      // 0: each page shown whole at once; else characters a second
    int autoPace;       // 1 to kAutoPaces
    bool skipReadOnly;  // a held Ctrl skips only the pages this player has seen before
    bool marker;        // a small animated mark after the last character of a waiting page
};

// The engine's defaults: every page shown as the game has always shown it.
constexpr Settings kDefaultSettings = {1,     false, kVolumeSteps, kVolumeSteps, false,
                                       0,     kAutoPaceUsual,      false,        false};
constexpr char kSettingsPath[] = "./save/settings";

extern Settings settings;          // the settings in force
extern Settings settingsDefaults;  // what a missing or damaged file means: the engine's
                                   // defaults, with the game's own choices (system/game.txt)

// Reads a settings file. A file that is missing, unreadable or damaged in any way (an unknown
// line, a value out of range) gives settingsDefaults; it is never an error. A setting the file
// does not name (a file of an earlier version) keeps its default.
Settings settingsRead(const char* path);

// Writes the settings to the file atomically, making ./save first when needed; false when
// that fails (the old file is then left as it was).
bool settingsWrite(const char* path, const Settings& s);

// Writes `settings` to kSettingsPath; a failure is told on standard error only.
void settingsKeep();

// Whether a text speed is one the settings hold: 0, or kTextSpeedLeast to kTextSpeedMost.
bool textSpeedValid(int speed);

// How long auto-advance waits on a page of `characters` characters at the pace in force.
int autoWaitMs(int characters);
