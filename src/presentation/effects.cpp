#include "presentation/effects.h"

#include "core/decision.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/trace.h"
#include "presentation/cache.h"
#include "presentation/draw.h"
#include "presentation/fastblit.h"
#include "presentation/window.h"

namespace {

const int kTileW = 64, kTileH = 48;
const int Asize = 1;   // half the side of an iris cell

// Flips the frame and paces it; false when the animation must stop here.
bool frameDone(Uint32 started)
{
    platformFlip(screen);
    platformEventState(SDL_MOUSEMOTION, SDL_IGNORE);
    platformPumpEvents();
    if (keystate[SDLK_ESCAPE] || event.type == SDL_QUIT) {
        e = 0;
        return false;
    }
    if (keystate[SDLK_LCTRL] || keystate[SDLK_RCTRL]) {
        platformDelay(20);
        return false;
    }
    Uint32 spent = platformTicks() - started;
    if (spent <= 9) platformDelay(10 - spent);
    return true;
}

// ---- The iris ---------------------------------------------------------------------------
//
// Every 2x2 cell of the screen shows one 2x2 piece of the "fade_in" strip, chosen by which
// of two shrinking ellipses the cell's centre lies outside of. Along a row of cells the
// choice changes at most four times, so a frame is drawn as runs of cells: each run is one
// blit from a band that repeats the piece across the screen, and the run's ends are found by
// halving. The pixels are those of one blit per cell.

const int kPieceX[3] = {64, 256, 384};   // inside both ellipses, between them, outside both

// A 800x2 band of the strip's piece at x, in the strip's own format and blending, or null
// when the piece is not whole (then cells are blitted one by one).
SDL_Surface* makeBand(SDL_Surface* strip, int x)
{
    if (x + 2 > strip->w || strip->h < 2) return nullptr;
    SDL_PixelFormat* f = strip->format;
    SDL_Surface* band = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 2, f->BitsPerPixel, f->Rmask,
                                             f->Gmask, f->Bmask, f->Amask);
    if (!band) return nullptr;
    if (f->palette) SDL_SetPalette(band, SDL_LOGPAL, f->palette->colors, 0, f->palette->ncolors);
    SDL_LockSurface(strip);
    SDL_LockSurface(band);
    int bpp = f->BytesPerPixel;
    for (int row = 0; row < 2; ++row) {
        const Uint8* from = static_cast<const Uint8*>(strip->pixels) + row * strip->pitch + x * bpp;
        Uint8* to = static_cast<Uint8*>(band->pixels) + row * band->pitch;
        for (int cell = 0; cell < 400; ++cell)
            for (int i = 0; i < 2 * bpp; ++i) to[cell * 2 * bpp + i] = from[i];
    }
    SDL_UnlockSurface(band);
    SDL_UnlockSurface(strip);
    if (strip->flags & SDL_SRCCOLORKEY) SDL_SetColorKey(band, SDL_SRCCOLORKEY, surfaceColorKey(strip));
    if (strip->flags & SDL_SRCALPHA) SDL_SetAlpha(band, SDL_SRCALPHA, surfaceAlpha(strip));
    else SDL_SetAlpha(band, 0, SDL_ALPHA_OPAQUE);
    return band;
}

// Which piece the cell at (x, y) shows in frame k: 0, 1 or 2 for kPieceX.
int pieceOf(int x, int y, int k)
{
    long cx = x + Asize - 400, cy = y + Asize - 300;
    long d = 9 * cx * cx + 16 * cy * cy;
    if (d > (10 - k) * 144000L) return 2;
    if (d > (9 - k) * 144000L) return 1;
    return 0;
}

// The x of the first cell right of the centre, on the row at y, that shows `piece` or one further
// out; 800 when none does. Pieces only grow outwards.
int firstCellFrom(int y, int k, int piece)
{
    int low = 200, high = 400;   // cells are two pixels wide
    while (low < high) {
        int middle = (low + high) / 2;
        if (pieceOf(2 * middle, y, k) >= piece) high = middle;
        else low = middle + 1;
    }
    return 2 * low;
}

// A run of cells; blended over `under` when it is given, onto the screen as it is otherwise.
void drawRun(SDL_Surface* const* bands, int piece, int x0, int x1, int y, SDL_Surface* under)
{
    SDL_Surface* band = bands[piece];
    if (band) {
        SDL_Rect from = {static_cast<Sint16>(x0), 0, static_cast<Uint16>(x1 - x0), 2};
        if (under) blendBlitOver(band, &from, under, screen, x0, y);
        else blitSurfacePart(band, &from, x0, y);
        return;
    }
    for (int x = x0; x < x1; x += 2) blitPiece("fade_in", kPieceX[piece], 0, 2, 2, x, y);
}

// Frames drawn all over the screen by overlays need not blit the background first when the
// blender can draw each overlay over it directly: the background, or null.
SDL_Surface* backgroundUnder(SDL_Surface* const* overlays, int count)
{
    SDL_Surface* bg = ImgGet("bg");
    for (int i = 0; i < count; ++i)
        if (!overlays[i] || !blendTakesOver(overlays[i], bg, screen)) return nullptr;
    return bg;
}

// The background under frame k of the strip, its 64x48 piece repeated over the screen.
void drawFadeFrame(const char* name, int k)
{
    int px, py;
    SDL_Surface* strip = ImgGetPlaced(name, &px, &py);
    bool whole = strip && px == 0 && py == 0 && strip->w >= kTileW * (k + 1) && strip->h >= kTileH;
    SDL_Surface* under = whole ? backgroundUnder(&strip, 1) : nullptr;
    if (!under) blitPicture("bg", 0, 0);
    for (int y = 0; y < 600; y += kTileH)
        for (int x = 0; x < 800; x += kTileW) {
            SDL_Rect from = {static_cast<Sint16>(kTileW * k), 0, kTileW, kTileH};
            if (under) blendBlitOver(strip, &from, under, screen, x, y);
            else blitPiece(name, kTileW * k, 0, kTileW, kTileH, x, y);
        }
}

}  // namespace

void drawIrisFrame(int k)
{
    int px, py;
    SDL_Surface* strip = ImgGetPlaced("fade_in", &px, &py);
    // Made afresh for each frame: the picture under "fade_in" may have been replaced since.
    // A strip kept only in part is drawn cell by cell.
    SDL_Surface* bands[3] = {};
    for (int i = 0; strip && screen && i < 3 && px == 0 && py == 0; ++i)
        bands[i] = makeBand(strip, kPieceX[i]);
    SDL_Surface* under = backgroundUnder(bands, 3);
    if (!under) blitPicture("bg", 0, 0);
    if (!strip || !screen) return;
    for (int y = 0; y < 600; y += 2) {
        // The pieces are symmetric about the centre: outside both ellipses, between them,
        // inside both, between, outside.
        int inner = firstCellFrom(y, k, 1), outer = firstCellFrom(y, k, 2);
        const int edges[6] = {0, 800 - outer, 800 - inner, inner, outer, 800};
        const int pieces[5] = {2, 1, 0, 1, 2};
        for (int i = 0; i < 5; ++i)
            if (edges[i] < edges[i + 1]) drawRun(bands, pieces[i], edges[i], edges[i + 1], y, under);
    }
    for (SDL_Surface* band : bands)
        if (band) SDL_FreeSurface(band);
}

void fade(int dir)
{
    if (quietRun()) return;
    for (int k = 0; k < 7; ++k) {
        Uint32 started = platformTicks();
        drawFadeFrame(dir == 0 ? "fade_in" : "fade_out", k);
        if (!frameDone(started)) return;
    }
}

void shake()
{
    if (quietRun()) return;
    int x = 0, y = 0, dx = 32, dy = -31;
    for (int frame = 0;; ++frame) {
        // After the first seven frames it goes on until the picture is back near rest.
        if (frame >= 7) {
            int cx = x < 0 ? 0 : x, cy = y < 0 ? 0 : y;
            if (cx * cx + cy * cy <= 4) return;
        }
        Uint32 started = platformTicks();
        if (x > 32 || x < -32) dx = -dx;
        if (y > 24 || y < -24) dy = -dy;
        x += dx;
        y += dy;
        SDL_FillRect(screen, nullptr, 0);
        blitPicture("bg", x, y);
        if (!frameDone(started)) return;
    }
}

void black_out()
{
    for (int k = 0; k < 10 && !quietRun(); ++k) {
        Uint32 started = platformTicks();
        drawIrisFrame(k);
        if (!frameDone(started)) break;
    }
    ImgReplace("./bg/black.jpg", "bg");
}

void effect(int n)
{
    traceEffect(n);
    if (n == 1) shake();
    else if (n == 2) black_out();
    window(0);
}
