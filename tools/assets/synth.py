"""The sound toolkit: instruments, filters and the loop buffer music is built on, and the WAV and
Ogg writers."""

import os
import subprocess
import tempfile
import wave
import zlib

import numpy as np

from assets.output import game_path
from assets.paint import smooth


# ---- Sound toolkit -------------------------------------------------------------------------
# Everything is additive synthesis in numpy.  Music is built on a loop buffer: notes that run
# past its end wrap round to the start and the reverb is a circular convolution, so the last
# sample flows straight into the first and each track loops without a seam.

SR = 22050


def note_hz(n):
    """MIDI note number -> frequency."""
    return 440.0 * 2.0 ** ((n - 69) / 12.0)


NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(name):
    """'C4', 'F#3', 'Bb5' -> MIDI number."""
    base = NOTE_NAMES[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        base += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return base + 12 * (int(rest) + 1)


def chord(*names):
    return [midi(n) for n in names]


def times(dur):
    return np.arange(int(dur * SR)) / SR


def envelope(n, attack, release, hold=None):
    """Linear attack, sustain, and a raised-cosine release over the last `release` seconds."""
    env = np.ones(n)
    a = min(n, max(1, int(attack * SR)))
    env[:a] = np.linspace(0, 1, a)
    r = min(n - a, int(release * SR))
    if r > 0:
        env[n - r:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, r))
    return env


def harp(f, dur, bright=1.0, seed=0):
    """Plucked string: harmonics that die away faster the higher they are."""
    t = times(dur)
    out = np.zeros_like(t)
    rng = np.random.default_rng(seed)
    for k in range(1, 10):
        fk = f * k * (1 + 0.0004 * k * k)
        if fk > SR / 2 - 500:
            break
        amp = (1.0 / k ** 1.5) * (bright if k > 2 else 1.0)
        out += amp * np.sin(2 * np.pi * fk * t + rng.uniform(0, 6.28)) * np.exp(-t * (1.2 + 1.1 * k))
    return out * envelope(len(t), 0.004, 0.08)


def piano(f, dur, seed=0):
    """A soft felt-piano tone: warm partials, gentle hammer and a long decay."""
    t = times(dur)
    out = np.zeros_like(t)
    rng = np.random.default_rng(seed)
    for k in range(1, 8):
        fk = f * k * (1 + 0.0008 * k * k)
        if fk > SR / 2 - 500:
            break
        amp = 1.0 / k ** 1.8
        decay = 0.6 + 0.8 * k + f / 600
        out += amp * np.sin(2 * np.pi * fk * t + rng.uniform(0, 6.28)) * (0.7 * np.exp(-t * decay) + 0.3 * np.exp(-t * decay * 0.25))
    return out * envelope(len(t), 0.006, 0.25)


BELL_PARTIALS = [(0.5, 0.6, 0.5), (1.0, 1.0, 0.8), (1.19, 0.5, 1.1), (1.56, 0.35, 1.4), (2.0, 0.45, 1.6),
                 (2.51, 0.25, 2.2), (2.66, 0.2, 2.4), (3.01, 0.18, 2.8), (4.1, 0.1, 3.6)]


def bell(f, dur, decay=1.0, seed=0):
    """A struck bell: inharmonic partials, each ringing for its own time, slightly beating."""
    t = times(dur)
    out = np.zeros_like(t)
    rng = np.random.default_rng(seed)
    for ratio, amp, d in BELL_PARTIALS:
        fk = f * ratio
        if fk > SR / 2 - 500:
            continue
        beat = 1 + 0.15 * np.sin(2 * np.pi * rng.uniform(0.5, 2.0) * t)
        out += amp * beat * np.sin(2 * np.pi * fk * t + rng.uniform(0, 6.28)) * np.exp(-t * d / decay)
    return out * envelope(len(t), 0.002, 0.3)


def celesta(f, dur, seed=0):
    """Music-box / celesta: a pure tone with a glassy octave and a quick shimmer."""
    t = times(dur)
    out = np.sin(2 * np.pi * f * t) * np.exp(-t * 2.2)
    out += 0.35 * np.sin(2 * np.pi * f * 2 * t) * np.exp(-t * 4.0)
    out += 0.12 * np.sin(2 * np.pi * f * 3.98 * t) * np.exp(-t * 9.0)
    return out * envelope(len(t), 0.003, 0.2)


def pad(f, dur, attack=1.2, release=1.5, bright=0.6, seed=0, voices=3):
    """A soft ensemble pad: detuned voices of a gently rolled-off saw, slow swell."""
    t = times(dur)
    rng = np.random.default_rng(seed)
    out = np.zeros_like(t)
    for v in range(voices):
        det = 1 + (v - (voices - 1) / 2) * 0.0035
        vib = 1 + 0.002 * np.sin(2 * np.pi * rng.uniform(4.0, 5.5) * t + rng.uniform(0, 6.28))
        phase = 2 * np.pi * f * det * np.cumsum(vib) / SR
        for k in range(1, 8):
            if f * k > SR / 2 - 800:
                break
            out += (bright ** (k - 1)) / k * np.sin(k * phase + rng.uniform(0, 6.28))
    return out / voices * envelope(len(t), attack, release)


def flute(f, dur, seed=0, breath=0.08):
    """A breathy flute-like lead with delayed vibrato."""
    t = times(dur)
    rng = np.random.default_rng(seed)
    vib_depth = 0.006 * smooth(0.25, 0.7, t)
    vib = 1 + vib_depth * np.sin(2 * np.pi * 5.2 * t)
    phase = 2 * np.pi * f * np.cumsum(vib) / SR
    out = np.sin(phase) + 0.22 * np.sin(2 * phase) + 0.06 * np.sin(3 * phase)
    noise_ = lowpass(rng.normal(0, 1, len(t)), f * 3) * breath
    return (out + noise_ * out) * envelope(len(t), 0.07, min(0.3, dur * 0.4))


def bass(f, dur, seed=0):
    """A round bass: fundamental and a touch of second harmonic, plucked envelope."""
    t = times(dur)
    out = np.sin(2 * np.pi * f * t) + 0.3 * np.sin(4 * np.pi * f * t) * np.exp(-t * 3)
    return out * (0.6 * np.exp(-t * 1.5) + 0.4) * envelope(len(t), 0.01, 0.2)


def lowpass(x, cutoff, order=2):
    """Smooth zero-phase low-pass in the frequency domain (circular)."""
    spectrum = np.fft.rfft(x)
    fr = np.fft.rfftfreq(len(x), 1 / SR)
    spectrum /= np.sqrt(1 + (fr / cutoff) ** (2 * order))
    return np.fft.irfft(spectrum, len(x))


def bandpass(x, lo, hi, order=2):
    spectrum = np.fft.rfft(x)
    fr = np.fft.rfftfreq(len(x), 1 / SR) + 1e-3
    spectrum /= np.sqrt(1 + (fr / hi) ** (2 * order)) * np.sqrt(1 + (lo / fr) ** (2 * order))
    return np.fft.irfft(spectrum, len(x))


def kick(dur=0.4):
    """A soft, low kick: a falling sine thump."""
    t = times(dur)
    f = 45 + 70 * np.exp(-t * 25)
    return np.sin(2 * np.pi * np.cumsum(f) / SR) * np.exp(-t * 9)


def shaker(dur=0.12, seed=0):
    """A brushed shaker: a tick of high noise."""
    rng = np.random.default_rng(seed)
    t = times(dur)
    return bandpass(rng.normal(0, 1, len(t)), 4000, 9000) * np.exp(-t * 40) * envelope(len(t), 0.004, 0.02)


def tom(f, dur=0.6):
    """A low drum (timpani-ish): pitched thump with a skin of noise."""
    t = times(dur)
    rng = np.random.default_rng(int(f))
    tone = np.sin(2 * np.pi * np.cumsum(f * (1 + 0.3 * np.exp(-t * 20))) / SR) * np.exp(-t * 4)
    skin = lowpass(rng.normal(0, 1, len(t)), 900) * np.exp(-t * 25) * 0.4
    return (tone + skin) * envelope(len(t), 0.002, 0.1)


class Loop:
    """A stereo loop buffer `bars` long at `bpm` (4 beats a bar); events wrap round."""

    def __init__(self, bpm, bars, beats_per_bar=4):
        self.beat = 60.0 / bpm
        self.n = int(round(bars * beats_per_bar * self.beat * SR))
        self.buf = np.zeros((2, self.n))

    def add(self, sig, beat, gain=1.0, pan=0.0):
        """Mix mono sig in at a beat position (pan -1 left .. 1 right), wrapping at the end."""
        start = int(round(beat * self.beat * SR)) % self.n
        left, right = np.cos((pan + 1) * np.pi / 4), np.sin((pan + 1) * np.pi / 4)
        pos = 0
        while pos < len(sig):
            at = (start + pos) % self.n
            take = min(len(sig) - pos, self.n - at)
            self.buf[0, at:at + take] += sig[pos:pos + take] * gain * left
            self.buf[1, at:at + take] += sig[pos:pos + take] * gain * right
            pos += take

    def secs(self, beats):
        return beats * self.beat

    def reverb(self, wet=0.3, length=2.4, damp=3000.0, seed=0):
        """Circular convolution with a decaying noise tail (a soft hall), per channel."""
        rng = np.random.default_rng(seed)
        m = int(length * SR)
        t = np.arange(m) / SR
        for ch in range(2):
            ir = rng.normal(0, 1, m) * np.exp(-t * 6.9 / length) * smooth(0.0, 0.02, t)
            ir = lowpass(ir, damp)
            ir /= np.sqrt(np.sum(ir ** 2))
            full = np.zeros(self.n)
            full[:min(m, self.n)] = ir[:self.n]
            wet_sig = np.fft.irfft(np.fft.rfft(self.buf[ch]) * np.fft.rfft(full), self.n)
            self.buf[ch] = self.buf[ch] * (1 - wet * 0.5) + wet_sig * wet

    def master(self, peak=0.85, tone=7000.0):
        """Round off the top, take out DC and set the level."""
        for ch in range(2):
            self.buf[ch] = lowpass(self.buf[ch] - self.buf[ch].mean(), tone, order=1)
        self.buf *= peak / max(1e-9, np.abs(self.buf).max())
        return self.buf


def write_wav(path, data, rate=SR):
    """16-bit WAV from float data (mono array or (2, n) stereo)."""
    data = np.atleast_2d(data)
    pcm = (np.clip(data, -1, 1) * 32767).round().astype("<i2").T.copy()
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(data.shape[0])
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())


def write_ogg(buf, name, quality=0):
    """Encode a music loop to bgm/<name>.ogg with oggenc."""
    path = game_path("bgm", name + ".ogg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, name + ".wav")
        write_wav(wav, buf)
        serial = zlib.crc32(name.encode()) & 0x7FFFFFFF  # a fixed stream serial keeps output identical run to run
        subprocess.run(["oggenc", "-Q", "-q", str(quality), "-s", str(serial), "-o", path, wav], check=True)


def arpeggio(loop, notes, beat, pattern, step, inst=harp, gain=0.3, pan=0.0, dur=2.0, seed=0):
    """Play chord notes in the order of pattern (indices), one every `step` beats."""
    rng = np.random.default_rng(seed)
    for i, idx in enumerate(pattern):
        n = notes[idx % len(notes)] + 12 * (idx // len(notes))
        vel = gain * rng.uniform(0.8, 1.0) * (1.1 if i == 0 else 1.0)
        loop.add(inst(note_hz(n), dur, seed=seed + i), beat + i * step + rng.normal(0, 0.01), vel, pan)


def melody(loop, line, inst=flute, gain=0.3, pan=0.0, seed=0, tail=0.4):
    """line: [(beat, length in beats, note name or None), ...]."""
    for i, (beat, length, name) in enumerate(line):
        if name is None:
            continue
        loop.add(inst(note_hz(midi(name)), loop.secs(length) + tail, seed=seed + i), beat, gain, pan)


def parse_line(text, start=0.0):
    """Melody shorthand: 'E5:1 D5:.5 r:.5 ...' (note:beats, r for rest) -> line."""
    line, beat = [], start
    for tok in text.split():
        name, length = tok.split(":")
        length = float(length)
        line.append((beat, length, None if name == "r" else name))
        beat += length
    return line
