// The three resource caches: pictures, music and sounds, each reached by a short name.
// Load adds a node (1) or, when the file cannot be loaded, nothing (0); Get answers the
// newest node's medium of that name or null; Delete removes the newest node of that name;
// DeleteAll empties the cache. Names are kept to 63 bytes. A missing medium is never an error:
// callers treat null as nothing to draw or play.
#pragma once

#include <string>
#include <vector>

#include <SDL.h>
#include <SDL_mixer.h>

// A picture is made ready to draw once, when it is loaded: an opaque picture in true colour is
// converted to the display's format, and a picture with an alpha channel that is mostly transparent keeps
// only the rectangle around its visible pixels. Drawing it gives the same pixels as drawing
// the file as it was. ImgGetPlaced tells where the kept rectangle lies in the picture.
int ImgLoad(const char* path, const char* name);
// Adds a node for the picture in path that is loaded, as ImgLoad would, the first time the name
// is asked for: a screen not shown yet costs no time at start-up and no memory. If the file
// cannot be loaded then, the node goes as if it had never been added.
void ImgLoadLater(const char* path, const char* name);
// Starts reading the pictures in these files on a second thread, for the ImgLoad or the first
// ImgGet that wants each; it gives them the same pixels, only sooner.
void ImgReadAhead(const std::vector<std::string>& paths);
SDL_Surface* ImgGet(const char* name);
SDL_Surface* ImgGetPlaced(const char* name, int* x, int* y);
void ImgDelete(const char* name);
void ImgDeleteAll();

int mscLoad(const char* path, const char* name);
Mix_Music* mscGet(const char* name);
void mscDelete(const char* name);
void mscDeleteAll();

int sndLoad(const char* path, const char* name);
// Notes the sound in path under the name, to be loaded as sndLoad would the first time the name
// is asked for (the system sounds: none is played before the player acts).
void sndLoadLater(const char* path, const char* name);
Mix_Chunk* sndGet(const char* name);
void sndDelete(const char* name);
void sndDeleteAll();

// Replaces the picture under name by the one in path (delete, then load).
void ImgReplace(const char* path, const char* name);

// The path of the picture last loaded or put in place as the background "bg" ("" for none).
const char* backgroundPath();
