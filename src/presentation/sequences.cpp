#include "presentation/sequences.h"

#include <cstdio>

#include "core/events.h"
#include "core/gametext.h"
#include "core/onscreen.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/audio.h"
#include "presentation/cache.h"
#include "presentation/effects.h"
#include "presentation/text.h"
#include "presentation/window.h"

namespace {

bool ctrlHeld() { return keystate[SDLK_LCTRL] || keystate[SDLK_RCTRL]; }

}  // namespace

void ChapterChange(const char* name)
{
    traceChapter(name);
    ImgReplace("./bg/black.jpg", "bg");
    window(0);
    storeTraced(&HP, HPmax, "hp");
    storeTraced(&Guts, Gutsmax, "guts");
    char card[128];
    std::snprintf(card, sizeof card, "./system/picture/chapter/%s.png", name);
    ImgReplace(card, "bg");
    fade(1);
    platformFlip(screen);
    platformDelay(2000);
}

void Ending(int n)
{
    static const char* const kThemes[] = {"./bgm/ED-2.ogg", "./bgm/ED-0.ogg", "./bgm/ED.ogg"};
    traceEnding(n);
    outcomeBegins(EndKind::Ending, n);
    if (n >= 1 && n <= 3) music(kThemes[n - 1]);
    for (int k = 0; k < 10; ++k) {
        Uint32 started = platformTicks();
        fade(0);
        char picture[64];
        std::snprintf(picture, sizeof picture, "./system/picture/ED/%d.png", k);
        ImgReplace(picture, "bg");
        fade(1);
        platformFlip(screen);
        // A quit (the window's close, or Escape) ends the show and the program.
        if (e == 0) return;
        for (;;) {
            platformDelay(50);
            if (takeQuitEvents()) return;
            Uint32 held = platformTicks() - started;
            if (held > 4999 || (held > 499 && ctrlHeld()) || keystate[SDLK_RETURN]) break;
        }
        if (keystate[SDLK_RETURN]) break;
    }
    e = 5;
}

void GameOver()
{
    traceGameOver();
    outcomeBegins(EndKind::GameOver);
    text(gameOverNarration, 0);
    fade(0);
    text("[Game Over……", 0);
}
