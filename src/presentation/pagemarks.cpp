#include "presentation/pagemarks.h"

#include <algorithm>
#include <cstring>

#include <SDL_ttf.h>

#include "core/platform.h"
#include "core/state.h"
#include "presentation/cache.h"
#include "presentation/draw.h"

namespace {

const int kDrawnFrames = 8;
const int kDrawnSize = 14;                                   // the drawn marker's box
const int kBob[kDrawnFrames] = {0, 1, 2, 3, 4, 3, 2, 1};     // its arrowhead's drop, each frame
const int kFrameLeft = 35, kFrameRight = 765, kFrameBottom = 590;   // inside the message frame

struct Marker {
    bool on;
    MarkerPlace place;
    int w, h;
    int frame;                 // the frame on the display
    Uint32 started;            // when the marker came on: frame 0
    SDL_Surface* under;        // what the marker covers
};

Marker marker;

SDL_Rect rect(int x, int y, int w, int h)
{
    return {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
}

// The game's strip of frames, or null.
SDL_Surface* strip(int* frames, int* size)
{
    SDL_Surface* picture = ImgGet("clickwait");
    if (!picture || picture->h <= 0 || picture->w < picture->h) return nullptr;
    *size = picture->h;
    *frames = picture->w / picture->h;
    return picture;
}

int framesNow(int frames) { return static_cast<int>((platformTicks() - marker.started) / kMarkerFrameMs) % frames; }

void drawFrame(int frame)
{
    int frames = 0, size = 0;
    if (strip(&frames, &size)) {
        blitPiece("clickwait", frame * size, 0, size, size, marker.place.x, marker.place.y);
        return;
    }
    // An arrowhead pointing down, 12 px wide at its top, with a dark edge so that it shows
    // over light and dark frames alike.
    Uint32 light = SDL_MapRGB(screen->format, 255, 255, 255);
    Uint32 dark = SDL_MapRGB(screen->format, 40, 32, 20);
    int top = marker.place.y + kBob[frame];
    for (int row = 0; row < 7; ++row) {
        SDL_Rect edge = rect(marker.place.x + row, top + row + 1, 14 - 2 * row, 1);
        SDL_FillRect(screen, &edge, dark);
        if (row == 6) break;
        SDL_Rect face = rect(marker.place.x + 1 + row, top + row, 12 - 2 * row, 1);
        SDL_FillRect(screen, &face, light);
    }
}

int frameCount()
{
    int frames = 0, size = 0;
    return strip(&frames, &size) ? frames : kDrawnFrames;
}

}  // namespace

MarkerPlace markerPlace(const Page& page, TTF_Font* (*fontOf)(Face))
{
    MarkerPlace place = {page.x[0][1], page.y[0][1] + 6};
    for (int r = kRows - 1; r >= 0; --r) {
        for (int sl = kSlots - 1; sl >= 1; --sl) {
            if (!page.text[r][sl][0]) continue;
            int w = 0, h = 0;
            TTF_Font* font = fontOf(page.style.font[r][sl]);
            if (font) TTF_SizeUTF8(font, page.text[r][sl], &w, &h);
            place.x = page.x[r][sl] + w + 6;
            place.y = page.y[r][sl] + 6;
            r = -1;
            break;
        }
    }
    int size = kDrawnSize, frames = 0;
    strip(&frames, &size);
    place.x = std::max(kFrameLeft, std::min(place.x, kFrameRight - size));
    place.y = std::min(place.y, kFrameBottom - size - kBob[4]);
    return place;
}

void markerShow(MarkerPlace place)
{
    markerOff();
    if (!screen) return;
    int frames = 0, size = kDrawnSize;
    bool picture = strip(&frames, &size) != nullptr;
    marker.place = place;
    marker.w = size;
    marker.h = size + (picture ? 0 : kBob[4]);
    const SDL_PixelFormat* f = screen->format;
    marker.under = SDL_CreateRGBSurface(SDL_SWSURFACE, marker.w, marker.h, f->BitsPerPixel, f->Rmask,
                                        f->Gmask, f->Bmask, f->Amask);
    if (!marker.under) return;
    SDL_Rect area = rect(place.x, place.y, marker.w, marker.h);
    SDL_BlitSurface(screen, &area, marker.under, nullptr);
    marker.started = platformTicks();
    marker.frame = 0;
    marker.on = true;
    drawFrame(0);
}

void markerOff()
{
    marker.on = false;
    if (marker.under) SDL_FreeSurface(marker.under);
    marker.under = nullptr;
}

bool markerOn() { return marker.on; }

Uint32 markerNextFrame()
{
    Uint32 since = platformTicks() - marker.started;
    return marker.started + (since / kMarkerFrameMs + 1) * kMarkerFrameMs;
}

void markerTick()
{
    if (!marker.on || !screen) return;
    int frame = framesNow(frameCount());
    if (frame == marker.frame) return;
    marker.frame = frame;
    SDL_Rect to = rect(marker.place.x, marker.place.y, 0, 0);
    SDL_BlitSurface(marker.under, nullptr, screen, &to);
    drawFrame(frame);
    platformFlipArea(screen, marker.place.x, marker.place.y, marker.w, marker.h);
}
