#!/usr/bin/python3
"""Makes the bundled game's pictures, music and sounds, procedurally, into game/.

Run by hand (the outputs are committed): /usr/bin/python3 tools/make_assets.py
Needs Debian's python3-pil and python3-numpy, vorbis-tools (oggenc) and the IPA fonts.
Everything is seeded, so a run gives the same files every time (about half a minute).
Name families to make only those: /usr/bin/python3 tools/make_assets.py backgrounds sounds
--out DIR writes into another folder instead of game/ (the test of the generator does).

Each kind lives in its own module under tools/assets/:

  backgrounds.py      the scene backgrounds, bg/*.jpg (and the black and dawn pictures)
  system_pictures.py  the frames, menus, plates, fades, title and slot screens in system/picture/
  texts.py            the game's texts drawn as pictures: chapter cards and the ending's credits
  music.py            the music loops, bgm/*.ogg
  sounds.py           the scenes' effects, se/*.wav, and the interface sounds, system/sound/*.wav
  paint.py, synth.py  the painting and the sound toolkits the kinds are made with
  output.py           where the files go and how pictures are written
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from assets import output  # noqa: E402
from assets.backgrounds import backgrounds, black, dawn  # noqa: E402
from assets.music import music  # noqa: E402
from assets.sounds import sound_effects, system_sounds  # noqa: E402
from assets.system_pictures import chip_strip, message_frame, system_pictures  # noqa: E402
from assets.texts import chapter_cards, endings  # noqa: E402


def status_chips():
    chip_strip("moji-chip.png", (250, 248, 240, 255))
    chip_strip("moji-chip-red.png", (255, 84, 72, 255))


def sounds():
    """Every music loop, effect and interface sound."""
    music()
    sound_effects()
    system_sounds()


# The families in the order a whole run makes them.
FAMILIES = {
    "black": black,
    "dawn": dawn,
    "message_frame": message_frame,
    "status_chips": status_chips,
    "backgrounds": backgrounds,
    "chapter_cards": chapter_cards,
    "endings": endings,
    "system_pictures": system_pictures,
    "sounds": sounds,
}
# Parts of a family that can also be made alone.
PARTS = {"music": music, "sound_effects": sound_effects, "system_sounds": system_sounds}


def main(args):
    if args[:1] == ["--out"] and len(args) >= 2:
        output.GAME = os.path.abspath(args[1])
        args = args[2:]
    makers = {**FAMILIES, **PARTS}
    unknown = [name for name in args if name not in makers]
    if unknown:
        print("make_assets.py: unknown family %s; families: %s"
              % (", ".join(unknown), " ".join(makers)), file=sys.stderr)
        return 2
    for name in args or FAMILIES:
        makers[name]()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
