#include "presentation/audio.h"

#include <cstring>
#include <string>

#include <SDL_mixer.h>

#include "core/decision.h"
#include "core/trace.h"
#include "presentation/cache.h"

namespace {

const int kEffectVolume = 30;
const int kInterfaceVolume = 40;

// What the story has asked to play, and what the mixer plays: they differ after a quiet run.
std::string storyMusic = "off", mixerMusic = "off";
std::string storyLoop, mixerLoop;   // a looping sound effect's path; empty for none

void play(Mix_Chunk* chunk, int volume, int loops)
{
    if (!chunk) return;
    Mix_VolumeChunk(chunk, volume);
    Mix_PlayChannelTimed(-1, chunk, loops, -1);
}

std::string loopOf(const char* path, int count)
{
    return count > 0 || std::strcmp(path, "off") == 0 ? std::string() : std::string(path);
}

void startMusic(const char* path)
{
    mixerMusic = path;
    Mix_HaltMusic();
    if (std::strcmp(path, "off") == 0) return;
    mscDelete("bgm");
    mscLoad(path, "bgm");
    if (Mix_Music* track = mscGet("bgm")) Mix_PlayMusic(track, -1);
}

void startSound(const char* path, int count)
{
    mixerLoop = loopOf(path, count);
    if (std::strcmp(path, "off") == 0) {
        Mix_HaltChannel(-1);
        return;
    }
    sndDelete("se");
    sndLoad(path, "se");
    // count times means count - 1 repeats; 0 (and anything below) repeats for ever.
    play(sndGet("se"), kEffectVolume, count > 0 ? count - 1 : -1);
}

}  // namespace

void music(const char* path)
{
    traceMusic(path);
    storyMusic = path;
    if (!quietRun()) startMusic(path);
}

void sound(const char* path, int count)
{
    traceSound(path, count);
    storyLoop = loopOf(path, count);
    if (!quietRun()) startSound(path, count);
}

void systemSound(const char* name)
{
    if (!quietRun()) play(sndGet(name), kInterfaceVolume, 0);
}

const char* musicNow() { return storyMusic.c_str(); }

const char* loopingSoundNow() { return storyLoop.c_str(); }

void audioCatchUp()
{
    if (quietRun()) return;
    if (storyMusic != mixerMusic) {
        traceMusic(storyMusic.c_str());
        startMusic(storyMusic.c_str());
    }
    if (storyLoop != mixerLoop) {
        const char* loop = storyLoop.empty() ? "off" : storyLoop.c_str();
        traceSound(loop, 0);
        startSound(loop, 0);
    }
}
