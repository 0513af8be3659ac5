// What the browser's SDL_mixer lacks (it stops the program on these calls): a chunk's own
// volume, kept here and given to the channel that plays it, since the browser keeps volumes
// by channel only; and the mixer's format, which it does not have: the browser decodes sounds
// itself.
#include <SDL_mixer.h>

#include <algorithm>
#include <map>

#undef Mix_PlayChannel

namespace {

std::map<const Mix_Chunk*, int> chunkVolumes;

int volumeOf(const Mix_Chunk* chunk)
{
    auto it = chunkVolumes.find(chunk);
    return it == chunkVolumes.end() ? MIX_MAX_VOLUME : it->second;
}

}  // namespace

extern "C" {

// The browser's own player (in JavaScript), which chooses the channel.
int Mix_PlayChannel(int channel, Mix_Chunk* chunk, int loops);

int Mix_VolumeChunk(Mix_Chunk* chunk, int volume)
{
    int before = volumeOf(chunk);
    if (chunk && volume >= 0) chunkVolumes[chunk] = std::min(volume, MIX_MAX_VOLUME);
    return before;
}

// The browser plays a chunk to its end or for ever; a time limit is not kept.
int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int)
{
    int used = Mix_PlayChannel(channel, chunk, loops);
    if (used >= 0) Mix_Volume(used, volumeOf(chunk));
    return used;
}

// The mixer's rate and format are the browser's own: unknown to the game, as if closed.
int Mix_QuerySpec(int*, Uint16*, int*) { return 0; }

}  // extern "C"
