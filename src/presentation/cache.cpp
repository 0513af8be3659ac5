#include "presentation/cache.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include <SDL_image.h>

#include "core/arrival.h"
#include "core/decision.h"
#include "core/trace.h"
#include "presentation/cachelist.h"
#include "presentation/fastblit.h"
#include "presentation/readahead.h"

namespace {

// A loaded picture: the part of it that is kept, and where that part lies in the picture. A
// picture put off until it is first wanted has no surface yet, only the file it comes from.
struct Picture {
    SDL_Surface* surface;
    int x, y;
    std::string later;
};

CacheNode<Picture>* ImageListTop;
CacheNode<Mix_Music>* musicListTop;
CacheNode<Mix_Chunk>* soundListTop;

// Sounds put off until they are first wanted: the name and the file.
struct LaterSound {
    std::string name, path;
};
std::vector<LaterSound> laterSounds;

// Takes the sound put off under that name out of the list; false when there is none.
bool takeLaterSound(const char* name, std::string* path)
{
    for (auto it = laterSounds.begin(); it != laterSounds.end(); ++it)
        if (it->name == name) {
            if (path) *path = it->path;
            laterSounds.erase(it);
            return true;
        }
    return false;
}

void releasePicture(Picture* picture)
{
    SDL_FreeSurface(picture->surface);
    delete picture;
}
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

// ---- Making pictures ready to draw ---------------------------------------------------------

// A rectangle of a picture. SDL_Rect's 16-bit fields would wrap on a tall or wide picture.
struct Area {
    int x, y, w, h;
};

// The rectangle around the pixels whose alpha is not 0; empty when there are none.
Area visibleArea(SDL_Surface* picture)
{
    SDL_PixelFormat* f = picture->format;
    int left = picture->w, right = -1, top = picture->h, bottom = -1;
    SDL_LockSurface(picture);
    for (int y = 0; y < picture->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(picture->pixels) + y * picture->pitch;
        for (int x = 0; x < picture->w; ++x) {
            Uint32 pixel = 0;
            std::memcpy(&pixel, row + x * f->BytesPerPixel, f->BytesPerPixel);
            if ((pixel & f->Amask) == 0) continue;
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < top) top = y;
            if (y > bottom) bottom = y;
        }
    }
    SDL_UnlockSurface(picture);
    if (right < 0) return {0, 0, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
}

// A copy of the area of the picture, in its format and with its blending.
SDL_Surface* cut(SDL_Surface* picture, const Area& area)
{
    SDL_PixelFormat* f = picture->format;
    SDL_Surface* part = SDL_CreateRGBSurface(SDL_SWSURFACE, area.w, area.h, f->BitsPerPixel,
                                             f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (!part) return nullptr;
    SDL_LockSurface(picture);
    SDL_LockSurface(part);
    for (int y = 0; y < area.h; ++y)
        std::memcpy(static_cast<Uint8*>(part->pixels) + y * part->pitch,
                    static_cast<const Uint8*>(picture->pixels) +
                        static_cast<size_t>(area.y + y) * picture->pitch +
                        static_cast<size_t>(area.x) * f->BytesPerPixel,
                    static_cast<size_t>(area.w) * f->BytesPerPixel);
    SDL_UnlockSurface(part);
    SDL_UnlockSurface(picture);
    SDL_SetAlpha(part, picture->flags & SDL_SRCALPHA, surfaceAlpha(picture));
    return part;
}

// An opaque picture in true colour, drawn by plain copies once in the display's format.
bool opaque(SDL_Surface* picture)
{
    SDL_PixelFormat* f = picture->format;
    return f->Amask == 0 && !(picture->flags & SDL_SRCCOLORKEY) && !f->palette;
}

bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b)
{
    return a->BitsPerPixel == b->BitsPerPixel && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
           a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// The picture in the layout of the game's 24-bit screen (red in the high byte), or itself when
// it has it already or cannot be converted.
SDL_Surface* inScreenLayout(SDL_Surface* picture)
{
    SDL_Surface* layout = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!layout) return picture;
    if (!sameLayout(picture->format, layout->format)) {
        if (SDL_Surface* converted = SDL_ConvertSurface(picture, layout->format, SDL_SWSURFACE)) {
            SDL_FreeSurface(picture);
            picture = converted;
        }
    }
    SDL_FreeSurface(layout);
    return picture;
}

// Reads the file and keeps the part of it that is drawn; needs no window, so it may run on the
// thread that reads pictures ahead. An opaque picture is put in the screen's layout here, a
// conversion that costs the first frame nothing when the picture was read ahead.
Decoded decode(const char* path)
{
    fileAwait(path);
    SDL_Surface* loaded = IMG_Load(path);
    // A missing picture is simply not drawn; one that is there but cannot be read (damaged,
    // or larger than an SDL 1.2 surface holds) is named for the author.
    if (!loaded && access(path, F_OK) == 0)
        std::fprintf(stderr, "picture not drawn, it cannot be read: %s (%s)\n", path, IMG_GetError());
#ifndef __EMSCRIPTEN__
    // The browser's canvas is not 24-bit: there an opaque picture is drawn as it was read.
    if (loaded && opaque(loaded)) return {inScreenLayout(loaded), 0, 0};
#endif
    if (!loaded || loaded->format->Amask == 0 || !(loaded->flags & SDL_SRCALPHA)) return {loaded, 0, 0};
    // Pixels of alpha 0 change nothing where they are drawn: most overlays are mostly those,
    // and need not be walked at every frame.
    Area area = visibleArea(loaded);
    if (area.w > 0 && 4LL * area.w * area.h < 3LL * loaded->w * loaded->h) {
        if (SDL_Surface* part = cut(loaded, area)) {
            SDL_FreeSurface(loaded);
            return {part, area.x, area.y};
        }
    }
    return {loaded, 0, 0};
}

Picture* prepare(Decoded decoded)
{
    SDL_Surface* loaded = decoded.surface;
    if (!loaded) return nullptr;
    auto* picture = new Picture{loaded, decoded.x, decoded.y, {}};
    SDL_Surface* video = SDL_GetVideoSurface();
    if (opaque(loaded) && video && !sameLayout(loaded->format, video->format)) {
        // Converted once here rather than at every blit. Paletted pictures stay as they are:
        // they would take three times the memory.
        if (SDL_Surface* converted = SDL_DisplayFormat(loaded)) {
            SDL_FreeSurface(loaded);
            picture->surface = converted;
        }
    }
    return picture;
}

// The picture in path, read ahead or read now, made ready to draw.
Picture* load(const char* path)
{
    Decoded picture;
    if (!readAheadTake(path, &picture)) picture = decode(path);
    return prepare(picture);
}

// The newest picture of that name, loaded now if it was put off; one that cannot be loaded is
// dropped, as ImgLoad would not have kept it, and the next older one of that name is looked at.
Picture* findPicture(const char* name)
{
    CacheNode<Picture>* node;
    while ((node = cacheFind(ImageListTop, name)) && !node->handle->surface) {
        if (Picture* loaded = load(node->handle->later.c_str())) {
            delete node->handle;
            node->handle = loaded;
            break;
        }
        cacheRemove(ImageListTop, name, releasePicture);
    }
    return node ? node->handle : nullptr;
}

}  // namespace

int ImgLoad(const char* path, const char* name)
{
    if (!add(ImageListTop, name, load(path))) return 0;
    if (std::strcmp(name, "bg") == 0) traceBg(path);
    return 1;
}

void ImgReadAhead(const std::vector<std::string>& paths) { readAheadStart(paths, decode); }

void ImgLoadLater(const char* path, const char* name)
{
    cachePush(ImageListTop, name, new Picture{nullptr, 0, 0, path});
}

SDL_Surface* ImgGet(const char* name) { return ImgGetPlaced(name, nullptr, nullptr); }

SDL_Surface* ImgGetPlaced(const char* name, int* x, int* y)
{
    Picture* picture = findPicture(name);
    if (x) *x = picture ? picture->x : 0;
    if (y) *y = picture ? picture->y : 0;
    return picture ? picture->surface : nullptr;
}
void ImgDelete(const char* name) { cacheRemove(ImageListTop, name, releasePicture); }
void ImgDeleteAll()
{
    readAheadStop();
    cacheClear(ImageListTop, releasePicture);
}

void ImgReplace(const char* path, const char* name)
{
    ImgDelete(name);
    // Nothing is drawn in quiet mode: the picture is read when it is next drawn, if ever.
    if (quietRun()) ImgLoadLater(path, name);
    else ImgLoad(path, name);
}

int mscLoad(const char* path, const char* name)
{
    fileAwait(path);
    return add(musicListTop, name, Mix_LoadMUS(path));
}
Mix_Music* mscGet(const char* name) { return get(musicListTop, name); }
void mscDelete(const char* name) { cacheRemove(musicListTop, name, releaseMusic); }
void mscDeleteAll() { cacheClear(musicListTop, releaseMusic); }

// ---- Sounds ------------------------------------------------------------------------------

namespace {

// A sound the mixer would convert into more than this is not played: a small file of a very
// low rate converts into gigabytes, and takes seconds to do so.
const double kLargestSound = 64.0 * 1024 * 1024;

// The mixer converts a sound into a buffer sized for every step of the conversion, several
// times the sound it keeps; the rest is given back.
Mix_Chunk* fitted(Mix_Chunk* chunk)
{
#ifdef __EMSCRIPTEN__
    // The browser's mixer hands out a handle, not a record: there is nothing to give back.
    return chunk;
#endif
    if (chunk && chunk->allocated && chunk->alen > 0)
        if (void* kept = std::realloc(chunk->abuf, chunk->alen)) chunk->abuf = static_cast<Uint8*>(kept);
    return chunk;
}

Uint32 littleEndian(const Uint8* bytes, int count)
{
    Uint32 value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// The bytes the mixer would make of the WAV file in the stream, converted to its own rate and
// format; 0 when the stream is not a WAV file that tells (the mixer then decides alone). The
// stream is left where it was.
double convertedSize(SDL_RWops* stream)
{
    int freq = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&freq, &format, &channels)) return 0;
    const int start = SDL_RWtell(stream);
    const int end = SDL_RWseek(stream, 0, RW_SEEK_END);
    SDL_RWseek(stream, start, RW_SEEK_SET);
    Uint8 head[12];
    double frames = -1, rate = 0;
    if (SDL_RWread(stream, head, 1, 12) == 12 && std::memcmp(head, "RIFF", 4) == 0 &&
        std::memcmp(head + 8, "WAVE", 4) == 0) {
        // Chunks, as far as both the format and the data are found.
        Uint8 chunk[8], fmt[16];
        double bitsPerFrame = 0, dataSize = -1;
        while ((dataSize < 0 || bitsPerFrame == 0) && SDL_RWread(stream, chunk, 1, 8) == 8) {
            Uint32 size = littleEndian(chunk + 4, 4);
            int at = SDL_RWtell(stream);
            bool formatChunk = std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16;
            if (formatChunk && SDL_RWread(stream, fmt, 1, 16) == 16) {
                rate = littleEndian(fmt + 4, 4);
                bitsPerFrame = double(littleEndian(fmt + 2, 2)) * littleEndian(fmt + 14, 2);
            } else if (std::memcmp(chunk, "data", 4) == 0) {
                // A file cut short holds no more than what is there.
                dataSize = end > at && size > Uint32(end - at) ? end - at : size;
            }
            long long next = static_cast<long long>(at) + size + (size & 1);
            if (next > end || SDL_RWseek(stream, static_cast<int>(next), RW_SEEK_SET) < 0) break;
        }
        if (dataSize >= 0 && bitsPerFrame > 0 && rate > 0) frames = dataSize * 8 / bitsPerFrame;
    }
    SDL_RWseek(stream, start, RW_SEEK_SET);
    if (frames < 0) return 0;
    return frames * freq / rate * channels * ((format & 0xff) / 8);
}

}  // namespace

int sndLoad(const char* path, const char* name)
{
    fileAwait(path);
    SDL_RWops* stream = SDL_RWFromFile(path, "rb");
    if (!stream) return 0;
    if (convertedSize(stream) > kLargestSound) {
        std::fprintf(stderr, "sound not played, over 64 MiB once converted: %s\n", path);
        SDL_RWclose(stream);
        return 0;
    }
    return add(soundListTop, name, fitted(Mix_LoadWAV_RW(stream, 1)));
}

void sndLoadLater(const char* path, const char* name) { laterSounds.push_back({name, path}); }

Mix_Chunk* sndGet(const char* name)
{
    std::string path;
    if (!cacheFind(soundListTop, name) && takeLaterSound(name, &path)) sndLoad(path.c_str(), name);
    return get(soundListTop, name);
}

void sndDelete(const char* name)
{
    if (cacheFind(soundListTop, name)) cacheRemove(soundListTop, name, releaseSound);
    else takeLaterSound(name, nullptr);
}

void sndDeleteAll()
{
    laterSounds.clear();
    cacheClear(soundListTop, releaseSound);
}
