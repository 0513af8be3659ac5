#include "app/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/names.h"
#include "core/state.h"
#include "interpreter/commands.h"

const char kAuthorUsage[] = "[--scene NAME] [--set KEY=VALUE]... [--dev]";

namespace {

// A --set as given; its variable is found once the game folder's names are known.
struct Setting {
    std::string text;     // KEY=VALUE, for messages
    std::string key;
    int value;
    int* slot = nullptr;
};

std::string sceneName;
bool started;
bool devMode;
std::vector<Setting> settings;

// A whole decimal int: an optional sign and digits, nothing else.
bool readInt(const char* text, int* value)
{
    if (!*text || std::strchr(" \t\n", *text)) return false;
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(text, &end, 10);
    if (*end || errno == ERANGE || n < -2147483647L - 1 || n > 2147483647L) return false;
    *value = static_cast<int>(n);
    return true;
}

// Takes KEY=VALUE; the key is looked up once the names file can be read (authorOptionsFit).
bool parseSetting(const std::string& text, std::string* problem)
{
    size_t equals = text.rfind('=');
    Setting setting{text, text.substr(0, equals == std::string::npos ? text.size() : equals), 0};
    if (equals == std::string::npos || setting.key.empty()) {
        *problem = "--set " + text + ": not KEY=VALUE";
        return false;
    }
    if (!readInt(text.c_str() + equals + 1, &setting.value)) {
        *problem = "--set " + text + ": the value is not a whole number";
        return false;
    }
    settings.push_back(setting);
    return true;
}

bool plainName(const std::string& name)
{
    return !name.empty() && name.size() < static_cast<size_t>(kNameSize) &&
           name.find_first_of("/\\ \t\r\n") == std::string::npos && name[0] != '.';
}

}  // namespace

bool takeAuthorOption(int argc, char* argv[], int* i, std::string* problem)
{
    std::string option = argv[*i];
    if (option == "--dev") {
        devMode = true;
        return true;
    }
    if (option != "--scene" && option != "--set") return false;
    if (*i + 1 >= argc) {
        *problem = option + " needs a value";
        return true;
    }
    std::string value = argv[++*i];
    if (option == "--set") {
        parseSetting(value, problem);
        return true;
    }
    if (!plainName(value)) {
        *problem = "--scene " + value + ": not a scene name";
        return true;
    }
    sceneName = value;
    devMode = true;
    return true;
}

int badAuthorOption(const char* program, const std::string& problem)
{
    std::fprintf(stderr, "%s: %s\n", program, problem.c_str());
    return 2;
}

bool authorOptionsFit(std::string* problem)
{
    namesLoad();
    for (Setting& setting : settings) {
        StateKey key;
        std::string why;
        if (!stateKeyFind(setting.key, &key, &why)) {
            *problem = "--set " + setting.text + ": " + why;
            return false;
        }
        setting.slot = key.slot;
    }
    if (sceneName.empty()) return true;
    std::string file = "script/" + sceneName + ".txt";
    std::FILE* scene = std::fopen(("./" + file).c_str(), "rb");
    if (!scene) {
        *problem = "--scene " + sceneName + ": there is no " + file;
        return false;
    }
    std::fclose(scene);
    return true;
}

void applyAuthorSets()
{
    for (const Setting& setting : settings)
        if (setting.slot) *setting.slot = setting.value;
}

bool startAtAuthorScene()
{
    if (sceneName.empty() || started) return false;
    started = true;
    sceneFromName(sceneName.c_str());
    std::snprintf(nextpoint, sizeof nextpoint, "%s", sceneName.c_str());
    std::snprintf(prepoint, sizeof prepoint, "%s", sceneName.c_str());
    return true;
}

void authorSceneAgain() { started = false; }

bool titleComesFirst() { return sceneName.empty(); }

bool authorDevMode() { return devMode; }
