// The player's volume keys: the mixer's levels follow them and the settings file keeps them.
#include "presentation/playerkeys.h"

#include <unistd.h>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include "core/settings.h"
#include "support/gamedir.h"

namespace {

void key(SDLKey sym)
{
    SDL_Event ev{};
    ev.key.type = SDL_KEYDOWN;
    ev.key.keysym.sym = sym;
    playerKey(ev);
}

}  // namespace

TEST(PlayerKeys, VolumeKeysStepTheMixerInTenthsAndAreKept)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, 0x8010, 2, 4096), 0) << Mix_GetError();
    GameDir dir;
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    settings = kDefaultSettings;

    key(SDLK_F4);   // already full
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    for (int i = 0; i < 3; ++i) key(SDLK_F3);
    EXPECT_EQ(Mix_VolumeMusic(-1), 7 * MIX_MAX_VOLUME / 10);
    for (int i = 0; i < 12; ++i) key(SDLK_F7);   // stops at silence
    EXPECT_EQ(Mix_Volume(0, -1), 0);
    key(SDLK_F8);
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME / 10);
    Settings kept = settingsRead(kSettingsPath);
    EXPECT_EQ(kept.musicLevel, 7);
    EXPECT_EQ(kept.soundLevel, 1);

    settings = kDefaultSettings;
    settingsApply();   // as at start-up: the levels come from the settings
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME);
    ASSERT_EQ(chdir(before), 0);
    Mix_CloseAudio();
    SDL_Quit();
}

TEST(PlayerKeys, TheKeyThatClosesTheHelpTurnsNoPage)
{
    GameDir game;
    game.minimalGame("[一]\n[二]\n[三]\n*move*\n{\n}\n");
    // F1 on the first page, Space closes the help, Return turns to the second page.
    ReplayRun run = runFromStart(game, "press f1\npress space\npress return\nwait 300\n");
    EXPECT_EQ(run.only("page").size(), 2u);
}
