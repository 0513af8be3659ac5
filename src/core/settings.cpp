#include "core/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "core/filewrite.h"
#include "core/textfile.h"

Settings settings = kDefaultSettings;

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

// Reads one line into s; false when it is not one of the settings.
bool readLine(const char* line, Settings* s)
{
    int flag = 0;
    if (readValue(line, "window", 1, 16, &s->windowScale)) return true;
    if (readValue(line, "music", 0, kVolumeSteps, &s->musicLevel)) return true;
    if (readValue(line, "sounds", 0, kVolumeSteps, &s->soundLevel)) return true;
    if (readValue(line, "fullscreen", 0, 1, &flag)) {
        s->fullscreen = flag == 1;
        return true;
    }
    if (readValue(line, "auto", 0, 1, &flag)) {
        s->autoAdvance = flag == 1;
        return true;
    }
    return false;
}

}  // namespace

Settings settingsRead(const char* path)
{
    char text[1024];
    TextFile file = readTextFile(path, text, sizeof text);
    Settings s = kDefaultSettings;
    if (!file.opened || file.cut || std::strlen(text) != file.length) return kDefaultSettings;
    for (char* line = std::strtok(text, "\n"); line; line = std::strtok(nullptr, "\n")) {
        if (line[0] == '#' || line[0] == '\r') continue;
        if (!readLine(line, &s)) return kDefaultSettings;
    }
    return s;
}

bool settingsWrite(const char* path, const Settings& s)
{
    if (mkdir("./save", 0777) != 0 && errno != EEXIST) return false;
    char text[256];
    int length = std::snprintf(text, sizeof text,
                               "# Tessarc settings\nwindow %d\nfullscreen %d\nmusic %d\nsounds %d\n"
                               "auto %d\n",
                               s.windowScale, s.fullscreen ? 1 : 0, s.musicLevel, s.soundLevel,
                               s.autoAdvance ? 1 : 0);
    return writeFileAtomically(path, text, static_cast<size_t>(length));
}

void settingsKeep()
{
    if (!settingsWrite(kSettingsPath, settings))
        std::fprintf(stderr, "%sを書き込めませんでした\n", kSettingsPath);
}
