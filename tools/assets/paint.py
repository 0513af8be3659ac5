"""The painting toolkit every picture is made with, and the lettering on pictures (the IPA fonts, text
masks with glows and shadows)."""

import subprocess

import numpy as np
from PIL import Image, ImageDraw, ImageFont


def font_file(pattern):
    return subprocess.check_output(["fc-match", "-f", "%{file}", pattern], text=True)


GOTHIC = font_file("IPAGothic:lang=ja")
MINCHO = font_file("IPAMincho:lang=ja")
MINCHO_P = font_file("IPAPMincho:lang=ja")


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
