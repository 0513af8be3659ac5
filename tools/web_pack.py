#!/usr/bin/python3
"""Packs a game folder for its web page: the game's files in packs fetched in the order the game
needs them, the two faces cut to the game's glyphs, pictures the browser side cannot read made
readable, a favicon, and the page itself.

    tools/web_pack.py --game GAME_DIR --out SITE_DIR [--src ENGINE_SRC] [--page web/index.html]

Writes into SITE_DIR: index.html (the page, with the list of packs in it), data/*.pack, fonts/
(the cut faces and the IPA licence) and favicon.png. Warnings name the file, one a line, on
standard error ("warning: bg/x.jpg: ..."), for whatever the page cannot carry as the desktop
does. Needs Debian's python3-fonttools and python3-pil (python3-brotli for WOFF2 faces).
"""
import argparse
import html
import io
import json
import os
import re
import struct
import sys

from fontTools import subset
from fontTools.ttLib import TTFont
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FACES = [("IPAGothic", "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "ipag"),
         ("IPAMincho", "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf", "ipam")]
LICENCE = "/usr/share/doc/fonts-ipafont-gothic/copyright"

# The characters every cut keeps whatever the game says: ASCII, the CJK punctuation, both kana,
# the full-width forms and the half-width kana.
ALWAYS = [(0x20, 0x7E), (0x3000, 0x30FF), (0xFF01, 0xFF9F)]

warnings = []


def warn(path, text):
    line = "warning: %s: %s" % (path, text)
    warnings.append(line)
    print(line, file=sys.stderr)


# ---- The glyphs the game can draw ------------------------------------------------------------

def engine_texts(src):
    """The text of every string and character literal in the engine's C++ sources (the error
    messages, the slot cards, the help and whatever screen is added later)."""
    found = []
    literal = re.compile(r'R"([^(\s]*)\((.*?)\)\1"|"((?:\\.|[^"\\\n])*)"|\'((?:\\.|[^\'\\\n])*)\'',
                         re.S)
    comment = re.compile(r'//[^\n]*|/\*.*?\*/', re.S)
    for top, dirs, files in os.walk(src):
        dirs.sort()
        # tessarc-check never draws: its messages go to the terminal.
        if os.path.relpath(top, src).split(os.sep)[0] == "check":
            continue
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            with open(os.path.join(top, name), encoding="utf-8", errors="replace") as f:
                code = f.read()
            # Comments go first, but not a // inside a string: strings are taken where they
            # start before a comment does.
            pos = 0
            while pos < len(code):
                m_lit, m_com = literal.search(code, pos), comment.search(code, pos)
                if not m_lit:
                    break
                if m_com and m_com.start() < m_lit.start():
                    pos = m_com.end()
                    continue
                found.append(next(g for g in m_lit.groups()[1:] if g is not None))
                pos = m_lit.end()
    return "".join(found)


def game_texts(game):
    """Every scene script and text file of the game: the scenes, the item list, system/game.txt
    and the names file, with whatever else is written as text there."""
    texts = []
    for folder in ("script", "system"):
        for top, dirs, files in os.walk(os.path.join(game, folder)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(".txt"):
                    with open(os.path.join(top, name), "rb") as f:
                        texts.append(f.read().decode("utf-8", errors="ignore"))
    return "".join(texts)


def glyphs(game, src):
    chars = {ord(c) for c in game_texts(game) + engine_texts(src) if ord(c) >= 0x20}
    for first, last in ALWAYS:
        chars.update(range(first, last + 1))
    return chars


def cut_faces(chars, out):
    """The two faces cut to the characters: WOFF2 where the compressor is there, else TrueType.
    Returns {family: file name under out}."""
    try:
        import brotli  # noqa: F401
        flavor, ext = "woff2", ".woff2"
    except ImportError:
        flavor, ext = None, ".ttf"
    made = {}
    for family, path, stem in FACES:
        options = subset.Options()
        options.flavor = flavor
        options.name_IDs = ["*"]
        options.notdef_outline = True
        font = TTFont(path)
        cutter = subset.Subsetter(options)
        cutter.populate(unicodes=sorted(chars))
        cutter.subset(font)
        font.flavor = flavor
        font.save(os.path.join(out, stem + ext))
        made[family] = "fonts/" + stem + ext
    return made


# ---- Pictures and sounds the browser side reads ------------------------------------------

PICTURE_FOLDERS = ("bg", "system/picture")
SOUND_FOLDERS = ("bgm", "se", "system/sound")


def under(path, folders):
    return any(path == f or path.startswith(f + "/") for f in folders)


def is_picture(path, data):
    """A file the game may load as a picture: by its folder and its name, or by its content."""
    named = path.lower().endswith((".png", ".jpg", ".jpeg", ".bmp", ".gif", ".tga", ".tif",
                                   ".tiff", ".webp", ".pcx", ".xpm"))
    return (under(path, PICTURE_FOLDERS) and named) or data[:8] == b"\x89PNG\r\n\x1a\n" or \
        data[:3] == b"\xff\xd8\xff"


def png_ok(data):
    """A PNG of at most 8 bits a channel with only chunks the page's decoder knows."""
    if len(data) < 33 or data[12:16] != b"IHDR":
        return False, "a PNG without its header"
    depth = data[24]
    if depth > 8:
        return False, "a %d-bit PNG" % depth
    known = {b"IHDR", b"PLTE", b"IDAT", b"IEND"}
    pos = 8
    while pos + 8 <= len(data):
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        # An unknown critical chunk (upper-case first letter) stops the page's decoder.
        if kind not in known and kind[:1].isupper():
            return False, "a PNG with a %s chunk" % kind.decode("latin-1")
        if kind == b"IEND":
            break
        pos += 12 + size
    return True, ""


def jpeg_ok(data):
    """A baseline or progressive JPEG of 8 bits, grey or in colour."""
    pos = 2
    while pos + 4 <= len(data):
        if data[pos] != 0xFF:
            return False, "a damaged JPEG"
        marker = data[pos + 1]
        if marker in (0xD8, 0x01) or 0xD0 <= marker <= 0xD7:
            pos += 2
            continue
        size = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            precision, components = data[pos + 4], data[pos + 9]
            if marker not in (0xC0, 0xC1, 0xC2):
                return False, "a JPEG of a kind the page cannot decode (lossless or arithmetic)"
            if precision != 8:
                return False, "a %d-bit JPEG" % precision
            if components not in (1, 3):
                return False, "a JPEG of %d colour channels (CMYK)" % components
            return True, ""
        pos += 2 + size
    return False, "a JPEG without its frame header"


def desktop_pixels(image):
    """The picture as 8-bit RGB or RGBA, as the desktop draws it: a 16-bit channel keeps its
    high byte."""
    if image.mode in ("I", "I;16", "I;16B", "I;16L"):
        import numpy as np
        high = (np.asarray(image, dtype=np.uint32) >> 8).astype(np.uint8)
        grey = Image.fromarray(high, "L")
        if "transparency" in image.info:
            mask = np.asarray(image, dtype=np.uint32) != image.info["transparency"]
            return Image.merge("RGBA", [grey, grey, grey, Image.fromarray(mask.astype(np.uint8) * 255)])
        return grey.convert("RGB")
    if image.mode == "RGB" and isinstance(image.info.get("transparency"), tuple):
        import numpy as np
        key = tuple(v >> 8 if v > 255 else v for v in image.info["transparency"])
        rgb = np.asarray(image)
        alpha = np.where((rgb == key).all(axis=-1), 0, 255).astype(np.uint8)
        return Image.merge("RGBA", [*image.split(), Image.fromarray(alpha)])
    has_alpha = image.mode in ("RGBA", "LA", "PA") or "transparency" in image.info
    return image.convert("RGBA" if has_alpha else "RGB")


def picture_for_page(path, data):
    """The bytes the page reads for the picture: the file itself, or an 8-bit PNG of the same
    pixels when the page's decoder cannot read it; None (with a warning) when nothing can."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        ok, why = png_ok(data)
    elif data[:2] == b"\xff\xd8":
        ok, why = jpeg_ok(data)
    else:
        ok, why = False, "not a PNG or JPEG"
    if ok:
        return data, None
    try:
        with Image.open(io.BytesIO(data)) as image:
            image.load()
            pixels = desktop_pixels(image)
    except Exception as error:  # noqa: BLE001 - any decoder failure means the same here
        warn(path, "%s that cannot be read (%s); the page leaves it out, as the desktop would not "
             "draw it" % (why, error))
        return None, None
    out = io.BytesIO()
    pixels.save(out, "PNG")
    return out.getvalue(), why


def sound_fault(data):
    """Why the page cannot play the sound, or None when it can."""
    if data[:4] == b"RIFF" and data[8:12] == b"WAVE":
        pos = 12
        while pos + 8 <= len(data):
            kind, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
            if kind == b"fmt ":
                code = struct.unpack("<H", data[pos + 8:pos + 10])[0]
                return None if code in (1, 3, 0xFFFE) else "a WAV file in encoding %d" % code
            pos += 8 + size + (size & 1)
        return "a WAV file without its format"
    if data[:4] in (b"OggS", b"fLaC") or data[:3] == b"ID3" or data[:2] in (b"\xff\xfb", b"\xff\xf3"):
        return None
    if data[:4] == b"MThd":
        return "MIDI music"
    return "not a sound file the page knows"


# ---- The order the game needs its files in ------------------------------------------------

# What the title needs before it shows: its pictures, its music, the system sounds, and every
# text (the scenes are small, and the first click must find them).
def for_the_title(path):
    return (path.startswith(("script/", "system/sound/")) or
            re.fullmatch(r"system/[^/]+\.txt", path) is not None or
            re.fullmatch(r"system/picture/title_[^/]+", path) is not None or
            path in ("bg/black.jpg", "bgm/OP.ogg"))


# Needed as soon as a game starts: the message frame, the menus, the status chips, the fades, the
# slot screens, and the save screen's music.
def for_the_first_scene(path):
    return re.fullmatch(r"system/picture/[^/]+", path) is not None or path == "bgm/5.ogg"


def scene_order(game, scenes):
    """The scenes from "start", each after the first scene that names it (breadth first), then
    "restart" and any scene no other names."""
    words = {name: set(re.findall(r"[A-Za-z0-9_\-]+", text)) for name, text in scenes.items()}
    order, queue = [], [n for n in ("start", "restart") if n in scenes]
    while queue or len(order) < len(scenes):
        if not queue:
            queue.append(sorted(n for n in scenes if n not in order)[0])
        name = queue.pop(0)
        if name in order:
            continue
        order.append(name)
        queue.extend(sorted(n for n in words[name] if n in scenes and n not in order))
    return order


def packs_of(files, game):
    """Groups the game's files into packs in the order they are needed: the title's, the first
    scene's, each scene's own pictures, music and sounds in story order, then the rest."""
    scenes = {}
    for path in files:
        m = re.fullmatch(r"script/([^/]+)\.txt", path)
        if m and m.group(1) != "itemlist":
            with open(os.path.join(game, path), "rb") as f:
                scenes[m.group(1)] = f.read().decode("utf-8", errors="ignore")
    media = {}
    for path in files:
        if under(path, ("bg", "bgm", "se", "system/picture/chapter")):
            media.setdefault(os.path.splitext(os.path.basename(path))[0], []).append(path)
    placed, packs = set(), []

    def pack(name, paths):
        paths = [p for p in paths if p not in placed]
        placed.update(paths)
        if paths:
            packs.append((name, paths))
    pack("title", [p for p in files if for_the_title(p)])
    first = scene_order(game, scenes)
    for i, name in enumerate(first):
        named = [p for word in sorted(set(re.findall(r"[A-Za-z0-9_\-]+", scenes[name])))
                 for p in media.get(word, [])]
        pack("scene-" + name, ([p for p in files if for_the_first_scene(p)] if i == 0 else []) + named)
    pack("rest", files)
    return packs


# ---- The site -----------------------------------------------------------------------------

def game_files(game):
    found = []
    for top, dirs, files in os.walk(game):
        dirs.sort()
        rel = os.path.relpath(top, game)
        # Saves are the player's and tests the author's: neither is shipped.
        if rel.split(os.sep)[0] in ("save", "tests"):
            dirs[:] = []
            continue
        for name in sorted(files):
            path = os.path.normpath(os.path.join(rel, name)).replace(os.sep, "/")
            found.append(path)
    return found


def caption(game):
    """The window caption of system/game.txt, the page's title too."""
    try:
        with open(os.path.join(game, "system", "game.txt"), encoding="utf-8", errors="replace") as f:
            for line in f:
                key, sep, value = line.partition("=")
                if sep and key.strip() == "caption" and value.strip():
                    return value.strip()
    except OSError:
        pass
    return "TesSellane'Arc"


def favicon(game, out):
    """The title screen's middle as a small picture: its background as the title first shows
    it, under its foreground."""
    picture = os.path.join(game, "system", "picture")
    screen = Image.new("RGBA", (800, 600), (0, 0, 0, 255))
    try:
        with Image.open(os.path.join(picture, "title_back.png")) as back:
            screen.paste(desktop_pixels(back).convert("RGBA"), (200 - 400, -200))
    except Exception:  # noqa: BLE001 - a game without a title picture gets a plain icon
        pass
    try:
        with Image.open(os.path.join(picture, "title_fore.png")) as fore:
            screen = Image.alpha_composite(screen, desktop_pixels(fore).convert("RGBA").resize((800, 600)))
    except Exception:  # noqa: BLE001
        pass
    screen.crop((100, 0, 700, 600)).convert("RGB").resize((64, 64), Image.LANCZOS).save(
        os.path.join(out, "favicon.png"), optimize=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--src", default=os.path.join(ROOT, "src"))
    parser.add_argument("--page", default=os.path.join(ROOT, "web", "index.html"))
    args = parser.parse_args()
    game, out = os.path.abspath(args.game), os.path.abspath(args.out)
    os.makedirs(os.path.join(out, "data"), exist_ok=True)
    os.makedirs(os.path.join(out, "fonts"), exist_ok=True)

    files = game_files(game)
    manifest = {"packs": [], "fonts": {}}
    for name, paths in packs_of(files, game):
        blob, entries = bytearray(), []
        for path in paths:
            with open(os.path.join(game, path), "rb") as f:
                data = f.read()
            if is_picture(path, data):
                data, converted = picture_for_page(path, data)
                if data is None:
                    continue
                if converted:
                    print("converted %s (%s) to an 8-bit PNG for the page" % (path, converted))
            elif under(path, SOUND_FOLDERS):
                fault = sound_fault(data)
                if fault:
                    warn(path, "%s, which browsers do not play; the page plays nothing there"
                         % fault)
            entries.append([path, len(blob), len(data)])
            blob += data
        file = "data/%s.pack" % name
        with open(os.path.join(out, file), "wb") as f:
            f.write(blob)
        manifest["packs"].append({"file": file, "bytes": len(blob), "files": entries})

    manifest["fonts"] = cut_faces(glyphs(game, args.src), os.path.join(out, "fonts"))
    if os.path.exists(LICENCE):
        with open(LICENCE, "rb") as src, open(os.path.join(out, "fonts", "IPA-LICENSE.txt"), "wb") as dst:
            dst.write(src.read())
    manifest["fontBytes"] = sum(os.path.getsize(os.path.join(out, f))
                                for f in manifest["fonts"].values())
    favicon(game, out)

    with open(args.page, encoding="utf-8") as f:
        page = f.read()
    marker = "/* GAME */ null"
    if marker not in page:
        sys.exit("web_pack.py: %s has no %s to put the packs in" % (args.page, marker))
    page = page.replace(marker, json.dumps(manifest, ensure_ascii=False, separators=(",", ":")))
    page = page.replace("<title>TesSellane'Arc</title>", "<title>%s</title>" % html.escape(caption(game)))
    with open(os.path.join(out, "index.html"), "w", encoding="utf-8") as f:
        f.write(page)
    total = sum(p["bytes"] for p in manifest["packs"])
    print("%d files in %d packs (%.1f MB; %.1f MB before the title), faces %.0f KB"
          % (sum(len(p["files"]) for p in manifest["packs"]), len(manifest["packs"]), total / 1e6,
             manifest["packs"][0]["bytes"] / 1e6 if manifest["packs"] else 0,
             manifest["fontBytes"] / 1024))
    return 0


if __name__ == "__main__":
    sys.exit(main())
