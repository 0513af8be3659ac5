// Playing music, the script's sound effect and the interface sounds.
#pragma once

// Halts the music; unless path is "off", loads path as the one current track "bgm" and loops
// it from its beginning. A track that cannot be loaded leaves the game silent.
void music(const char* path);

// "off" halts every channel (interface sounds too). Otherwise loads path as the one current
// effect "se" and plays it count times at volume 30; count 0 repeats it until "off" or the
// next effect.
void sound(const char* path, int count);

// Plays the interface sound loaded under name once at volume 40.
void systemSound(const char* name);

// What the story plays now, as it has asked (in quiet mode too): the music's path, "off" when
// none, and the looping sound effect's path (count 0), empty when none.
const char* musicNow();
const char* loopingSoundNow();

// After a quiet run: makes the mixer play what the story plays now, the track from its
// beginning and the looping effect, where the mixer plays something else.
void audioCatchUp();
