#include "presentation/cache.h"

#include <cstring>

#include <SDL_image.h>

#include "core/trace.h"
#include "presentation/cachelist.h"

namespace {

CacheNode<SDL_Surface>* ImageListTop;
CacheNode<Mix_Music>* musicListTop;
CacheNode<Mix_Chunk>* soundListTop;

void releasePicture(SDL_Surface* picture) { SDL_FreeSurface(picture); }
void releaseMusic(Mix_Music* music) { Mix_FreeMusic(music); }
void releaseSound(Mix_Chunk* sound) { Mix_FreeChunk(sound); }

template <typename Medium>
int add(CacheNode<Medium>*& head, const char* name, Medium* handle)
{
    if (!handle) return 0;
    cachePush(head, name, handle);
    return 1;
}

template <typename Medium>
Medium* get(CacheNode<Medium>* head, const char* name)
{
    CacheNode<Medium>* node = cacheFind(head, name);
    return node ? node->handle : nullptr;
}

}  // namespace

int ImgLoad(const char* path, const char* name)
{
    if (!add(ImageListTop, name, IMG_Load(path))) return 0;
    if (std::strcmp(name, "bg") == 0) traceBg(path);
    return 1;
}

SDL_Surface* ImgGet(const char* name) { return get(ImageListTop, name); }
void ImgDelete(const char* name) { cacheRemove(ImageListTop, name, releasePicture); }
void ImgDeleteAll() { cacheClear(ImageListTop, releasePicture); }

void ImgReplace(const char* path, const char* name)
{
    ImgDelete(name);
    ImgLoad(path, name);
}

int mscLoad(const char* path, const char* name) { return add(musicListTop, name, Mix_LoadMUS(path)); }
Mix_Music* mscGet(const char* name) { return get(musicListTop, name); }
void mscDelete(const char* name) { cacheRemove(musicListTop, name, releaseMusic); }
void mscDeleteAll() { cacheClear(musicListTop, releaseMusic); }

int sndLoad(const char* path, const char* name)
{
    SDL_RWops* stream = SDL_RWFromFile(path, "rb");
    return add(soundListTop, name, stream ? Mix_LoadWAV_RW(stream, 1) : nullptr);
}

Mix_Chunk* sndGet(const char* name) { return get(soundListTop, name); }
void sndDelete(const char* name) { cacheRemove(soundListTop, name, releaseSound); }
void sndDeleteAll() { cacheClear(soundListTop, releaseSound); }
