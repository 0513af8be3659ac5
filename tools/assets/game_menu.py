"""The game menu's pictures under system/picture/: the menu's panel and its two plates, the
question's panel, the settings screen's background and the click-wait marker's frames. The
engine writes the texts over them."""

import numpy as np

from assets.backgrounds import scene
from assets.output import save, save_png
from assets.paint import (
    H, W, blur, finish, glow, glow_text, grid, mincho, mix, ornament_line, paint_text, rgb,
    rgba_image, screen, shape, polygon, smooth, stars, vgrad)
from assets.system_pictures import check_inside, plate

NAVY = [(0, "#1a2044"), (1, "#0a0e22")]
GOLD_RIM = "#c8ac6a"


def panel(w, h, title=None):
    """A navy panel with a gold rim, a title strip when given, and a wave along the bottom."""
    col, alpha = plate(w, h, (2, 2, w - 3, h - 3), 12, NAVY, GOLD_RIM, rim_width=2.5, fill_alpha=0.92)
    x, y = grid(w, h)
    if title:
        strip = shape(w, h, lambda d, s: d.rounded_rectangle(polygon([(8, 8), (w - 9, 44)], s), radius=8 * s, fill=255))
        col = mix(col, vgrad(w, h, [(0, "#3a3a6a"), (0.08, "#1e2248"), (1, "#1e2248")]), strip)
        col = mix(col, rgb(GOLD_RIM), np.exp(-((y - 46) / 0.8) ** 2) * smooth(w / 2 - 10, w / 2 - 60, np.abs(x - w / 2)))
        tcol, talpha = glow_text((w, h), [(w / 2, 27, title, mincho(22), "mm")], "#f4e6c0")
        col = mix(col, tcol, talpha)
    wave = np.exp(-((y - (h - 14 + 3 * np.sin(x / 12.0))) / 0.8) ** 2) * smooth(w / 2 - 10, w / 2 - 70, np.abs(x - w / 2))
    col = mix(col, rgb("#6a7ab0"), wave * 0.6)
    return rgba_image(col, alpha)


def plates():
    """One entry's plate (180x44), lit and plain, without text."""
    w, h = 180, 44
    lit = plate(w, h, (3, 3, w - 4, h - 4), 10, [(0, "#fff2c8"), (0.5, "#f2c466"), (1, "#b98230")], "#fffae8",
                fill_alpha=1.0, glow_col="#ffd070", glow_radius=2.0, sheen=0.35)
    plain = plate(w, h, (3, 3, w - 4, h - 4), 10, [(0, "#2a3060"), (1, "#121634")], "#c8a864",
                  fill_alpha=0.9, sheen=0.12)
    for kind, (col, alpha) in (("on", lit), ("off", plain)):
        img = rgba_image(col, alpha)
        check_inside(img, (0, 0, w - 1, h - 1), "gamemenu_" + kind)
        save(img, "system", "picture", "gamemenu_%s.png" % kind)


def settings_screen():
    """The settings screen: a calm blurred night behind the heading 設定 and a darker band
    for the rows (y 84 to 476) and 戻る (y 500 to 544)."""
    base = blur(np.asarray(scene("lamproom").resize((W, H)), np.float32) / 255.0, 14)
    c = base * 0.4 + vgrad(W, H, [(0, "#0a1030"), (1, "#04060e")]) * 0.6
    stars(c, 140, 540, bright=0.4)
    x, y = grid(W, H)
    rows = shape(W, H, lambda d, s: d.rounded_rectangle(polygon([(48, 78), (752, 486)], s), radius=12 * s, fill=255))
    c = mix(c, rgb("#05071a"), rows * 0.55)
    c = mix(c, rgb("#c8a868"), np.clip(blur(rows, 1.0) - shape(W, H, lambda d, s: d.rounded_rectangle(
        polygon([(50, 80), (750, 484)], s), radius=11 * s, fill=255)), 0, 1) * 0.5)
    paint_text(c, [(48, 40, "設定", mincho(36), "lm")], "#fff0cc", "#8a6020", 8, 0.4)
    paint_text(c, [(48 + 36 * 2 + 16, 46, "遊びかたを変える", mincho(18), "lm")], "#c8b890")
    ornament_line(c, 400, 66, 380, "#c8a868", 0.6)
    ornament_line(c, 400, 572, 300, "#8a7a5a", 0.4)
    save_png(finish(c, 541, vignette=0.5, grain=0.0), "system", "picture", "settings.png")


def click_wait_marker():
    """Eight 16x16 frames side by side: a small gold arrowhead that sinks and rises, with a
    soft glow."""
    size, frames = 16, 8
    drop = [0, 1, 2, 3, 4, 3, 2, 1]
    col = np.zeros((size, size * frames, 3), np.float32)
    alpha = np.zeros((size, size * frames), np.float32)
    for k, dy in enumerate(drop):
        head = shape(size, size, lambda d, s, dy=dy: d.polygon(polygon([(2, 3 + dy), (14, 3 + dy), (8, 10 + dy)], s), fill=255))
        halo = np.clip(blur(head, 1.5) * 1.4 - head, 0, 1) * 0.6
        x, y = grid(size, size)
        face = vgrad(size, size, [(0, "#fff4d0"), (1, "#d09a40")])
        c = face * head[..., None] + rgb("#ffc860") * (1 - head[..., None])
        col[:, k * size:(k + 1) * size] = c
        alpha[:, k * size:(k + 1) * size] = np.maximum(head, halo)
    save(rgba_image(col, alpha), "system", "picture", "clickwait.png")


def game_menu():
    """Every picture of the game menu's screens, and the click-wait marker."""
    save(panel(220, 410, "メニュー"), "system", "picture", "gamemenu.png")
    plates()
    save(panel(410, 170), "system", "picture", "confirm.png")
    settings_screen()
    click_wait_marker()
