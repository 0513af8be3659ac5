// The player's settings, kept between runs in "./save/settings": window size, fullscreen, the
// music and sound volumes and auto-advance. A small text file, one "name value" a line.
#pragma once

constexpr int kVolumeSteps = 10;   // a volume level runs from 0 (silent) to 10 (full)

struct Settings {
    int windowScale;    // the window is 800x600 times this (1, 2, 3...)
    bool fullscreen;
    int musicLevel;     // 0 to kVolumeSteps
    int soundLevel;     // 0 to kVolumeSteps
    bool autoAdvance;   // text pages turn by themselves
};

constexpr Settings kDefaultSettings = {1, false, kVolumeSteps, kVolumeSteps, false};
constexpr char kSettingsPath[] = "./save/settings";

extern Settings settings;   // the settings in force

// Reads a settings file. A file that is missing, unreadable or damaged in any way (an unknown
// line, a value out of range) gives the defaults; it is never an error.
Settings settingsRead(const char* path);

// Writes the settings to the file atomically, making ./save first when needed; false when
// that fails (the old file is then left as it was).
bool settingsWrite(const char* path, const Settings& s);

// Writes `settings` to kSettingsPath; a failure is told on standard error only.
void settingsKeep();
