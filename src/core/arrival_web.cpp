// The game's files in a browser page: the page fetches them in packs and answers, for a path,
// whether its pack is still on its way (web/index.html, Module.tessarcAwait).
#include "core/arrival.h"

#include <emscripten.h>

namespace {

// How often a wait looks again: the page shows the bar and goes on fetching meanwhile.
const int kLookMs = 20;

EM_JS(int, onItsWay, (const char* path), {
    return Module['tessarcAwait'] ? Module['tessarcAwait'](UTF8ToString(path)) : 0;
});

}  // namespace

void fileAwait(const char* path)
{
    while (onItsWay(path)) emscripten_sleep(kLookMs);
}
