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

// The library's function of that name, of the type SDL_mixer's header gives `Declared`, looked
// up at the first call; null when the library or the function cannot be found, and the call
// then does nothing, as with no sound device.
template <auto Declared>
auto bound(const char* name)
{
    static auto* real = [name] {
        backgroundFinish(kSoundLibraryWork);
        if (!loaded) loadLibrary();
        return library ? reinterpret_cast<decltype(Declared)>(dlsym(library, name)) : nullptr;
    }();
    return real;
}

// The call passed on, or `otherwise` when the function cannot be found.
template <auto Declared, typename Result, typename... Args>
Result pass(const char* name, Result otherwise, Args... args)
{
    auto* real = bound<Declared>(name);
    return real ? real(args...) : otherwise;
}

template <auto Declared, typename... Args>
void passOn(const char* name, Args... args)
{
    if (auto* real = bound<Declared>(name)) real(args...);
}

}  // namespace

void soundLibraryLoadAhead() { backgroundStart(kSoundLibraryWork, loadLibrary); }

// ---- SDL_mixer's functions, as the game calls them -------------------------------------------

int Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize)
{
    auto* real = bound<Mix_OpenAudio>("Mix_OpenAudio");
    if (real) return real(frequency, format, channels, chunksize);
    SDL_SetError("cannot load libSDL_mixer-1.2.so.0");
    return -1;
}

Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* source, int freeSource)
{
    if (auto* real = bound<Mix_LoadWAV_RW>("Mix_LoadWAV_RW")) return real(source, freeSource);
    // Taken, as the library would have, even though nothing is loaded.
    if (source && freeSource) SDL_RWclose(source);
    return nullptr;
}

void Mix_CloseAudio() { passOn<Mix_CloseAudio>("Mix_CloseAudio"); }
void Mix_FreeChunk(Mix_Chunk* chunk) { passOn<Mix_FreeChunk>("Mix_FreeChunk", chunk); }
void Mix_FreeMusic(Mix_Music* music) { passOn<Mix_FreeMusic>("Mix_FreeMusic", music); }

Mix_Music* Mix_LoadMUS(const char* file)
{
    return pass<Mix_LoadMUS>("Mix_LoadMUS", static_cast<Mix_Music*>(nullptr), file);
}

int Mix_QuerySpec(int* frequency, Uint16* format, int* channels)
{
    return pass<Mix_QuerySpec>("Mix_QuerySpec", 0, frequency, format, channels);
}

int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks)
{
    return pass<Mix_PlayChannelTimed>("Mix_PlayChannelTimed", -1, channel, chunk, loops, ticks);
}

int Mix_PlayMusic(Mix_Music* music, int loops)
{
    return pass<Mix_PlayMusic>("Mix_PlayMusic", -1, music, loops);
}

int Mix_VolumeChunk(Mix_Chunk* chunk, int volume)
{
    return pass<Mix_VolumeChunk>("Mix_VolumeChunk", 0, chunk, volume);
}

int Mix_Volume(int channel, int volume)
{
    return pass<Mix_Volume>("Mix_Volume", 0, channel, volume);
}

int Mix_VolumeMusic(int volume) { return pass<Mix_VolumeMusic>("Mix_VolumeMusic", 0, volume); }
int Mix_HaltChannel(int channel) { return pass<Mix_HaltChannel>("Mix_HaltChannel", 0, channel); }
int Mix_HaltMusic() { return pass<Mix_HaltMusic>("Mix_HaltMusic", 0); }
int Mix_Playing(int channel) { return pass<Mix_Playing>("Mix_Playing", 0, channel); }
int Mix_PlayingMusic() { return pass<Mix_PlayingMusic>("Mix_PlayingMusic", 0); }
