#include "presentation/fastblit.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define TESSARC_BLEND_VECTORS 1
#endif

namespace {

// Where each channel lies: the byte of a 32-bit picture pixel that holds alpha, and for each of
// the three bytes of a 24-bit screen pixel, the picture byte with the same colour channel.
struct Layout {
    int alpha;
    int colour[3];
};

// The byte a channel occupies in a pixel stored little-endian, or -1 when the mask is not one
// whole byte.
int byteOf(Uint32 mask, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        if (mask == 0xffu << (8 * i)) return i;
    return -1;
}

bool layoutOf(const SDL_PixelFormat* picture, const SDL_PixelFormat* target, Layout* layout)
{
    if (SDL_BYTEORDER != SDL_LIL_ENDIAN) return false;
    const Uint32 from[3] = {picture->Rmask, picture->Gmask, picture->Bmask};
    const Uint32 to[3] = {target->Rmask, target->Gmask, target->Bmask};
    layout->alpha = byteOf(picture->Amask, 4);
    if (layout->alpha < 0) return false;
    for (int c = 0; c < 3; ++c) {
        int pictureByte = byteOf(from[c], 4), targetByte = byteOf(to[c], 3);
        if (pictureByte < 0 || targetByte < 0) return false;
        layout->colour[targetByte] = pictureByte;
    }
    return true;
}

// SDL's blend: the screen's value moves towards the picture's by alpha/255 of the difference,
// the step rounded towards zero; alpha 0 leaves it.
void blendRowPlain(const Uint8* picture, const Uint8* under, Uint8* out, int n, const Layout& l)
{
    for (int i = 0; i < n; ++i, picture += 4, under += 3, out += 3) {
        int a = picture[l.alpha];
        for (int c = 0; c < 3; ++c) {
            int d = under[c];
            out[c] = static_cast<Uint8>(d + (picture[l.colour[c]] - d) * a / 255);
        }
    }
}

#ifdef TESSARC_BLEND_VECTORS

// The byte shuffles that put four picture pixels into the screen's order: colours, and each
// pixel's alpha beside each of its colours.
struct Shuffles {
    alignas(16) Uint8 colour[16];
    alignas(16) Uint8 alpha[16];
};

Shuffles shufflesOf(const Layout& l)
{
    Shuffles s;
    for (int i = 0; i < 16; ++i) {
        bool used = i < 12;
        s.colour[i] = used ? static_cast<Uint8>(i / 3 * 4 + l.colour[i % 3]) : 0x80;
        s.alpha[i] = used ? static_cast<Uint8>(i / 3 * 4 + l.alpha) : 0x80;
    }
    return s;
}

// Four pixels at once: s and d the picture's and the screen's bytes in screen order, a the alpha
// beside each. The step is computed on the difference's size, |s - d| * a, which fits 16 bits;
// its floor over 255 is (n + 1 + (n >> 8)) >> 8 for every such n. It is then added or taken
// away by the difference's sign, exactly as rounding towards zero does.
__attribute__((target("ssse3"))) inline __m128i blendFour(__m128i s, __m128i a, __m128i d)
{
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    __m128i high = _mm_max_epu8(s, d), low = _mm_min_epu8(s, d);
    __m128i rising = _mm_cmpeq_epi8(high, s);
    __m128i size = _mm_sub_epi8(high, low);
    __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(size, zero), _mm_unpacklo_epi8(a, zero));
    __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(size, zero), _mm_unpackhi_epi8(a, zero));
    lo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(lo, one), _mm_srli_epi16(lo, 8)), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(hi, one), _mm_srli_epi16(hi, 8)), 8);
    __m128i step = _mm_packus_epi16(lo, hi);
    return _mm_or_si128(_mm_and_si128(rising, _mm_adds_epu8(d, step)),
                        _mm_andnot_si128(rising, _mm_subs_epu8(d, step)));
}

__attribute__((target("ssse3"))) void blendRowVectors(const Uint8* picture, const Uint8* under,
                                                      Uint8* out, int n, const Shuffles& order)
{
    const __m128i colourMask = _mm_load_si128(reinterpret_cast<const __m128i*>(order.colour));
    const __m128i alphaMask = _mm_load_si128(reinterpret_cast<const __m128i*>(order.alpha));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    // Each step reads 16 bytes of `under` but uses 12: at least two pixels must follow.
    for (; i + 6 <= n; i += 4, picture += 16, under += 12, out += 12) {
        __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture));
        __m128i a = _mm_shuffle_epi8(pixels, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(a, zero)) == 0xffff) {   // all four transparent
            if (out != under) std::memcpy(out, under, 12);
            continue;
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(under));
        __m128i result = blendFour(_mm_shuffle_epi8(pixels, colourMask), a, d);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), result);
        int last = _mm_cvtsi128_si32(_mm_srli_si128(result, 8));
        std::memcpy(out + 8, &last, 4);
    }
    // The last few pixels take the same step from copies, so that nothing past the row is read.
    while (i < n) {
        int k = std::min(4, n - i);
        alignas(16) Uint8 p[16] = {}, u[16] = {}, o[16];
        std::memcpy(p, picture, 4 * k);
        std::memcpy(u, under, 3 * k);
        __m128i pixels = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
        __m128i d = _mm_load_si128(reinterpret_cast<const __m128i*>(u));
        __m128i result = blendFour(_mm_shuffle_epi8(pixels, colourMask),
                                   _mm_shuffle_epi8(pixels, alphaMask), d);
        _mm_store_si128(reinterpret_cast<__m128i*>(o), result);
        std::memcpy(out, o, 3 * k);
        i += k, picture += 4 * k, under += 3 * k, out += 3 * k;
    }
}

#endif

bool vectorsAllowed = true;

bool vectorsSupported()
{
#ifdef TESSARC_BLEND_VECTORS
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return supported;
#else
    return false;
#endif
}

// Rows of w pixels, each of the three images with its own pitch.
void blendRows(const Uint8* picture, int picturePitch, const Uint8* under, int underPitch,
               Uint8* out, int outPitch, int w, int h, const Layout& l)
{
#ifdef TESSARC_BLEND_VECTORS
    if (vectorsAllowed && vectorsSupported()) {
        const Shuffles order = shufflesOf(l);
        for (int row = 0; row < h; ++row)
            blendRowVectors(picture + row * picturePitch, under + row * underPitch,
                            out + row * outPitch, w, order);
        return;
    }
#endif
    for (int row = 0; row < h; ++row)
        blendRowPlain(picture + row * picturePitch, under + row * underPitch, out + row * outPitch, w, l);
}

// A picture this blender takes: 32-bit with per-pixel alpha in use, no colour key and no
// surface alpha of its own; a target it takes: 24-bit true colour.
bool blendable(const SDL_Surface* picture, const SDL_Surface* target)
{
    const SDL_PixelFormat* f = picture->format;
    const SDL_PixelFormat* t = target->format;
    return f->BytesPerPixel == 4 && f->Amask != 0 && (picture->flags & SDL_SRCALPHA) &&
           !(picture->flags & SDL_SRCCOLORKEY) && f->alpha == SDL_ALPHA_OPAQUE &&
           t->BytesPerPixel == 3 && !t->palette;
}

// Whether a is an opaque picture in b's pixel format: blitting it onto b copies its bytes.
bool sameFormat(const SDL_Surface* a, const SDL_Surface* b)
{
    const SDL_PixelFormat* f = a->format;
    const SDL_PixelFormat* g = b->format;
    return f->BytesPerPixel == g->BytesPerPixel && f->Rmask == g->Rmask && f->Gmask == g->Gmask &&
           f->Bmask == g->Bmask && !f->palette && !g->palette &&
           !(a->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY));
}

// What is drawn after clipping, as SDL_BlitSurface clips: to the picture, then to the target's
// clip rectangle.
struct Span {
    int sx, sy, x, y, w, h;
};

Span clip(const SDL_Surface* picture, const SDL_Rect* from, const SDL_Surface* target, int x, int y)
{
    Span s = {0, 0, x, y, picture->w, picture->h};
    if (from) s = {from->x, from->y, x, y, from->w, from->h};
    if (s.sx < 0) s.x -= s.sx, s.w += s.sx, s.sx = 0;
    if (s.sy < 0) s.y -= s.sy, s.h += s.sy, s.sy = 0;
    s.w = std::min(s.w, picture->w - s.sx);
    s.h = std::min(s.h, picture->h - s.sy);
    const SDL_Rect& c = target->clip_rect;
    if (s.x < c.x) s.sx += c.x - s.x, s.w -= c.x - s.x, s.x = c.x;
    if (s.y < c.y) s.sy += c.y - s.y, s.h -= c.y - s.y, s.y = c.y;
    s.w = std::min(s.w, c.x + c.w - s.x);
    s.h = std::min(s.h, c.y + c.h - s.y);
    return s;
}

// What the blender takes: the picture, and an opaque picture under it in target's format that
// covers the whole target.
bool takes(SDL_Surface* picture, SDL_Surface* under, SDL_Surface* target, Layout* l)
{
    if (!picture || !under || !target || !blendable(picture, target) ||
        !layoutOf(picture->format, target->format, l))
        return false;
    if (SDL_MUSTLOCK(picture) || SDL_MUSTLOCK(under) || SDL_MUSTLOCK(target)) return false;
    return under == target || (sameFormat(under, target) && under->w >= target->w && under->h >= target->h);
}

bool draw(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* under, SDL_Surface* target,
          int x, int y)
{
    Layout l;
    if (!takes(picture, under, target, &l)) return false;
    Span s = clip(picture, from, target, x, y);
    if (s.w <= 0 || s.h <= 0) return true;
    const Uint8* from8 = static_cast<const Uint8*>(picture->pixels) + s.sy * picture->pitch + s.sx * 4;
    const Uint8* under8 = static_cast<const Uint8*>(under->pixels) + s.y * under->pitch + s.x * 3;
    Uint8* to8 = static_cast<Uint8*>(target->pixels) + s.y * target->pitch + s.x * 3;
    blendRows(from8, picture->pitch, under8, under->pitch, to8, target->pitch, s.w, s.h, l);
    return true;
}

}  // namespace

bool paletteBlit(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* target, int x, int y)
{
    if (!picture || !target) return false;
    const SDL_PixelFormat* f = picture->format;
    const SDL_PixelFormat* t = target->format;
    if (f->BitsPerPixel != 8 || !f->palette || t->BytesPerPixel != 3 || t->palette ||
        (picture->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) || SDL_BYTEORDER != SDL_LIL_ENDIAN ||
        SDL_MUSTLOCK(picture) || SDL_MUSTLOCK(target))
        return false;
    Uint32 screenPixel[256] = {};
    for (int i = 0; i < f->palette->ncolors && i < 256; ++i) {
        const SDL_Color& c = f->palette->colors[i];
        screenPixel[i] = SDL_MapRGB(target->format, c.r, c.g, c.b);
    }
    Span s = clip(picture, from, target, x, y);
    for (int row = 0; row < s.h; ++row) {
        const Uint8* in = static_cast<const Uint8*>(picture->pixels) + (s.sy + row) * picture->pitch + s.sx;
        Uint8* out = static_cast<Uint8*>(target->pixels) + (s.y + row) * target->pitch + s.x * 3;
        // Four bytes written for each pixel but the last; the fourth is the next pixel's first.
        for (int i = 0; i + 1 < s.w; ++i, out += 3) std::memcpy(out, &screenPixel[in[i]], 4);
        if (s.w > 0) std::memcpy(out, &screenPixel[in[s.w - 1]], 3);
    }
    return true;
}

bool blendBlit(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* target, int x, int y)
{
    return draw(picture, from, target, target, x, y);
}

bool blendBlitOver(SDL_Surface* picture, const SDL_Rect* from, SDL_Surface* under,
                   SDL_Surface* target, int x, int y)
{
    return draw(picture, from, under, target, x, y);
}

bool blendTakesOver(SDL_Surface* picture, SDL_Surface* under, SDL_Surface* target)
{
    Layout l;
    return takes(picture, under, target, &l);
}

void fastBlitUseVectors(bool use) { vectorsAllowed = use; }
