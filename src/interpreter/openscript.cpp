#include "interpreter/openscript.h"

#include <cstdio>

#include "core/errors.h"
#include "core/state.h"
#include "core/textfile.h"

OpenScript::OpenScript()
{
    char path[kNameSize + 16];
    std::snprintf(path, sizeof path, "./script/%s.txt", nextpoint);
    TextFile file = readTextFile(path, text, sizeof text);
    if (!file.opened) errors("スクリプトファイルが見つかりません");
    // Half a scene would run as if it were whole; refusing it tells the author at once.
    if (file.cut) errors("スクリプトファイルが大きすぎます（131071バイトまで）");
    scripttext[sceneIndex()] = text;
}
