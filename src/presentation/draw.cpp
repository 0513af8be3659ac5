#include "presentation/draw.h"

#include "core/state.h"
#include "presentation/cache.h"

namespace {

SDL_Rect rect(int x, int y, int w = 0, int h = 0)
{
    return {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
            static_cast<Uint16>(h)};
}

}  // namespace

void blitSurface(SDL_Surface* picture, int x, int y)
{
    if (!picture || !screen) return;
    SDL_Rect to = rect(x, y);
    SDL_BlitSurface(picture, nullptr, screen, &to);
}

void blitPicture(const char* name, int x, int y) { blitSurface(ImgGet(name), x, y); }

void blitPiece(const char* name, int sx, int sy, int w, int h, int x, int y)
{
    SDL_Surface* picture = ImgGet(name);
    if (!picture || !screen) return;
    SDL_Rect from = rect(sx, sy, w, h);
    SDL_Rect to = rect(x, y);
    SDL_BlitSurface(picture, &from, screen, &to);
}
