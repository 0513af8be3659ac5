#include "core/runwatch.h"

namespace {

RunWatcher watcher;

}  // namespace

void runWatch(const RunWatcher& replacement) { watcher = replacement; }

void watchLinesRun(const char* text, const char* from, const char* to)
{
    if (watcher.linesRun) watcher.linesRun(text, from, to);
}

void watchFatal(const char* message)
{
    if (watcher.fatal) watcher.fatal(message);
}

void watchSceneEntered(int index)
{
    if (watcher.sceneEntered) watcher.sceneEntered(index);
}
