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
