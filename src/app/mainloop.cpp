#include "app/mainloop.h"

#include "app/init.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "interpreter/openscript.h"
#include "interpreter/script.h"
#include "presentation/backlog.h"
#include "savegame/save.h"
#include "screens/title.h"

namespace {

// The loaded scene texts, one per scene index, owned here.
OpenScript* loaded[kSceneCount];

void loadScene(int index)
{
    delete loaded[index];
    loaded[index] = nullptr;
    loaded[index] = new OpenScript();
    scriptcheck[index] = 1;
}

void runScenes()
{
    while (e == 1) {
        // Scenes may chain for ever without waiting for the player; the close request still
        // ends them.
        if (platformQuitPending()) {
            e = 0;
            break;
        }
        int index = sceneIndex();
        // A scene already loaded in this game is not read again, whatever nextpoint says now.
        if (scriptcheck[index] == 0) loadScene(index);
        reread = scriptread[index] == 1 ? 1 : 0;
        ++scripttime;
        traceScene(nextpoint, index);
        script(scripttext[index]);
        save(1);
    }
}

void releaseScenes()
{
    for (OpenScript*& scene : loaded) {
        delete scene;
        scene = nullptr;
    }
}

}  // namespace

int SDL_main(int, char*[])
{
    init();
    e = 1;
    while (e > 0) {
        resetNewGame();
        title();
        // A new game, a load or a continue: the backlog starts empty.
        backlogClear();
        runScenes();
    }
    releaseScenes();
    quiting();
    return 0;
}
