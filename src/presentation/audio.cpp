#include "presentation/audio.h"

#include <cstring>

#include <SDL_mixer.h>

#include "core/decision.h"
#include "core/trace.h"
#include "presentation/cache.h"

namespace {

const int kEffectVolume = 30;
const int kInterfaceVolume = 40;

void play(Mix_Chunk* chunk, int volume, int loops)
{
    if (!chunk) return;
    Mix_VolumeChunk(chunk, volume);
    Mix_PlayChannelTimed(-1, chunk, loops, -1);
}

}  // namespace

void music(const char* path)
{
    traceMusic(path);
    if (quietRun()) return;
    Mix_HaltMusic();
    if (std::strcmp(path, "off") == 0) return;
    mscDelete("bgm");
    mscLoad(path, "bgm");
    if (Mix_Music* track = mscGet("bgm")) Mix_PlayMusic(track, -1);
}

void sound(const char* path, int count)
{
    traceSound(path, count);
    if (quietRun()) return;
    if (std::strcmp(path, "off") == 0) {
        Mix_HaltChannel(-1);
        return;
    }
    sndDelete("se");
    sndLoad(path, "se");
    // count times means count - 1 repeats; 0 (and anything below) repeats for ever.
    play(sndGet("se"), kEffectVolume, count > 0 ? count - 1 : -1);
}

void systemSound(const char* name)
{
    if (!quietRun()) play(sndGet(name), kInterfaceVolume, 0);
}
