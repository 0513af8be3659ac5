"""The music loops, bgm/*.ogg: the title, the save screen, the three endings and the scenes'
tracks."""

import numpy as np

from assets.synth import (
    Loop, SR, arpeggio, bandpass, bass, bell, celesta, chord, flute, harp, kick, lowpass, melody,
    midi, note_hz, pad, parse_line, piano, shaker, times, tom, write_ogg)


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
