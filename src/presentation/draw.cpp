#include "presentation/draw.h"

#include <algorithm>

#include "core/state.h"
#include "presentation/cache.h"
#include "presentation/fastblit.h"

namespace {

SDL_Rect rect(int x, int y, int w = 0, int h = 0)
{
    return {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
            static_cast<Uint16>(h)};
}

}  // namespace

void blitSurfacePart(SDL_Surface* picture, const SDL_Rect* from, int x, int y)
{
    if (!picture || !screen) return;
    // A part that lies wholly off the screen is left out here, where positions are still
    // ints: a picture's part kept far down or right of its corner would wrap in SDL_Rect's
    // 16-bit fields and land on the screen.
    int w = from ? from->w : picture->w, h = from ? from->h : picture->h;
    if (x >= screen->w || y >= screen->h || x + w <= 0 || y + h <= 0) return;
    if (blendBlit(picture, from, screen, x, y) || paletteBlit(picture, from, screen, x, y))
        return;
    SDL_Rect piece = from ? *from : rect(0, 0);
    SDL_Rect to = rect(x, y);
    SDL_BlitSurface(picture, from ? &piece : nullptr, screen, &to);
}

void blitSurface(SDL_Surface* picture, int x, int y) { blitSurfacePart(picture, nullptr, x, y); }

void blitPicture(const char* name, int x, int y)
{
    int px, py;
    SDL_Surface* picture = ImgGetPlaced(name, &px, &py);
    blitSurface(picture, x + px, y + py);
}

void blitPiece(const char* name, int sx, int sy, int w, int h, int x, int y)
{
    int px, py;
    SDL_Surface* picture = ImgGetPlaced(name, &px, &py);
    if (!picture || !screen) return;
    // The piece, in the picture's coordinates, meets the part of the picture that is kept.
    int left = std::max(sx, px), top = std::max(sy, py);
    int right = std::min(sx + w, px + picture->w), bottom = std::min(sy + h, py + picture->h);
    if (right <= left || bottom <= top) return;
    SDL_Rect from = rect(left - px, top - py, right - left, bottom - top);
    blitSurfacePart(picture, &from, x + left - sx, y + top - sy);
}
