#include "presentation/readahead.h"

#include <condition_variable>
#include <mutex>

#include "core/background.h"

namespace {

// A file to decode. The paths and `taken` belong to the main thread; `decoded` and `picture`
// are written by the decoding thread under the lock.
struct Ahead {
    std::string path;
    bool taken;
    bool decoded;
    Decoded picture;
};

std::vector<Ahead> aheads;
Decoder aheadDecoder;
std::mutex guard;
std::condition_variable decodedOne;

void decodeAll()
{
    for (Ahead& ahead : aheads) {
        Decoded picture = aheadDecoder(ahead.path.c_str());
        std::lock_guard<std::mutex> hold(guard);
        ahead.picture = picture;
        ahead.decoded = true;
        decodedOne.notify_all();
    }
}

}  // namespace

void readAheadStart(const std::vector<std::string>& paths, Decoder decode)
{
    readAheadStop();
    for (const std::string& path : paths) aheads.push_back({path, false, false, {nullptr, 0, 0}});
    aheadDecoder = decode;
    backgroundStart(kPictureWork, decodeAll);
}

bool readAheadTake(const char* path, Decoded* picture)
{
    for (Ahead& ahead : aheads) {
        if (ahead.taken || ahead.path != path) continue;
        ahead.taken = true;
        std::unique_lock<std::mutex> hold(guard);
        decodedOne.wait(hold, [&ahead] { return ahead.decoded; });
        *picture = ahead.picture;
        ahead.picture.surface = nullptr;
        return true;
    }
    backgroundFinish(kPictureWork);
    return false;
}

void readAheadStop()
{
    backgroundFinish(kPictureWork);
    for (Ahead& ahead : aheads)
        if (ahead.picture.surface) SDL_FreeSurface(ahead.picture.surface);
    aheads.clear();
}
