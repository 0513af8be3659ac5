#include "app/mainloop.h"

#include <cstdio>

#include "app/devmode.h"
#include "app/init.h"
#include "app/options.h"
#include "core/errorplace.h"
#include "core/events.h"
#include "core/platform.h"
#include "core/runwatch.h"
#include "core/state.h"
#include "core/trace.h"
#include "interpreter/openscript.h"
#include "interpreter/script.h"
#include "presentation/backlog.h"
#include "presentation/window.h"
#include "savegame/moments.h"
#include "savegame/save.h"
#include "screens/title.h"

namespace {

// The loaded scene texts, one per scene index, owned here.
OpenScript* loaded[kSceneCount];

// Reads the scene at index; false when an author asked to start the last scene again from
// the error screen of a scene that could not be read.
bool loadScene(int index)
{
    delete loaded[index];
    loaded[index] = nullptr;
    // The text it pointed into is gone; a load that fails must not leave the pointer behind.
    scripttext[index] = nullptr;
    setSceneRestartable(authorDevMode());
    try {
        loaded[index] = new OpenScript();
    } catch (const SceneRestart&) {
        setSceneRestartable(false);
        return false;
    }
    setSceneRestartable(false);
    scriptcheck[index] = 1;
    return true;
}

// Reads every loaded scene file again; a file that cannot be read now keeps the text it had.
void rereadScenes()
{
    for (OpenScript* scene : loaded) {
        char why[160];
        if (scene && !scene->reread(why, sizeof why))
            std::fprintf(stderr, "warning: %s: %s（前の内容のまま続けます）\n", scene->file, why);
    }
}

// The scene began again from its start: the kept state back, the scene files read again.
void backToStart()
{
    backToSceneStart();
    rereadScenes();
    e = 1;
}

// Runs the scene at index. For an author, F5 (or F5 on the error screen of an error in it)
// reads every loaded scene file again and starts the scene again from the state it began with.
void runScene(int index)
{
    // Only an author can ask for the start again; a player's scenes do without the copy.
    if (authorDevMode()) keepSceneStart();
    for (;;) {
        traceScene(nextpoint, index);
        placeFile(loaded[index] ? loaded[index]->file : "");
        momentsSceneBegins(index, scripttext[index]);
        reloadKey = authorDevMode() ? ReloadKey::Armed : ReloadKey::Off;
        setSceneRestartable(authorDevMode());
        bool again;
        try {
            script(scripttext[index]);
            again = reloadKey == ReloadKey::Pressed;
        } catch (const SceneRestart&) {
            // The error screen is still showing; the scene draws itself anew.
            window(0);
            again = true;
        }
        setSceneRestartable(false);
        placeNone();
        reloadKey = ReloadKey::Off;
        if (!again) return;
        backToStart();
    }
}

void runScenes()
{
    // The scene before starts again: a scene it named could not be read, and the author
    // pressed F5 on the error screen.
    bool again = false;
    while (e == 1) {
        // Scenes may chain for ever without waiting for the player; the close request still
        // ends them.
        if (platformQuitPending()) {
            e = 0;
            break;
        }
        // A page save loaded, or a step back: the state its scene began with is in place.
        bool jumped = momentsJump();
        int index = sceneIndex();
        if (!again) {
            // A scene already loaded in this game is not read again, whatever nextpoint says now.
            if (scriptcheck[index] == 0 && !loadScene(index)) {
                // With no scene before it in this game, the file is tried again as it stands.
                again = keptSceneStart() != nullptr;
                if (again) backToStart();
                continue;
            }
            if (!jumped) {
                reread = scriptread[index] == 1 ? 1 : 0;
                ++scripttime;
            }
            watchSceneEntered(index);
        }
        again = false;
        runScene(index);
        // The scene was left for a page save or a step back: the game goes on there.
        if (momentsJumpAsked()) {
            e = 1;
            continue;
        }
        if (e == 0) momentsQuit();
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

void playGames()
{
    e = 1;
    while (e > 0) {
        resetNewGame();
        applyAuthorSets();
        if (!startAtAuthorScene()) title();
        // A new game, a load or a continue: the backlog starts empty.
        backlogClear();
        momentsNewGame();
        // A page save chosen at the title is loaded as the scenes begin.
        if (momentsJumpAsked()) e = 1;
        runScenes();
    }
    releaseScenes();
}

int SDL_main(int, char*[])
{
    init();
    playGames();
    quiting();
    return 0;
}
