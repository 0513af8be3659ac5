#!/usr/bin/python3
"""Makes the bundled game's pictures, procedurally, into game/.

Run by hand (the outputs are committed): /usr/bin/python3 tools/make_assets.py
Needs Debian's python3-pil and python3-numpy, and the IPA fonts.
"""
import os
import subprocess

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

GAME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "game")
PICTURES = os.path.join(GAME, "system", "picture")


def font_file(pattern):
    return subprocess.check_output(["fc-match", "-f", "%{file}", pattern], text=True)


GOTHIC = font_file("IPAGothic:lang=ja")


def save(image, *parts, quality=88):
    path = os.path.join(GAME, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if path.endswith(".jpg"):
        image.convert("RGB").save(path, quality=quality, optimize=True)
    else:
        image.save(path, optimize=True)


def vertical_gradient(w, h, top, bottom):
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    colours = np.array(top, float) * (1 - t) + np.array(bottom, float) * t
    return Image.fromarray(np.repeat(colours, w, axis=1).astype(np.uint8), "RGB")


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


def main():
    black()
    dawn()
    message_frame()
    chip_strip("moji-chip.png", (250, 248, 240, 255))
    chip_strip("moji-chip-red.png", (255, 84, 72, 255))


if __name__ == "__main__":
    main()
