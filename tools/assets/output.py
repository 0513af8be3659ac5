"""Where the generated files go, and how pictures are written (JPEG, unfiltered RGBA PNG, 256-colour
PNG). Music and sounds are written by the sound toolkit (synth.py)."""

import os
import struct
import zlib

from PIL import Image


# The game folder the files are written into: the bundled game unless the driver says otherwise.
GAME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "game")


def game_path(*parts):
    """The path of a generated file, given as parts under the game folder."""
    return os.path.join(GAME, *parts)


def save(image, *parts, quality=88):
    path = game_path(*parts)
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

def save_png(image, *parts, colours=256):
    """Save a PNG through a good 256-colour palette (with dithering) to keep it small."""
    if image.mode == "RGBA":
        small = image.quantize(colours, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.FLOYDSTEINBERG)
    else:
        small = image.convert("RGB").quantize(colours, method=Image.Quantize.LIBIMAGEQUANT,
                                              dither=Image.Dither.FLOYDSTEINBERG)
    save(small, *parts)
