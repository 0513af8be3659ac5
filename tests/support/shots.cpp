#include "support/shots.h"

#include <algorithm>

#include "support/gamedir.h"

Uint32 shotPixel(const std::string& path, int x, int y)
{
    SDL_Surface* shot = SDL_LoadBMP(path.c_str());
    if (!shot) return 0xFFFFFFFFu;
    Uint32 colour = pixelAt(shot, x, y);
    SDL_FreeSurface(shot);
    return colour;
}

SDL_Rect shotDifference(const std::string& one, const std::string& other)
{
    SDL_Rect box = {0, 0, 0, 0};
    SDL_Surface* a = SDL_LoadBMP(one.c_str());
    SDL_Surface* b = SDL_LoadBMP(other.c_str());
    if (a && b && a->w == b->w && a->h == b->h) {
        int left = a->w, right = -1, top = a->h, bottom = -1;
        for (int y = 0; y < a->h; ++y)
            for (int x = 0; x < a->w; ++x)
                if (pixelAt(a, x, y) != pixelAt(b, x, y)) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        if (right >= 0)
            box = {static_cast<Sint16>(left), static_cast<Sint16>(top), static_cast<Uint16>(right - left + 1),
                   static_cast<Uint16>(bottom - top + 1)};
    }
    if (a) SDL_FreeSurface(a);
    if (b) SDL_FreeSurface(b);
    return box;
}
