#include "interpreter/openscript.h"

#include <cstdio>
#include <cstring>

#include "core/errorplace.h"
#include "core/errors.h"
#include "core/textfile.h"

namespace {

const char kMissing[] = "スクリプトファイルが見つかりません";
const char kTooLarge[] = "スクリプトファイルが大きすぎます（131071バイトまで）";

// Reads file into text; answers null, or the message telling why it could not be read whole.
const char* readScene(const char* file, char* text)
{
    char path[kNameSize + 32];
    std::snprintf(path, sizeof path, "./%s", file);
    TextFile read = readTextFile(path, text, kScriptSize);
    if (!read.opened) return kMissing;
    // Half a scene would run as if it were whole; refusing it tells the author at once.
    if (read.cut) return kTooLarge;
    return nullptr;
}

}  // namespace

OpenScript::OpenScript()
{
    std::snprintf(file, sizeof file, "script/%s.txt", nextpoint);
    placeFile(file);
    if (const char* why = readScene(file, text)) errors(why);
    scripttext[sceneIndex()] = text;
}

bool OpenScript::reread(char* why, size_t whySize)
{
    static char fresh[kScriptSize];
    if (const char* problem = readScene(file, fresh)) {
        std::snprintf(why, whySize, "%s", problem);
        return false;
    }
    std::memcpy(text, fresh, sizeof text);
    return true;
}
