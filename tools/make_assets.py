#!/usr/bin/python3
"""Makes the bundled game's pictures, music and sounds, procedurally, into game/.

Run by hand (the outputs are committed): /usr/bin/python3 tools/make_assets.py
Needs Debian's python3-pil and python3-numpy, vorbis-tools (oggenc) and the IPA fonts.
Everything is seeded, so a run gives the same files every time (about a minute).
Name families to make only those: /usr/bin/python3 tools/make_assets.py backgrounds sounds
"""
import os
import struct
import subprocess
import tempfile
import wave
import zlib

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

GAME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "game")
PICTURES = os.path.join(GAME, "system", "picture")


def font_file(pattern):
    return subprocess.check_output(["fc-match", "-f", "%{file}", pattern], text=True)


GOTHIC = font_file("IPAGothic:lang=ja")
MINCHO = font_file("IPAMincho:lang=ja")
MINCHO_P = font_file("IPAPMincho:lang=ja")


def save(image, *parts, quality=88):
    path = os.path.join(GAME, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if path.endswith(".jpg"):
        image.convert("RGB").save(path, quality=quality, optimize=True)
    elif image.mode == "RGBA":
        save_unfiltered_rgba(image, path)
    else:
        image.save(path, optimize=True)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def save_unfiltered_rgba(image, path):
    """An RGBA PNG with no row filter: the overlays are mostly transparent, so they compress as
    well this way, and the game decodes them about three times as fast (the title's buttons are
    read before its first frame)."""
    w, h = image.size
    raw = image.tobytes()
    stride = w * 4
    rows = b"".join(b"\0" + raw[r * stride:(r + 1) * stride] for r in range(h))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
                  png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def vertical_gradient(w, h, top, bottom):
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    colours = np.array(top, float) * (1 - t) + np.array(bottom, float) * t
    return Image.fromarray(np.repeat(colours, w, axis=1).astype(np.uint8), "RGB")


# ---- Painting toolkit ----------------------------------------------------------------------
# Pictures are painted as float arrays (h, w, 3) with values 0..1, layer by layer: gradients,
# soft noise, glows, rays and silhouettes, then turned into PIL images at the end.

W, H = 800, 600


def rgb(code):
    """'#rrggbb' -> float colour array."""
    return np.array([int(code[i:i + 2], 16) for i in (1, 3, 5)], np.float32) / 255.0


def grid(w, h):
    """Pixel-centre coordinate arrays (x, y), each (h, w)."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    return x + 0.5, y + 0.5


def vgrad(w, h, stops):
    """Vertical gradient through [(t 0..1, '#colour'), ...]."""
    t = np.linspace(0.0, 1.0, h)
    pos = [s[0] for s in stops]
    cols = np.stack([np.interp(t, pos, [rgb(s[1])[k] for s in stops]) for k in range(3)], -1)
    return np.repeat(cols[:, None, :], w, axis=1).astype(np.float32)


def ramp(t, stops):
    """Colours of a gradient at the values t (any shape) -> t.shape + (3,)."""
    pos = [s[0] for s in stops]
    return np.stack([np.interp(t, pos, [rgb(s[1])[k] for s in stops]) for k in range(3)],
                    -1).astype(np.float32)


def smooth(a, b, x):
    """Smoothstep from a to b."""
    t = np.clip((x - a) / (b - a), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def noise(w, h, cell, seed, octaves=4, gain=0.5, aspect=1.0):
    """Fractal value noise in 0..1; cell is the coarsest feature size in pixels, aspect
    stretches features horizontally."""
    rng = np.random.default_rng(seed)
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    for _ in range(octaves):
        cw, ch = max(1.0, cell * aspect), max(1.0, cell)
        gw, gh = int(w / cw) + 4, int(h / ch) + 4
        small = Image.fromarray(rng.random((gh, gw)).astype(np.float32), "F")
        big = small.resize((int(gw * cw), int(gh * ch)), Image.BICUBIC)
        ox, oy = int(cw * 1.5), int(ch * 1.5)
        total += amp * np.asarray(big, np.float32)[oy:oy + h, ox:ox + w]
        norm += amp
        amp *= gain
        cell /= 2.0
    return np.clip(total / norm, 0.0, 1.0)


def noise1d(n, cell, seed, octaves=4, gain=0.5):
    """Fractal noise along one axis, n samples, roughly -0.5..0.5."""
    return noise(n, 1, cell, seed, octaves, gain)[0] - 0.5


def periodic_noise(size, seed, kx=1.0, ky=1.0, slope=2.2, cut=2):
    """Tileable fractal noise (size x size) made in the frequency domain; kx, ky squeeze the
    spectrum along each axis (kx > ky gives features long in x)."""
    rng = np.random.default_rng(seed)
    fy = np.fft.fftfreq(size)[:, None] * size
    fx = np.fft.rfftfreq(size)[None, :] * size
    f = np.sqrt((fx * kx) ** 2 + (fy * ky) ** 2)
    amp = np.where(f < cut, 0.0, 1.0 / np.maximum(f, 1.0) ** (slope / 2 + 0.5))
    spectrum = amp * np.exp(2j * np.pi * rng.random(amp.shape))
    tex = np.fft.irfft2(spectrum, s=(size, size))
    tex = (tex - tex.min()) / (tex.max() - tex.min())
    return tex.astype(np.float32)


def sample(tex, u, v):
    """Bilinear lookup of a tileable texture at float coordinates (wrapping)."""
    th, tw = tex.shape
    u0, v0 = np.floor(u).astype(np.int64), np.floor(v).astype(np.int64)
    fu, fv = (u - u0).astype(np.float32), (v - v0).astype(np.float32)
    u0, v0 = u0 % tw, v0 % th
    u1, v1 = (u0 + 1) % tw, (v0 + 1) % th
    top = tex[v0, u0] * (1 - fu) + tex[v0, u1] * fu
    bottom = tex[v1, u0] * (1 - fu) + tex[v1, u1] * fu
    return top * (1 - fv) + bottom * fv


def box(a, r, axis):
    """Running mean of width 2r+1 along an axis, edges extended."""
    pad = [(0, 0)] * a.ndim
    pad[axis] = (r + 1, r)
    c = np.cumsum(np.pad(a, pad, mode="edge"), axis=axis, dtype=np.float64)
    n = a.shape[axis]
    hi = np.take(c, np.arange(2 * r + 1, 2 * r + 1 + n), axis=axis)
    lo = np.take(c, np.arange(0, n), axis=axis)
    return ((hi - lo) / (2 * r + 1)).astype(np.float32)


def mip_sample(tex, u, v, footprint):
    """Texture lookup that averages away detail smaller than footprint (texels per pixel),
    so far-off ground and sea stay calm instead of shimmering."""
    levels = [tex]
    while levels[-1].shape[0] > 8:
        t = levels[-1]
        n = t.shape[0] // 2
        levels.append(t.reshape(n, 2, n, 2).mean(axis=(1, 3)))
    lod = np.clip(np.log2(np.maximum(footprint, 1.0)), 0, len(levels) - 1.001)
    lo = np.floor(lod).astype(int)
    out = np.zeros(u.shape, np.float32)
    for k in range(len(levels)):
        sel = lo == k
        if not sel.any():
            continue
        f = (lod[sel] - k).astype(np.float32)
        a = sample(levels[k], u[sel] / 2 ** k, v[sel] / 2 ** k)
        b = sample(levels[k + 1], u[sel] / 2 ** (k + 1), v[sel] / 2 ** (k + 1))
        out[sel] = a * (1 - f) + b * f
    return out


def blur(a, radius):
    """Near-Gaussian blur (three box passes) of a float array (h, w) or (h, w, 3)."""
    if radius <= 0:
        return a
    r = max(1, int(round(radius * 0.8)))
    a = np.asarray(a, np.float32)
    for _ in range(3):
        a = box(box(a, r, 0), r, 1)
    return a


def mix(base, colour, alpha):
    """Paint colour (a colour or an image) over base with alpha (scalar or (h, w))."""
    alpha = np.asarray(alpha, np.float32)
    if alpha.ndim == 2:
        alpha = alpha[..., None]
    base *= 1 - alpha
    base += np.asarray(colour, np.float32) * alpha
    return base


def add(base, colour, amount):
    """Add light: base += colour * amount (amount scalar or (h, w))."""
    amount = np.asarray(amount, np.float32)
    if amount.ndim == 2:
        amount = amount[..., None]
    base += np.asarray(colour, np.float32) * amount
    return base


def screen(base, colour, amount):
    """Screen blend: brightens without blowing out."""
    amount = np.asarray(amount, np.float32)
    if amount.ndim == 2:
        amount = amount[..., None]
    light = np.asarray(colour, np.float32) * amount
    base[:] = 1 - (1 - base) * (1 - np.clip(light, 0, 1))
    return base


def glow(w, h, cx, cy, radius, soft=2.0, sx=1.0):
    """Radial falloff 1 at (cx, cy) to ~0 at radius; sx widens it horizontally."""
    x, y = grid(w, h)
    d = np.sqrt(((x - cx) / sx) ** 2 + (y - cy) ** 2) / radius
    return np.exp(-(d ** soft) * 3.0).astype(np.float32)


def rays(w, h, cx, cy, seed, count=36, sharp=3.0, reach=600.0):
    """Streaks of light fanning out from (cx, cy)."""
    x, y = grid(w, h)
    rng = np.random.default_rng(seed)
    ang = (np.arctan2(y - cy, x - cx) / (2 * np.pi) + 0.5) * count
    pattern = rng.random(count + 1)
    pattern[-1] = pattern[0]
    i0 = np.floor(ang).astype(int) % count
    f = ang - np.floor(ang)
    f = f * f * (3 - 2 * f)
    streak = pattern[i0] * (1 - f) + pattern[i0 + 1] * f
    dist = np.sqrt((x - cx) ** 2 + (y - cy) ** 2)
    return (streak ** sharp * np.exp(-dist / reach)).astype(np.float32)


def shape(w, h, paint, ss=3, soft=0.0):
    """Antialiased mask 0..1 from a drawing callback paint(draw, s) (s = supersampling
    factor, multiply coordinates by it); soft blurs the edge by that many pixels."""
    img = Image.new("L", (w * ss, h * ss), 0)
    paint(ImageDraw.Draw(img), ss)
    img = img.resize((w, h), Image.LANCZOS)
    mask = np.asarray(img, np.float32) / 255.0
    return blur(mask, soft) if soft else mask


def polygon(points, s):
    return [(px * s, py * s) for px, py in points]


def below(w, h, curve, soft=1.0):
    """Mask of everything under the curve y = curve[x] (one value per column)."""
    _, y = grid(w, h)
    return np.clip((y - curve[None, :]) / soft + 0.5, 0.0, 1.0).astype(np.float32)


def stars(canvas, count, seed, top=0, bottom=None, bright=1.0, colour="#fff8ec", fade=None):
    """Scatter stars (a few large with glints) over rows top..bottom of the canvas."""
    h, w, _ = canvas.shape
    bottom = bottom or h
    rng = np.random.default_rng(seed)
    layer = np.zeros((h, w), np.float32)
    yy, xx = np.mgrid[-4:5, -4:5]
    for _ in range(count):
        x, y = rng.uniform(4, w - 5), rng.uniform(top + 4, bottom - 5)
        size = rng.uniform(0.35, 0.8) if rng.random() > 0.06 else rng.uniform(0.9, 1.4)
        b = rng.uniform(0.25, 1.0) * bright
        ix, iy = int(x), int(y)
        dx, dy = xx - (x - ix) + 0.5, yy - (y - iy) + 0.5
        spot = b * np.exp(-(dx * dx + dy * dy) / (2 * size * size))
        if size > 0.9:
            spot += 0.35 * b * (np.exp(-np.abs(dx) * 2.5 - dy * dy * 3) +
                                np.exp(-np.abs(dy) * 2.5 - dx * dx * 3))
        layer[iy - 4:iy + 5, ix - 4:ix + 5] += spot
    if fade is not None:
        layer *= fade
    return add(canvas, rgb(colour), np.clip(layer, 0, 1.5))


def clouds(w, h, seed, cell=180, aspect=3.0, cover=0.5, soft=0.5):
    """Cloud density 0..1 (soft, horizontally stretched); cover is the covered fraction and
    soft the edge width in standard deviations."""
    n = noise(w, h, cell, seed, octaves=5, gain=0.55, aspect=aspect)
    n = (n - n.mean()) / (n.std() + 1e-6)
    thr = np.quantile(n, 1 - cover)
    return smooth(thr - soft, thr + soft, n)


def shift(a, dx, dy):
    """Move an array by whole pixels (dx right, dy down), repeating the edges."""
    dx, dy = int(round(dx)), int(round(dy))
    h, w = a.shape[:2]
    ys = np.clip(np.arange(h) - dy, 0, h - 1)
    xs = np.clip(np.arange(w) - dx, 0, w - 1)
    return a[ys][:, xs]


def rim(density, dx, dy, radius=3):
    """Light catching the cloud edges that face (dx, dy)."""
    shifted = shift(density, dx, dy)
    return np.clip(blur(density - shifted, radius) * 2.0, 0, 1)


def sea(canvas, horizon, stops, seed, sun_x=None, sun_col="#fff0c8", glitter=1.0,
        waves=1.0, sky_col=None, cx=400.0, scale=1.0):
    """Paint a sea from the horizon row down: colour by distance (stops over 0 far .. 1 near),
    perspective wave texture, and a glittering sun path at sun_x."""
    h, w, _ = canvas.shape
    tex = periodic_noise(512, seed, kx=2.5, ky=0.6, slope=2.4)
    tex2 = periodic_noise(256, seed + 1, kx=1.8, ky=0.7, slope=1.6)
    x, y = grid(w, h - horizon)
    d = y + 0.6
    depth = d / (h - horizon)
    u = (x - cx) * 70.0 * scale / d
    v = 9000.0 * scale / d
    hgt = sample(tex, u, v) * 0.7 + sample(tex2, u * 2.1, v * 2.3) * 0.3
    slope = hgt - sample(tex, u, v + 6.0) * 0.7 - sample(tex2, u * 2.1, (v + 6.0) * 2.3) * 0.3
    fadefar = smooth(0.0, 60.0, d)
    base = ramp(depth ** 0.6, stops)
    shade = slope * 3.0 * waves * fadefar
    light = np.clip(shade, 0, 1)[..., None]
    dark = np.clip(-shade, 0, 1)[..., None]
    sky = rgb(sky_col) if sky_col else base[0, 0] * 1.6
    base = base * (1 - dark * 0.5) + sky * light * 0.45
    if sun_x is not None:
        spread = 8.0 + d * 0.9
        path = np.exp(-((x - sun_x) / spread) ** 2)
        glints = noise(w, h - horizon, 5, seed + 2, octaves=2, aspect=3.0)
        crest = smooth(0.45, 0.7, hgt + slope * 2.0)
        sparkle = smooth(0.66, 0.8, glints) * crest * path * glitter
        haze = np.exp(-((x - sun_x) / (spread * 2.2)) ** 2) * np.exp(-d / 90.0) * 0.5 * glitter
        base += rgb(sun_col) * (sparkle * (0.6 + 0.6 * fadefar) + haze)[..., None]
    canvas[horizon:] = base
    return canvas


def crag(w, h, seed, cell=40, light=(-0.6, -0.8), octaves=5, depth=6.0):
    """Bumpy rock shading, about -1..1, lit from the direction light (dx, dy)."""
    n = noise(w, h, cell, seed, octaves=octaves, gain=0.55)
    gy, gx = np.gradient(n)
    lx, ly = light
    return np.clip(-(gx * lx + gy * ly) * depth * cell / 4.0, -1, 1).astype(np.float32)


def edge_light(mask, dx, dy, soft=1.5):
    """The rim of a mask that faces (dx, dy) pixels away, for back-lit silhouettes."""
    shifted = shift(mask, -dx, -dy)
    return np.clip(blur(mask - shifted, soft), 0, 1)


def finish(canvas, seed=0, vignette=0.35, grain=0.012):
    """Vignette and a fine canvas grain, then to an RGB PIL image."""
    h, w, _ = canvas.shape
    x, y = grid(w, h)
    r = ((x / w - 0.5) ** 2 + (y / h - 0.5) ** 2) * 2
    canvas = canvas * (1 - vignette * r ** 1.5)[..., None]
    if grain:
        rng = np.random.default_rng(seed + 999)
        canvas = canvas + rng.normal(0, grain, (h, w, 1)).astype(np.float32)
    return Image.fromarray((np.clip(canvas, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB")


def rgba_image(colour, alpha):
    """PIL RGBA image from a colour array (h, w, 3) and alpha (h, w), both 0..1."""
    arr = np.concatenate([np.clip(colour, 0, 1), np.clip(alpha, 0, 1)[..., None]], -1)
    return Image.fromarray((arr * 255 + 0.5).astype(np.uint8), "RGBA")


def mincho(size):
    return ImageFont.truetype(MINCHO, size)


def gothic(size):
    return ImageFont.truetype(GOTHIC, size)


def text_layer(w, h, items):
    """Alpha mask (h, w) of text: items are (x, y, text, font, anchor)."""
    img = Image.new("L", (w, h), 0)
    draw = ImageDraw.Draw(img)
    for x, y, text, font, anchor in items:
        draw.text((x, y), text, font=font, fill=255, anchor=anchor)
    return np.asarray(img, np.float32) / 255.0


# ---- Backgrounds ---------------------------------------------------------------------------

def black():
    save(Image.new("RGB", (800, 600), (0, 0, 0)), "bg", "black.jpg")


def dawn():
    """A quiet shore before sunrise: the first scene's background."""
    sky = vertical_gradient(800, 600, (28, 32, 74), (236, 160, 120))
    draw = ImageDraw.Draw(sky)
    draw.ellipse((330, 330, 470, 470), fill=(255, 214, 160))
    sea = vertical_gradient(800, 200, (70, 80, 120), (20, 26, 52))
    sky.paste(sea, (0, 400))
    rng = np.random.default_rng(7)
    for _ in range(140):
        y = int(rng.uniform(405, 600))
        x = int(rng.uniform(0, 800))
        length = int(rng.uniform(10, 60))
        shade = int(150 + (600 - y) * 0.4)
        draw.line((x, y, x + length, y), fill=(shade, shade - 30, shade - 60), width=1)
    sky = sky.filter(ImageFilter.GaussianBlur(0.6))
    save(sky, "bg", "dawn.jpg")


DAWN_SKY = [(0.0, "#1d2452"), (0.35, "#4b4f8c"), (0.62, "#b48ab4"), (0.82, "#f4a9a0"),
            (1.0, "#ffd9a2")]


def dawn_sky(w, h, horizon, seed, sun=(520, 250), stops=DAWN_SKY, cover=0.42, lit="#ffd3b0",
             shadow="#6c5c8e"):
    """Sky down to the horizon with a low sun, its glow and soft lit clouds."""
    c = vgrad(w, horizon, stops)
    g = glow(w, horizon, sun[0], sun[1], 420, soft=1.2, sx=1.6)
    screen(c, rgb("#ffc890"), g * 0.55)
    dens = clouds(w, horizon, seed, cell=160, aspect=3.5, cover=cover)
    dens *= smooth(0.0, 0.35, np.linspace(0, 1, horizon))[:, None]
    dens *= 1 - smooth(0.72, 1.0, np.linspace(0, 1, horizon))[:, None] * 0.7
    near_sun = glow(w, horizon, sun[0], sun[1], 520, soft=1.0, sx=1.4)
    body = ramp(np.clip(near_sun * 1.1, 0, 1), [(0, shadow), (1, lit)])
    mix(c, body, dens * 0.8)
    screen(c, rgb("#fff0d8"), rim(dens, (sun[0] - w / 2) / 60, 5) * (0.3 + near_sun) * 0.9)
    core = glow(w, horizon, sun[0], sun[1], 40, soft=2.0)
    screen(c, rgb("#fffbe8"), core)
    return c


def lighthouse_shape(draw, s, x, base, top, width):
    """Tall tapered tower with a gallery and a lantern cap."""
    half_b, half_t = width / 2, width * 0.36
    draw.polygon(polygon([(x - half_b, base), (x - half_t, top), (x + half_t, top),
                          (x + half_b, base)], s), fill=255)
    gw = width * 0.55
    draw.rectangle(polygon([(x - gw, top - width * 0.12), (x + gw, top)], s), fill=255)
    lw = width * 0.3
    draw.rectangle(polygon([(x - lw, top - width * 0.65), (x + lw, top - width * 0.12)], s),
                   fill=255)
    draw.polygon(polygon([(x - lw * 1.3, top - width * 0.65), (x, top - width * 1.0),
                          (x + lw * 1.3, top - width * 0.65)], s), fill=255)


def shore():
    """Beach at dawn: a glittering sea, lapping foam, wet sand mirroring the sky and the far
    lighthouse on its headland."""
    horizon, seed = 268, 11
    c = np.zeros((H, W, 3), np.float32)
    c[:horizon] = dawn_sky(W, horizon, horizon, seed, sun=(540, 246), cover=0.35)
    sea(c, horizon, [(0, "#c89aa8"), (0.25, "#6d6f9e"), (1, "#27466e")], seed, sun_x=540,
        sun_col="#ffe2b8", sky_col="#f6c0b0", glitter=1.4)
    x = np.arange(W, dtype=np.float32)
    # headland with the lighthouse, hazy with distance
    ridge = horizon - 26 - 34 * smooth(260, 20, x) - 6 * noise1d(W, 60, seed + 3) * 4
    ridge = ridge + (horizon + 4 - ridge) * smooth(250, 330, x)
    land = below(W, H, ridge) * (np.arange(H) < horizon + 3)[:, None]
    land = np.maximum(land, shape(W, H, lambda d, s: lighthouse_shape(d, s, 138, 222, 160, 16)))
    mix(c, rgb("#5a4d78"), land * 0.92)
    lamp = glow(W, H, 138, 150, 26, soft=1.6)
    screen(c, rgb("#ffc46a"), lamp * 0.9)
    # mist lying on the water near the horizon
    band = np.exp(-((np.arange(H) - horizon - 4) / 22.0) ** 2)[:, None]
    mist = noise(W, H, 120, seed + 5, aspect=4.0)
    screen(c, rgb("#f3cfc6"), band * (0.25 + 0.45 * mist))
    # the shoreline: the sea ends at a wandering line; below it wet then dry sand
    shore_y = 398 + 10 * np.sin(x / 130.0 + 0.6) + 40 * noise1d(W, 200, seed + 7)
    sand = vgrad(W, H, [(0, "#a4857e"), (0.7, "#c7a48e"), (1, "#d9b899")])
    grainy = noise(W, H, 6, seed + 8, octaves=3)
    sand *= (0.93 + 0.1 * grainy)[..., None]
    ripples = noise(W, H, 40, seed + 9, octaves=3, aspect=6.0)
    sand *= (0.96 + 0.08 * ripples)[..., None]
    wet_edge = shore_y + 60 + 18 * noise1d(W, 90, seed + 10) * 2
    wet = 1 - below(W, H, wet_edge, soft=14.0)
    # wet sand mirrors the sky (flipped) in a muted way
    _, yy = grid(W, H)
    src = np.clip(horizon - (yy - shore_y[None, :]) * 1.6, 0, horizon - 1).astype(int)
    mirror = c[src, np.arange(W)[None, :]]
    wet_col = sand * 0.55 + mirror * 0.55
    sun_path = np.exp(-((x - 540) / 70.0) ** 2)[None, :] * wet * 0.35
    add(wet_col, rgb("#ffd6a8"), sun_path)
    sand = sand * (1 - wet[..., None]) + wet_col * wet[..., None]
    land_mask = below(W, H, shore_y, soft=2.0)
    mix(c, sand, land_mask)
    # foam: a lacy line at the water's edge and a second, fainter wave further out
    for k, (offset, strength) in enumerate(((0, 1.0), (-16, 0.7), (-40, 0.45))):
        line = shore_y + offset + 5 * noise1d(W, 40, seed + 20 + k) * 2
        dist = yy - line[None, :]
        lace = noise(W, H, 10, seed + 30 + k, octaves=3, aspect=3.0)
        lace = (lace - lace.mean()) / lace.std()
        crest = np.exp(-(dist / (2.5 + k)) ** 2)
        trail = smooth(2, -24 - 10 * k, dist) * smooth(-40 - 10 * k, -10, dist)
        foam = np.clip(crest * smooth(-1.0, 0.2, lace) + trail * smooth(0.3, 1.2, lace) * 0.8,
                       0, 1) * strength
        mix(c, rgb("#fcf4ee"), foam * 0.92)
    # footprints wandering up the beach from the bottom edge
    rng = np.random.default_rng(seed + 41)

    def steps(d, s):
        for i in range(14):
            t = i / 13
            px = 250 + 330 * t + 18 * np.sin(t * 5)
            py = 600 - 140 * t ** 0.8
            size = 15 * (1 - 0.6 * t)
            side = (-1) ** i * size * 0.7
            d.ellipse(polygon([(px + side - size * 0.45, py - size), (px + side + size * 0.45,
                                                                      py + size * 0.2)], s),
                      fill=int(200 - 80 * t))
    prints = shape(W, H, steps, soft=0.6)
    mix(c, rgb("#7a5a5e"), prints * 0.6)
    screen(c, rgb("#ffe6c8"), np.clip(shift(prints, 0, 2) - prints, 0, 1) * 0.6)
    # a few pebbles and shells in the dry sand
    rng = np.random.default_rng(seed + 40)
    pebbles = Image.new("L", (W, H), 0)
    pd = ImageDraw.Draw(pebbles)
    for _ in range(26):
        px, py = rng.uniform(0, W), rng.uniform(470, 600)
        r = rng.uniform(1.0, 2.6) * (py - 400) / 150
        pd.ellipse((px - r * 1.5, py - r, px + r * 1.5, py + r), fill=int(rng.uniform(90, 200)))
    pmask = blur(np.asarray(pebbles, np.float32) / 255.0, 0.7)
    mix(c, rgb("#5e4a4c"), pmask * 0.7)
    img = finish(c, seed, vignette=0.3)
    return img


def sunrise():
    """The sun lifting clear of the sea: gold light, rays, pink clouds and birds."""
    horizon, seed, sun = 330, 23, (400, 300)
    stops = [(0.0, "#3e5fa8"), (0.3, "#7f8fd0"), (0.55, "#f0b2b8"), (0.8, "#ffc98e"),
             (1.0, "#fff0c4")]
    c = np.zeros((H, W, 3), np.float32)
    sky = dawn_sky(W, horizon, horizon, seed, sun=sun, stops=stops, cover=0.5, lit="#ffe2bf",
                   shadow="#b07fa6")
    r = rays(W, horizon, sun[0], sun[1], seed, count=44, sharp=2.5, reach=380)
    screen(sky, rgb("#fff1c8"), r * 0.6)
    big = glow(W, horizon, sun[0], sun[1], 300, soft=1.3)
    screen(sky, rgb("#ffe7a8"), big * 0.75)
    disc = glow(W, horizon, sun[0], sun[1], 52, soft=6.0)
    screen(sky, rgb("#fffef4"), disc * 1.2)
    c[:horizon] = sky
    sea(c, horizon, [(0, "#ffd2a0"), (0.2, "#d29aa8"), (0.6, "#5a78b4"), (1, "#2e5590")],
        seed, sun_x=sun[0], sun_col="#fff2c8", glitter=1.6, sky_col="#ffd8b8")
    _, yy = grid(W, H)
    column = np.exp(-((np.arange(W) - sun[0]) / 150.0) ** 2)[None, :] * (yy > horizon)
    screen(c, rgb("#ffc070"), column * 0.35)
    _, yy = grid(W, H)
    band = np.exp(-((yy - horizon) / 16.0) ** 2)
    screen(c, rgb("#ffe8c4"), band * 0.35)
    # birds: small gull silhouettes
    rng = np.random.default_rng(seed + 3)

    def gulls(d, s):
        for _ in range(9):
            bx, by = rng.uniform(180, 640), rng.uniform(90, 230)
            span = rng.uniform(7, 15)
            lift = rng.uniform(0.2, 0.6) * span
            d.line(polygon([(bx - span, by - lift), (bx - span * 0.4, by - lift * 0.4),
                            (bx, by)], s), fill=255, width=int(2 * s))
            d.line(polygon([(bx, by), (bx + span * 0.4, by - lift * 0.4),
                            (bx + span, by - lift)], s), fill=255, width=int(2 * s))
    mix(c, rgb("#6a4a6a"), shape(W, H, gulls) * 0.8)
    # near rocks framing the bottom corners, rim-lit
    x = np.arange(W, dtype=np.float32)
    rocks = 560 - 90 * smooth(200, 0, x) - 70 * smooth(620, 800, x) + 30 * noise1d(W, 50, seed)
    rmask = below(W, H, rocks, soft=1.2)
    bump = crag(W, H, seed + 9, cell=70, light=(0.0, -1.0), depth=3.0)
    mix(c, ramp(bump * 0.5 + 0.5, [(0, "#1a1524"), (0.6, "#2e2538"), (1, "#5a4450")]), rmask)
    screen(c, rgb("#ffc890"), edge_light(rmask, 0, -3) * 0.7)
    img = finish(c, seed, vignette=0.22)
    return img


def ground(w, h, horizon, cx=400.0, height=70.0, focal=500.0):
    """Ground-plane coordinates (u across, v away) for the rows below the horizon, the row
    distance d below the horizon and the texel footprint of a pixel there."""
    x, y = grid(w, h - horizon)
    d = y + 0.6
    return (x - cx) * height / d, focal * height / d, d, focal * height / d ** 2


def tidepool():
    """Rock shelf at low tide: pools holding the pale morning sky, weed and a starfish."""
    horizon, seed = 190, 31
    stops = [(0.0, "#5d7cb8"), (0.5, "#a9b4d8"), (0.85, "#f2c6c0"), (1.0, "#ffe2c0")]
    c = np.zeros((H, W, 3), np.float32)
    c[:horizon] = dawn_sky(W, horizon, horizon, seed, sun=(260, 170), stops=stops, cover=0.4,
                           lit="#fff0dc", shadow="#9a9cc8")
    sea(c, horizon, [(0, "#d8c4cc"), (0.3, "#7f93be"), (1, "#3d6a92")], seed, sun_x=260,
        sun_col="#fff0d8", sky_col="#e8d8e0", glitter=0.9)
    # the shelf begins a little below the horizon; everything is seen in perspective
    top = 250
    u, v, d, foot = ground(W, H, horizon, height=160.0, focal=600.0)
    tex = periodic_noise(512, seed + 1, slope=2.6)
    fine = periodic_noise(256, seed + 2, slope=1.8)
    hgt = mip_sample(tex, u, v, foot) * 0.8 + mip_sample(fine, u * 3, v * 3, foot * 3) * 0.2
    hx = mip_sample(tex, u + 2, v, foot) - mip_sample(tex, u - 2, v, foot)
    hz = mip_sample(tex, u, v + 2, foot) - mip_sample(tex, u, v - 2, foot)
    fadefar = smooth(top - horizon, top - horizon + 120, d)
    light = np.clip(0.5 - (hx * -0.6 + hz * 0.8) * 14.0, 0, 1)
    tone = np.clip(0.2 + hgt * 0.7 + (light - 0.5) * 0.6 * fadefar, 0, 1)
    rock = ramp(tone, [(0, "#24223a"), (0.4, "#463f58"), (0.7, "#786878"), (1, "#b8a0a0")])
    speck = smooth(0.7, 0.8, mip_sample(fine, u * 9, v * 9, foot * 9))
    rock = mix(rock, rgb("#beb4b8"), speck * 0.25 * fadefar)
    level = float(np.quantile(hgt[80:], 0.3))
    pool = smooth(level + 0.01, level - 0.01, hgt)
    wet = smooth(level + 0.06, level, hgt)
    rock *= (1 - 0.35 * wet)[..., None]
    # pools mirror the sky: near water shows the high, deep blue sky
    mirror_row = np.clip(horizon - d * 0.9, 0, horizon - 1).astype(int)
    water = c[mirror_row, np.arange(W)[None, :]] * np.array([0.85, 0.92, 1.0], np.float32)
    under = smooth(level - 0.02, level - 0.15, hgt)
    water = mix(water, rgb("#24405a"), under * 0.4)
    ripple = mip_sample(periodic_noise(128, seed + 3, kx=3.0, ky=0.5), u * 4, v * 4, foot * 4)
    water += ((ripple - 0.5) * 0.08)[..., None]
    rock = mix(rock, water, pool)
    far_lip = np.clip(pool - shift(pool, 0, 2), 0, 1)
    rock = screen(rock, rgb("#fff4e8"), far_lip * 0.6)
    # weed where the rock sits just above the water line
    weed = smooth(level + 0.05, level + 0.015, hgt) * (1 - pool) * smooth(0.5, 0.7, mip_sample(fine, u * 5, v * 5, foot * 5))
    rock = mix(rock, rgb("#3e5a3a"), weed * 0.8)
    shelf = smooth(top - horizon - 1, top - horizon + 1, d + 14 * noise1d(W, 120, seed + 4)[None, :] * 3)
    mix(c[horizon:], rock, shelf)
    foam = np.exp(-((d - (top - horizon) - 10 * noise1d(W, 120, seed + 4)[None, :] * 3) / 3.0) ** 2)
    mix(c[horizon:], rgb("#f4eef0"), foam * smooth(0.4, 0.7, mip_sample(fine, u * 2, v, foot)) * 0.8)

    def starfish(dr, s):
        cx, cy, r = 585, 540, 26
        pts = []
        for k in range(10):
            a = -np.pi / 2 + k * np.pi / 5 + 0.2
            rr = r if k % 2 == 0 else r * 0.42
            pts.append((cx + rr * np.cos(a), cy + rr * np.sin(a) * 0.6))
        dr.polygon(polygon(pts, s), fill=255)
    star = shape(W, H, starfish, soft=0.6)
    mix(c, rgb("#e0765a"), star)
    screen(c, rgb("#ffd0a0"), np.clip(star - shift(star, 1, 2), 0, 1) * 0.7)
    mix(c, rgb("#2a1a24"), np.clip(shift(star, 2, 3) - star, 0, 1) * 0.5)
    _, yy = grid(W, H)
    band = np.exp(-((yy - horizon - 30) / 40.0) ** 2)
    screen(c, rgb("#f0dcd8"), band * 0.25)
    img = finish(c, seed, vignette=0.3)
    return img


def planks(w, h, seed, width, colours, vertical=True, gap="#1c1008"):
    """Wooden boards with grain and dark seams."""
    x, y = grid(w, h)
    along, across = (y, x) if vertical else (x, y)
    idx = np.floor(across / width)
    rng = np.random.default_rng(seed)
    shade = rng.uniform(0.75, 1.1, int(max(w, h) / width) + 2)[idx.astype(int)]
    grain = noise(w, h, 60, seed + 1, octaves=4, aspect=(0.08 if vertical else 12.0))
    wood = ramp(np.clip(grain * shade, 0, 1), colours)
    frac = across / width - idx
    seam = smooth(0.04, 0.0, frac) + smooth(0.96, 1.0, frac)
    return mix(wood, rgb(gap), np.clip(seam, 0, 1) * 0.85)


def hut():
    """Inside the fisher's hut: plank walls, a window onto the dawn sea, a lantern, nets."""
    seed = 41
    c = planks(W, H, seed, 52, [(0, "#2a160c"), (0.5, "#5a3218"), (1, "#8a5630")])
    x, yy = grid(W, H)
    rng = np.random.default_rng(seed + 2)
    # floor boards in perspective below y 440
    floor_top = 440
    fy = np.clip(yy - floor_top, 1, None)
    fz = 5200.0 / fy
    fx = (x - 400) * fz / 260.0
    board = np.floor(fx / 40.0)
    tone = rng.uniform(0.7, 1.05, 400)[(board.astype(int) % 400)]
    grain = sample(periodic_noise(256, seed + 3, kx=0.2, ky=3.0), fx * 3, fz * 0.6)
    floor = ramp(np.clip(grain * tone, 0, 1), [(0, "#2e1a0e"), (0.6, "#6a4224"), (1, "#9a6a40")])
    seam = smooth(0.05, 0.0, fx / 40.0 - board)
    mix(floor, rgb("#160a04"), seam * smooth(0, 40, fy))
    mix(c, floor, smooth(floor_top - 1, floor_top + 1, yy))
    mix(c, rgb("#140a04"), np.exp(-((yy - floor_top) / 5.0) ** 2) * 0.7)
    # a net hung on the wall: sagging diamond mesh
    def net(d, s):
        for k in range(-9, 10):
            for sign in (1, -1):
                pts = [(470 + k * 14 + sign * t * 1.1, 90 + t * 2.0 + 16 * np.sin(t / 38)) for t in range(0, 121, 4)]
                d.line(polygon(pts, s), fill=200, width=int(1.3 * s))
    netmask = shape(W, H, net) * glow(W, H, 470, 190, 140, soft=3.0) * smooth(88, 96, yy)
    mix(c, rgb("#d0c098"), netmask * 0.8)
    # shelf with jars, an oar leaning on the wall, a stool and a coil of rope
    mix(c, rgb("#3a2212"), shape(W, H, lambda d, s: d.rectangle(polygon([(330, 330), (420, 338)], s), fill=255)))
    for jx, jh, col in ((345, 26, "#4a6a78"), (368, 34, "#6a7a5a"), (398, 20, "#8a5a4a")):
        jar = shape(W, H, lambda d, s, jx=jx, jh=jh: d.rounded_rectangle(
            polygon([(jx - 8, 330 - jh), (jx + 8, 330)], s), radius=4 * s, fill=255))
        mix(c, rgb(col), jar * 0.9)
        screen(c, rgb("#fff0d0"), jar * np.exp(-((x - jx + 4) / 2.0) ** 2) * 0.5)
    oar = shape(W, H, lambda d, s: (
        d.line(polygon([(735, 120), (690, 470)], s), fill=255, width=int(7 * s)),
        d.polygon(polygon([(690, 400), (704, 402), (690, 505), (672, 500)], s), fill=255)))
    mix(c, rgb("#7a5230"), oar)
    screen(c, rgb("#ffd8a0"), edge_light(oar, -2, 0) * 0.5)
    stool = shape(W, H, lambda d, s: (
        d.ellipse(polygon([(470, 470), (570, 492)], s), fill=255),
        d.rectangle(polygon([(480, 480), (490, 560)], s), fill=255),
        d.rectangle(polygon([(550, 480), (560, 560)], s), fill=255),
        d.rectangle(polygon([(515, 486), (525, 575)], s), fill=255)))
    mix(c, rgb("#3c2412"), stool)
    coil = shape(W, H, lambda d, s: [d.ellipse(polygon([(150 + k * 3, 520 - k * 6), (270 - k * 3, 555 - k * 4)], s),
                                               outline=255, width=int(3 * s)) for k in range(5)])
    mix(c, rgb("#b49a6a"), coil * 0.9)
    # the lantern lights the room warmly (the window stays daylight-bright)
    lantern_x, lantern_y = 610, 200
    warm = glow(W, H, lantern_x, lantern_y, 540, soft=1.1)
    c *= (0.4 + 0.8 * warm)[..., None]
    screen(c, rgb("#ff9a40"), warm * 0.28)
    wx0, wy0, wx1, wy1 = 80, 110, 300, 300
    view = np.zeros((wy1 - wy0, wx1 - wx0, 3), np.float32)
    hz = 120
    view[:hz] = dawn_sky(wx1 - wx0, hz, hz, seed, sun=(150, 104), cover=0.4)
    sea(view, hz, [(0, "#c89aa8"), (1, "#34527a")], seed, sun_x=150, scale=0.5, glitter=1.2)
    c[wy0:wy1, wx0:wx1] = view * 1.05
    frame = shape(W, H, lambda d, s: (
        d.rectangle(polygon([(wx0 - 14, wy0 - 14), (wx1 + 14, wy1 + 18)], s), fill=255),
        d.rectangle(polygon([(wx0, wy0), (wx1, wy1)], s), fill=0),
        d.rectangle(polygon([(188, wy0), (193, wy1)], s), fill=255),
        d.rectangle(polygon([(wx0, 202), (wx1, 207)], s), fill=255)))
    mix(c, ramp(noise(W, H, 20, seed + 4), [(0, "#2a160a"), (1, "#5a3418")]), frame)
    screen(c, rgb("#ffd8b0"), edge_light(frame, 0, -3) * 0.4 * (1 - frame))
    # daylight through the window: a soft shaft and a bright patch on the floor
    beam = shape(W, H, lambda d, s: d.polygon(polygon(
        [(wx0, wy0), (wx1, wy0), (wx1 + 300, 600), (wx0 + 170, 600)], s), fill=255), soft=20)
    patch = shape(W, H, lambda d, s: d.polygon(polygon(
        [(200, 470), (330, 470), (500, 600), (290, 600)], s), fill=255), soft=14)
    window_pane = shape(W, H, lambda d, s: d.rectangle(polygon([(wx0, wy0), (wx1, wy1)], s), fill=255))
    screen(c, rgb("#ffd8b0"), beam * 0.16 * (1 - window_pane) * smooth(wy1, 600, yy))
    screen(c, rgb("#ffe0c0"), patch * 0.35)
    motes = np.zeros((H, W), np.float32)
    for _ in range(120):
        mx, my = rng.uniform(100, 600), rng.uniform(220, 580)
        motes[int(my), int(mx)] = rng.uniform(0.4, 1.0)
    screen(c, rgb("#fff0d0"), np.clip(blur(motes, 1.0) * 6 * beam, 0, 1))
    # the lantern itself: dark cap and frame, glowing glass
    glass = shape(W, H, lambda d, s: d.polygon(polygon(
        [(lantern_x - 16, lantern_y - 22), (lantern_x + 16, lantern_y - 22),
         (lantern_x + 20, lantern_y + 22), (lantern_x - 20, lantern_y + 22)], s), fill=255))
    metal = shape(W, H, lambda d, s: (
        d.line(polygon([(lantern_x, 0), (lantern_x, lantern_y - 40)], s), fill=255, width=2 * s),
        d.ellipse(polygon([(lantern_x - 8, lantern_y - 50), (lantern_x + 8, lantern_y - 36)], s), outline=255, width=2 * s),
        d.polygon(polygon([(lantern_x - 22, lantern_y - 22), (lantern_x, lantern_y - 40),
                           (lantern_x + 22, lantern_y - 22)], s), fill=255),
        d.rectangle(polygon([(lantern_x - 24, lantern_y + 22), (lantern_x + 24, lantern_y + 28)], s), fill=255),
        d.line(polygon([(lantern_x, lantern_y - 22), (lantern_x, lantern_y + 22)], s), fill=255, width=2 * s)))
    mix(c, rgb("#ffc060"), glass)
    screen(c, rgb("#fff4d0"), glow(W, H, lantern_x, lantern_y + 4, 16, soft=2.0) * 1.0)
    mix(c, rgb("#24140a"), metal)
    screen(c, rgb("#ffb060"), glow(W, H, lantern_x, lantern_y, 120, soft=1.4) * 0.45)
    img = finish(c, seed, vignette=0.5)
    return img


def grass_tufts(w, h, seed, count, y0, y1, colours, length=(6, 18), lean=0.3, area=None):
    """Mask layers of short grass blades (near ones longer); returns [(mask, colour)]."""
    rng = np.random.default_rng(seed)
    layers = []
    for colour in colours:
        def blades(d, s):
            for _ in range(count):
                bx, by = rng.uniform(0, w), rng.uniform(y0, y1)
                if area is not None and area[int(min(by, h - 1)), int(min(bx, w - 1))] < 0.5:
                    continue
                near = (by - y0) / max(1.0, y1 - y0)
                ln = rng.uniform(*length) * (0.4 + near)
                a = -np.pi / 2 + rng.normal(lean * 0.3, 0.35)
                d.line(polygon([(bx, by), (bx + ln * np.cos(a), by + ln * np.sin(a))], s),
                       fill=255, width=max(1, int(s * (0.8 + near))))
        layers.append((shape(w, h, blades), rgb(colour)))
    return layers


def cliff():
    """The cliff path: grass and wildflowers above a wide morning sea, the lighthouse waiting
    on the far headland."""
    horizon, seed = 236, 51
    stops = [(0.0, "#4a78c0"), (0.45, "#8fb0dc"), (0.8, "#f0d0c0"), (1.0, "#ffe4b8")]
    c = np.zeros((H, W, 3), np.float32)
    c[:horizon] = dawn_sky(W, horizon, horizon, seed, sun=(120, 150), stops=stops, cover=0.45,
                           lit="#fff4e4", shadow="#a8acd0")
    sea(c, horizon, [(0, "#c8c8dc"), (0.3, "#6f90c0"), (1, "#2c5a8c")], seed, sun_x=120,
        sun_col="#fff4dc", sky_col="#dfe6f4", scale=2.2, glitter=0.8)
    x = np.arange(W, dtype=np.float32)
    xs, yy = grid(W, H)
    # far headland: a hazy blue-violet wall with a cliff face, lighthouse on top
    top = 196 + 18 * smooth(800, 560, x) + 6 * noise1d(W, 50, seed + 1) * 2
    top = top + 110 * smooth(640, 540, x) ** 2
    face_bottom = 300 + 8 * noise1d(W, 40, seed + 2)
    head = below(W, H, top) * (1 - below(W, H, face_bottom))
    bump = crag(W, H, seed + 3, cell=26, light=(-1.0, -0.3), depth=3.0)
    bump = 0.6 * bump + 0.4 * (noise(W, H, 30, seed + 11, octaves=3, aspect=0.12) - 0.5) * 2
    face = ramp(np.clip(0.5 + bump * 0.4 + (yy - 200) / 400, 0, 1),
                [(0, "#8a86b0"), (0.5, "#6a6890"), (1, "#4c5078")])
    grass_top = smooth(14, 2, yy - top[None, :])
    face = mix(face, rgb("#7e9a88"), grass_top)
    mix(c, face, head)
    foam = np.exp(-((yy - face_bottom[None, :]) / 2.5) ** 2) * smooth(540, 570, xs)
    mix(c, rgb("#eef0f8"), foam * 0.7 * smooth(0.4, 0.6, noise(W, H, 6, seed + 4)))
    tower = shape(W, H, lambda d, s: lighthouse_shape(d, s, 700, float(top[700]) + 2, 130, 18))
    shade = smooth(692, 708, xs)
    mix(c, ramp(shade, [(0, "#f4eee8"), (1, "#9a98b8")]), tower)
    screen(c, rgb("#ffcf80"), glow(W, H, 700, 121, 14, soft=2.0) * 0.9)
    # haze over the far water
    screen(c, rgb("#e8e4f0"), np.exp(-((yy - horizon - 10) / 30.0) ** 2) * 0.3)
    # the near cliff top: grass falling away to a rocky edge on the right
    edge = 318 + 60 * smooth(0, 420, x) + 230 * smooth(380, 760, x) ** 1.4 + 10 * noise1d(W, 60, seed + 5) * 2
    land = below(W, H, edge, soft=1.2)
    rock_face = below(W, H, edge + 26 + 20 * smooth(300, 700, x), soft=1.5)
    ground_tone = noise(W, H, 50, seed + 6, octaves=5)
    grass = ramp(np.clip(ground_tone + (yy - 300) / 700, 0, 1),
                 [(0, "#9cbf78"), (0.45, "#6f9a58"), (0.8, "#48703e"), (1, "#2e5030")])
    mix(c, ramp(0.5 + crag(W, H, seed + 7, cell=22, light=(-1, -0.2)) * 0.4,
                [(0, "#3a3448"), (1, "#8a7c8a")]), land * (1 - rock_face))
    mix(c, grass, rock_face)
    # the path: pale earth winding from the bottom up along the edge
    def path(d, s):
        pts_l, pts_r = [], []
        for k in range(41):
            t = k / 40
            cx = 330 - 150 * t + 40 * np.sin(t * 4.2)
            cy = 600 - 290 * t ** 0.9
            half = 80 * (1 - t) ** 1.3 + 5
            pts_l.append((cx - half, cy))
            pts_r.append((cx + half, cy))
        d.polygon(polygon(pts_l + pts_r[::-1], s), fill=255)
    pmask = shape(W, H, path, soft=2.0) * rock_face
    dirt = ramp(noise(W, H, 16, seed + 8, octaves=3, aspect=3.0), [(0, "#b09a7a"), (1, "#d8c6a4")])
    mix(c, dirt, pmask * 0.92)
    for mask, col in grass_tufts(W, H, seed + 9, 2600, 300, 610,
                                 ["#3a6234", "#5c8a46", "#9cc27a"], area=rock_face * (1 - pmask)):
        mix(c, col, mask * 0.9)
    # wildflowers
    rng = np.random.default_rng(seed + 10)
    palette = ["#fff4f0", "#ffb8c8", "#ffe080", "#c8b0ff"]
    spots = [[] for _ in palette]
    for _ in range(420):
        fx, fy = rng.uniform(0, W), rng.uniform(330, 598)
        if rock_face[int(fy), int(fx)] < 0.5 or pmask[int(fy), int(fx)] > 0.3:
            continue
        spots[int(rng.integers(4))].append((fx, fy, 0.8 + (fy - 300) / 110))
    for col, pts in zip(palette, spots):
        fm = shape(W, H, lambda d, s, pts=pts: [d.ellipse(polygon([(fx - r, fy - r * 0.8), (fx + r, fy + r * 0.8)], s), fill=255)
                                                for fx, fy, r in pts])
        mix(c, rgb(col), fm)
    # fence posts and a sagging rope along the edge
    grass_edge = edge + 26 + 20 * smooth(300, 700, x)
    posts = [(px, float(grass_edge[px]) + 14) for px in (420, 500, 570, 630, 676)]

    def fence(d, s):
        for px, py in posts:
            ht = 28 + (py - 340) * 0.25
            d.rectangle(polygon([(px - 3 - ht * 0.04, py - ht), (px + 3 + ht * 0.04, py + 4)], s), fill=255)
        for (ax, ay), (bx, by) in zip(posts, posts[1:]):
            ha, hb = 28 + (ay - 340) * 0.25, 28 + (by - 340) * 0.25
            pts = [(ax + (bx - ax) * t, ay - ha * 0.8 + (by - hb * 0.8 - ay + ha * 0.8) * t + 10 * np.sin(np.pi * t))
                   for t in np.linspace(0, 1, 16)]
            d.line(polygon(pts, s), fill=255, width=int(2 * s))
    fmask2 = shape(W, H, fence)
    mix(c, rgb("#4a3626"), fmask2)
    screen(c, rgb("#fff0d0"), edge_light(fmask2, -2, 0) * 0.5)
    img = finish(c, seed, vignette=0.28)
    return img


def pine(d, s, x, base, top, width, seed):
    """A pine silhouette: trunk and tiers of ragged, drooping boughs."""
    rng = np.random.default_rng(seed)
    d.rectangle(polygon([(x - width * 0.05, top + (base - top) * 0.2), (x + width * 0.05, base)], s), fill=255)
    tiers = 12
    for k in range(tiers):
        t = k / (tiers - 1)
        y = top + (base - top) * 0.82 * t
        half = width * (0.08 + 0.5 * t) * rng.uniform(0.8, 1.15)
        droop = (base - top) * 0.07
        pts = [(x, y - droop * 0.5)]
        for j in range(7):
            f = (j + 1) / 7
            pts.append((x + half * f, y + droop * f * f + rng.uniform(-2, 3) * (1 + t)))
            pts.append((x + half * f * 0.92, y + droop * f * f * 0.6 + droop * 0.3))
        pts.append((x, y + droop * 0.8))
        for px, py in pts[-2:0:-1]:
            pts.append((2 * x - px, py + rng.uniform(-1.5, 1.5)))
        d.polygon(polygon(pts, s), fill=255)


def fern(d, s, x, y, angle, length, curl, width):
    """A fern frond: a curving stem with leaflets that shrink toward the tip."""
    pts = []
    a = angle
    px, py = x, y
    n = 24
    for i in range(n + 1):
        pts.append((px, py))
        a += curl / n
        px += np.cos(a) * length / n
        py += np.sin(a) * length / n
    d.line(polygon(pts, s), fill=255, width=max(1, int(width * 0.35 * s)))
    for i in range(2, n):
        (ax, ay), (bx, by) = pts[i], pts[i + 1]
        da = np.arctan2(by - ay, bx - ax)
        leaf = length * 0.2 * np.sin(np.pi * (i / n) ** 0.8) + 1
        for side in (-1, 1):
            la = da + side * 1.1
            d.line(polygon([(ax, ay), (ax + np.cos(la) * leaf, ay + np.sin(la) * leaf + leaf * 0.3)], s),
                   fill=255, width=max(1, int(width * 0.3 * s)))


def forest_scene(c, seed, ground_y, light, clearing=None, near=True):
    """Layered pine forest in mist, far to near, with light shafts from light=(x, y).
    clearing=(x0, x1) keeps the nearer trunks out of that span."""
    x, yy = grid(W, H)
    rng = np.random.default_rng(seed)
    layer_cols = ["#b4c8b0", "#8eaa92", "#5e7e6c", "#2e4638", "#182620"]
    for k, col in enumerate(layer_cols):
        if k == 4 and not near:
            break
        gy = ground_y + [0, 6, 14, 60, 140][k]
        count = [26, 18, 12, 5, 2][k]
        width = [46, 70, 110, 0, 0][k]

        def trees(d, s, k=k, gy=gy, count=count, width=width):
            for i in range(count):
                tx = rng.uniform(-40, W + 40)
                if k == 4:
                    tx = [rng.uniform(-30, 60), rng.uniform(700, 820)][i]
                if clearing and k >= 2 and clearing[0] < tx < clearing[1]:
                    continue
                if k >= 3:
                    tw = [0, 0, 0, 34, 70][k] * rng.uniform(0.8, 1.2)
                    d.polygon(polygon([(tx - tw * 0.5, -10), (tx + tw * 0.5, -10),
                                       (tx + tw * 0.6, gy), (tx + tw * 0.9, gy + 12),
                                       (tx - tw * 0.9, gy + 12), (tx - tw * 0.6, gy)], s), fill=255)
                else:
                    ht = rng.uniform(2.6, 4.0) * width
                    pine(d, s, tx, gy + 6, gy - ht, width, int(rng.integers(1 << 30)))
        mask = shape(W, H, trees, soft=[1.2, 0.8, 0.5, 0, 0][k])
        if k >= 3:
            bark = noise(W, H, 30, seed + k, octaves=4, aspect=0.08)
            colour = ramp(bark, [(0, "#10180f"), (0.5, col), (1, "#4a5a44")])
            lit = edge_light(mask, 6 if light[0] > 400 else -6, 0, soft=3.0)
            colour = screen(colour, rgb("#ffe2a0"), lit * 0.55)
        else:
            colour = rgb(col) * (0.92 + 0.16 * noise(W, H, 20, seed + k))[..., None]
        mix(c, colour, mask)
        if k < 3:
            m = noise(W, H, 160, seed + 20 + k, aspect=3.0)
            low = smooth(ground_y - 300, ground_y + 20, yy)
            screen(c, rgb("#eef4dc"), (0.08 + 0.2 * m) * (0.3 + 0.7 * low) * 0.8)
        if k == 2:
            shafts = rays(W, H, light[0], light[1], seed + 5, count=48, sharp=5.0, reach=1400)
            shafts *= 0.6 + 0.6 * noise(W, H, 80, seed + 30, aspect=2.0)
            screen(c, rgb("#ffe8a0"), shafts * 2.6)
    # a canopy of needles framing the top
    canopy_n = noise(W, H, 70, seed + 40, octaves=5, gain=0.6)
    reach = 70 + 50 * noise1d(W, 200, seed + 41)[None, :] * 2
    canopy = smooth(0.0, 0.06, canopy_n - 0.42 - (yy - reach) / 260.0)
    mix(c, ramp(noise(W, H, 5, seed + 42, octaves=2), [(0, "#0a140c"), (1, "#24402a")]), canopy)
    screen(c, rgb("#ffe8a0"), shafts * 0.8)
    return c


def forest():
    """Pine forest: tall trunks in mist, shafts of morning light, ferns along the path."""
    seed = 61
    c = vgrad(W, H, [(0, "#f6eec4"), (0.4, "#d0dcb4"), (0.62, "#9ab296"), (1, "#4a6a50")])
    screen(c, rgb("#fff4c8"), glow(W, H, 620, 0, 380, soft=1.2) * 0.8)
    x, yy = grid(W, H)
    floor = ramp(noise(W, H, 30, seed + 1, aspect=3.0), [(0, "#26341e"), (0.6, "#4a5e30"), (1, "#8a9850")])
    floor *= (0.7 + 0.4 * smooth(600, 380, yy))[..., None]
    mix(c, floor, smooth(355, 365, yy))
    # the path, pale and narrowing toward the trees
    pm = shape(W, H, lambda d, s: d.polygon(polygon([(250, 610), (590, 610), (445, 368), (415, 368)], s),
                                            fill=255), soft=6.0)
    mix(c, ramp(noise(W, H, 10, seed + 2), [(0, "#8a7a58"), (1, "#c8b48c")]), pm * 0.85)
    forest_scene(c, seed, 360, (660, -260))
    # sunlit patches on the floor and ferns at the sides
    patches = smooth(0.55, 0.75, noise(W, H, 60, seed + 3, aspect=3.0)) * smooth(380, 460, yy)
    screen(c, rgb("#ffe8a0"), patches * 0.4)
    rng = np.random.default_rng(seed + 4)

    def ferns(d, s):
        for _ in range(16):
            bx = rng.choice([rng.uniform(-30, 230), rng.uniform(600, 830)])
            by = rng.uniform(500, 640)
            for k in range(5):
                a = -np.pi / 2 + (k - 2) * 0.45 + rng.normal(0, 0.1)
                fern(d, s, bx, by, a, rng.uniform(90, 150) * by / 580, np.sign(np.cos(a) + 1e-3) * 1.1,
                     rng.uniform(4, 6))
    fm = shape(W, H, ferns)
    mix(c, rgb("#2c4a24"), fm)
    screen(c, rgb("#d0e890"), edge_light(fm, 0, -2) * 0.45)
    motes = np.zeros((H, W), np.float32)
    for _ in range(160):
        motes[int(rng.uniform(0, H)), int(rng.uniform(0, W))] = rng.uniform(0.3, 1.0)
    screen(c, rgb("#fff6d0"), np.clip(blur(motes, 1.0) * 5, 0, 1) * glow(W, H, 560, 200, 500, soft=1.5))
    img = finish(c, seed, vignette=0.4)
    return img


def well():
    """An old stone well alone in a forest clearing, sunlight pooling on the grass."""
    seed = 71
    c = vgrad(W, H, [(0, "#f8f0c8"), (0.4, "#d4e0b8"), (0.6, "#a4bc98"), (1, "#4e6e48")])
    x, yy = grid(W, H)
    floor = ramp(noise(W, H, 30, seed + 1, aspect=3.0), [(0, "#3a5028"), (0.6, "#62803c"), (1, "#a4b45a")])
    mix(c, floor, smooth(335, 345, yy))
    forest_scene(c, seed, 340, (420, -300), clearing=(180, 640), near=True)
    pool = glow(W, H, 400, 470, 260, soft=2.0, sx=1.9)
    screen(c, rgb("#ffeeb0"), pool * 0.45)
    for mask, col in grass_tufts(W, H, seed + 2, 1800, 360, 610, ["#2e4a26", "#5a7c3c", "#a4c070"],
                                 length=(5, 14)):
        mix(c, col, mask * 0.8)
    # the well: a drum of mossy stones seen slightly from above
    cx, top_y, bottom_y, rx, ry = 400, 372, 490, 112, 30
    body = shape(W, H, lambda d, s: (
        d.rectangle(polygon([(cx - rx, top_y), (cx + rx, bottom_y)], s), fill=255),
        d.ellipse(polygon([(cx - rx, bottom_y - ry), (cx + rx, bottom_y + ry)], s), fill=255)))
    rel = np.clip((x - cx) / rx, -1, 1)
    theta = np.arcsin(rel)
    course = 22.0
    row = np.floor((yy - top_y - ry * np.cos(theta)) / course)
    joint = (theta * 6 / np.pi + 0.5 * (row % 2)) % 1.0
    vfrac = ((yy - top_y - ry * np.cos(theta)) / course) % 1.0
    mortar = np.maximum(smooth(0.08, 0.0, vfrac), smooth(0.06, 0.0, np.minimum(joint, 1 - joint) * 3))
    stone_tone = noise(W, H, 14, seed + 3, octaves=3)
    light = np.clip(0.55 - rel * 0.45, 0, 1)
    stones = ramp(np.clip(light * 0.8 + stone_tone * 0.4, 0, 1),
                  [(0, "#3c3a40"), (0.5, "#7a766e"), (1, "#c8c0a8")])
    moss = smooth(0.55, 0.7, noise(W, H, 24, seed + 4)) * smooth(top_y + 30, bottom_y, yy)
    stones = mix(stones, rgb("#5c7a3a"), moss * 0.7)
    stones = mix(stones, rgb("#2a2826"), mortar * 0.8)
    mix(c, stones, body)
    mix(c, rgb("#1c2418"), glow(W, H, cx, bottom_y + ry + 6, 140, soft=2.0, sx=1.6) * (1 - body) * 0.5)
    rim_outer = shape(W, H, lambda d, s: d.ellipse(polygon([(cx - rx - 6, top_y - ry - 4), (cx + rx + 6, top_y + ry + 4)], s), fill=255))
    hole = shape(W, H, lambda d, s: d.ellipse(polygon([(cx - rx + 16, top_y - ry + 8), (cx + rx - 16, top_y + ry - 6)], s), fill=255))
    mix(c, ramp(np.clip(0.7 - rel * 0.3 + stone_tone * 0.2, 0, 1), [(0, "#6a6660"), (1, "#e0d8c0")]), rim_outer)
    mix(c, ramp(smooth(top_y - ry, top_y + ry, yy), [(0, "#0c0e0c"), (1, "#26302a")]), hole)
    screen(c, rgb("#a8c8d8"), glow(W, H, cx + 10, top_y + 10, 40, soft=2.0, sx=2.5) * hole * 0.25)
    # posts, beam, little roof and a rope down to a bucket on the rim
    wood = shape(W, H, lambda d, s: (
        d.rectangle(polygon([(cx - rx + 2, 200), (cx - rx + 16, top_y + 8)], s), fill=255),
        d.rectangle(polygon([(cx + rx - 16, 200), (cx + rx - 2, top_y + 8)], s), fill=255),
        d.rectangle(polygon([(cx - rx - 10, 214), (cx + rx + 10, 224)], s), fill=255)))
    roof = shape(W, H, lambda d, s: d.polygon(polygon([(cx - rx - 40, 214), (cx, 150), (cx + rx + 40, 214),
                                                       (cx + rx + 30, 222), (cx - rx - 30, 222)], s), fill=255))
    wood_col = ramp(noise(W, H, 20, seed + 5, aspect=0.2), [(0, "#3a2616"), (1, "#7a5634")])
    mix(c, wood_col, wood)
    shingles = ramp(((yy - 150) / 9.0) % 1.0, [(0, "#3a2a1e"), (0.2, "#6e4e34"), (1, "#4e3624")])
    mix(c, shingles, roof)
    screen(c, rgb("#ffe6b0"), edge_light(roof, 0, -3) * 0.7)
    screen(c, rgb("#ffe6b0"), edge_light(wood, -3, 0) * 0.5)
    rope = shape(W, H, lambda d, s: d.line(polygon([(cx + 30, 224), (cx + 30, top_y - 40)], s), fill=255, width=2 * s))
    mix(c, rgb("#c8b080"), rope)
    bucket = shape(W, H, lambda d, s: (
        d.polygon(polygon([(cx + 14, top_y - 40), (cx + 46, top_y - 40), (cx + 42, top_y - 6), (cx + 18, top_y - 6)], s), fill=255)))
    mix(c, ramp(smooth(cx + 14, cx + 46, x), [(0, "#9a7a50"), (1, "#4a3420")]), bucket)
    mix(c, rgb("#2a2018"), np.clip(bucket - shift(bucket, 0, 2), 0, 1) * 0.5)
    rng = np.random.default_rng(seed + 6)
    motes = np.zeros((H, W), np.float32)
    for _ in range(120):
        motes[int(rng.uniform(0, 480)), int(rng.uniform(150, 650))] = rng.uniform(0.3, 1.0)
    screen(c, rgb("#fff6d0"), np.clip(blur(motes, 1.0) * 5, 0, 1))
    img = finish(c, seed, vignette=0.45)
    return img


def gate():
    """The lighthouse gate at dusk: iron bars between stone pillars, the tower beyond with
    its lamp just lit."""
    seed, horizon = 81, 420
    stops = [(0.0, "#141430"), (0.35, "#3a2f62"), (0.7, "#a4587a"), (0.9, "#ee9464"), (1.0, "#ffc27a")]
    c = np.zeros((H, W, 3), np.float32)
    sky = vgrad(W, horizon, stops)
    dens = clouds(W, horizon, seed, cell=150, aspect=4.0, cover=0.3)
    dens *= smooth(120, 260, np.arange(horizon))[:, None] * smooth(400, 330, np.arange(horizon))[:, None]
    mix(sky, rgb("#5a3a64"), dens * 0.7)
    screen(sky, rgb("#ffb080"), rim(dens, 0, 5, 3) * 0.8)
    screen(sky, rgb("#ff9a60"), glow(W, horizon, 120, horizon, 300, soft=1.2, sx=2.0) * 0.6)
    stars(sky, 260, seed, bottom=230, fade=smooth(240, 20, grid(W, horizon)[1]))
    c[:horizon] = sky
    sea(c, horizon, [(0, "#d88a74"), (0.4, "#6a4a72"), (1, "#241e3c")], seed, sun_x=120,
        sun_col="#ffb070", glitter=0.7, sky_col="#b06a7a")
    x, yy = grid(W, H)
    xa = np.arange(W, dtype=np.float32)
    # the headland the lighthouse stands on
    land_top = 400 + 14 * noise1d(W, 80, seed + 1) * 2 - 30 * smooth(300, 520, xa) * smooth(760, 560, xa)
    land = below(W, H, land_top, soft=1.0)
    mix(c, ramp(smooth(380, 600, yy), [(0, "#2e2638"), (1, "#14101c")]), land)
    # the tower: white stone with two red bands, lit on the sunset side
    tx, base, top_y = 430, 392, 120

    def tower_shape(d, s):
        d.polygon(polygon([(tx - 44, base), (tx - 30, top_y), (tx + 30, top_y), (tx + 44, base)], s), fill=255)
        d.rectangle(polygon([(tx - 42, top_y - 8), (tx + 42, top_y)], s), fill=255)
        d.rectangle(polygon([(tx - 24, top_y - 52), (tx + 24, top_y - 8)], s), fill=255)
        d.polygon(polygon([(tx - 30, top_y - 52), (tx, top_y - 82), (tx + 30, top_y - 52)], s), fill=255)
    tower = shape(W, H, tower_shape)
    half = 30 + 14 * np.clip((yy - top_y) / (base - top_y), 0, 1)
    rel = np.clip((x - tx) / half, -1, 1)
    band = ((yy > 190) & (yy < 216)) | ((yy > 280) & (yy < 306))
    body = np.where(band[..., None], rgb("#9a3a44"), rgb("#e6dcd6"))
    litness = np.clip(0.75 - rel * 0.6, 0.15, 1.0) ** 1.3
    body = body * litness[..., None] * np.array([1.0, 0.82, 0.78], np.float32)
    screen(body, rgb("#ff9060"), smooth(0.2, -0.9, rel) * 0.35)
    mix(c, body, tower)
    lantern = shape(W, H, lambda d, s: d.rectangle(polygon([(tx - 18, top_y - 48), (tx + 18, top_y - 10)], s), fill=255))
    mix(c, rgb("#ffd070"), lantern)
    door = shape(W, H, lambda d, s: d.rounded_rectangle(polygon([(tx - 11, base - 40), (tx + 11, base)], s), radius=10 * s, fill=255))
    mix(c, rgb("#ffb45a"), door)
    screen(c, rgb("#ffb060"), glow(W, H, tx, base - 14, 50, soft=1.5) * 0.5)
    # the lamp's beam sweeping out to the left, and its glow
    ang = np.arctan2(yy - (top_y - 30), x - tx)
    beam = np.exp(-((ang - np.pi + 0.12) / 0.07) ** 2) * (x < tx) * smooth(0, 380, tx - x + 60)
    beam *= np.exp(-np.abs(x - tx) / 700.0)
    screen(c, rgb("#ffe6a8"), beam * 0.55)
    screen(c, rgb("#fff0c0"), glow(W, H, tx, top_y - 30, 70, soft=1.4) * 0.9)
    # stone path to the door
    path = shape(W, H, lambda d, s: d.polygon(polygon([(330, 610), (560, 610), (tx + 12, base + 2), (tx - 12, base + 2)], s), fill=255), soft=2.0)
    flag = ramp(noise(W, H, 10, seed + 3, octaves=2), [(0, "#4a3e4c"), (1, "#7a6670")])
    mix(c, flag, path * land)
    screen(c, rgb("#ff9a6a"), path * land * smooth(600, 400, yy) * 0.15)
    for mask, col in grass_tufts(W, H, seed + 4, 1400, 420, 610, ["#1a1622", "#2c2434", "#4a3a4a"],
                                 area=land * (1 - path)):
        mix(c, col, mask)
    # pillars with lamps, and the wrought-iron gate between them
    def pillar(d, s, px):
        d.rectangle(polygon([(px - 34, 250), (px + 34, 610)], s), fill=255)
        d.rectangle(polygon([(px - 42, 236), (px + 42, 256)], s), fill=255)
        d.rectangle(polygon([(px - 12, 200), (px + 12, 236)], s), fill=255)
        d.polygon(polygon([(px - 16, 200), (px, 184), (px + 16, 200)], s), fill=255)
    for px in (168, 632):
        pm = shape(W, H, lambda d, s, px=px: pillar(d, s, px))
        stone = ramp(np.clip(0.45 + crag(W, H, seed + px, cell=16, light=(-1, -0.4), depth=2.0) * 0.3
                             + (smooth(px + 34, px - 34, x) - 0.5) * 0.4, 0, 1),
                     [(0, "#1a1622"), (0.5, "#3a3040"), (1, "#7a5e66")])
        course = ((yy - 250) / 30.0) % 1.0
        stone = mix(stone, rgb("#120e16"), smooth(0.06, 0.0, course) * (yy > 256))
        mix(c, stone, pm)
        lamp = shape(W, H, lambda d, s, px=px: d.rectangle(polygon([(px - 8, 206), (px + 8, 232)], s), fill=255))
        mix(c, rgb("#ffd27a"), lamp)
        screen(c, rgb("#ffb050"), glow(W, H, px, 218, 90, soft=1.3) * 0.6)
        screen(c, rgb("#ffe0a0"), glow(W, H, px, 218, 20, soft=2.0))

    def iron(d, s):
        for k in range(22):
            bx = 204 + k * 18.9
            t = (bx - 200) / 400
            top = 330 - 70 * np.sin(np.pi * t)
            d.line(polygon([(bx, top), (bx, 610)], s), fill=255, width=int(3 * s))
            d.polygon(polygon([(bx - 5, top + 2), (bx, top - 12), (bx + 5, top + 2)], s), fill=255)
        for ry in (372, 560):
            d.line(polygon([(200, ry), (600, ry)], s), fill=255, width=int(5 * s))
        arc = [(200 + 400 * t, 340 - 70 * np.sin(np.pi * t)) for t in np.linspace(0, 1, 40)]
        d.line(polygon(arc, s), fill=255, width=int(4 * s))
        for k in range(9):
            cxk = 240 + k * 40
            d.ellipse(polygon([(cxk - 12, 348), (cxk + 12, 370)], s), outline=255, width=int(2 * s))
        d.line(polygon([(400, 270), (400, 610)], s), fill=255, width=int(6 * s))
        d.ellipse(polygon([(380, 290), (420, 330)], s), outline=255, width=int(3 * s))
    im = shape(W, H, iron)
    mix(c, rgb("#0c0a12"), im)
    screen(c, rgb("#ff9a70"), edge_light(im, -2, -1, soft=0.8) * 0.5)
    img = finish(c, seed, vignette=0.45)
    return img


def hall():
    """The round stone hall at the lighthouse's foot: curved courses of stone, an arched
    doorway, warm sconces and a compass rose set in the floor."""
    seed = 91
    x, yy = grid(W, H)
    f, cx, cy = 420.0, 400.0, 300.0
    R, D, eye = 10.0, 6.0, 3.0
    sx = (x - cx) / f
    a = 1 + sx * sx
    t = (D + np.sqrt(D * D - a * (D * D - R * R))) / a
    wx, wz = sx * t, t - D
    phi = np.arctan2(wx, wz)
    hgt = eye + (cy - yy) * t / f
    # stone courses and staggered joints on the wall
    course = 0.9
    row = np.floor(hgt / course)
    rng = np.random.default_rng(seed)
    per_row = rng.uniform(0, 1, 400)
    stones_around = 40
    jt = (phi / (2 * np.pi) * stones_around + per_row[row.astype(int) % 400]) % 1.0
    vt = (hgt / course) % 1.0
    mortar = np.maximum(smooth(0.07, 0.0, np.minimum(vt, 1 - vt) * 1.0),
                        smooth(0.05, 0.0, np.minimum(jt, 1 - jt)))
    stone_id = (row * 97 + np.floor(phi / (2 * np.pi) * stones_around + per_row[row.astype(int) % 400]) * 13) % 400
    tint = rng.uniform(0.8, 1.15, 400)[stone_id.astype(int)]
    tex = noise(W, H, 10, seed + 1, octaves=3)
    wall = ramp(np.clip(tint * (0.45 + 0.35 * tex), 0, 1), [(0, "#2a2026"), (0.5, "#6a5650"), (1, "#a48a78")])
    wall = mix(wall, rgb("#171014"), mortar * 0.85)
    # doorway arch straight ahead, a stair opening to the right
    arch_top = 4.2 + np.sqrt(np.clip(0.18 ** 2 - phi ** 2, 0, None)) / 0.18 * 1.2
    door = smooth(0.182, 0.17, np.abs(phi)) * smooth(arch_top + 0.05, arch_top - 0.05, hgt) * (hgt > 0)
    wall = mix(wall, ramp(np.clip(hgt / 5.4, 0, 1), [(0, "#0c0a10"), (1, "#1a2236")]), door)
    moon = glow(W, H, cx, cy - 110, 60, soft=1.5) * door
    wall = screen(wall, rgb("#6a88c0"), moon * 0.5)
    stair = smooth(0.95, 0.97, phi) * smooth(1.45, 1.43, phi) * (hgt < 4.6 + (phi - 0.95) * 2)
    wall = mix(wall, rgb("#0e0a0c"), stair * 0.85)
    k = np.floor((phi - 0.97) / 0.055)
    tread = k * 0.34 + 0.3
    step = stair * smooth(tread + 0.03, tread - 0.03, hgt)
    nose = stair * np.exp(-((hgt - tread) / 0.04) ** 2)
    wall = mix(wall, ramp(np.clip(1.0 - k / 9, 0, 1), [(0, "#1c1416"), (1, "#4e3e3a")]), step)
    wall = screen(wall, rgb("#c89060"), nose * 0.5)
    # floor: flagstones around a compass rose
    floor_mask = smooth(-0.02, 0.02, -hgt)
    fy = np.maximum(yy - cy, 1.0)
    fz = f * eye / fy - D
    fx = (x - cx) * eye / fy
    rr = np.sqrt(fx * fx + fz * fz)
    ang = np.arctan2(fx, fz)
    ring = (rr / 1.2) % 1.0
    sector = (ang / (2 * np.pi) * (8 + 8 * np.floor(rr / 1.2))) % 1.0
    flag = np.maximum(smooth(0.06, 0.0, np.minimum(ring, 1 - ring)), smooth(0.05, 0.0, np.minimum(sector, 1 - sector)))
    floor = ramp(noise(W, H, 16, seed + 2), [(0, "#3a3034"), (1, "#6a5a56")])
    floor = mix(floor, rgb("#1a1416"), flag * 0.6 * smooth(0, 30, yy - cy - 60))
    star = np.abs(np.cos(ang * 4)) ** 8 * 2.6 + 0.6
    rose = smooth(0.05, -0.05, rr - star) * smooth(2.9, 2.8, rr)
    compass_ring = np.exp(-((rr - 3.0) / 0.08) ** 2)
    floor = mix(floor, ramp(smooth(-1, 1, np.sin(ang * 8)), [(0, "#a07a3a"), (1, "#e8c27a")]), rose * 0.85)
    floor = mix(floor, rgb("#d8b068"), compass_ring * 0.8)
    c = mix(wall, floor, floor_mask)
    mix(c, rgb("#120c0e"), np.exp(-(hgt / 0.12) ** 2) * 0.6)
    # sconces on either side: warm pools of light
    lit = np.zeros((H, W), np.float32)
    for side in (-1, 1):
        sx0 = cx + side * 230
        lit += glow(W, H, sx0, 250, 260, soft=1.3)
        bracket = shape(W, H, lambda d, s, sx0=sx0: (
            d.polygon(polygon([(sx0 - 10, 260), (sx0 + 10, 260), (sx0 + 6, 290), (sx0 - 6, 290)], s), fill=255),
            d.rectangle(polygon([(sx0 - 3, 290), (sx0 + 3, 300)], s), fill=255)))
        mix(c, rgb("#2a1a10"), bracket)
    c *= (0.3 + 0.95 * np.clip(lit, 0, 1.2) + 0.15 * glow(W, H, cx, 560, 300))[..., None]
    screen(c, rgb("#ff9a48"), np.clip(lit, 0, 1) * 0.3)
    for side in (-1, 1):
        sx0 = cx + side * 230
        screen(c, rgb("#fff0c0"), glow(W, H, sx0, 246, 14, soft=2.0) * 1.2)
        screen(c, rgb("#ffc060"), glow(W, H, sx0, 246, 60, soft=1.5) * 0.6)
    img = finish(c, seed, vignette=0.55)
    return img


def stairs():
    """Spiral stairs seen from below, winding up toward the lamp's light at the top."""
    seed = 101
    x, yy = grid(W, H)
    cx, cy = 410.0, 250.0
    dx, dy = x - cx, yy - cy
    r = np.sqrt(dx * dx + dy * dy) + 1e-3
    ang = np.arctan2(dy, dx)
    depth = np.log(r / 20.0)
    # wall: rings of stone shrinking toward the top
    ring = (depth * 6.0) % 1.0
    stones = 28
    rid = np.floor(depth * 6.0)
    jt = (ang / (2 * np.pi) * stones + (rid % 2) * 0.5) % 1.0
    mortar = np.maximum(smooth(0.1, 0.0, np.minimum(ring, 1 - ring)), smooth(0.06, 0.0, np.minimum(jt, 1 - jt)))
    light = np.clip(1.2 - depth / 3.6, 0, 1)
    tex = noise(W, H, 8, seed + 1, octaves=2)
    wall = ramp(np.clip(light * (0.7 + 0.3 * tex), 0, 1), [(0, "#0e0a0c"), (0.4, "#3c2c28"), (0.75, "#8a6448"), (1, "#f0c890")])
    wall = mix(wall, rgb("#0a0606"), mortar * 0.7 * smooth(0.4, 1.2, depth))
    # the spiral band of steps (log spiral), each step a wedge with a lit nose
    turns = 0.55
    sp = (depth / turns - ang / (2 * np.pi)) % 1.0
    band = smooth(0.0, 0.04, sp) * smooth(0.46, 0.42, sp)
    st = (ang / (2 * np.pi) * 26 + 0.3 * depth) % 1.0
    nose = smooth(0.12, 0.0, st)
    underside = ramp(np.clip(light * 0.9 + st * 0.15, 0, 1), [(0, "#07050a"), (0.5, "#2a1e1e"), (1, "#b08058")])
    underside = screen(underside, rgb("#ffd890"), nose * light * 0.8)
    inner_edge = np.exp(-((sp - 0.44) / 0.02) ** 2)
    c = mix(wall, underside, band * smooth(0.3, 0.8, depth))
    # an iron rail following the inner edge of the steps
    c = mix(c, rgb("#120c08"), inner_edge * smooth(0.5, 1.0, depth) * 0.9)
    screen(c, rgb("#ffcf80"), np.exp(-((sp - 0.47) / 0.008) ** 2) * light * smooth(0.5, 1.0, depth) * 0.6)
    # the light at the top
    screen(c, rgb("#fff2c8"), glow(W, H, cx, cy, 70, soft=1.6) * 1.2)
    screen(c, rgb("#ffb868"), glow(W, H, cx, cy, 260, soft=1.2) * 0.5)
    screen(c, rgb("#fff0c0"), rays(W, H, cx, cy, seed + 2, count=30, sharp=4.0, reach=300) * 0.5)
    rng = np.random.default_rng(seed + 3)
    motes = np.zeros((H, W), np.float32)
    for _ in range(80):
        motes[int(rng.uniform(0, H)), int(rng.uniform(0, W))] = rng.uniform(0.3, 1.0)
    screen(c, rgb("#fff0c8"), np.clip(blur(motes, 1.0) * 5, 0, 1) * glow(W, H, cx, cy, 300))
    img = finish(c, seed, vignette=0.6)
    return img


def lamproom():
    """The lamp room at night: the great ringed lens glowing amber inside a cage of brass,
    stars and the dark sea beyond the windows."""
    seed = 111
    horizon = 400
    c = vgrad(W, H, [(0, "#070a1c"), (0.5, "#142044"), (0.67, "#22305c"), (1, "#0c1024")])
    stars(c, 700, seed, bottom=horizon - 10, fade=smooth(horizon, 60, grid(W, H)[1]))
    sea(c, horizon, [(0, "#2a3660"), (1, "#0a1024")], seed, sun_x=400, sun_col="#ffd890", glitter=0.6,
        sky_col="#3a4a7a", scale=2.0)
    x, yy = grid(W, H)
    # window frames: mullions and a sill
    panes = shape(W, H, lambda d, s: (
        [d.rectangle(polygon([(mx - 5, 0), (mx + 5, 600)], s), fill=255) for mx in (40, 180, 620, 760)],
        d.rectangle(polygon([(0, 60), (800, 72)], s), fill=255),
        d.rectangle(polygon([(0, 470), (800, 600)], s), fill=255)))
    frame_col = ramp(smooth(600, 470, yy), [(0, "#1a1418"), (1, "#3a2c26")])
    mix(c, frame_col, panes)
    # beams of the lamp out to both sides
    ang = np.arctan2(yy - 290, x - 400)
    for centre in (0.06, np.pi - 0.06):
        beam = np.exp(-(np.angle(np.exp(1j * (ang - centre))) / 0.12) ** 2)
        screen(c, rgb("#ffdf9a"), beam * 0.6 * smooth(100, 300, np.abs(x - 400)))
    # the lens: a beehive of glass rings around a bright bull's-eye, on a brass pedestal
    pedestal = shape(W, H, lambda d, s: d.polygon(polygon([(330, 490), (470, 490), (500, 540), (300, 540)], s), fill=255))
    mix(c, ramp(smooth(300, 500, x), [(0, "#c89a50"), (0.5, "#6a4a20"), (1, "#2a1a08")]), pedestal)
    outline = []
    for k in range(41):
        t = k / 40
        yk = 70 + 440 * t
        half = 100 + 40 * np.sin(np.pi * t) ** 0.7
        outline.append((400 + half, yk))
    outline += [(800 - px, py) for px, py in outline[::-1]]
    lens = shape(W, H, lambda d, s: d.polygon(polygon(outline, s), fill=255))
    half_at = 100 + 40 * np.abs(np.sin(np.pi * np.clip((yy - 70) / 440, 0, 1))) ** 0.7
    rx = (x - 400) / half_at
    rr = np.sqrt((x - 400) ** 2 + (yy - 290) ** 2)
    prism = ((rr / 15.0) % 1.0) ** 3 * np.clip(1.25 - rr / 200, 0.25, 1)
    upper = np.abs(yy - 290) > 100
    arcs = np.sqrt(((x - 400) / 2.2) ** 2 + (yy - 290) ** 2)
    prism = np.where(upper, ((arcs - 100) / 16.0 % 1.0) ** 3 * 0.85, prism)
    barrel = np.clip(1 - np.abs(rx) ** 2 * 0.55, 0.3, 1)
    glass = ramp(np.clip(prism * barrel, 0, 1), [(0, "#4a2e14"), (0.45, "#c8823a"), (0.85, "#ffd890"), (1, "#fff6e0")])
    chroma = np.stack([np.roll(prism, 2, 1), prism, np.roll(prism, -2, 1)], -1) * 0.15
    glass = glass + chroma * barrel[..., None]
    mix(c, glass, lens * 0.96)
    brass = shape(W, H, lambda d, s: (
        d.line(polygon([(400 - 100 * 0.55 - 40 * 0.55 * np.sin(np.pi * t) ** 0.7, 70 + 440 * t) for t in np.linspace(0, 1, 30)], s), fill=255, width=int(5 * s)),
        d.line(polygon([(400 + 100 * 0.55 + 40 * 0.55 * np.sin(np.pi * t) ** 0.7, 70 + 440 * t) for t in np.linspace(0, 1, 30)], s), fill=255, width=int(5 * s)),
        d.arc(polygon([(180, 150), (620, 230)], s), 0, 180, fill=255, width=int(5 * s)),
        d.arc(polygon([(180, 350), (620, 430)], s), 0, 180, fill=255, width=int(5 * s)),
        d.polygon(polygon(outline, s), outline=255, width=int(6 * s))))
    mix(c, ramp(smooth(260, 540, x), [(0, "#ffd880"), (0.5, "#a0702a"), (1, "#4a3010")]), brass * lens)
    mix(c, rgb("#b08040"), shape(W, H, lambda d, s: d.polygon(polygon(outline, s), outline=255, width=int(5 * s))))
    screen(c, rgb("#fffae8"), glow(W, H, 400, 290, 48, soft=2.0) * 1.3)
    screen(c, rgb("#ffb050"), glow(W, H, 400, 290, 280, soft=1.2) * 0.45)
    # the railing in front, catching the light
    rail = shape(W, H, lambda d, s: (
        d.rectangle(polygon([(0, 520), (800, 528)], s), fill=255),
        [d.rectangle(polygon([(px - 2, 528), (px + 2, 600)], s), fill=255) for px in range(20, 800, 46)]))
    mix(c, rgb("#1a120c"), rail)
    screen(c, rgb("#ffc870"), edge_light(rail, 0, -2) * glow(W, H, 400, 520, 400, soft=1.2) * 0.8)
    img = finish(c, seed, vignette=0.5)
    return img


def arch_mask(w, h, cx, water, half, spring, crown, ss=2):
    """Mask of an arched opening (1 inside): straight sides up to spring, round head to
    crown, all measured upward from the water row."""
    def paint(d, s):
        top = water - crown
        d.rectangle(polygon([(cx - half, water - spring), (cx + half, h + 10)], s), fill=255)
        d.ellipse(polygon([(cx - half, top), (cx + half, top + 2 * (crown - spring))], s), fill=255)
    return shape(w, h, paint, ss=ss)


def cellar():
    """The flooded cellar: a vaulted passage half under still blue-green water, a shaft of
    light from a grate, and something glinting gold in the depths."""
    seed = 121
    x, yy = grid(W, H)
    cx, cy, f, eye = 400.0, 250.0, 420.0, 1.1
    c = vgrad(W, H, [(0, "#06161a"), (0.5, "#0c2a2c"), (1, "#041012")])
    ripple = noise(W, H, 12, seed + 1, octaves=3, aspect=5.0)
    wob = (ripple - 0.5) * 10.0
    for k, z in enumerate(np.geomspace(30.0, 2.0, 10)):
        s = f / z
        water = cy + eye * s
        src_y = np.clip((2 * water - yy).astype(int), 0, H - 1)
        src_x = np.clip((x + wob).astype(int), 0, W - 1)
        inside = arch_mask(W, H, cx, water, 2.2 * s, 2.4 * s, 3.8 * s)
        ribbed = arch_mask(W, H, cx, water, 2.55 * s, 2.4 * s, 4.15 * s)
        near = k / 9
        tone = 0.3 + 0.7 * (1 - near) ** 0.5 * (0.4 + 0.6 * near)
        bump = crag(W, H, seed + 10 + k, cell=max(6.0, 0.5 * s), light=(0.3, -1), depth=2.0)
        ux = (x - cx) / s
        course = ((water - yy) / (0.5 * s)) % 1.0
        joint = ((ux / 0.9 + np.floor((water - yy) / (0.5 * s)) * 0.5) % 1.0)
        mortar = np.maximum(smooth(0.08, 0.0, np.minimum(course, 1 - course)),
                            smooth(0.05, 0.0, np.minimum(joint, 1 - joint)))
        stone = ramp(np.clip(0.4 + bump * 0.3, 0, 1), [(0, "#0a1c1e"), (0.5, "#2a5250"), (1, "#6a9a8c")])
        stone = mix(stone, rgb("#041012"), mortar * 0.6)
        rib = ribbed - inside
        stone *= (tone * (0.45 + 0.7 * rib))[..., None]
        stone = screen(stone, rgb("#8ad8c8"), np.clip(blur(inside, 2.0) - inside, 0, 1) * tone * 0.8)
        # caustics dancing on the wall just above the water
        cau = noise(W, H, max(4.0, 0.35 * s), seed + 30 + k, octaves=2)
        caustic = smooth(0.05, 0.0, np.abs(cau - 0.5)) * smooth(1.0 * s, 0, water - yy) * (yy < water)
        stone = screen(stone, rgb("#9af0e0"), caustic * 0.45 * tone)
        mix(c, stone, (1 - inside) * (yy < water))
        refl = stone[src_y, src_x] * np.array([0.32, 0.55, 0.58], np.float32)
        mix(c, refl, (1 - inside[src_y, src_x]) * (yy >= water))
        mix(c, rgb("#a8e8dc"), np.exp(-((yy - water) / 1.0) ** 2) * (1 - inside) * 0.3 * tone)
    streak = smooth(0.62, 0.8, noise(W, H, 10, seed + 4, octaves=2, aspect=9.0)) * smooth(cy + 10, cy + 80, yy)
    screen(c, rgb("#7ad0c0"), streak * 0.18)
    # light falling from a grate in the vault, and where it meets the water
    shaft = shape(W, H, lambda d, s: d.polygon(polygon([(470, -10), (540, -10), (600, 470), (470, 470)], s), fill=255), soft=16)
    shaft *= 0.6 + 0.4 * rays(W, H, 505, -200, seed + 2, count=60, sharp=2.0, reach=4000)
    screen(c, rgb("#b8fff0"), shaft * 0.35)
    screen(c, rgb("#c8fff4"), glow(W, H, 535, 455, 80, soft=1.6, sx=2.4) * 0.4)
    # the gold glimmer under the water
    screen(c, rgb("#ffd070"), glow(W, H, 418, 372, 16, soft=1.6, sx=1.8) * 0.9)
    screen(c, rgb("#e0b050"), glow(W, H, 418, 372, 60, soft=1.4, sx=2.0) * 0.3)
    rng = np.random.default_rng(seed + 3)
    motes = np.zeros((H, W), np.float32)
    for _ in range(60):
        motes[int(rng.uniform(0, 460)), int(rng.uniform(460, 600))] = rng.uniform(0.3, 1.0)
    screen(c, rgb("#e0fff8"), np.clip(blur(motes, 1.0) * 5, 0, 1))
    img = finish(c, seed, vignette=0.55)
    return img


def bell_profile(t):
    """Half-width of a bell at t (0 crown .. 1 lip), relative units."""
    return 62 + 26 * t + 96 * t ** 6 + 14 * np.sin(np.pi * np.clip(t * 3, 0, 1)) * (t < 0.34)


def bell_outline(cx, top, bottom, scale=1.0):
    """Points of a bell's silhouette (crown, shoulder, waist, flared lip)."""
    ts = np.linspace(0, 1, 41)
    right = [(cx + bell_profile(t) * scale, top + (bottom - top) * t) for t in ts]
    left = [(2 * cx - px, py) for px, py in right]
    crown = [(cx - 40 * scale, top - 14 * scale), (cx + 40 * scale, top - 14 * scale)]
    return crown[:1] + left + right[::-1] + crown[1:]


def belltower():
    """The dawn bell hanging in its open tower against the pre-dawn sky."""
    seed = 131
    horizon = 500
    c = np.zeros((H, W, 3), np.float32)
    sky = vgrad(W, horizon, [(0, "#0a0e2a"), (0.45, "#26306a"), (0.75, "#7a6a9e"), (0.92, "#e6a08c"), (1, "#ffd2a0")])
    x, yy = grid(W, H)
    stars(sky, 420, seed, bottom=330, fade=smooth(330, 40, grid(W, horizon)[1]))
    dens = clouds(W, horizon, seed + 1, cell=140, aspect=4.0, cover=0.3)
    dens *= smooth(300, 420, np.arange(horizon))[:, None]
    mix(sky, rgb("#6a4c78"), dens * 0.6)
    screen(sky, rgb("#ffc0a0"), rim(dens, 0, 4) * 0.7)
    c[:horizon] = sky
    sea(c, horizon, [(0, "#c8909a"), (1, "#1e2448")], seed, sun_x=520, sun_col="#ffc8a0", glitter=0.5,
        sky_col="#a07890", scale=2.5)
    # the stone arch framing the view, with a parapet
    opening = shape(W, H, lambda d, s: (
        d.rectangle(polygon([(120, 190), (680, 620)], s), fill=255),
        d.ellipse(polygon([(120, -90), (680, 470)], s), fill=255)))
    parapet = shape(W, H, lambda d, s: d.rectangle(polygon([(0, 520), (800, 600)], s), fill=255))
    frame = np.clip(1 - opening + parapet, 0, 1)
    bump = crag(W, H, seed + 2, cell=20, light=(0.8, -0.5), depth=2.0)
    course = ((yy - 10) / 34.0) % 1.0
    joint = (x / 70.0 + np.floor((yy - 10) / 34.0) * 0.5) % 1.0
    mortar = np.maximum(smooth(0.08, 0.0, np.minimum(course, 1 - course)), smooth(0.04, 0.0, np.minimum(joint, 1 - joint)))
    stone = ramp(np.clip(0.35 + bump * 0.25, 0, 1), [(0, "#120e1a"), (0.5, "#2c2434"), (1, "#5a4654")])
    stone = mix(stone, rgb("#08060c"), mortar * 0.7)
    dawn_edge = edge_light(frame, 6, 3, soft=4.0)
    stone = screen(stone, rgb("#e09a9a"), dawn_edge * 0.5)
    mix(c, stone, frame)
    # the yoke beam and the bell
    beam = shape(W, H, lambda d, s: d.rectangle(polygon([(100, 92), (700, 118)], s), fill=255))
    mix(c, ramp(noise(W, H, 20, seed + 3, aspect=8.0), [(0, "#1e140e"), (1, "#4a3222")]), beam)
    screen(c, rgb("#c88a80"), edge_light(beam, 0, 3) * 0.4)
    outline = bell_outline(400, 132, 390)
    bell = shape(W, H, lambda d, s: d.polygon(polygon(outline, s), fill=255))
    half = bell_profile(np.clip((yy - 132) / (390 - 132), 0, 1))
    rel = np.clip((x - 400) / np.maximum(half, 1), -1, 1)
    shine = np.exp(-((rel + 0.45) / 0.12) ** 2) * 0.9 + np.exp(-((rel - 0.7) / 0.15) ** 2) * 0.5
    bronze = ramp(np.clip(0.35 + 0.25 * np.sqrt(1 - rel ** 2), 0, 1), [(0, "#2a1a10"), (0.5, "#6a4626"), (1, "#a87440")])
    bronze = screen(bronze, rgb("#ffe0b0"), shine)
    bronze = screen(bronze, rgb("#f0a0a0"), smooth(0.5, 1.0, rel) * 0.35)
    for by in (170, 300, 372):
        bronze = mix(bronze, rgb("#2a180c"), np.exp(-((yy - by) / 1.6) ** 2) * 0.6)
        bronze = screen(bronze, rgb("#ffd0a0"), np.exp(-((yy - by - 3) / 1.2) ** 2) * 0.3)
    mix(c, bronze, bell)
    mouth = shape(W, H, lambda d, s: d.ellipse(polygon([(400 - 150, 380), (400 + 150, 400)], s), fill=255))
    mix(c, rgb("#120a08"), mouth * 0.9)
    clapper = shape(W, H, lambda d, s: d.ellipse(polygon([(386, 382), (414, 412)], s), fill=255))
    mix(c, rgb("#2a1a10"), clapper)
    rope = shape(W, H, lambda d, s: d.line(polygon([(560, 118)] + [(566 + 4 * np.sin(t * 3), 118 + 380 * t) for t in np.linspace(0, 1, 20)], s), fill=255, width=int(4 * s)))
    mix(c, rgb("#5a4030"), rope)
    screen(c, rgb("#ffb0a0"), edge_light(rope, 2, 0) * 0.4)
    screen(c, rgb("#ffd8b0"), glow(W, H, 400, 520, 300, soft=1.2, sx=2.0) * 0.25)
    img = finish(c, seed, vignette=0.45)
    return img


def seacave():
    """A dark sea cave: dripping rock around a bright mouth on the morning sea, the light
    doubled in the water of the cave floor."""
    seed = 141
    x, yy = grid(W, H)
    horizon, waterline = 300, 404
    outside = np.zeros((H, W, 3), np.float32)
    outside[:horizon] = dawn_sky(W, horizon, horizon, seed, sun=(470, 250), cover=0.35,
                                 stops=[(0, "#6a86c0"), (0.6, "#d0c0d8"), (1, "#ffe0c0")])
    sea(outside, horizon, [(0, "#e0c8d0"), (1, "#4a6a98")], seed, sun_x=470, glitter=1.2, scale=1.5)
    edge_n = noise1d(720, 30, seed + 1, octaves=5)

    def mouth(d, s):
        pts = []
        for k in range(720):
            a = 2 * np.pi * k / 720
            r = 1 + edge_n[k] * 0.55
            pts.append((430 + 190 * r * np.cos(a), 300 + 150 * r * np.sin(a) * (1.0 if np.sin(a) < 0 else 0.9)))
        d.polygon(polygon(pts, s), fill=255)
        rng = np.random.default_rng(seed + 9)
        for k in range(14):
            sx0 = rng.uniform(270, 600)
            ln = rng.uniform(12, 60)
            wd = rng.uniform(4, 12)
            d.polygon(polygon([(sx0 - wd, 120), (sx0 + wd, 120), (sx0 + wd * 0.5, 120 + ln * 0.7),
                               (sx0 + 1, 120 + ln), (sx0 - 1, 120 + ln), (sx0 - wd * 0.5, 120 + ln * 0.7)], s), fill=0)
    open_mask = shape(W, H, mouth)
    open_mask *= (yy < waterline)
    bump = crag(W, H, seed + 2, cell=50, light=(0.4, 0.2), depth=4.0)
    dist = np.sqrt(((x - 430) / 1.3) ** 2 + (yy - 300) ** 2)
    lit = np.exp(-dist / 170.0)
    rock = ramp(np.clip(0.15 + (0.4 + bump * 0.4) * lit * 1.4, 0, 1), [(0, "#05070c"), (0.4, "#1c2030"), (0.8, "#4a4a5a"), (1, "#a09098")])
    wet = smooth(0.74, 0.8, noise(W, H, 9, seed + 3, octaves=2)) * lit
    rock = screen(rock, rgb("#c8d8ff"), wet * 0.25)
    c = mix(rock, outside, open_mask)
    rimlight = np.clip(blur(open_mask, 6) - open_mask, 0, 1) * 1.5
    screen(c, rgb("#ffe4c8"), rimlight * 0.6)
    # the cave's pool mirrors the mouth
    wob = (noise(W, H, 10, seed + 4, octaves=2, aspect=6.0) - 0.5) * 14
    src_y = np.clip((2 * waterline - yy).astype(int), 0, H - 1)
    refl = c[src_y, np.clip((x + wob).astype(int), 0, W - 1)] * np.array([0.6, 0.72, 0.85], np.float32)
    water = smooth(waterline - 1, waterline + 1, yy)
    mix(c, refl, water)
    sheen = smooth(0.6, 0.75, noise(W, H, 8, seed + 5, octaves=2, aspect=8.0)) * water * glow(W, H, 430, 470, 200, sx=1.6)
    screen(c, rgb("#ffe8d0"), sheen * 0.5)
    screen(c, rgb("#ffe6c8"), glow(W, H, 430, 330, 420, soft=1.3) * 0.15)
    img = finish(c, seed, vignette=0.6)
    return img


SCENES = {"shore": shore, "tidepool": tidepool, "hut": hut, "cliff": cliff, "forest": forest,
          "well": well, "gate": gate, "hall": hall, "stairs": stairs, "lamproom": lamproom,
          "cellar": cellar, "belltower": belltower, "seacave": seacave, "sunrise": sunrise}
_painted = {}


def scene(name):
    """A scene painting as an RGB image, painted once and kept for reuse."""
    if name not in _painted:
        _painted[name] = SCENES[name]()
    return _painted[name]


def backgrounds():
    """Every scene background, 800x600 JPEG."""
    for name in SCENES:
        save(scene(name), "bg", name + ".jpg", quality=85)


# ---- System pictures -----------------------------------------------------------------------

def message_frame():
    """The message window around the four text rows (x 35, y 402 + 45 r), drawn at (25, 380)."""
    w, h = 750, 212
    frame = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    draw = ImageDraw.Draw(frame)
    draw.rounded_rectangle((0, 0, w - 1, h - 1), radius=14, fill=(12, 14, 34, 188),
                           outline=(196, 180, 130, 255), width=3)
    draw.rounded_rectangle((6, 6, w - 7, h - 7), radius=10, outline=(96, 88, 70, 200), width=1)
    save(frame, "system", "picture", "text.png")


def chip_strip(name, colour):
    """Status chips: digit d at x 20 d (20 wide), HP at 206 (37), Guts at 247 (52), slash at
    305 (15); all 30 px high."""
    strip = Image.new("RGBA", (320, 30), (0, 0, 0, 0))
    draw = ImageDraw.Draw(strip)
    digits = ImageFont.truetype(GOTHIC, 24)
    labels = ImageFont.truetype(GOTHIC, 19)
    for d in range(10):
        draw.text((20 * d + 10, 15), str(d), font=digits, fill=colour, anchor="mm",
                  stroke_width=2, stroke_fill=(20, 16, 28, 255))
    for text, x, w in (("HP", 206, 37), ("Guts", 247, 52)):
        draw.text((x + w / 2, 15), text, font=labels, fill=(236, 222, 176, 255), anchor="mm",
                  stroke_width=2, stroke_fill=(20, 16, 28, 255))
    draw.text((305 + 7, 15), "/", font=digits, fill=(236, 222, 176, 255), anchor="mm",
              stroke_width=2, stroke_fill=(20, 16, 28, 255))
    save(strip, "system", "picture", name)


def save_png(image, *parts, colours=256):
    """Save a PNG through a good 256-colour palette (with dithering) to keep it small."""
    if image.mode == "RGBA":
        small = image.quantize(colours, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.FLOYDSTEINBERG)
    else:
        small = image.convert("RGB").quantize(colours, method=Image.Quantize.LIBIMAGEQUANT,
                                              dither=Image.Dither.FLOYDSTEINBERG)
    save(small, *parts)


def glow_text(size, items, colour, glow_colour=None, glow_radius=6.0, glow_strength=0.8,
              shadow=0.0):
    """Colour and alpha arrays of text with an optional soft glow behind it."""
    w, h = size
    mask = text_layer(w, h, items)
    col = np.zeros((h, w, 3), np.float32) + rgb(colour)
    alpha = mask.copy()
    if glow_colour:
        g = np.clip(blur(mask, glow_radius) * glow_strength * 2.5, 0, 1)
        col = col * mask[..., None] + rgb(glow_colour) * (1 - mask[..., None])
        alpha = np.maximum(alpha, g)
    if shadow:
        sh = np.clip(blur(shift(mask, 2, 3), 2.0) * shadow * 2, 0, 1)
        col = col * np.maximum(mask, 1 - sh)[..., None]
        alpha = np.maximum(alpha, sh)
    return col, alpha


def over(base_col, base_alpha, col, alpha):
    """Composite (col, alpha) over (base_col, base_alpha), straight alpha."""
    out_a = alpha + base_alpha * (1 - alpha)
    safe = np.maximum(out_a, 1e-6)[..., None]
    out_c = (col * alpha[..., None] + base_col * (base_alpha * (1 - alpha))[..., None]) / safe
    return out_c, out_a


def paint_text(canvas, items, colour, glow_colour=None, glow_radius=6.0, glow_strength=0.8, shadow=0.0):
    """Draw text (with glow/shadow) straight onto an opaque canvas."""
    h, w, _ = canvas.shape
    col, alpha = glow_text((w, h), items, colour, glow_colour, glow_radius, glow_strength, shadow)
    return mix(canvas, col, alpha)


def ornament_line(canvas, cx, y, half, colour, alpha=0.9):
    """A thin rule with a diamond in the middle and fading ends."""
    h, w, _ = canvas.shape
    x, yy = grid(w, h)
    line = np.exp(-((yy - y) / 0.7) ** 2) * smooth(half, half * 0.3, np.abs(x - cx)) * (np.abs(x - cx) > 12)
    diamond = smooth(0.6, -0.6, np.abs(x - cx) + np.abs(yy - y) - 6)
    return mix(canvas, rgb(colour), np.clip(line + diamond, 0, 1) * alpha)


# ---- Chapter cards and ending pictures -----------------------------------------------------

CHAPTERS = [("第一章", "潮騒の目覚め"), ("第二章", "灯台への道"), ("第三章", "沈んだ星図"), ("第四章", "夜明けの鐘")]


def chapter_cards():
    """Dark title cards, one per chapter, each over a faint motif of its own."""
    for k, (number, title) in enumerate(CHAPTERS):
        seed = 200 + k
        c = vgrad(W, H, [(0, "#05060f"), (0.55, "#0c1026"), (1, "#05060c")])
        x, yy = grid(W, H)
        if k == 0:
            # the sea at first light: faint wave lines under a low glow
            screen(c, rgb("#6a4a6a"), glow(W, H, 400, 430, 380, soft=1.3, sx=2.0) * 0.5)
            tex = periodic_noise(256, seed, kx=3.0, ky=0.5)
            for j in range(10):
                yl = 440 + j * j * 1.6
                wave = yl + 4 * np.sin(x / (40 + j * 6) + j) + (sample(tex, x * 0.5, np.full_like(x, j * 20.0)) - 0.5) * 6
                c = mix(c, rgb("#8a8ab8"), np.exp(-((yy - wave) / 0.8) ** 2) * (0.2 + 0.04 * j) * smooth(420, 120, np.abs(x - 400)))
        elif k == 1:
            # a path of small lights climbing to the lighthouse
            tower = shape(W, H, lambda d, s: lighthouse_shape(d, s, 600, 470, 300, 30))
            mix(c, rgb("#141a34"), tower)
            ang = np.arctan2(yy - 283, x - 600)
            beam = np.exp(-((ang - np.pi + 0.2) / 0.08) ** 2) * (x < 600) * np.exp(-np.abs(x - 600) / 600)
            screen(c, rgb("#c8a060"), beam * 0.35)
            screen(c, rgb("#ffd890"), glow(W, H, 600, 283, 14, soft=2.0) * 0.9)
            ridge = 470 + 30 * noise1d(W, 200, seed) * 2 - 40 * smooth(800, 500, x.astype(np.float32)[0])
            mix(c, rgb("#080a16"), below(W, H, ridge))
        elif k == 2:
            # a star chart: rings, a few constellations and their stars
            rr = np.sqrt((x - 400) ** 2 + (yy - 300) ** 2)
            for rad in (120, 200, 270):
                c = mix(c, rgb("#3a4a7a"), np.exp(-((rr - rad) / 0.8) ** 2) * 0.5)
            ang = np.arctan2(yy - 300, x - 400)
            ticks = smooth(0.9, 0.97, np.cos(ang * 36)) * (np.abs(rr - 270) < 7)
            c = mix(c, rgb("#3a4a7a"), ticks * 0.6)
            stars(c, 300, seed, bright=0.5, colour="#c8d0ff")
            rng = np.random.default_rng(seed)
            pts = [(400 + rng.uniform(-230, 230), 300 + rng.uniform(-200, 200)) for _ in range(14)]
            lines = shape(W, H, lambda d, s: [d.line(polygon([pts[i], pts[i + 1]], s), fill=255, width=s)
                                              for i in range(len(pts) - 1) if i % 4 != 3])
            c = mix(c, rgb("#6a7ab8"), lines * 0.4)
            for px, py in pts:
                screen(c, rgb("#e0e8ff"), glow(W, H, px, py, 7, soft=2.0) * 0.8)
        else:
            # the bell against a dawn glow
            screen(c, rgb("#b0604a"), glow(W, H, 400, 640, 420, soft=1.2, sx=1.8) * 0.6)
            bell = shape(W, H, lambda d, s: d.polygon(polygon(bell_outline(400, 380, 520, 0.55), s), fill=255))
            mix(c, rgb("#120c14"), bell * 0.9)
            screen(c, rgb("#ff9a70"), edge_light(bell, 0, 3, soft=1.5) * 0.6)
        # veil the motif so the words stand out, then write them
        c *= (0.55 + 0.45 * (1 - glow(W, H, 400, 280, 260, soft=2.0, sx=1.8)))[..., None]
        stars(c, 90, seed + 50, bright=0.35)
        paint_text(c, [(400, 215, number, mincho(34), "mm")], "#d8c08a", "#6a4a20", 8, 0.5)
        ornament_line(c, 400, 252, 150, "#b89a60")
        paint_text(c, [(400, 318, title, mincho(64), "mm")], "#fff4dc", "#c89a50", 12, 0.45)
        ornament_line(c, 400, 382, 190, "#b89a60", 0.7)
        save_png(finish(c, seed, vignette=0.6, grain=0.0), "system", "picture", "chapter", "c%d.png" % (k + 1))


ENDING = [("shore", "Tessellane'Arc", "テセレーン・アーク"),
          ("tidepool", None, None),
          ("cliff", "物語　名もなき旅人の記録", None),
          ("forest", None, None),
          ("gate", "絵と音　すべて一行ずつのコードから", None),
          ("stairs", None, None),
          ("lamproom", "灯りは、待つ人のために", None),
          ("cellar", None, None),
          ("belltower", "そして鐘は鳴った", None),
          ("sunrise", "おわり", None)]


def endings():
    """The ending slide show: the journey's scenes set like pictures in an album on a night
    blue page, softened like memories, some with a caption beneath."""
    px0, py0, pw, ph = 80, 44, 640, 420
    x, yy = grid(W, H)
    for k, (name, line, sub) in enumerate(ENDING):
        seed = 300 + k
        page = vgrad(W, H, [(0, "#0a0c20"), (0.6, "#121632"), (1, "#07081a")])
        screen(page, rgb("#2a2850"), glow(W, H, 400, 250, 420, soft=1.5, sx=1.4) * 0.6)
        stars(page, 70, seed, bright=0.35)
        # a slow push into each picture, a warm memory tint
        zoom = 1.06 + 0.03 * (k % 3)
        crop_w = W / zoom
        crop_h = crop_w * ph / pw
        ox = (W - crop_w) * (0.2 + 0.6 * ((k * 37) % 10) / 10)
        oy = (H - crop_h) * (0.35 + 0.3 * (k % 2))
        pic = scene(name).resize((pw, ph), Image.BICUBIC, box=(ox, oy, ox + crop_w, oy + crop_h))
        pic = blur(np.asarray(pic, np.float32) / 255.0, 0.8)
        grey = pic.mean(axis=2, keepdims=True)
        pic = screen(pic * 0.82 + grey * 0.18, rgb("#ffd8a8"), np.full((ph, pw), 0.1, np.float32))
        frame = shape(W, H, lambda d, s: d.rectangle(polygon([(px0 - 6, py0 - 6), (px0 + pw + 5, py0 + ph + 5)], s), fill=255))
        shadow = np.clip(blur(shift(frame, 5, 8), 8) - frame, 0, 1)
        mix(page, rgb("#000000"), shadow * 0.7)
        mix(page, rgb("#e8dcc0"), frame)
        page[py0:py0 + ph, px0:px0 + pw] = pic
        inner = np.zeros((H, W), np.float32)
        inner[py0:py0 + ph, px0:px0 + pw] = 1
        edge = np.minimum(np.minimum(x - px0, px0 + pw - x), np.minimum(yy - py0, py0 + ph - yy))
        page *= (1 - inner * smooth(40, 0, edge) * 0.25)[..., None]
        if k == 0:
            paint_text(page, [(400, 518, line, ImageFont.truetype(MINCHO_P, 44), "mm")], "#fff0d0", "#8a6020", 8, 0.35)
            paint_text(page, [(400, 563, sub, mincho(22), "mm")], "#d8c8a8")
        elif k == len(ENDING) - 1:
            paint_text(page, [(400, 530, line, mincho(44), "mm")], "#fff6e4", "#a06a30", 10, 0.45)
        elif line:
            paint_text(page, [(400, 522, line, mincho(24), "mm")], "#f0e4c8")
            ornament_line(page, 400, 556, 140, "#c8a868", 0.6)
        save_png(finish(page, seed, vignette=0.3, grain=0.0), "system", "picture", "ED", "%d.png" % k)


# ---- Field menu, choices and fades ---------------------------------------------------------

def plate(w, h, box, radius, fill_stops, rim, rim_width=2.0, fill_alpha=0.85, glow_col=None,
          glow_radius=6.0, sheen=0.0):
    """A rounded plate inside box (x0, y0, x1, y1) on a transparent (w, h) picture: colour
    and alpha arrays.  fill_stops is a vertical gradient over the plate, rim its border."""
    x0, y0, x1, y1 = box
    body = shape(w, h, lambda d, s: d.rounded_rectangle(polygon([(x0, y0), (x1, y1)], s), radius=radius * s, fill=255))
    inner = shape(w, h, lambda d, s: d.rounded_rectangle(
        polygon([(x0 + rim_width, y0 + rim_width), (x1 - rim_width, y1 - rim_width)], s),
        radius=max(1, radius - rim_width) * s, fill=255))
    x, yy = grid(w, h)
    fill = ramp(np.clip((yy - y0) / max(1, y1 - y0), 0, 1), fill_stops)
    if sheen:
        fill = screen(fill, rgb("#ffffff"), np.exp(-((yy - y0 - (y1 - y0) * 0.28) / ((y1 - y0) * 0.22)) ** 2) * sheen)
    col = fill * inner[..., None] + rgb(rim) * (1 - inner[..., None])
    alpha = inner * fill_alpha + (body - inner)
    if glow_col:
        g = np.clip(blur(body, glow_radius) * 1.6 - body, 0, 1) * (1 - body)
        col = col * body[..., None] + rgb(glow_col) * (1 - body[..., None])
        alpha = np.maximum(alpha, g)
    return col, alpha


MENU_ENTRIES = [("調べる", 55), ("持ち物", 95), ("移動する", 135)]


def field_menu():
    """The field menu panel (drawn at 500,100) and its entry buttons, each a same-size overlay
    holding only its own button at its band."""
    w, h = 230, 200
    col, alpha = plate(w, h, (2, 2, w - 3, h - 3), 12,
                       [(0, "#1a2044"), (1, "#0a0e22")], "#c8ac6a", rim_width=2.5, fill_alpha=0.88)
    x, yy = grid(w, h)
    # title strip with a little compass star
    strip = shape(w, h, lambda d, s: d.rounded_rectangle(polygon([(8, 8), (w - 9, 44)], s), radius=8 * s, fill=255))
    col = mix(col, ramp(np.clip((yy - 8) / 36, 0, 1), [(0, "#3a3a6a"), (1, "#1e2248")]), strip)
    col = mix(col, rgb("#c8ac6a"), np.exp(-((yy - 46) / 0.8) ** 2) * smooth(110, 60, np.abs(x - w / 2)))
    tcol, talpha = glow_text((w, h), [(w / 2 + 10, 27, "どうする？", mincho(20), "mm")], "#f4e6c0")
    col = mix(col, tcol, talpha)
    star = np.clip(smooth(1.0, 0.0, np.abs(x - 40) * np.abs(yy - 27) / 6.0) * smooth(9, 0, np.hypot(x - 40, yy - 27)), 0, 1)
    col = mix(col, rgb("#ffd890"), star)
    # faint sea-wave flourish along the bottom
    wave = np.exp(-((yy - (186 + 3 * np.sin(x / 12.0))) / 0.8) ** 2) * smooth(100, 40, np.abs(x - w / 2))
    col = mix(col, rgb("#6a7ab0"), wave * 0.6)
    save(rgba_image(col, alpha), "system", "picture", "menu.png")
    styles = {
        "on": dict(fill_stops=[(0, "#fff0c0"), (0.5, "#f0c060"), (1, "#c08830")], rim="#fff8e0",
                   fill_alpha=1.0, glow_col="#ffd070", sheen=0.35, text="#3a1e08"),
        "off": dict(fill_stops=[(0, "#2e3462"), (1, "#181c3c")], rim="#b89a5a", fill_alpha=0.95,
                    glow_col=None, sheen=0.1, text="#f4e8c8"),
        "gray": dict(fill_stops=[(0, "#3a3a44"), (1, "#26262e")], rim="#6a6a70", fill_alpha=0.8,
                     glow_col=None, sheen=0.0, text="#8a8a90"),
    }
    for n, (label, top) in enumerate(MENU_ENTRIES, start=1):
        kinds = ["on", "off", "gray"] if n != 2 else ["on", "off"]
        for kind in kinds:
            st = dict(styles[kind])
            text = st.pop("text")
            bcol, balpha = plate(w, h, (56, top + 5, 174, top + 35), 9, glow_radius=3.0, **st)
            tcol, talpha = glow_text((w, h), [(115, top + 20, label, gothic(20), "mm")], text)
            bcol = mix(bcol, tcol, talpha)
            band = np.zeros((h, w), np.float32)
            band[top:top + 40, 51:180] = 1
            img = rgba_image(bcol, balpha * band)
            check_inside(img, (51, top, 179, top + 39), "menu%d_%s" % (n, kind))
            save(img, "system", "picture", "menu%d_%s.png" % (n, kind))


def choice_plates():
    """The choice plate (500x100, drawn at 178, bandTop - 50): a translucent plate on the
    lower half covering the option's band; 'on' is lit."""
    w, h = 500, 100
    for kind in ("on", "off"):
        if kind == "on":
            col, alpha = plate(w, h, (42, 52, 458, 97), 10, [(0, "#6a4a20"), (0.5, "#8a6228"), (1, "#4a3014")],
                               "#ffe8a8", rim_width=2.0, fill_alpha=0.9, glow_col="#ffc860", glow_radius=3.0, sheen=0.25)
            x, yy = grid(w, h)
            col = screen(col, rgb("#ffd890"), glow(w, h, 120, 75, 140, soft=2.0, sx=2.0) * 0.35)
        else:
            col, alpha = plate(w, h, (42, 52, 458, 97), 10, [(0, "#1c2248"), (1, "#0e1230")],
                               "#b0945a", rim_width=1.5, fill_alpha=0.78)
        x, yy = grid(w, h)
        marker = smooth(1.0, 0.0, np.abs(x - 30) + np.abs(yy - 75) - 6)
        if kind == "on":
            col = mix(col, rgb("#fff0c0"), marker)
            alpha = np.maximum(alpha, marker)
        alpha[:50] = 0
        alpha[:, 461:] = 0
        img = rgba_image(col, alpha)
        check_inside(img, (20, 50, 460, 99), "sentakushi-" + kind)
        save(img, "system", "picture", "sentakushi-%s.png" % kind)


FADE_COVER = [0.05, 0.2, 0.36, 0.52, 0.68, 0.85, 1.0]


def fade_frame(cover):
    """One 64x48 frame of a halftone dissolve: black dots on a hexagonal 8 px grid that swell
    with cover (0 clear .. 1 opaque), over a faint even veil; tiles seamlessly."""
    x, y = grid(64, 48)
    d = np.full(x.shape, 99.0, np.float32)
    for row in range(-1, 7):
        for col in range(-1, 9):
            cx, cy = col * 8 + 4 + 4 * (row % 2), row * 8 + 4
            d = np.minimum(d, np.hypot(x - cx, y - cy))
    radius = 4.75 * cover ** 0.7
    dots = np.clip(radius - d + 0.5, 0, 1)
    alpha = 1 - (1 - dots) * (1 - 0.45 * cover)
    if cover >= 1.0:
        alpha[:] = 1.0
    return alpha


def fades():
    """fade_in (frame 0 nearly clear .. frame 6 opaque black) and fade_out (the reverse),
    seven 64x48 frames side by side."""
    frames = [fade_frame(cv) for cv in FADE_COVER]
    assert frames[0].mean() < 0.1 and frames[1].mean() < frames[4].mean() < 0.95, "fade frames out of order"
    assert (frames[6] == 1.0).all(), "the last fade frame must be opaque"
    for name, order in (("fade_in.png", frames), ("fade_out.png", frames[::-1])):
        alpha = np.concatenate(order, axis=1)
        col = np.zeros(alpha.shape + (3,), np.float32)
        save(rgba_image(col, alpha), "system", "picture", name)


# ---- Title screen --------------------------------------------------------------------------

TITLE_BUTTONS = [("start", "はじめから", (286, 355, 534, 389), ("on", "off")),
                 ("load", "ロード", (286, 410, 534, 445), ("on", "off", "gray")),
                 ("continue", "コンティニュー", (286, 466, 534, 500), ("on", "off", "gray"))]


def title_back():
    """The drifting title background (1400x1000): a night sea under the Milky Way, the
    lighthouse on its headland sweeping its beam across the water."""
    w, h, horizon, seed = 1400, 1000, 660, 400
    c = vgrad(w, horizon, [(0, "#03040e"), (0.5, "#0a1030"), (0.85, "#1c2450"), (1, "#3a3a68")])
    x, y = grid(w, horizon)
    # the Milky Way: a soft diagonal band of glow and dust with dense small stars
    across = (y - 0.45 * x - 80) / 160.0
    band = np.exp(-across ** 2) * (0.6 + 0.6 * noise(w, horizon, 120, seed, octaves=5))
    dust = smooth(0.55, 0.7, noise(w, horizon, 40, seed + 1, octaves=4)) * np.exp(-(across / 0.5) ** 2)
    screen(c, rgb("#8a86c8"), band * 0.28)
    mix(c, rgb("#060814"), dust * 0.35)
    stars(c, 1800, seed + 2, bright=0.55, fade=np.clip(band * 0.8 + 0.35, 0, 1) * smooth(horizon, horizon - 160, y))
    stars(c, 260, seed + 3, bright=1.0, fade=smooth(horizon, horizon - 120, y))
    screen(c, rgb("#6a5a9a"), glow(w, horizon, 700, horizon, 500, soft=1.3, sx=2.5) * 0.35)
    full = np.zeros((h, w, 3), np.float32)
    full[:horizon] = c
    sea(full, horizon, [(0, "#2a2e5a"), (0.3, "#141a3a"), (1, "#05081a")], seed, sun_x=700,
        sun_col="#ffe0a0", glitter=0.55, sky_col="#3a3a6a", cx=700.0, scale=1.5)
    X, Y = grid(w, h)
    xa = np.arange(w, dtype=np.float32)
    # the headland and tower on the right
    ridge = horizon - 6 - 60 * smooth(640, 840, xa) * smooth(1250, 1000, xa) - 14 * smooth(1000, 1400, xa) + 8 * noise1d(w, 60, seed + 4)
    land = below(w, h, ridge) * (Y < horizon + 40)
    mix(full, rgb("#04050c"), land)
    tower = shape(w, h, lambda d, s: lighthouse_shape(d, s, 880, float(ridge[880]) + 2, 470, 26), ss=2)
    mix(full, rgb("#0a0c18"), tower)
    screen(full, rgb("#8a7aa0"), edge_light(tower, -2, 0, soft=1.0) * 0.4)
    lamp_x, lamp_y = 880, 456
    ang = np.arctan2(Y - lamp_y, X - lamp_x)
    beam = np.exp(-((ang - np.pi + 0.055) / 0.05) ** 2) * (X < lamp_x) * np.exp(-np.abs(X - lamp_x) / 1300.0)
    beam *= 0.8 + 0.4 * noise(w, h, 100, seed + 5, aspect=4.0)
    screen(full, rgb("#ffe4a8"), beam * 0.5)
    beam2 = np.exp(-((ang - 0.18) / 0.06) ** 2) * (X > lamp_x) * np.exp(-np.abs(X - lamp_x) / 400.0)
    screen(full, rgb("#ffe4a8"), beam2 * 0.3)
    screen(full, rgb("#fff2c8"), glow(w, h, lamp_x, lamp_y, 18, soft=2.0))
    screen(full, rgb("#ffc870"), glow(w, h, lamp_x, lamp_y, 120, soft=1.3) * 0.5)
    # the beam's path on the water
    path = np.exp(-((X - 700) / (30 + (Y - horizon) * 0.6)) ** 2) * (Y > horizon)
    screen(full, rgb("#ffd890"), path * smooth(0.55, 0.8, noise(w, h, 6, seed + 6, octaves=2, aspect=4.0)) * 0.35)
    mist = noise(w, h, 200, seed + 7, aspect=4.0) * np.exp(-((Y - horizon) / 50.0) ** 2)
    screen(full, rgb("#4a4a7a"), mist * 0.35)
    save_png(finish(full, seed, vignette=0.0, grain=0.0), "system", "picture", "title_back.png")


def title_fore():
    """The title overlay: logo, subtitle and a little compass star, upper part only."""
    c = np.zeros((H, W, 3), np.float32)
    a = np.zeros((H, W), np.float32)
    x, y = grid(W, H)
    # a soft dark halo so the logo reads over any part of the sky
    halo = glow(W, H, 400, 190, 240, soft=2.0, sx=1.9) * 0.45 * smooth(80, 130, y) * smooth(300, 250, y)
    c, a = over(c, a, np.zeros((H, W, 3), np.float32) + rgb("#04061a"), halo)
    # compass star above the logo
    r = np.hypot(x - 400, y - 112)
    ang = np.arctan2(y - 112, x - 400)
    star = smooth(0.6, -0.6, r - (6 + 20 * np.abs(np.cos(ang * 2)) ** 10 + 9 * np.abs(np.cos(ang * 2 + np.pi / 2)) ** 10))
    ring = np.exp(-((r - 15) / 0.7) ** 2)
    star_col = np.zeros((H, W, 3), np.float32) + rgb("#ffe2a0")
    c, a = over(c, a, star_col, np.clip(star + ring * 0.8, 0, 1))
    c, a = over(c, a, star_col, np.clip(blur(star, 6) * 1.2, 0, 1) * 0.6 * (1 - star))
    # the logo: gold gradient letters with a glow
    logo_font = ImageFont.truetype(MINCHO_P, 80)
    mask = text_layer(W, H, [(400, 192, "Tessellane'Arc", logo_font, "mm")])
    gold = ramp(np.clip((y - 160) / 64, 0, 1), [(0, "#fff8e0"), (0.45, "#ffd88a"), (1, "#c0863a")])
    g = np.clip(blur(mask, 10) * 1.8, 0, 1) * 0.7
    c, a = over(c, a, np.zeros((H, W, 3), np.float32) + rgb("#ffb050"), g)
    edge = np.clip(blur(mask, 1.5) * 2, 0, 1)
    c, a = over(c, a, np.zeros((H, W, 3), np.float32) + rgb("#3a2008"), edge * 0.9)
    c, a = over(c, a, gold, mask)
    # rules and the Japanese subtitle
    rule = (np.exp(-((y - 240) / 0.7) ** 2) * smooth(230, 80, np.abs(x - 400)) * (np.abs(x - 400) > 160))
    c, a = over(c, a, np.zeros((H, W, 3), np.float32) + rgb("#e8c888"), rule)
    sub_mask = text_layer(W, H, [(400, 262, "テ セ レ ー ン ・ ア ー ク", mincho(28), "mm")])
    c, a = over(c, a, np.zeros((H, W, 3), np.float32) + rgb("#10081a"), np.clip(blur(sub_mask, 3) * 2, 0, 1) * 0.7)
    c, a = over(c, a, np.zeros((H, W, 3), np.float32) + rgb("#f4ead4"), sub_mask)
    a *= (y < 300) * (y >= 80)
    img = rgba_image(c, a)
    check_inside(img, (0, 80, W - 1, 299), "title_fore")
    save(img, "system", "picture", "title_fore.png")


def title_buttons():
    """The title's buttons: each an 800x600 overlay with only its plate, exactly inside its
    hit area; 'on' lit, 'off' plain, 'gray' unavailable."""
    for name, label, (x0, y0, x1, y1), kinds in TITLE_BUTTONS:
        for kind in kinds:
            if kind == "on":
                col, alpha = plate(W, H, (x0 + 3, y0 + 3, x1 - 3, y1 - 3), 12,
                                   [(0, "#fff2c8"), (0.5, "#f2c466"), (1, "#b98230")], "#fffae8",
                                   fill_alpha=1.0, glow_col="#ffd070", glow_radius=2.0, sheen=0.35)
                text = "#3a1c06"
            elif kind == "off":
                col, alpha = plate(W, H, (x0 + 3, y0 + 3, x1 - 3, y1 - 3), 12,
                                   [(0, "#2a3060"), (1, "#121634")], "#c8a864", fill_alpha=0.82, sheen=0.12)
                text = "#f6ecd0"
            else:
                col, alpha = plate(W, H, (x0 + 3, y0 + 3, x1 - 3, y1 - 3), 12,
                                   [(0, "#34343e"), (1, "#202028")], "#5a5a64", fill_alpha=0.7)
                text = "#7c7c86"
            tcol, talpha = glow_text((W, H), [((x0 + x1) / 2, (y0 + y1) / 2 + 1, label, mincho(22), "mm")], text)
            col = mix(col, tcol, talpha)
            hit = np.zeros((H, W), np.float32)
            hit[y0:y1 + 1, x0:x1 + 1] = 1
            img = rgba_image(col, alpha * hit)
            check_inside(img, (x0, y0, x1, y1), "title_%s_%s" % (name, kind))
            save(img, "system", "picture", "title_%s_%s.png" % (name, kind))


def check_inside(img, box, what):
    """Assert that every visible pixel of an overlay lies inside box (x0, y0, x1, y1)."""
    alpha = np.asarray(img)[..., 3]
    ys, xs = np.nonzero(alpha)
    x0, y0, x1, y1 = box
    assert len(xs) > 0, what + " is empty"
    assert xs.min() >= x0 and xs.max() <= x1 and ys.min() >= y0 and ys.max() <= y1, \
        "%s spills out of %s: x %d..%d y %d..%d" % (what, box, xs.min(), xs.max(), ys.min(), ys.max())


# ---- Save and load screens, item sheet -----------------------------------------------------

def parchment(w, h, seed, tone="#efe2c4", edge="#b8996a"):
    """Light parchment: warm paper with soft mottling, fibres and darker edges."""
    x, y = grid(w, h)
    mottle = noise(w, h, 60, seed, octaves=5)
    fibre = noise(w, h, 4, seed + 1, octaves=2, aspect=6.0)
    c = np.zeros((h, w, 3), np.float32) + rgb(tone)
    c *= (0.94 + 0.1 * mottle + 0.03 * fibre)[..., None]
    border = np.minimum(np.minimum(x, w - x), np.minimum(y, h - y))
    c = mix(c, rgb(edge), smooth(26, 0, border) * 0.6)
    return c


def slot_screens():
    """Save and load screens: a calm, blurred night sea behind a heading; the slot cards
    are drawn over them."""
    base = blur(np.asarray(scene("lamproom").resize((W, H)), np.float32) / 255.0, 14)
    for name, heading, sub in (("save", "セーブ", "記録を残す"), ("load", "ロード", "記録をひらく")):
        c = base * 0.45 + vgrad(W, H, [(0, "#0a1030"), (1, "#04060e")]) * 0.55
        if name == "load":
            c = c * np.array([0.9, 0.95, 1.1], np.float32)
        stars(c, 160, 500 if name == "save" else 501, bright=0.45)
        x, y = grid(W, H)
        strip = np.exp(-((y - 50) / 34.0) ** 2) * 0.35
        c = mix(c, rgb("#000000"), strip)
        paint_text(c, [(48, 52, heading, mincho(44), "lm")], "#fff0cc", "#8a6020", 8, 0.4)
        paint_text(c, [(52 + 48 * len(heading) + 14, 60, sub, mincho(18), "lm")], "#c8b890")
        ornament_line(c, 400, 88, 380, "#c8a868", 0.6)
        ornament_line(c, 400, 560, 300, "#8a7a5a", 0.4)
        save_png(finish(c, 510, vignette=0.5, grain=0.0), "system", "picture", name + ".png")


def memo_cards():
    """Slot cards (240x260): parchment with a ruled writing area for four lines of black
    text at (40, 80 + 30 j); 'on' has a glowing gold border."""
    w, h = 240, 260
    for kind in ("off", "on"):
        inset = 7
        card = shape(w, h, lambda d, s: d.rounded_rectangle(polygon([(inset, inset), (w - 1 - inset, h - 1 - inset)], s), radius=12 * s, fill=255))
        paper = parchment(w, h, 520, tone="#f3e8cc" if kind == "off" else "#fbf2da")
        x, y = grid(w, h)
        for j in range(4):
            paper = mix(paper, rgb("#b8a47e"), np.exp(-((y - (80 + 30 * j + 25)) / 0.6) ** 2) * (x > 34) * (x < 212) * 0.6)
        emblem_r = np.hypot(x - w / 2, y - 44)
        ang = np.arctan2(y - 44, x - w / 2)
        emblem = smooth(0.6, -0.6, emblem_r - (4 + 16 * np.abs(np.cos(ang * 2)) ** 12 + 7 * np.abs(np.sin(ang * 2)) ** 12))
        paper = mix(paper, rgb("#9a7434"), emblem * 0.8)
        paper = mix(paper, rgb("#9a7434"), np.exp(-((emblem_r - 12) / 0.6) ** 2) * 0.6)
        paper = ornament_line(paper, w / 2, 68, 90, "#9a7a48", 0.7)
        rim_col = "#fff2b0" if kind == "on" else "#8a6a3a"
        ring = np.clip(card - shape(w, h, lambda d, s: d.rounded_rectangle(polygon([(inset + 2.5, inset + 2.5), (w - 1 - inset - 2.5, h - 1 - inset - 2.5)], s), radius=10 * s, fill=255)), 0, 1)
        col = mix(paper, rgb(rim_col), ring)
        alpha = card.copy()
        if kind == "on":
            g = np.clip(blur(card, 5) * 1.8 - card, 0, 1)
            col = col * card[..., None] + rgb("#ffd070") * (1 - card[..., None])
            alpha = np.maximum(alpha, g * 0.9)
        else:
            sh = np.clip(blur(shift(card, 2, 3), 3) - card, 0, 1) * 0.5
            col = col * card[..., None]
            alpha = np.maximum(alpha, sh)
        save(rgba_image(col, alpha), "system", "picture", "save_memo_%s.png" % kind)


def item_sheet():
    """The item sheet: a parchment page with the heading 「持ち物」 and faint ruled rows for
    the three columns of labels (x 125, 310, 495; y 140 + 30 r)."""
    c = np.asarray(scene("hut").resize((W, H)), np.float32) / 255.0
    c = blur(c, 10) * 0.55
    x, y = grid(W, H)
    sheet_mask = shape(W, H, lambda d, s: d.rounded_rectangle(polygon([(70, 40), (730, 560)], s), radius=10 * s, fill=255))
    paper = parchment(W, H, 530)
    sheet_local = np.minimum(np.minimum(x - 70, 730 - x), np.minimum(y - 40, 560 - y))
    paper = mix(paper, rgb("#b8996a"), smooth(24, 0, sheet_local) * 0.55)
    for r in range(12):
        ry = 140 + 30 * r + 26
        for cx0 in (125, 310, 495):
            paper = mix(paper, rgb("#c4ae84"), np.exp(-((y - ry) / 0.6) ** 2) * (x > cx0 - 6) * (x < cx0 + 170) * 0.5)
    rr = np.hypot(x - 600, y - 440)
    ang = np.arctan2(y - 440, x - 600)
    rose = smooth(0.6, -0.6, rr - (10 + 90 * np.abs(np.cos(ang * 2)) ** 14 + 40 * np.abs(np.sin(ang * 2)) ** 14))
    paper = mix(paper, rgb("#c8b08a"), (rose + np.exp(-((rr - 70) / 0.8) ** 2)) * 0.25)
    paper = paint_text(paper, [(400, 88, "持ち物", mincho(40), "mm")], "#3a2410")
    paper = ornament_line(paper, 400, 118, 230, "#8a6a3a", 0.8)
    shadow = np.clip(blur(shift(sheet_mask, 4, 6), 6) - sheet_mask, 0, 1) * 0.6
    c = mix(c, rgb("#000000"), shadow)
    c = mix(c, paper, sheet_mask)
    save_png(finish(c, 530, vignette=0.0, grain=0.0), "system", "picture", "item.png")


def status_ornament():
    """A small status ornament (200x60): a rope-framed plate with a compass star."""
    w, h = 200, 60
    col, alpha = plate(w, h, (2, 2, w - 3, h - 3), 10, [(0, "#2a3060"), (1, "#121634")], "#c8a864", fill_alpha=0.85, sheen=0.15)
    x, y = grid(w, h)
    for cxs in (24, w - 24):
        r = np.hypot(x - cxs, y - h / 2)
        ang = np.arctan2(y - h / 2, x - cxs)
        star = smooth(0.6, -0.6, r - (3 + 13 * np.abs(np.cos(ang * 2)) ** 10 + 5 * np.abs(np.sin(ang * 2)) ** 10))
        col = mix(col, rgb("#ffd890"), star)
    tcol, talpha = glow_text((w, h), [(w / 2, h / 2, "状 態", mincho(22), "mm")], "#f4e6c0")
    col = mix(col, tcol, talpha)
    save(rgba_image(col, alpha), "system", "picture", "jotai.png")


def system_pictures():
    """Every system picture."""
    field_menu()
    choice_plates()
    fades()
    title_back()
    title_fore()
    title_buttons()
    slot_screens()
    memo_cards()
    item_sheet()
    status_ornament()


# ---- Sound toolkit -------------------------------------------------------------------------
# Everything is additive synthesis in numpy.  Music is built on a loop buffer: notes that run
# past its end wrap round to the start and the reverb is a circular convolution, so the last
# sample flows straight into the first and each track loops without a seam.

SR = 22050


def note_hz(n):
    """MIDI note number -> frequency."""
    return 440.0 * 2.0 ** ((n - 69) / 12.0)


NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(name):
    """'C4', 'F#3', 'Bb5' -> MIDI number."""
    base = NOTE_NAMES[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        base += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return base + 12 * (int(rest) + 1)


def chord(*names):
    return [midi(n) for n in names]


def times(dur):
    return np.arange(int(dur * SR)) / SR


def envelope(n, attack, release, hold=None):
    """Linear attack, sustain, and a raised-cosine release over the last `release` seconds."""
    env = np.ones(n)
    a = min(n, max(1, int(attack * SR)))
    env[:a] = np.linspace(0, 1, a)
    r = min(n - a, int(release * SR))
    if r > 0:
        env[n - r:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, r))
    return env


def harp(f, dur, bright=1.0, seed=0):
    """Plucked string: harmonics that die away faster the higher they are."""
    t = times(dur)
    out = np.zeros_like(t)
    rng = np.random.default_rng(seed)
    for k in range(1, 10):
        fk = f * k * (1 + 0.0004 * k * k)
        if fk > SR / 2 - 500:
            break
        amp = (1.0 / k ** 1.5) * (bright if k > 2 else 1.0)
        out += amp * np.sin(2 * np.pi * fk * t + rng.uniform(0, 6.28)) * np.exp(-t * (1.2 + 1.1 * k))
    return out * envelope(len(t), 0.004, 0.08)


def piano(f, dur, seed=0):
    """A soft felt-piano tone: warm partials, gentle hammer and a long decay."""
    t = times(dur)
    out = np.zeros_like(t)
    rng = np.random.default_rng(seed)
    for k in range(1, 8):
        fk = f * k * (1 + 0.0008 * k * k)
        if fk > SR / 2 - 500:
            break
        amp = 1.0 / k ** 1.8
        decay = 0.6 + 0.8 * k + f / 600
        out += amp * np.sin(2 * np.pi * fk * t + rng.uniform(0, 6.28)) * (0.7 * np.exp(-t * decay) + 0.3 * np.exp(-t * decay * 0.25))
    return out * envelope(len(t), 0.006, 0.25)


BELL_PARTIALS = [(0.5, 0.6, 0.5), (1.0, 1.0, 0.8), (1.19, 0.5, 1.1), (1.56, 0.35, 1.4), (2.0, 0.45, 1.6),
                 (2.51, 0.25, 2.2), (2.66, 0.2, 2.4), (3.01, 0.18, 2.8), (4.1, 0.1, 3.6)]


def bell(f, dur, decay=1.0, seed=0):
    """A struck bell: inharmonic partials, each ringing for its own time, slightly beating."""
    t = times(dur)
    out = np.zeros_like(t)
    rng = np.random.default_rng(seed)
    for ratio, amp, d in BELL_PARTIALS:
        fk = f * ratio
        if fk > SR / 2 - 500:
            continue
        beat = 1 + 0.15 * np.sin(2 * np.pi * rng.uniform(0.5, 2.0) * t)
        out += amp * beat * np.sin(2 * np.pi * fk * t + rng.uniform(0, 6.28)) * np.exp(-t * d / decay)
    return out * envelope(len(t), 0.002, 0.3)


def celesta(f, dur, seed=0):
    """Music-box / celesta: a pure tone with a glassy octave and a quick shimmer."""
    t = times(dur)
    out = np.sin(2 * np.pi * f * t) * np.exp(-t * 2.2)
    out += 0.35 * np.sin(2 * np.pi * f * 2 * t) * np.exp(-t * 4.0)
    out += 0.12 * np.sin(2 * np.pi * f * 3.98 * t) * np.exp(-t * 9.0)
    return out * envelope(len(t), 0.003, 0.2)


def pad(f, dur, attack=1.2, release=1.5, bright=0.6, seed=0, voices=3):
    """A soft ensemble pad: detuned voices of a gently rolled-off saw, slow swell."""
    t = times(dur)
    rng = np.random.default_rng(seed)
    out = np.zeros_like(t)
    for v in range(voices):
        det = 1 + (v - (voices - 1) / 2) * 0.0035
        vib = 1 + 0.002 * np.sin(2 * np.pi * rng.uniform(4.0, 5.5) * t + rng.uniform(0, 6.28))
        phase = 2 * np.pi * f * det * np.cumsum(vib) / SR
        for k in range(1, 8):
            if f * k > SR / 2 - 800:
                break
            out += (bright ** (k - 1)) / k * np.sin(k * phase + rng.uniform(0, 6.28))
    return out / voices * envelope(len(t), attack, release)


def flute(f, dur, seed=0, breath=0.08):
    """A breathy flute-like lead with delayed vibrato."""
    t = times(dur)
    rng = np.random.default_rng(seed)
    vib_depth = 0.006 * smooth(0.25, 0.7, t)
    vib = 1 + vib_depth * np.sin(2 * np.pi * 5.2 * t)
    phase = 2 * np.pi * f * np.cumsum(vib) / SR
    out = np.sin(phase) + 0.22 * np.sin(2 * phase) + 0.06 * np.sin(3 * phase)
    noise_ = lowpass(rng.normal(0, 1, len(t)), f * 3) * breath
    return (out + noise_ * out) * envelope(len(t), 0.07, min(0.3, dur * 0.4))


def bass(f, dur, seed=0):
    """A round bass: fundamental and a touch of second harmonic, plucked envelope."""
    t = times(dur)
    out = np.sin(2 * np.pi * f * t) + 0.3 * np.sin(4 * np.pi * f * t) * np.exp(-t * 3)
    return out * (0.6 * np.exp(-t * 1.5) + 0.4) * envelope(len(t), 0.01, 0.2)


def lowpass(x, cutoff, order=2):
    """Smooth zero-phase low-pass in the frequency domain (circular)."""
    spectrum = np.fft.rfft(x)
    fr = np.fft.rfftfreq(len(x), 1 / SR)
    spectrum /= np.sqrt(1 + (fr / cutoff) ** (2 * order))
    return np.fft.irfft(spectrum, len(x))


def bandpass(x, lo, hi, order=2):
    spectrum = np.fft.rfft(x)
    fr = np.fft.rfftfreq(len(x), 1 / SR) + 1e-3
    spectrum /= np.sqrt(1 + (fr / hi) ** (2 * order)) * np.sqrt(1 + (lo / fr) ** (2 * order))
    return np.fft.irfft(spectrum, len(x))


def kick(dur=0.4):
    """A soft, low kick: a falling sine thump."""
    t = times(dur)
    f = 45 + 70 * np.exp(-t * 25)
    return np.sin(2 * np.pi * np.cumsum(f) / SR) * np.exp(-t * 9)


def shaker(dur=0.12, seed=0):
    """A brushed shaker: a tick of high noise."""
    rng = np.random.default_rng(seed)
    t = times(dur)
    return bandpass(rng.normal(0, 1, len(t)), 4000, 9000) * np.exp(-t * 40) * envelope(len(t), 0.004, 0.02)


def tom(f, dur=0.6):
    """A low drum (timpani-ish): pitched thump with a skin of noise."""
    t = times(dur)
    rng = np.random.default_rng(int(f))
    tone = np.sin(2 * np.pi * np.cumsum(f * (1 + 0.3 * np.exp(-t * 20))) / SR) * np.exp(-t * 4)
    skin = lowpass(rng.normal(0, 1, len(t)), 900) * np.exp(-t * 25) * 0.4
    return (tone + skin) * envelope(len(t), 0.002, 0.1)


class Loop:
    """A stereo loop buffer `bars` long at `bpm` (4 beats a bar); events wrap round."""

    def __init__(self, bpm, bars, beats_per_bar=4):
        self.beat = 60.0 / bpm
        self.n = int(round(bars * beats_per_bar * self.beat * SR))
        self.buf = np.zeros((2, self.n))

    def add(self, sig, beat, gain=1.0, pan=0.0):
        """Mix mono sig in at a beat position (pan -1 left .. 1 right), wrapping at the end."""
        start = int(round(beat * self.beat * SR)) % self.n
        left, right = np.cos((pan + 1) * np.pi / 4), np.sin((pan + 1) * np.pi / 4)
        pos = 0
        while pos < len(sig):
            at = (start + pos) % self.n
            take = min(len(sig) - pos, self.n - at)
            self.buf[0, at:at + take] += sig[pos:pos + take] * gain * left
            self.buf[1, at:at + take] += sig[pos:pos + take] * gain * right
            pos += take

    def secs(self, beats):
        return beats * self.beat

    def reverb(self, wet=0.3, length=2.4, damp=3000.0, seed=0):
        """Circular convolution with a decaying noise tail (a soft hall), per channel."""
        rng = np.random.default_rng(seed)
        m = int(length * SR)
        t = np.arange(m) / SR
        for ch in range(2):
            ir = rng.normal(0, 1, m) * np.exp(-t * 6.9 / length) * smooth(0.0, 0.02, t)
            ir = lowpass(ir, damp)
            ir /= np.sqrt(np.sum(ir ** 2))
            full = np.zeros(self.n)
            full[:min(m, self.n)] = ir[:self.n]
            wet_sig = np.fft.irfft(np.fft.rfft(self.buf[ch]) * np.fft.rfft(full), self.n)
            self.buf[ch] = self.buf[ch] * (1 - wet * 0.5) + wet_sig * wet

    def master(self, peak=0.85, tone=7000.0):
        """Round off the top, take out DC and set the level."""
        for ch in range(2):
            self.buf[ch] = lowpass(self.buf[ch] - self.buf[ch].mean(), tone, order=1)
        self.buf *= peak / max(1e-9, np.abs(self.buf).max())
        return self.buf


def write_wav(path, data, rate=SR):
    """16-bit WAV from float data (mono array or (2, n) stereo)."""
    data = np.atleast_2d(data)
    pcm = (np.clip(data, -1, 1) * 32767).round().astype("<i2").T.copy()
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(data.shape[0])
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())


def write_ogg(buf, name, quality=0):
    """Encode a music loop to bgm/<name>.ogg with oggenc."""
    path = os.path.join(GAME, "bgm", name + ".ogg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, name + ".wav")
        write_wav(wav, buf)
        serial = zlib.crc32(name.encode()) & 0x7FFFFFFF  # a fixed stream serial keeps output identical run to run
        subprocess.run(["oggenc", "-Q", "-q", str(quality), "-s", str(serial), "-o", path, wav], check=True)


def arpeggio(loop, notes, beat, pattern, step, inst=harp, gain=0.3, pan=0.0, dur=2.0, seed=0):
    """Play chord notes in the order of pattern (indices), one every `step` beats."""
    rng = np.random.default_rng(seed)
    for i, idx in enumerate(pattern):
        n = notes[idx % len(notes)] + 12 * (idx // len(notes))
        vel = gain * rng.uniform(0.8, 1.0) * (1.1 if i == 0 else 1.0)
        loop.add(inst(note_hz(n), dur, seed=seed + i), beat + i * step + rng.normal(0, 0.01), vel, pan)


def melody(loop, line, inst=flute, gain=0.3, pan=0.0, seed=0, tail=0.4):
    """line: [(beat, length in beats, note name or None), ...]."""
    for i, (beat, length, name) in enumerate(line):
        if name is None:
            continue
        loop.add(inst(note_hz(midi(name)), loop.secs(length) + tail, seed=seed + i), beat, gain, pan)


def parse_line(text, start=0.0):
    """Melody shorthand: 'E5:1 D5:.5 r:.5 ...' (note:beats, r for rest) -> line."""
    line, beat = [], start
    for tok in text.split():
        name, length = tok.split(":")
        length = float(length)
        line.append((beat, length, None if name == "r" else name))
        beat += length
    return line


# ---- Music ---------------------------------------------------------------------------------

def comp_pads(loop, chords, beats=4, gain=0.1, octave_shift=0, bright=0.55, seed=0, attack=0.8):
    """One sustained pad chord per bar (or per `beats`), overlapping into the next."""
    for i, ch in enumerate(chords):
        for j, n in enumerate(ch):
            loop.add(pad(note_hz(n + octave_shift), loop.secs(beats) + 1.2, attack=attack, release=1.3,
                         bright=bright, seed=seed + i * 7 + j), i * beats, gain, pan=(j - 1) * 0.35)


def bass_line(loop, roots, pattern=((0, 2), (2, 2)), gain=0.35, inst=None, beats=4, seed=0):
    """Bass notes: for each bar root, (beat offset, length) pairs from pattern; a length
    given as (offset, length, interval) plays root + interval."""
    inst = inst or bass
    for i, r in enumerate(roots):
        for p in pattern:
            off, length = p[0], p[1]
            n = r + (p[2] if len(p) > 2 else 0)
            loop.add(inst(note_hz(n), loop.secs(length) + 0.3, seed=seed + i), i * beats + off, gain)


def music_op():
    """Title theme: a gentle harp-and-flute waltz of a tune over D major, the sea far off."""
    loop = Loop(72, 8)
    chords = [chord("D3", "A3", "F#4"), chord("C#3", "A3", "E4"), chord("B2", "F#3", "D4"), chord("G2", "D3", "B3"),
              chord("D3", "A3", "F#4"), chord("E3", "B3", "G4"), chord("G2", "D3", "B3"), chord("A2", "E3", "C#4")]
    comp_pads(loop, [[n + 12 for n in c] for c in chords], gain=0.05, bright=0.5)
    bass_line(loop, [c[0] - 12 for c in chords], pattern=((0, 2), (2, 2, 7)), gain=0.22)
    for i, c in enumerate(chords):
        voicing = [c[0], c[1], c[2], c[0] + 12, c[1] + 12, c[2] + 12]
        arpeggio(loop, voicing, i * 4, [0, 1, 2, 3, 4, 3, 2, 1], 0.5, gain=0.16, pan=-0.3, dur=2.5, seed=10 + i)
    tune = parse_line("F#5:1.5 E5:.5 D5:1 A4:1  B4:.5 C#5:.5 D5:.5 E5:.5 C#5:2  D5:1.5 C#5:.5 B4:1 F#4:1 "
                      "G4:.5 A4:.5 B4:.5 D5:.5 A4:2  F#5:1.5 E5:.5 D5:1 A5:1  G5:1.5 F#5:.5 E5:1 B4:1 "
                      "D5:.5 E5:.5 F#5:.5 G5:.5 F#5:1 E5:1  E5:3 r:1")
    melody(loop, tune, flute, gain=0.2, pan=0.15, seed=100)
    for b in (0, 16):
        loop.add(celesta(note_hz(midi("F#6")), 3.0), b, 0.12, 0.4)
        loop.add(celesta(note_hz(midi("A6")), 3.0), b + 0.02, 0.08, 0.5)
    rng = np.random.default_rng(5)
    surf = lowpass(rng.normal(0, 1, loop.n), 700)
    swell = 0.5 + 0.5 * np.sin(2 * np.pi * np.arange(loop.n) / loop.n * 4) ** 2
    loop.add(surf * swell * 0.05, 0, 1.0, -0.2)
    loop.reverb(wet=0.35, length=2.8)
    write_ogg(loop.master(), "OP")


def music_save():
    """Save screen: warm pads and a slow music box in F major, very calm."""
    loop = Loop(60, 8)
    chords = [chord("F3", "A3", "C4", "E4"), chord("D3", "F3", "A3", "E4"), chord("Bb2", "D3", "F3", "A3"),
              chord("C3", "F3", "G3", "C4"), chord("F3", "A3", "C4", "E4"), chord("A2", "E3", "G3", "C4"),
              chord("Bb2", "D3", "F3", "A3"), chord("G2", "F3", "Bb3", "C4")]
    comp_pads(loop, chords, gain=0.07, bright=0.45, attack=1.5)
    bass_line(loop, [c[0] - 12 for c in chords], pattern=((0, 4),), gain=0.15, inst=piano)
    box = parse_line("A5:1 C6:1 F5:2  E5:1 F5:1 A5:2  D6:1 C6:1 A5:2  G5:2 r:2  "
                     "A5:1 C6:1 F6:1 E6:1  C6:2 A5:2  D6:1 F6:1 D6:1 C6:1  A5:1 G5:1 r:2")
    melody(loop, box, celesta, gain=0.2, pan=0.25, seed=200, tail=1.5)
    loop.reverb(wet=0.45, length=3.2)
    write_ogg(loop.master(), "5")


def music_true_end():
    """True ending: warm and hopeful, rolling piano, strings and a singing flute in G."""
    loop = Loop(80, 12)
    chords = [chord("G2", "D3", "B3"), chord("F#2", "D3", "A3"), chord("E2", "B2", "G3"), chord("C3", "G3", "E4"),
              chord("G2", "D3", "B3"), chord("D3", "A3", "F#4"), chord("C3", "G3", "E4"), chord("D3", "A3", "F#4"),
              chord("E2", "B2", "G3"), chord("C3", "G3", "E4"), chord("A2", "E3", "C4"), chord("D3", "A3", "F#4")]
    comp_pads(loop, [[n + 12 for n in c] for c in chords], gain=0.08, bright=0.6)
    bass_line(loop, [c[0] - 12 if c[0] > midi("C3") else c[0] for c in chords], pattern=((0, 1.5), (1.5, 1, 7), (2.5, 1.5, 12)), gain=0.28)
    for i, c in enumerate(chords):
        v = [c[0] + 12, c[1] + 12, c[2] + 12, c[1] + 24]
        arpeggio(loop, v, i * 4, [0, 1, 2, 3, 2, 1, 2, 3], 0.5, inst=piano, gain=0.14, pan=-0.25, dur=2.0, seed=300 + i)
    tune = parse_line("D5:1 G5:1 F#5:1 G5:1  A5:2 F#5:1 D5:1  E5:1 G5:1 B5:1 A5:1  G5:2 E5:2 "
                      "D5:1 G5:1 A5:1 B5:1  A5:1.5 G5:.5 F#5:2  E5:1 G5:1 C6:1 B5:1  A5:3 r:1 "
                      "B5:1.5 A5:.5 G5:1 E5:1  G5:1.5 F#5:.5 E5:1 C5:1  C5:1 E5:1 A5:1 G5:1  F#5:2 A5:1 r:1")
    melody(loop, tune, flute, gain=0.2, pan=0.15, seed=350)
    for b in range(0, 48, 1):
        if b >= 16:
            loop.add(shaker(seed=b), b + 0.5, 0.05, 0.5)
    for b in range(16, 48, 4):
        loop.add(kick(), b, 0.18)
        loop.add(kick(), b + 2.5, 0.1)
    loop.reverb(wet=0.35, length=2.6)
    write_ogg(loop.master(), "ED-2")


def music_bitter_end():
    """Bittersweet ending: felt piano and low strings in A minor, turning toward the light."""
    loop = Loop(66, 8)
    chords = [chord("A2", "E3", "C4"), chord("F2", "C3", "A3"), chord("C3", "G3", "E4"), chord("G2", "D3", "B3"),
              chord("A2", "E3", "C4"), chord("F2", "C3", "A3"), chord("D3", "A3", "F4"), chord("E3", "B3", "G#4")]
    comp_pads(loop, chords, gain=0.08, bright=0.5, attack=1.0)
    bass_line(loop, [c[0] - 12 for c in chords], pattern=((0, 4),), gain=0.25, inst=piano)
    for i, c in enumerate(chords):
        v = [c[0] + 12, c[1] + 12, c[2]]
        arpeggio(loop, v, i * 4, [0, 1, 2, 1, 0, 1, 2, 1], 0.5, inst=piano, gain=0.1, pan=-0.2, dur=1.8, seed=400 + i)
    tune = parse_line("E5:1.5 D5:.5 C5:1 B4:1  A4:2 C5:1 F5:1  E5:1.5 D5:.5 E5:1 G5:1  D5:3 r:1 "
                      "C5:1.5 B4:.5 A4:1 E5:1  F5:2 E5:1 C5:1  D5:1 F5:1 A5:1 F5:1  G#5:2 B4:2")
    melody(loop, tune, piano, gain=0.28, pan=0.1, seed=450, tail=1.2)
    loop.reverb(wet=0.4, length=3.0)
    write_ogg(loop.master(), "ED-0")


def music_lonely_end():
    """Lonely ending: a few piano notes in E minor, a far drone and the wind."""
    loop = Loop(54, 8)
    chords = [chord("E2", "B2", "G3"), chord("C2", "G2", "B3"), chord("A1", "E2", "C3"), chord("B1", "F#2", "E3"),
              chord("E2", "B2", "G3"), chord("C2", "G2", "B3"), chord("A1", "E2", "C3"), chord("B1", "F#2", "D#3")]
    comp_pads(loop, [[n + 12 for n in c] for c in chords], gain=0.05, bright=0.35, attack=2.0)
    for i, c in enumerate(chords):
        loop.add(piano(note_hz(c[0] + 12), 4.0, seed=i), i * 4, 0.2, -0.2)
        loop.add(piano(note_hz(c[2] + 12), 3.0, seed=i + 50), i * 4 + 2, 0.1, 0.2)
    tune = parse_line("r:1 B4:1.5 A4:.5 G4:1  E4:3 r:1  r:1 C5:1.5 B4:.5 A4:1  F#4:3 r:1 "
                      "r:1 G4:1 A4:1 B4:1  E5:2 D5:1 B4:1  C5:2 A4:1 G4:1  F#4:2 D#4:2")
    melody(loop, tune, piano, gain=0.3, pan=0.15, seed=500, tail=2.0)
    rng = np.random.default_rng(7)
    wind = bandpass(rng.normal(0, 1, loop.n), 300, 1400)
    gust = 0.4 + 0.6 * np.sin(np.pi * np.arange(loop.n) / loop.n * 3) ** 2
    loop.add(wind * gust * 0.06, 0, 1.0, 0.3)
    loop.reverb(wet=0.5, length=3.6)
    write_ogg(loop.master(), "ED")


def music_shore():
    """Shore: harp ripples in A major over the breathing surf, a flute answering."""
    loop = Loop(72, 8)
    chords = [chord("A2", "E3", "G#3", "C#4"), chord("F#2", "C#3", "E3", "A3"), chord("D2", "A2", "C#3", "F#3"),
              chord("E2", "B2", "C#3", "G#3")] * 2
    comp_pads(loop, [[n + 12 for n in c] for c in chords], gain=0.045, bright=0.45, attack=1.5)
    bass_line(loop, [c[0] for c in chords], pattern=((0, 3), (3, 1, 7)), gain=0.22)
    for i, c in enumerate(chords):
        v = [c[1] + 12, c[2] + 12, c[3] + 12, c[1] + 24, c[3] + 24]
        arpeggio(loop, v, i * 4, [0, 1, 2, 3, 4, 3, 2, 1], 0.5, gain=0.13, pan=-0.35, dur=2.5, seed=600 + i)
    tune = parse_line("r:4 r:2 C#6:1 E6:1  B5:2 A5:2 r:4  E5:2 C#5:1 B4:1  A4:3 r:1  F#5:2 E5:1 C#5:1  B4:3 r:1")
    melody(loop, tune[:5], celesta, gain=0.14, pan=0.4, seed=650, tail=1.5)
    melody(loop, tune[5:], flute, gain=0.17, pan=0.2, seed=660)
    rng = np.random.default_rng(8)
    n = loop.n
    phase = np.arange(n) / n * 4
    swell = np.clip(np.sin(np.pi * (phase % 1.0)) ** 3, 0, 1)
    surf = lowpass(rng.normal(0, 1, n), 900) * (0.3 + swell)
    hiss = bandpass(rng.normal(0, 1, n), 2500, 6000) * np.roll(swell, int(SR * 0.8)) ** 2
    loop.add(surf * 0.09, 0, 1.0, -0.3)
    loop.add(hiss * 0.05, 0, 1.0, 0.3)
    loop.reverb(wet=0.3, length=2.5)
    write_ogg(loop.master(), "shore")


def music_forest():
    """Forest: a light-footed pentatonic flute over plucked strings, birds in the branches."""
    loop = Loop(96, 12)
    chords = [chord("G2", "D3", "B3"), chord("C3", "G3", "E4"), chord("G2", "D3", "B3"), chord("D3", "A3", "F#4"),
              chord("E2", "B2", "G3"), chord("C3", "G3", "E4"), chord("A2", "E3", "C4"), chord("D3", "A3", "F#4"),
              chord("G2", "D3", "B3"), chord("C3", "G3", "E4"), chord("D3", "A3", "F#4"), chord("D3", "A3", "F#4")]
    comp_pads(loop, [[n + 12 for n in c] for c in chords], gain=0.035, bright=0.5)
    pluck = lambda f, d, seed=0: harp(f, min(d, 0.6), bright=0.7, seed=seed)
    for i, c in enumerate(chords):
        loop.add(pluck(note_hz(c[0]), 0.6), i * 4, 0.32, -0.1)
        loop.add(pluck(note_hz(c[0] + 7), 0.6), i * 4 + 2, 0.25, -0.1)
        for off in (1.0, 1.5, 3.0, 3.5):
            for j, n in enumerate(c[1:]):
                loop.add(pluck(note_hz(n + 12), 0.4, seed=i + j), i * 4 + off, 0.09, 0.3 - 0.4 * j)
    tune = parse_line("D5:.5 E5:.5 G5:1 A5:.5 G5:.5 E5:1  G5:.5 E5:.5 D5:1 E5:2  D5:.5 E5:.5 G5:1 A5:.5 B5:.5 D6:1 "
                      "B5:.5 A5:.5 F#5:1 A5:2  B5:1 A5:.5 G5:.5 E5:1 G5:1  E5:.5 G5:.5 C6:1 B5:1 G5:1 "
                      "A5:1.5 G5:.5 E5:1 D5:1  D5:2 r:2  G5:.5 A5:.5 B5:1 D6:.5 B5:.5 A5:1  G5:.5 E5:.5 G5:1 C6:2 "
                      "B5:.5 A5:.5 F#5:.5 A5:.5 D5:2  E5:1 F#5:1 A5:2")
    melody(loop, tune, flute, gain=0.18, pan=0.1, seed=700, tail=0.25)
    rng = np.random.default_rng(9)
    for b in range(48):
        loop.add(shaker(seed=b), b + 0.5, 0.035, 0.6)
    for _ in range(7):
        at = rng.uniform(0, 48)
        for k in range(int(rng.integers(2, 5))):
            t = times(0.09)
            f0 = rng.uniform(2600, 3800)
            chirp = np.sin(2 * np.pi * np.cumsum(f0 + 1400 * t / 0.09) / SR) * np.sin(np.pi * t / 0.09) ** 2
            loop.add(chirp, at + k * 0.22, 0.05, rng.uniform(-0.8, 0.8))
    loop.reverb(wet=0.25, length=2.0)
    write_ogg(loop.master(), "forest")


def music_lighthouse():
    """Lighthouse: D dorian, a low drone, slow bell figures and glinting arpeggios."""
    loop = Loop(60, 8)
    chords = [chord("D3", "F3", "A3", "C4"), chord("E3", "G3", "B3", "D4"), chord("F3", "A3", "C4", "E4"),
              chord("E3", "G3", "B3", "D4"), chord("D3", "F3", "A3", "C4"), chord("D3", "G3", "B3", "D4"),
              chord("F3", "A3", "C4", "E4"), chord("A2", "E3", "G3", "C4")]
    comp_pads(loop, chords, gain=0.06, bright=0.4, attack=1.5)
    for b in range(0, 32, 8):
        loop.add(pad(note_hz(midi("D2")), loop.secs(8) + 1.5, attack=2.0, release=1.5, bright=0.3), b, 0.08)
        loop.add(pad(note_hz(midi("A2")), loop.secs(8) + 1.5, attack=2.0, release=1.5, bright=0.3), b, 0.07)
    motif = parse_line("D5:2 A4:2  F5:2 E5:2  C5:2 A4:2  B4:4  D5:2 A4:2  G5:2 F5:2  E5:2 C5:2  A4:4")
    melody(loop, motif, lambda f, d, seed=0: bell(f, 4.0, decay=1.6, seed=seed), gain=0.12, pan=0.2, seed=800)
    for i, c in enumerate(chords):
        v = [c[0] + 24, c[1] + 24, c[2] + 24, c[3] + 24]
        arpeggio(loop, v, i * 4 + 0.5, [0, 1, 2, 3, 2, 1], 0.5, inst=celesta, gain=0.05, pan=-0.45, dur=1.5, seed=850 + i)
    loop.reverb(wet=0.5, length=3.8, damp=2500)
    write_ogg(loop.master(), "lighthouse")


def music_tension():
    """Tension: a restless C minor ostinato, trembling strings and deep drums."""
    loop = Loop(104, 12)
    roots = ["C2", "C2", "Ab1", "Ab1", "F1", "F1", "G1", "G1", "C2", "Ab1", "Db2", "G1"]
    chords = {"C2": ("C3", "Eb3", "G3"), "Ab1": ("Ab2", "C3", "Eb3"), "F1": ("F2", "Ab2", "C3"),
              "G1": ("G2", "B2", "D3"), "Db2": ("Db3", "F3", "Ab3")}
    ost = [0, 0, 12, 0, 7, 0, 12, 3]
    for i, r in enumerate(roots):
        rn = midi(r)
        for j, off in enumerate(ost):
            loop.add(bass(note_hz(rn + off), loop.secs(0.5)), i * 4 + j * 0.5, 0.13 if j % 2 == 0 else 0.1)
        tr = np.zeros(int(loop.secs(4) * SR) + int(0.6 * SR))
        for n in chords[r]:
            p = pad(note_hz(midi(n) + 12), len(tr) / SR, attack=0.3, release=0.5, bright=0.7, seed=i)
            tr += p
        trem = 0.55 + 0.45 * np.sin(2 * np.pi * (104 / 60 * 4) * np.arange(len(tr)) / SR)
        loop.add(tr * trem, i * 4, 0.1, 0.2)
        loop.add(tom(55), i * 4, 0.22, -0.1)
        loop.add(tom(65), i * 4 + 2.5, 0.13, 0.1)
        if i % 4 == 3:
            loop.add(tom(82, 0.4), i * 4 + 3.25, 0.18, 0.3)
            loop.add(tom(73, 0.4), i * 4 + 3.5, 0.2, 0.2)
    stab = parse_line("r:8 G5:1 Ab5:3  r:8 F5:1 G5:3  r:8 D5:1 Eb5:1 D5:1 B4:1  r:4")
    melody(loop, stab, lambda f, d, seed=0: bell(f, 2.5, decay=0.8, seed=seed), gain=0.12, pan=0.4, seed=900)
    for b in range(0, 48, 16):
        loop.add(pad(note_hz(midi("G5")), loop.secs(16) + 1.0, attack=3.0, release=3.0, bright=0.3), b, 0.03, -0.5)
    loop.reverb(wet=0.25, length=2.0)
    write_ogg(loop.master(), "tension")


def music_dawn():
    """Dawn: bright lydian D major, harps rising, bells and a soaring tune."""
    loop = Loop(84, 12)
    E_over_D = chord("D3", "E3", "G#3", "B3")
    chords = [chord("D3", "A3", "F#4"), E_over_D, chord("D3", "A3", "F#4"), E_over_D,
              chord("B2", "F#3", "D4"), chord("G2", "D3", "B3"), chord("A2", "E3", "C#4"), chord("A2", "E3", "C#4"),
              chord("G2", "D3", "B3"), chord("A2", "E3", "C#4"), chord("B2", "F#3", "D4"), chord("A2", "E3", "C#4")]
    comp_pads(loop, [[n + 12 for n in c] for c in chords], gain=0.07, bright=0.6)
    bass_line(loop, [c[0] - 12 for c in chords], pattern=((0, 2), (2, 1, 7), (3, 1, 12)), gain=0.26)
    for i, c in enumerate(chords):
        v = sorted(set([n + 12 for n in c] + [n + 24 for n in c]))
        arpeggio(loop, v, i * 4, list(range(len(v))) + [len(v) - 2], 4.0 / (len(v) + 1), gain=0.12,
                 pan=-0.35, dur=2.2, seed=1000 + i)
    tune = parse_line("A4:1 D5:1 E5:1 F#5:1  G#5:2 F#5:1 E5:1  F#5:1 A5:1 D6:2  B5:2 G#5:2 "
                      "F#5:1 B5:1 A5:1 F#5:1  G5:1.5 F#5:.5 E5:1 D5:1  E5:1 A5:1 C#6:1 B5:1  A5:3 r:1 "
                      "B5:1.5 A5:.5 G5:1 D5:1  C#6:1.5 B5:.5 A5:1 E5:1  D6:1 C#6:1 B5:1 F#5:1  A5:2 E5:1 C#5:1")
    melody(loop, tune, flute, gain=0.2, pan=0.15, seed=1050)
    melody(loop, [(b, l, n) for b, l, n in tune if n and b % 4 == 0], celesta, gain=0.06, pan=0.5, seed=1070, tail=1.2)
    for b in (0, 16, 32):
        loop.add(bell(note_hz(midi("D5")), 4.0, decay=1.2), b, 0.08, -0.4)
    for b in range(0, 48, 2):
        loop.add(kick(), b, 0.1)
    loop.reverb(wet=0.35, length=2.8)
    write_ogg(loop.master(), "dawn")


def music():
    """Every music loop (Ogg Vorbis)."""
    music_op()
    music_save()
    music_true_end()
    music_bitter_end()
    music_lonely_end()
    music_shore()
    music_forest()
    music_lighthouse()
    music_tension()
    music_dawn()


# ---- Sound effects and system sounds -------------------------------------------------------

def fade_edges(x, fade_in=0.005, fade_out=0.05):
    """Short cosine ramps at both ends so a one-shot never clicks."""
    return x * envelope(len(x), fade_in, fade_out)


def normalise(x, peak):
    return x * (peak / max(1e-9, np.abs(x).max()))


def sweep_filter(x, centres, q=1.5):
    """Band-pass whose centre follows `centres` (one per sample): a chain of short FFT
    windows, overlap-added."""
    win = 1024
    hop = win // 4
    out = np.zeros(len(x) + win)
    w = np.hanning(win)
    padded = np.concatenate([x, np.zeros(win)])
    fr = np.fft.rfftfreq(win, 1 / SR) + 1e-3
    for start in range(0, len(x), hop):
        seg = padded[start:start + win] * w
        fc = centres[min(start + win // 2, len(x) - 1)]
        resp = 1 / (1 + (q * (fr / fc - fc / fr)) ** 2)
        out[start:start + win] += np.fft.irfft(np.fft.rfft(seg) * resp, win) * w
    return out[:len(x)] / 1.5


def room(x, wet=0.2, length=0.8, seed=0):
    """A small room reverb for one-shots (linear, tail appended)."""
    rng = np.random.default_rng(seed)
    m = int(length * SR)
    t = np.arange(m) / SR
    ir = rng.normal(0, 1, m) * np.exp(-t * 6.9 / length)
    ir = lowpass(ir, 4000)
    ir /= np.sqrt(np.sum(ir ** 2))
    n = len(x) + m
    y = np.fft.irfft(np.fft.rfft(x, n) * np.fft.rfft(ir, n), n)
    dry = np.concatenate([x, np.zeros(m)])
    return dry + wet * y


def se(name, x, peak=0.8, folder="se"):
    """A one-shot sound, written in the mixer's own format (44100 Hz, 16-bit stereo) so that the
    game loads it without converting it: a conversion needs several times the sound's memory."""
    x = fade_edges(normalise(x, peak))
    up = np.interp(np.arange(2 * len(x)) / 2.0, np.arange(len(x)), x)
    write_wav(os.path.join(GAME, *folder.split("/"), name + ".wav"), np.stack([up, up]), rate=2 * SR)


def sound_effects():
    """Short one-shot effects for the scenes (made at 22050 Hz, written as the mixer plays them)."""
    rng = np.random.default_rng(42)
    # a wave washing in and drawing back over sand
    t = times(2.6)
    body = sweep_filter(rng.normal(0, 1, len(t)), 300 + 1500 * np.sin(np.pi * np.clip(t / 2.0, 0, 1)) ** 2, q=0.7)
    fizz = bandpass(rng.normal(0, 1, len(t)), 3000, 8000) * smooth(0.9, 1.5, t) * np.exp(-np.clip(t - 1.5, 0, None) * 2.5)
    shape_ = smooth(0.0, 0.9, t) * np.exp(-np.clip(t - 0.9, 0, None) * 1.6)
    se("wave", (body * shape_ + 0.35 * fizz * (0.5 + 0.5 * rng.random(len(t)))), 0.7)
    # the great bell: low hum, strike tone and a long shimmering tail
    x = bell(note_hz(midi("A3")), 4.0, decay=1.6, seed=1) + 0.4 * bell(note_hz(midi("A3")) * 1.003, 4.0, decay=1.5, seed=2)
    strike = bandpass(rng.normal(0, 1, len(times(4.0))), 1500, 5000) * np.exp(-times(4.0) * 60) * 0.6
    se("bell", room(x + strike, 0.3, 1.4)[:int(4.0 * SR)] * envelope(int(4.0 * SR), 0.001, 1.2), 0.85)
    # a wooden door: stick-slip creak, then the thump of it closing
    t = times(0.9)
    rate = 90 + 70 * np.sin(np.pi * t / 0.9) + 20 * np.sin(2 * np.pi * 3 * t)
    phase = np.cumsum(rate) / SR
    pulses = (np.sin(2 * np.pi * phase) > 0.97).astype(float)
    creak = bandpass(pulses * 1.0, 400, 2500) * envelope(len(t), 0.05, 0.2)
    thump_t = times(0.5)
    thump = (np.sin(2 * np.pi * np.cumsum(60 + 60 * np.exp(-thump_t * 30)) / SR) * np.exp(-thump_t * 12)
             + lowpass(rng.normal(0, 1, len(thump_t)), 800) * np.exp(-thump_t * 30) * 0.5)
    se("door", room(np.concatenate([creak * 0.6, thump]), 0.25, 0.6), 0.8)
    # one footstep on gritty ground
    t = times(0.22)
    crunch = bandpass(rng.normal(0, 1, len(t)), 600, 4000) * np.exp(-t * 28) * (0.6 + 0.4 * (rng.random(len(t)) > 0.7))
    heel = np.sin(2 * np.pi * np.cumsum(90 + 80 * np.exp(-t * 50)) / SR) * np.exp(-t * 40)
    se("step", crunch * 0.7 + heel, 0.6)
    # a splash: a burst of broadband water and a few rising bubbles
    t = times(1.2)
    burst = bandpass(rng.normal(0, 1, len(t)), 500, 6000) * np.exp(-t * 6) * smooth(0.0, 0.01, t)
    bubbles = np.zeros_like(t)
    for k in range(9):
        at = rng.uniform(0.05, 0.7)
        bt = times(0.06)
        f0 = rng.uniform(500, 1400)
        blip = np.sin(2 * np.pi * np.cumsum(f0 * (1 + 2.5 * bt / 0.06)) / SR) * np.exp(-bt * 60)
        i0 = int(at * SR)
        bubbles[i0:i0 + len(blip)] += blip * rng.uniform(0.2, 0.5)
    se("splash", burst + bubbles, 0.75)
    # wind: a gust rising and falling, its pitch moving with it
    t = times(2.6)
    gust = np.sin(np.pi * t / 2.6) ** 1.5 * (0.8 + 0.2 * np.sin(2 * np.pi * 1.3 * t))
    wind = sweep_filter(rng.normal(0, 1, len(t)), 350 + 700 * gust, q=3.0)
    se("wind", wind * gust, 0.6)
    # wind chimes: a handful of high bell notes
    t_total = 1.8
    x = np.zeros(int(t_total * SR))
    for k, n in enumerate(["E6", "B6", "G#6", "C#7", "F#6"]):
        note = celesta(note_hz(midi(n)), 1.6, seed=k) * 0.7 + bell(note_hz(midi(n)), 1.6, decay=0.5, seed=k) * 0.3
        i0 = int((0.02 + k * 0.11 + rng.uniform(0, 0.04)) * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("chime", room(x, 0.3, 1.0)[:int(2.0 * SR)] * envelope(int(2.0 * SR), 0.001, 0.6), 0.6)
    # a heavy thud: something big dropping on stone
    t = times(0.7)
    low = np.sin(2 * np.pi * np.cumsum(40 + 90 * np.exp(-t * 18)) / SR) * np.exp(-t * 7)
    knock = lowpass(rng.normal(0, 1, len(t)), 1200) * np.exp(-t * 35)
    se("thud", room(low + 0.6 * knock, 0.3, 0.8), 0.9)


def system_sounds():
    """Interface sounds: confirm, hover tick, page turn, back, save chime and start."""
    rng = np.random.default_rng(43)
    folder = "system/sound"
    # confirm: two quick rising glassy notes
    x = np.zeros(int(0.45 * SR))
    for k, n in enumerate(["E6", "A6"]):
        note = celesta(note_hz(midi(n)), 0.35)
        i0 = int(k * 0.06 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("enter", room(x, 0.2, 0.4), 0.6, folder)
    # hover: a tiny soft tick
    t = times(0.05)
    tick = np.sin(2 * np.pi * 2200 * t) * np.exp(-t * 140) + 0.3 * np.sin(2 * np.pi * 4400 * t) * np.exp(-t * 200)
    se("onmouse", tick, 0.3, folder)
    # a page turning: crisp rustle swelling and dying
    t = times(0.5)
    crackle = (rng.random(len(t)) > 0.9) * rng.normal(0, 1, len(t))
    rustle = bandpass(rng.normal(0, 1, len(t)) * 0.4 + crackle, 1500, 7000)
    se("paper", rustle * np.sin(np.pi * t / 0.5) ** 2 * (0.6 + 0.4 * np.sin(2 * np.pi * 9 * t) ** 2), 0.5, folder)
    # back: two falling notes
    x = np.zeros(int(0.45 * SR))
    for k, n in enumerate(["A5", "E5"]):
        note = celesta(note_hz(midi(n)), 0.35)
        i0 = int(k * 0.07 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("return", room(x, 0.2, 0.4), 0.55, folder)
    # saved: a warm three-note chime
    x = np.zeros(int(1.4 * SR))
    for k, n in enumerate(["C6", "E6", "G6", "C7"]):
        note = bell(note_hz(midi(n)), 1.1, decay=0.6, seed=k) * 0.5 + celesta(note_hz(midi(n)), 1.1) * 0.5
        i0 = int(k * 0.09 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("save", room(x, 0.3, 0.9)[:int(1.6 * SR)], 0.65, folder)
    # start: a bright rising sweep of harp notes under a shimmer
    x = np.zeros(int(1.8 * SR))
    for k, n in enumerate(["D5", "F#5", "A5", "D6", "F#6", "A6"]):
        note = harp(note_hz(midi(n)), 1.2, seed=k) * 0.7 + celesta(note_hz(midi(n)), 1.2) * 0.3
        i0 = int(k * 0.055 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0] * (0.7 + 0.06 * k)
    t = times(1.8)
    shimmer = bandpass(rng.normal(0, 1, len(t)), 5000, 9000) * np.exp(-t * 3) * smooth(0.0, 0.3, t) * 0.15
    se("start", room(x + shimmer, 0.3, 0.8)[:int(1.7 * SR)] * envelope(int(1.7 * SR), 0.001, 0.5), 0.7, folder)


def sounds():
    """Every music loop, effect and interface sound."""
    music()
    sound_effects()
    system_sounds()


def main():
    black()
    dawn()
    message_frame()
    chip_strip("moji-chip.png", (250, 248, 240, 255))
    chip_strip("moji-chip-red.png", (255, 84, 72, 255))
    backgrounds()
    chapter_cards()
    endings()
    system_pictures()
    sounds()


if __name__ == "__main__":
    import sys
    if len(sys.argv) > 1:
        # make only the named families, e.g. `make_assets.py backgrounds sounds`
        for name in sys.argv[1:]:
            globals()[name]()
    else:
        main()
