#include "core/soundlibrary.h"

#include <dlfcn.h>

#include <SDL_mixer.h>

#include "core/background.h"

namespace {

void* library;
bool loaded;

void loadLibrary()
{
    library = dlopen("libSDL_mixer-1.2.so.0", RTLD_NOW | RTLD_LOCAL);
    loaded = true;
}

// The library's function of that name, of the type SDL_mixer's header declares (the first
// argument gives only the type); null when the library or the function cannot be found, and
// the call then does nothing, as with no sound device.
template <typename Function>
Function* bound(Function&, const char* name)
{
    backgroundFinish(kSoundLibraryWork);
    if (!loaded) loadLibrary();
    return library ? reinterpret_cast<Function*>(dlsym(library, name)) : nullptr;
}

}  // namespace

void soundLibraryLoadAhead() { backgroundStart(kSoundLibraryWork, loadLibrary); }

// ---- SDL_mixer's functions, as the game calls them -------------------------------------------

int Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize)
{
    static auto* real = bound(Mix_OpenAudio, "Mix_OpenAudio");
    if (!real) {
        SDL_SetError("cannot load libSDL_mixer-1.2.so.0");
        return -1;
    }
    return real(frequency, format, channels, chunksize);
}

void Mix_CloseAudio()
{
    static auto* real = bound(Mix_CloseAudio, "Mix_CloseAudio");
    if (real) real();
}

int Mix_QuerySpec(int* frequency, Uint16* format, int* channels)
{
    static auto* real = bound(Mix_QuerySpec, "Mix_QuerySpec");
    return real ? real(frequency, format, channels) : 0;
}

Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* source, int freeSource)
{
    static auto* real = bound(Mix_LoadWAV_RW, "Mix_LoadWAV_RW");
    if (real) return real(source, freeSource);
    if (source && freeSource) SDL_RWclose(source);
    return nullptr;
}

Mix_Music* Mix_LoadMUS(const char* file)
{
    static auto* real = bound(Mix_LoadMUS, "Mix_LoadMUS");
    return real ? real(file) : nullptr;
}

void Mix_FreeChunk(Mix_Chunk* chunk)
{
    static auto* real = bound(Mix_FreeChunk, "Mix_FreeChunk");
    if (real) real(chunk);
}

void Mix_FreeMusic(Mix_Music* music)
{
    static auto* real = bound(Mix_FreeMusic, "Mix_FreeMusic");
    if (real) real(music);
}

int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks)
{
    static auto* real = bound(Mix_PlayChannelTimed, "Mix_PlayChannelTimed");
    return real ? real(channel, chunk, loops, ticks) : -1;
}

int Mix_PlayMusic(Mix_Music* music, int loops)
{
    static auto* real = bound(Mix_PlayMusic, "Mix_PlayMusic");
    return real ? real(music, loops) : -1;
}

int Mix_Volume(int channel, int volume)
{
    static auto* real = bound(Mix_Volume, "Mix_Volume");
    return real ? real(channel, volume) : 0;
}

int Mix_VolumeChunk(Mix_Chunk* chunk, int volume)
{
    static auto* real = bound(Mix_VolumeChunk, "Mix_VolumeChunk");
    return real ? real(chunk, volume) : 0;
}

int Mix_VolumeMusic(int volume)
{
    static auto* real = bound(Mix_VolumeMusic, "Mix_VolumeMusic");
    return real ? real(volume) : 0;
}

int Mix_HaltChannel(int channel)
{
    static auto* real = bound(Mix_HaltChannel, "Mix_HaltChannel");
    return real ? real(channel) : 0;
}

int Mix_HaltMusic()
{
    static auto* real = bound(Mix_HaltMusic, "Mix_HaltMusic");
    return real ? real() : 0;
}

int Mix_Playing(int channel)
{
    static auto* real = bound(Mix_Playing, "Mix_Playing");
    return real ? real(channel) : 0;
}

int Mix_PlayingMusic()
{
    static auto* real = bound(Mix_PlayingMusic, "Mix_PlayingMusic");
    return real ? real() : 0;
}
