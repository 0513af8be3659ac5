"""The scene backgrounds, bg/*.jpg: one painting a place, each also lent to the title, the chapter
cards and the ending pictures (scene())."""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from assets.output import save
from assets.paint import (
    H, W, add, below, blur, clouds, crag, edge_light, finish, glow, grid, mip_sample, mix, noise,
    noise1d, periodic_noise, polygon, ramp, rays, rgb, rim, sample, screen, sea, shape, shift,
    smooth, stars, vertical_gradient, vgrad)


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
