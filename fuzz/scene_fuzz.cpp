// Whole scenes of any text, run headless on the replay back end with one fixed input that
// turns pages, clicks through menus and choices, and then runs out (every wait then quits).
#include <cstdlib>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/init.h"
#include "core/replay.h"
#include "core/state.h"
#include "fuzz.h"
#include "interpreter/script.h"

namespace {

const char kInput[] =
    "press return\nclick 600 175\nclick 400 200\nclick 600 255\nclick 400 225\n"
    "rclick 400 225\nclick 600 215\npress return\nkeydown lctrl\nwait 500\nclick 400 175\n";

bool started()
{
    static bool ready = false;
    if (ready) return true;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    char folder[] = "/tmp/tessarc-fuzz-scene-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return false;
    mkdir("script", 0777);
    if (std::FILE* items = std::fopen("script/itemlist.txt", "w")) {
        std::fputs("薬草\n鍵\n", items);
        std::fclose(items);
    }
    replayLoad("", "", nullptr);
    if (setjmp(fatalEscape) != 0) return false;
    init();
    // SDL's sound thread must stop before the libraries' own teardown at exit, or it may call
    // into what is already gone.
    std::atexit(quiting);
    return ready = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!started()) std::abort();
    std::string scene = textOf(data, size);
    resetNewGame();
    event.type = SDL_NOEVENT;
    replayLoad(kInput, "", nullptr);
    if (setjmp(fatalEscape) == 0) script(scene.c_str());
    return 0;
}
