// The blender must give exactly SDL_BlitSurface's pixels, with and without vectors.
#include "presentation/fastblit.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "support/screen.h"

namespace {

std::vector<Uint8> bytesOf(SDL_Surface* surface)
{
    std::vector<Uint8> bytes;
    for (int y = 0; y < surface->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        bytes.insert(bytes.end(), row, row + surface->w * surface->format->BytesPerPixel);
    }
    return bytes;
}

void put(SDL_Surface* surface, int x, int y, Uint32 pixel)
{
    Uint8* at = static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
                x * surface->format->BytesPerPixel;
    std::memcpy(at, &pixel, surface->format->BytesPerPixel);
}

// Every screen value 0..255 down the rows (each channel in its own order), so that a 256-wide
// picture meets every pair of values.
void backdrop(SDL_Surface* target)
{
    for (int y = 0; y < target->h; ++y)
        for (int x = 0; x < target->w; ++x) {
            int v = y & 255;
            put(target, x, y, SDL_MapRGB(target->format, v, 255 - v, (v * 7 + x) & 255));
        }
}

class Blend : public ScreenTest {
protected:
    void TearDown() override
    {
        fastBlitUseVectors(true);
        for (SDL_Surface* s : made) SDL_FreeSurface(s);
        ScreenTest::TearDown();
    }

    // A 32-bit picture with per-pixel alpha in the given byte order, as pictures are loaded.
    SDL_Surface* picture(int w, int h, bool rgbaOrder, Uint32 (*colour)(SDL_Surface*, int, int))
    {
        SDL_Surface* p = rgbaOrder ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x000000ff,
                                                          0x0000ff00, 0x00ff0000, 0xff000000)
                                   : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00ff0000,
                                                          0x0000ff00, 0x000000ff, 0xff000000);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) put(p, x, y, colour(p, x, y));
        SDL_SetAlpha(p, SDL_SRCALPHA, SDL_ALPHA_OPAQUE);
        made.push_back(p);
        return p;
    }

    // Draws with SDL and with the blender from the same backdrop; the screens must match.
    using Blit = bool (*)(SDL_Surface*, const SDL_Rect*, SDL_Surface*, int, int);
    void expectSame(SDL_Surface* p, const SDL_Rect* from, int x, int y, const char* what,
                    bool mustTake = true, Blit blit = blendBlit)
    {
        backdrop(screen);
        SDL_Rect to = {Sint16(x), Sint16(y), 0, 0};
        SDL_Rect piece = from ? *from : SDL_Rect{};
        SDL_BlitSurface(p, from ? &piece : nullptr, screen, &to);
        std::vector<Uint8> want = bytesOf(screen);
        for (bool vectors : {true, false}) {
            fastBlitUseVectors(vectors);
            backdrop(screen);
            if (!blit(p, from, screen, x, y)) {
                EXPECT_FALSE(mustTake) << what << ": not taken";
                return;
            }
            std::vector<Uint8> shown = bytesOf(screen);
            if (shown == want) continue;
            size_t at = 0;
            while (shown[at] == want[at]) ++at;
            ADD_FAILURE() << what << (vectors ? " (vectors)" : " (plain)") << ": byte " << at
                          << " is " << int(shown[at]) << " instead of " << int(want[at]);
        }
    }

    std::vector<SDL_Surface*> made;
};

int alpha = 0;

// Picture value 0..255 across, the screen's 0..255 down: every pair, for every alpha.
TEST_F(Blend, EveryValuePairAndAlphaGivesSdlsPixels)
{
    for (bool rgba : {true, false}) {
        for (alpha = 0; alpha < 256; alpha += 1) {
            SDL_Surface* p = picture(256, 256, rgba, [](SDL_Surface* s, int x, int y) {
                return SDL_MapRGBA(s->format, x, 255 - x, (x * 5 + y) & 255, alpha);
            });
            expectSame(p, nullptr, 3, 0, rgba ? "RGBA" : "ARGB");
            SDL_FreeSurface(made.back());
            made.pop_back();
            if (HasFailure()) return;
        }
    }
}

Uint32 mixed(SDL_Surface* s, int x, int y)
{
    return SDL_MapRGBA(s->format, x * 3, y * 5, x ^ y, (x * 7 + y * 13) & 255);
}

// Pieces and positions that SDL clips: off every edge, pieces reaching past the picture, odd
// widths that end in the middle of a vector step, and a clip rectangle on the screen.
TEST_F(Blend, ClipsAsSdlDoes)
{
    SDL_Surface* p = picture(101, 37, true, mixed);
    struct Case {
        int sx, sy, w, h, x, y;
    } cases[] = {
        {0, 0, 0, 0, -50, -20}, {0, 0, 0, 0, 760, 580}, {0, 0, 0, 0, 0, 0},
        {-5, -3, 40, 20, 100, 100}, {90, 30, 40, 20, 10, 10}, {7, 1, 1, 1, 799, 599},
        {3, 2, 5, 9, 400, 300}, {0, 0, 7, 37, 2, 2}, {200, 0, 5, 5, 0, 0},
    };
    for (const Case& c : cases) {
        SDL_Rect from = {Sint16(c.sx), Sint16(c.sy), Uint16(c.w), Uint16(c.h)};
        expectSame(p, c.w ? &from : nullptr, c.x, c.y, "piece");
    }
    SDL_Rect window = {33, 41, 71, 13};
    SDL_SetClipRect(screen, &window);
    expectSame(p, nullptr, 20, 30, "clipped");
    expectSame(p, nullptr, 90, 50, "clipped at the far corner");
    SDL_SetClipRect(screen, nullptr);
}

// Paletted pictures: every index, pieces and positions clipped, and a clip rectangle.
TEST_F(Blend, PalettedPicturesLookUpSdlsPixels)
{
    SDL_Surface* p = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 40, 8, 0, 0, 0, 0);
    made.push_back(p);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {Uint8(i * 37), Uint8(255 - i), Uint8(i * i), 0};
    SDL_SetPalette(p, SDL_LOGPAL, colours, 0, 256);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 256; ++x) static_cast<Uint8*>(p->pixels)[y * p->pitch + x] = Uint8(x + y);
    SDL_Rect piece = {250, 3, 20, 10};
    expectSame(p, nullptr, 0, 0, "whole", true, paletteBlit);
    expectSame(p, nullptr, 700, 590, "off the corner", true, paletteBlit);
    expectSame(p, &piece, -3, 5, "piece", true, paletteBlit);
    SDL_Rect window = {10, 10, 1, 1};
    SDL_SetClipRect(screen, &window);
    expectSame(p, nullptr, 0, 0, "one pixel", true, paletteBlit);
    SDL_SetClipRect(screen, nullptr);
    SDL_SetColorKey(p, SDL_SRCCOLORKEY, 3);
    EXPECT_FALSE(paletteBlit(p, nullptr, screen, 0, 0));
}

// Blending over another picture is blitting that picture first, then blending.
TEST_F(Blend, OverAPictureIsThatPictureThenTheBlend)
{
    SDL_Surface* p = picture(64, 48, true, mixed);
    SDL_Surface* under = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    made.push_back(under);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) put(under, x, y, SDL_MapRGB(under->format, x, y, x + y));
    SDL_Rect piece = {5, 6, 50, 40};
    SDL_BlitSurface(under, nullptr, screen, nullptr);
    SDL_Rect to = {Sint16(770), Sint16(20), 0, 0};
    SDL_BlitSurface(p, &piece, screen, &to);
    std::vector<Uint8> want = bytesOf(screen);
    for (bool vectors : {true, false}) {
        fastBlitUseVectors(vectors);
        SDL_BlitSurface(under, nullptr, screen, nullptr);
        ASSERT_TRUE(blendBlitOver(p, &piece, under, screen, 770, 20));
        // Only the blended rectangle is written; the rest of the screen stays as it was.
        EXPECT_TRUE(bytesOf(screen) == want);
    }
    SDL_Surface* small = SDL_CreateRGBSurface(SDL_SWSURFACE, 100, 100, 24, screen->format->Rmask,
                                              screen->format->Gmask, screen->format->Bmask, 0);
    made.push_back(small);
    EXPECT_FALSE(blendBlitOver(p, nullptr, small, screen, 90, 90));
}

// What it does not take is left to SDL: opaque, keyed and paletted pictures. A picture given a
// surface alpha of its own is blended as SDL blends it, or left to SDL.
TEST_F(Blend, LeavesOtherKindsToSdl)
{
    SDL_Surface* opaque = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 24, 0xff, 0xff00, 0xff0000, 0);
    SDL_Surface* paletted = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 8, 0, 0, 0, 0);
    SDL_Surface* keyed = picture(8, 8, true, mixed);
    SDL_SetColorKey(keyed, SDL_SRCCOLORKEY, 0);
    SDL_Surface* faded = picture(8, 8, true, mixed);
    SDL_SetAlpha(faded, SDL_SRCALPHA, 128);
    made.insert(made.end(), {opaque, paletted});
    for (SDL_Surface* s : {opaque, paletted, keyed}) EXPECT_FALSE(blendBlit(s, nullptr, screen, 0, 0));
    expectSame(faded, nullptr, 0, 0, "surface alpha", false);
}

}  // namespace
