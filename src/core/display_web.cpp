// The window's size in a browser page: the page scales the canvas to its window at 4:3, so the
// game's window sizes are one and the same; fullscreen is the browser's, asked for by the
// game's own keys (Alt+Return; F10 leaves it) as by the page's button. F11 is the browser's own.
#include "core/display.h"

#include <emscripten.h>

namespace {

// Asks the browser for fullscreen or the window; a key press lets the page ask. Answers
// whether the page is in fullscreen as far as can be told now.
EM_JS(int, askFullscreen, (int on), {
    var doc = document;
    if (on && !doc.fullscreenElement && doc.documentElement.requestFullscreen) {
        doc.documentElement.requestFullscreen().catch(function() {});
        return 1;
    }
    if (!on && doc.fullscreenElement && doc.exitFullscreen) doc.exitFullscreen().catch(function() {});
    return on ? 1 : 0;
});

bool started = false;

}  // namespace

void displayPrepare(bool) {}

int displayLargestScale() { return 1; }

int displayApply(int, bool fullscreen)
{
    // At start-up nobody has pressed anything: a browser keeps a page out of fullscreen then.
    if (started) askFullscreen(fullscreen ? 1 : 0);
    started = true;
    return 1;
}
