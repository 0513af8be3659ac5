"""The game's texts drawn as pictures: the chapter cards (system/picture/chapter/c1-c4.png) and the
ending pictures with the credits (system/picture/ED/0-9.png). The words are in CHAPTERS and
ENDING."""

import numpy as np
from PIL import Image, ImageFont

from assets.backgrounds import bell_outline, lighthouse_shape, scene
from assets.output import save_png
from assets.paint import (
    H, W, MINCHO_P, below, blur, edge_light, finish, glow, grid, mincho, mix, noise1d,
    ornament_line, paint_text, periodic_noise, polygon, rgb, sample, screen, shape, shift, smooth,
    stars, vgrad)


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
