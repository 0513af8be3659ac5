#include "presentation/playerkeys.h"

#include <cstdio>
#include <iterator>

#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include "core/display.h"
#include "core/note.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"

namespace {

// The help, one line a key.
const char* const kHelp[] = {
    "操作",
    "左クリック・Return・Space　次のページ／決定",
    "右クリック　取り消し",
    "ホイール下　次のページ　　ホイール上　バックログ",
    "Ctrl（押し続ける）　スキップ",
    "A　オート（ページが自動で進む）",
    "F1　このヘルプ",
    "F3／F4　音楽の音量を下げる／上げる",
    "F7／F8　効果音の音量を下げる／上げる",
    "F10　ウィンドウの大きさ（1倍、2倍…）",
    "F11・Alt+Return　フルスクリーン／ウィンドウ",
    "Escape　終了",
    "（キーかクリックで閉じる）",
};

int mixerLevel(int level) { return level * MIX_MAX_VOLUME / kVolumeSteps; }

void applyVolumes()
{
    Mix_VolumeMusic(mixerLevel(settings.musicLevel));
    Mix_Volume(-1, mixerLevel(settings.soundLevel));
}

void stepVolume(int* level, int step, const char* name)
{
    int next = *level + step;
    if (next < 0 || next > kVolumeSteps) next = *level;
    *level = next;
    applyVolumes();
    settingsKeep();
    char text[64];
    std::snprintf(text, sizeof text, "%s %d/%d", name, *level, kVolumeSteps);
    noteShow(text);
}

void applyWindow(bool fullscreen, int scale)
{
    settings.fullscreen = fullscreen;
    settings.windowScale = displayApply(scale, fullscreen);
    settingsKeep();
    char text[64];
    if (fullscreen) std::snprintf(text, sizeof text, "フルスクリーン");
    else std::snprintf(text, sizeof text, "ウィンドウ %d倍", settings.windowScale);
    noteShow(text);
}

void showHelp()
{
    std::vector<std::string> lines(std::begin(kHelp), std::end(kHelp));
    showUntilKey([&] { drawPanel({90, 80, 620, 440}, lines, 115, 100, 31); });
}

}  // namespace

void (*authorKeys)(const SDL_Event& ev);

void drawPanel(SDL_Rect box, const std::vector<std::string>& lines, int x, int y, int step)
{
    SDL_FillRect(screen, &box, SDL_MapRGB(screen->format, 16, 16, 40));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!itemFont) break;
        SDL_Surface* line = lines[i].empty() ? nullptr : TTF_RenderUTF8_Solid(itemFont, lines[i].c_str(), color_white);
        if (!line) continue;
        SDL_Rect to = {static_cast<Sint16>(x), static_cast<Sint16>(y + step * static_cast<int>(i)), 0, 0};
        SDL_BlitSurface(line, nullptr, screen, &to);
        SDL_FreeSurface(line);
    }
}

void showUntilKey(const std::function<void()>& draw)
{
    if (!screen) return;
    SDL_Surface* before = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    draw();
    platformFlip(screen);
    SDL_Event ev;
    for (;;) {
        platformWaitEvent(&ev);
        if (ev.type == SDL_QUIT) {
            e = 0;
            break;
        }
        if (ev.type == SDL_KEYDOWN || ev.type == SDL_MOUSEBUTTONDOWN) {
            // Escape closes the panel and then quits, as it does everywhere.
            if (ev.type == SDL_KEYDOWN && ev.key.keysym.sym == SDLK_ESCAPE) e = 0;
            // The key or click that closed the panel is not also taken by the screen below,
            // neither as an event nor as a press the held state still shows.
            else awaitRelease(ev);
            break;
        }
    }
    if (before) {
        SDL_BlitSurface(before, nullptr, screen, nullptr);
        SDL_FreeSurface(before);
    }
    platformFlip(screen);
}

void awaitRelease(const SDL_Event& press)
{
    bool key = press.type == SDL_KEYDOWN;
    SDL_Event ev;
    while (e != 0) {
        platformWaitEvent(&ev);
        if (ev.type == SDL_QUIT) e = 0;
        if (key && ev.type == SDL_KEYUP && ev.key.keysym.sym == press.key.keysym.sym) break;
        if (!key && ev.type == SDL_MOUSEBUTTONUP && ev.button.button == press.button.button) break;
    }
    // Whatever the press left to be seen by the next read of the held state is spent here:
    // a key's latch too, or the page below would take the key as its own.
    platformForgetPresses();
}

bool altHeld() { return keystate[SDLK_LALT] || keystate[SDLK_RALT]; }

void playerKey(const SDL_Event& ev)
{
    if (ev.type != SDL_KEYDOWN) return;
    switch (ev.key.keysym.sym) {
    case SDLK_F1: showHelp(); break;
    case SDLK_F3: stepVolume(&settings.musicLevel, -1, "音楽"); break;
    case SDLK_F4: stepVolume(&settings.musicLevel, 1, "音楽"); break;
    case SDLK_F7: stepVolume(&settings.soundLevel, -1, "効果音"); break;
    case SDLK_F8: stepVolume(&settings.soundLevel, 1, "効果音"); break;
    case SDLK_F10:
        // In fullscreen, F10 brings the window back at its size; in the window, the next size.
        applyWindow(false, settings.fullscreen ? settings.windowScale
                                               : settings.windowScale % displayLargestScale() + 1);
        break;
    case SDLK_F11: applyWindow(!settings.fullscreen, settings.windowScale); break;
    case SDLK_RETURN:
        if (altHeld() || (ev.key.keysym.mod & KMOD_ALT))
            applyWindow(!settings.fullscreen, settings.windowScale);
        break;
    default:
        if (authorKeys) authorKeys(ev);
        break;
    }
}

void settingsApply()
{
    applyVolumes();
    displayApply(settings.windowScale, settings.fullscreen);
}
