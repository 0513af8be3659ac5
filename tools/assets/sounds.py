"""The scenes' sound effects (se/*.wav) and the interface sounds (system/sound/*.wav)."""

import numpy as np

from assets.output import game_path
from assets.paint import smooth
from assets.synth import (
    SR, bandpass, bell, celesta, envelope, harp, lowpass, midi, note_hz, times, write_wav)


# ---- Sound effects and system sounds -------------------------------------------------------

def fade_edges(x, fade_in=0.005, fade_out=0.05):
    """Short cosine ramps at both ends so a one-shot never clicks."""
    return x * envelope(len(x), fade_in, fade_out)


def normalise(x, peak):
    return x * (peak / max(1e-9, np.abs(x).max()))


def sweep_filter(x, centres, q=1.5):
    """Band-pass whose centre follows `centres` (one per sample): a chain of short FFT
    windows, overlap-added."""
    win = 1024
    hop = win // 4
    out = np.zeros(len(x) + win)
    w = np.hanning(win)
    padded = np.concatenate([x, np.zeros(win)])
    fr = np.fft.rfftfreq(win, 1 / SR) + 1e-3
    for start in range(0, len(x), hop):
        seg = padded[start:start + win] * w
        fc = centres[min(start + win // 2, len(x) - 1)]
        resp = 1 / (1 + (q * (fr / fc - fc / fr)) ** 2)
        out[start:start + win] += np.fft.irfft(np.fft.rfft(seg) * resp, win) * w
    return out[:len(x)] / 1.5


def room(x, wet=0.2, length=0.8, seed=0):
    """A small room reverb for one-shots (linear, tail appended)."""
    rng = np.random.default_rng(seed)
    m = int(length * SR)
    t = np.arange(m) / SR
    ir = rng.normal(0, 1, m) * np.exp(-t * 6.9 / length)
    ir = lowpass(ir, 4000)
    ir /= np.sqrt(np.sum(ir ** 2))
    n = len(x) + m
    y = np.fft.irfft(np.fft.rfft(x, n) * np.fft.rfft(ir, n), n)
    dry = np.concatenate([x, np.zeros(m)])
    return dry + wet * y


def se(name, x, peak=0.8, folder="se"):
    """A one-shot sound, written in the mixer's own format (44100 Hz, 16-bit stereo) so that the
    game loads it without converting it: a conversion needs several times the sound's memory."""
    x = fade_edges(normalise(x, peak))
    up = np.interp(np.arange(2 * len(x)) / 2.0, np.arange(len(x)), x)
    write_wav(game_path(*folder.split("/"), name + ".wav"), np.stack([up, up]), rate=2 * SR)


def sound_effects():
    """Short one-shot effects for the scenes (made at 22050 Hz, written as the mixer plays them)."""
    rng = np.random.default_rng(42)
    # a wave washing in and drawing back over sand
    t = times(2.6)
    body = sweep_filter(rng.normal(0, 1, len(t)), 300 + 1500 * np.sin(np.pi * np.clip(t / 2.0, 0, 1)) ** 2, q=0.7)
    fizz = bandpass(rng.normal(0, 1, len(t)), 3000, 8000) * smooth(0.9, 1.5, t) * np.exp(-np.clip(t - 1.5, 0, None) * 2.5)
    shape_ = smooth(0.0, 0.9, t) * np.exp(-np.clip(t - 0.9, 0, None) * 1.6)
    se("wave", (body * shape_ + 0.35 * fizz * (0.5 + 0.5 * rng.random(len(t)))), 0.7)
    # the great bell: low hum, strike tone and a long shimmering tail
    x = bell(note_hz(midi("A3")), 4.0, decay=1.6, seed=1) + 0.4 * bell(note_hz(midi("A3")) * 1.003, 4.0, decay=1.5, seed=2)
    strike = bandpass(rng.normal(0, 1, len(times(4.0))), 1500, 5000) * np.exp(-times(4.0) * 60) * 0.6
    se("bell", room(x + strike, 0.3, 1.4)[:int(4.0 * SR)] * envelope(int(4.0 * SR), 0.001, 1.2), 0.85)
    # a wooden door: stick-slip creak, then the thump of it closing
    t = times(0.9)
    rate = 90 + 70 * np.sin(np.pi * t / 0.9) + 20 * np.sin(2 * np.pi * 3 * t)
    phase = np.cumsum(rate) / SR
    pulses = (np.sin(2 * np.pi * phase) > 0.97).astype(float)
    creak = bandpass(pulses * 1.0, 400, 2500) * envelope(len(t), 0.05, 0.2)
    thump_t = times(0.5)
    thump = (np.sin(2 * np.pi * np.cumsum(60 + 60 * np.exp(-thump_t * 30)) / SR) * np.exp(-thump_t * 12)
             + lowpass(rng.normal(0, 1, len(thump_t)), 800) * np.exp(-thump_t * 30) * 0.5)
    se("door", room(np.concatenate([creak * 0.6, thump]), 0.25, 0.6), 0.8)
    # one footstep on gritty ground
    t = times(0.22)
    crunch = bandpass(rng.normal(0, 1, len(t)), 600, 4000) * np.exp(-t * 28) * (0.6 + 0.4 * (rng.random(len(t)) > 0.7))
    heel = np.sin(2 * np.pi * np.cumsum(90 + 80 * np.exp(-t * 50)) / SR) * np.exp(-t * 40)
    se("step", crunch * 0.7 + heel, 0.6)
    # a splash: a burst of broadband water and a few rising bubbles
    t = times(1.2)
    burst = bandpass(rng.normal(0, 1, len(t)), 500, 6000) * np.exp(-t * 6) * smooth(0.0, 0.01, t)
    bubbles = np.zeros_like(t)
    for k in range(9):
        at = rng.uniform(0.05, 0.7)
        bt = times(0.06)
        f0 = rng.uniform(500, 1400)
        blip = np.sin(2 * np.pi * np.cumsum(f0 * (1 + 2.5 * bt / 0.06)) / SR) * np.exp(-bt * 60)
        i0 = int(at * SR)
        bubbles[i0:i0 + len(blip)] += blip * rng.uniform(0.2, 0.5)
    se("splash", burst + bubbles, 0.75)
    # wind: a gust rising and falling, its pitch moving with it
    t = times(2.6)
    gust = np.sin(np.pi * t / 2.6) ** 1.5 * (0.8 + 0.2 * np.sin(2 * np.pi * 1.3 * t))
    wind = sweep_filter(rng.normal(0, 1, len(t)), 350 + 700 * gust, q=3.0)
    se("wind", wind * gust, 0.6)
    # wind chimes: a handful of high bell notes
    t_total = 1.8
    x = np.zeros(int(t_total * SR))
    for k, n in enumerate(["E6", "B6", "G#6", "C#7", "F#6"]):
        note = celesta(note_hz(midi(n)), 1.6, seed=k) * 0.7 + bell(note_hz(midi(n)), 1.6, decay=0.5, seed=k) * 0.3
        i0 = int((0.02 + k * 0.11 + rng.uniform(0, 0.04)) * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("chime", room(x, 0.3, 1.0)[:int(2.0 * SR)] * envelope(int(2.0 * SR), 0.001, 0.6), 0.6)
    # a heavy thud: something big dropping on stone
    t = times(0.7)
    low = np.sin(2 * np.pi * np.cumsum(40 + 90 * np.exp(-t * 18)) / SR) * np.exp(-t * 7)
    knock = lowpass(rng.normal(0, 1, len(t)), 1200) * np.exp(-t * 35)
    se("thud", room(low + 0.6 * knock, 0.3, 0.8), 0.9)


def system_sounds():
    """Interface sounds: confirm, hover tick, page turn, back, save chime and start."""
    rng = np.random.default_rng(43)
    folder = "system/sound"
    # confirm: two quick rising glassy notes
    x = np.zeros(int(0.45 * SR))
    for k, n in enumerate(["E6", "A6"]):
        note = celesta(note_hz(midi(n)), 0.35)
        i0 = int(k * 0.06 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("enter", room(x, 0.2, 0.4), 0.6, folder)
    # hover: a tiny soft tick
    t = times(0.05)
    tick = np.sin(2 * np.pi * 2200 * t) * np.exp(-t * 140) + 0.3 * np.sin(2 * np.pi * 4400 * t) * np.exp(-t * 200)
    se("onmouse", tick, 0.3, folder)
    # a page turning: crisp rustle swelling and dying
    t = times(0.5)
    crackle = (rng.random(len(t)) > 0.9) * rng.normal(0, 1, len(t))
    rustle = bandpass(rng.normal(0, 1, len(t)) * 0.4 + crackle, 1500, 7000)
    se("paper", rustle * np.sin(np.pi * t / 0.5) ** 2 * (0.6 + 0.4 * np.sin(2 * np.pi * 9 * t) ** 2), 0.5, folder)
    # back: two falling notes
    x = np.zeros(int(0.45 * SR))
    for k, n in enumerate(["A5", "E5"]):
        note = celesta(note_hz(midi(n)), 0.35)
        i0 = int(k * 0.07 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("return", room(x, 0.2, 0.4), 0.55, folder)
    # saved: a warm three-note chime
    x = np.zeros(int(1.4 * SR))
    for k, n in enumerate(["C6", "E6", "G6", "C7"]):
        note = bell(note_hz(midi(n)), 1.1, decay=0.6, seed=k) * 0.5 + celesta(note_hz(midi(n)), 1.1) * 0.5
        i0 = int(k * 0.09 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0]
    se("save", room(x, 0.3, 0.9)[:int(1.6 * SR)], 0.65, folder)
    # start: a bright rising sweep of harp notes under a shimmer
    x = np.zeros(int(1.8 * SR))
    for k, n in enumerate(["D5", "F#5", "A5", "D6", "F#6", "A6"]):
        note = harp(note_hz(midi(n)), 1.2, seed=k) * 0.7 + celesta(note_hz(midi(n)), 1.2) * 0.3
        i0 = int(k * 0.055 * SR)
        x[i0:i0 + len(note)] += note[:len(x) - i0] * (0.7 + 0.06 * k)
    t = times(1.8)
    shimmer = bandpass(rng.normal(0, 1, len(t)), 5000, 9000) * np.exp(-t * 3) * smooth(0.0, 0.3, t) * 0.15
    se("start", room(x + shimmer, 0.3, 0.8)[:int(1.7 * SR)] * envelope(int(1.7 * SR), 0.001, 0.5), 0.7, folder)
