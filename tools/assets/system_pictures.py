"""The system pictures under system/picture/: the message frame, the status chips, the field menu,
the choice plates, the fades, the title screen, the save and load screens, the item sheet and
the status ornament."""

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from assets.backgrounds import lighthouse_shape, scene
from assets.output import save, save_png
from assets.paint import (
    H, W, GOTHIC, MINCHO_P, below, blur, edge_light, finish, glow, glow_text, gothic, grid, mincho,
    mix, noise, noise1d, ornament_line, over, paint_text, polygon, ramp, rgb, rgba_image, screen,
    sea, shape, shift, smooth, stars, text_layer, vgrad)


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
