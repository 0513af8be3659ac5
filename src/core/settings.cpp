#include "core/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "core/filewrite.h"
#include "core/textfile.h"

Settings settings = kDefaultSettings;
Settings settingsDefaults = kDefaultSettings;

namespace {

// One line: a name and a whole number in [low, high]; answers false when it is not that.
bool readValue(const char* line, const char* name, int low, int high, int* value)
{
    size_t length = std::strlen(name);
    if (std::strncmp(line, name, length) != 0 || line[length] != ' ') return false;
    int n = 0, used = 0;
    if (std::sscanf(line + length, " %d%n", &n, &used) != 1) return false;
    for (const char* rest = line + length + used; *rest; ++rest)
        if (*rest != ' ' && *rest != '\t' && *rest != '\r') return false;
    if (n < low || n > high) return false;
    *value = n;
    return true;
}

bool readFlag(const char* line, const char* name, bool* flag)
{
    int value = 0;
    if (!readValue(line, name, 0, 1, &value)) return false;
    *flag = value == 1;
    return true;
}

// Reads one line into s; false when it is not one of the settings.
bool readLine(const char* line, Settings* s)
{
    if (readValue(line, "window", 1, 16, &s->windowScale)) return true;
    if (readValue(line, "music", 0, kVolumeSteps, &s->musicLevel)) return true;
    if (readValue(line, "sounds", 0, kVolumeSteps, &s->soundLevel)) return true;
    if (readFlag(line, "fullscreen", &s->fullscreen)) return true;
    if (readFlag(line, "auto", &s->autoAdvance)) return true;
    if (readValue(line, "autopace", 1, kAutoPaces, &s->autoPace)) return true;
    if (readFlag(line, "skipread", &s->skipReadOnly)) return true;
    if (readFlag(line, "marker", &s->marker)) return true;
    int speed = 0;
    if (readValue(line, "textspeed", 0, kTextSpeedMost, &speed) && textSpeedValid(speed)) {
        s->textSpeed = speed;
        return true;
    }
    return false;
}

}  // namespace

bool textSpeedValid(int speed)
{
    return speed == 0 || (speed >= kTextSpeedLeast && speed <= kTextSpeedMost);
}

Settings settingsRead(const char* path)
{
    char text[1024];
    TextFile file = readTextFile(path, text, sizeof text);
    Settings s = settingsDefaults;
    if (!file.opened || file.cut || std::strlen(text) != file.length) return settingsDefaults;
    for (char* line = std::strtok(text, "\n"); line; line = std::strtok(nullptr, "\n")) {
        if (line[0] == '#' || line[0] == '\r') continue;
        if (!readLine(line, &s)) return settingsDefaults;
    }
    return s;
}

bool settingsWrite(const char* path, const Settings& s)
{
    if (mkdir("./save", 0777) != 0 && errno != EEXIST) return false;
    char text[320];
    int length = std::snprintf(text, sizeof text,
                               "# Tessarc settings\nwindow %d\nfullscreen %d\nmusic %d\nsounds %d\n"
                               "auto %d\ntextspeed %d\nautopace %d\nskipread %d\nmarker %d\n",
                               s.windowScale, s.fullscreen ? 1 : 0, s.musicLevel, s.soundLevel,
                               s.autoAdvance ? 1 : 0, s.textSpeed, s.autoPace,
                               s.skipReadOnly ? 1 : 0, s.marker ? 1 : 0);
    return writeFileAtomically(path, text, static_cast<size_t>(length));
}

void settingsKeep()
{
    if (!settingsWrite(kSettingsPath, settings))
        std::fprintf(stderr, "%sを書き込めませんでした\n", kSettingsPath);
}

int autoWaitMs(int characters)
{
    // A hundredth of the usual wait for each pace: 2 times as long at 1, 0.4 times at 9.
    static const int kPercent[kAutoPaces] = {200, 170, 140, 120, 100, 85, 70, 55, 40};
    int pace = settings.autoPace >= 1 && settings.autoPace <= kAutoPaces ? settings.autoPace
                                                                          : kAutoPaceUsual;
    return (1500 + 60 * characters) * kPercent[pace - 1] / 100;
}
