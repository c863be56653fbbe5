"""The two looping tunes: the main-menu theme and the battle tune.

Both are written out note by note below (D minor, with a major turn in the
middle) and rendered with the instruments of this module.  A tune is an
exact number of bars whose length in samples is a whole number, and every
note tail and the reverb wrap round the end of the buffer onto its start, so
the file loops without a seam.
"""

import math

import numpy as np

from synth import (adsr, phase_of, harmonic, saw_weights, pluck, bell, lowpass, highpass, bandpass,
                   reverb_ir, convolve, midi_hz, note_number)

SR = 22050

CHORDS = {
    'Dm': ['D', 'F', 'A'], 'Bb': ['Bb', 'D', 'F'], 'F': ['F', 'A', 'C'], 'C': ['C', 'E', 'G'],
    'Gm': ['G', 'Bb', 'D'], 'A': ['A', 'C#', 'E'], 'Am': ['A', 'C', 'E'],
}


def parse_line(text):
    """'D5:1 E5:0.5 r:0.5 | ...' -> list of (beat, beats, midi or None)."""
    out = []
    beat = 0.0
    for tok in text.replace('|', ' ').split():
        name, dur = tok.split(':')
        dur = float(dur)
        out.append((beat, dur, None if name == 'r' else note_number(name)))
        beat += dur
    return out, beat


def chord_notes(name, octave):
    """Chord tones as MIDI numbers, root at `octave`, stacked upwards."""
    names = CHORDS[name]
    root = note_number(names[0] + str(octave))
    out = [root]
    for n in names[1:]:
        m = note_number(n + str(octave))
        while m <= out[-1]:
            m += 12
        out.append(m)
    return out


# --------------------------------------------------------------------------
# Instruments: each returns a mono buffer starting at the note's onset
# --------------------------------------------------------------------------

def harp(freq, beats, spb, rng, vel=1.0):
    return pluck(freq, 2.6, SR, bright=1.1, decay=1.2, rng=rng) * vel


def lute(freq, beats, spb, rng, vel=1.0):
    return pluck(freq, 1.4, SR, bright=1.5, decay=0.7, rng=rng) * vel


def bass_pluck(freq, beats, spb, rng, vel=1.0):
    return pluck(freq, 1.6, SR, bright=0.8, decay=1.4, rng=rng) * vel


def flute(freq, beats, spb, rng, vel=1.0):
    dur = beats * spb / SR
    n = int((dur + 0.25) * SR)
    t = np.arange(n) / SR
    vib = 1 + 0.0055 * np.sin(2 * math.pi * 5.3 * t) * np.clip((t - 0.18) / 0.25, 0, 1)
    f = freq * vib
    ph = phase_of(f, SR)
    tone = np.sin(ph) + 0.22 * np.sin(2 * ph) + 0.08 * np.sin(3 * ph) + 0.03 * np.sin(4 * ph)
    breath = bandpass(rng.standard_normal(n), SR, freq * 1.5, freq * 5) * 0.06
    env = adsr(n, SR, a=0.06, d=0.3, s=0.85, r=0.18, hold=max(0.05, dur - 0.04))
    return (tone + breath) * env * vel


def fiddle(freq, beats, spb, rng, vel=1.0):
    dur = beats * spb / SR
    n = int((dur + 0.2) * SR)
    t = np.arange(n) / SR
    vib = 1 + 0.006 * np.sin(2 * math.pi * 5.8 * t + rng.random() * 6) * np.clip((t - 0.12) / 0.2, 0, 1)
    f = freq * vib
    ph = phase_of(f, SR)
    K = int(min(30, (SR * 0.45) // freq))
    w = []
    for k in range(1, K + 1):
        fk = freq * k
        body = 0.4 + 0.9 * math.exp(-((fk - 900) / 500) ** 2) + 0.6 * math.exp(-((fk - 2700) / 700) ** 2)
        w.append(body / k ** 0.9)
    tone = harmonic(ph, f, SR, w)
    tone = tone / max(1e-9, np.max(np.abs(tone)))
    env = adsr(n, SR, a=0.035, d=0.15, s=0.8, r=0.12, hold=max(0.04, dur - 0.03))
    bow = highpass(rng.standard_normal(n), SR, 3000) * 0.015
    return (tone + bow) * env * vel


def pad_voice(freq, beats, spb, rng, vel=1.0):
    dur = beats * spb / SR
    n = int((dur + 0.9) * SR)
    out = np.zeros(n)
    for det in (-0.004, 0.0, 0.0045):
        ph = phase_of(np.full(n, freq * (1 + det)), SR) + rng.random() * 6
        out += harmonic(ph, freq, SR, saw_weights(8, 1.4), limit=2500)
    env = adsr(n, SR, a=0.45, d=0.5, s=0.9, r=0.8, hold=dur)
    return out * env * vel / 3.0


def glock(freq, beats, spb, rng, vel=1.0):
    return bell(freq, 1.8, SR, rng) * vel


def big_drum(rng, vel=1.0):
    n = int(0.7 * SR)
    t = np.arange(n) / SR
    f = 48 + 70 * np.exp(-t / 0.03)
    body = np.sin(phase_of(f, SR)) * np.exp(-t / 0.28)
    thump = lowpass(rng.standard_normal(n), SR, 300) * np.exp(-t / 0.03) * 0.6
    return (body + thump) * vel


def frame_drum(rng, vel=1.0):
    n = int(0.35 * SR)
    t = np.arange(n) / SR
    f = 170 + 60 * np.exp(-t / 0.02)
    body = np.sin(phase_of(f, SR)) * np.exp(-t / 0.09)
    skin = bandpass(rng.standard_normal(n), SR, 700, 3500) * np.exp(-t / 0.025) * 0.7
    return (body + skin) * vel


def shaker(rng, vel=1.0):
    n = int(0.09 * SR)
    t = np.arange(n) / SR
    env = np.clip(t / 0.012, 0, 1) * np.exp(-t / 0.03)
    return highpass(rng.standard_normal(n), SR, 5000) * env * vel


def tambourine(rng, vel=1.0):
    n = int(0.25 * SR)
    t = np.arange(n) / SR
    jingle = np.zeros(n)
    for r in (5200, 6300, 7400, 8300, 9100):
        jingle += np.sin(2 * math.pi * r * t + rng.random() * 6)
    jingle *= np.exp(-t / 0.07)
    hit = highpass(rng.standard_normal(n), SR, 4000) * np.exp(-t / 0.02)
    return (0.25 * jingle + hit) * vel


# --------------------------------------------------------------------------
# Sequencer
# --------------------------------------------------------------------------

class Track:
    def __init__(self, bpm, bars, seed):
        self.spb = int(round(SR * 60.0 / bpm))          # samples per beat
        assert abs(self.spb - SR * 60.0 / bpm) < 1e-6, 'beat must be a whole number of samples'
        self.bars = bars
        self.n = self.spb * 4 * bars
        self.rng = np.random.default_rng(seed)
        self.buses = {}

    def _bus(self, name):
        if name not in self.buses:
            self.buses[name] = np.zeros(self.n)
        return self.buses[name]

    def add(self, bus, beat, buf, gain=1.0):
        """Mix buf in at `beat`, wrapping anything past the end onto the start."""
        out = self._bus(bus)
        start = int(round(beat * self.spb)) % self.n
        pos = 0
        while pos < buf.size:
            take = min(buf.size - pos, self.n - start)
            out[start:start + take] += buf[pos:pos + take] * gain
            pos += take
            start = 0

    def note(self, bus, inst, beat, beats, midi, gain=1.0, vel=1.0):
        if midi is None:
            return
        self.add(bus, beat, inst(midi_hz(midi), beats, self.spb, self.rng, vel), gain)

    def line(self, bus, inst, bar, text, gain=1.0, transpose=0, humanise=0.012):
        notes, total = parse_line(text)
        for beat, dur, m in notes:
            jitter = (self.rng.random() - 0.5) * humanise
            vel = 0.85 + 0.15 * self.rng.random()
            self.note(bus, inst, bar * 4 + beat + jitter, dur, None if m is None else m + transpose,
                      gain, vel)
        return total

    def hit(self, bus, drum, beat, gain=1.0):
        vel = 0.85 + 0.15 * self.rng.random()
        self.add(bus, beat, drum(self.rng, vel), gain)

    def mix(self, levels, reverb, sends):
        """Sum the buses with their levels, add a looped reverb, master."""
        dry = np.zeros(self.n)
        send = np.zeros(self.n)
        for name, buf in self.buses.items():
            dry += buf * levels.get(name, 1.0)
            send += buf * levels.get(name, 1.0) * sends.get(name, 0.0)
        ir = reverb_ir(SR, reverb, np.random.default_rng(77), damp=4000, predelay=0.02)
        wet = convolve(send, ir, circular=True)
        out = dry + wet
        out = out - np.mean(out)
        # gentle bus compression: soft knee on the loud moments
        pk = np.max(np.abs(out))
        out = out / pk
        out = np.tanh(out * 1.25) / math.tanh(1.25)
        return out


# --------------------------------------------------------------------------
# The main-menu theme: 90 bpm, 24 bars (64 s)
# --------------------------------------------------------------------------

MENU_CHORDS = ['Dm', 'Bb', 'F', 'C',                       # intro
               'Dm', 'Bb', 'F', 'C', 'Dm', 'Bb', 'Gm', 'A',  # theme
               'F', 'C', 'Dm', 'Bb', 'F', 'C', 'Bb', 'A',    # second strain
               'Dm', 'Bb', 'C', 'A']                        # turn-around

MENU_THEME = [
    'D5:1.5 E5:0.5 F5:1 A5:1', 'G5:1.5 F5:0.5 D5:2', 'F5:1.5 G5:0.5 A5:1 F5:1', 'E5:1 D5:0.5 C5:0.5 E5:2',
    'D5:1.5 E5:0.5 F5:1 A5:1', 'D6:1.5 C6:0.5 Bb5:1 A5:1', 'G5:1 Bb5:1 A5:0.5 G5:0.5 F5:1', 'E5:2 C#5:1 r:1',
]
MENU_STRAIN = [
    'A5:1 C6:1 A5:0.5 G5:0.5 F5:1', 'G5:1.5 A5:0.5 G5:1 E5:1', 'F5:1 A5:1 D6:1.5 C6:0.5', 'Bb5:2 F5:2',
    'A5:1 C6:1 A5:0.5 G5:0.5 F5:1', 'G5:1 E5:1 C5:1 E5:1', 'D5:1 F5:1 Bb5:1 A5:0.5 G5:0.5', 'A5:2 E5:1 C#5:1',
]
MENU_BELLS = ['A5:2 F5:2', 'D6:2 Bb5:2', 'E6:2 C6:2', 'C#6:2 E6:1 A5:1']


def menu_theme():
    tr = Track(bpm=90, bars=24, seed=401)
    # harp arpeggios all through
    for bar, ch in enumerate(MENU_CHORDS):
        low = chord_notes(ch, 3)
        up = [low[0], low[2], low[0] + 12, low[1] + 12, low[2] + 12, low[1] + 12, low[0] + 12, low[2]]
        for i, m in enumerate(up):
            tr.note('harp', harp, bar * 4 + i * 0.5, 0.5, m, vel=0.75 + 0.25 * (i == 0))
        # bass on the root, with a fifth on beat 3
        r = chord_notes(ch, 2)[0]
        tr.note('bass', bass_pluck, bar * 4, 2, r)
        tr.note('bass', bass_pluck, bar * 4 + 2, 2, r + 7 if ch != 'A' else r, vel=0.8)
        if bar >= 4:
            for m in chord_notes(ch, 4):
                tr.note('pad', pad_voice, bar * 4, 4, m, vel=0.7)
    for i, text in enumerate(MENU_THEME):
        tr.line('lead', flute, 4 + i, text)
    for i, text in enumerate(MENU_STRAIN):
        tr.line('lead', flute, 12 + i, text)
        tr.line('counter', harp, 12 + i, _third_below(text), humanise=0.02)
    for i, text in enumerate(MENU_BELLS):
        tr.line('bells', glock, 20 + i, text)
    # soft frame drum from the theme on, a shaker in the second strain
    for bar in range(4, 24):
        tr.hit('drum', frame_drum, bar * 4, 1.0)
        tr.hit('drum', frame_drum, bar * 4 + 2.5, 0.55)
        tr.hit('drum', frame_drum, bar * 4 + 3, 0.7)
        if 12 <= bar < 20:
            for k in range(8):
                tr.hit('shaker', shaker, bar * 4 + k * 0.5, 0.9 if k % 2 else 0.5)
    levels = {'harp': 0.42, 'bass': 0.55, 'pad': 0.16, 'lead': 0.5, 'counter': 0.18, 'bells': 0.22,
              'drum': 0.42, 'shaker': 0.12}
    sends = {'harp': 0.35, 'pad': 0.5, 'lead': 0.4, 'counter': 0.4, 'bells': 0.6, 'drum': 0.15,
             'bass': 0.1, 'shaker': 0.2}
    return tr.mix(levels, reverb=2.2, sends=sends)


def _third_below(text):
    """A simple harmony line: every note a diatonic third lower in D minor."""
    scale = [note_number(n) % 12 for n in ('D4', 'E4', 'F4', 'G4', 'A4', 'Bb4', 'C5')]
    out = []
    for tok in text.split():
        name, dur = tok.split(':')
        if name == 'r':
            out.append(tok)
            continue
        m = note_number(name)
        cands = [m - k for k in (3, 4) if (m - k) % 12 in scale]
        h = cands[0] if cands else m - 3
        octave = h // 12 - 1
        names = ['C', 'C#', 'D', 'Eb', 'E', 'F', 'F#', 'G', 'G#', 'A', 'Bb', 'B']
        out.append('%s%d:%s' % (names[h % 12], octave, dur))
    return ' '.join(out)


# --------------------------------------------------------------------------
# The battle tune: 120 bpm, 32 bars (64 s)
# --------------------------------------------------------------------------

BATTLE_A_CHORDS = ['Dm', 'C', 'Bb', 'A', 'Dm', 'C', 'Bb', 'A']
BATTLE_B_CHORDS = ['F', 'C', 'Dm', 'Bb', 'F', 'C', 'Bb', 'A']
BATTLE_CHORDS = BATTLE_A_CHORDS * 2 + BATTLE_B_CHORDS + BATTLE_A_CHORDS

BATTLE_A = [
    'D5:0.5 E5:0.5 F5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:0.5 D5:0.5',
    'E5:0.5 G5:0.5 C6:1 B5:0.5 A5:0.5 G5:1',
    'F5:0.5 G5:0.5 A5:0.5 Bb5:0.5 A5:1 F5:1',
    'E5:1 C#5:0.5 E5:0.5 A5:2',
    'D6:0.5 C6:0.5 A5:0.5 F5:0.5 G5:0.5 A5:0.5 F5:0.5 D5:0.5',
    'E5:0.5 F5:0.5 G5:0.5 E5:0.5 C5:1 E5:1',
    'D5:0.5 F5:0.5 Bb5:1 A5:0.5 G5:0.5 F5:1',
    'E5:1.5 D5:0.5 C#5:2',
]
BATTLE_B = [
    'A5:1 C6:0.5 A5:0.5 F5:1 A5:1',
    'G5:1 E5:0.5 G5:0.5 C6:2',
    'A5:0.5 G5:0.5 F5:0.5 E5:0.5 D5:1 F5:1',
    'Bb5:1.5 A5:0.5 G5:1 F5:1',
    'A5:0.5 Bb5:0.5 C6:1 A5:1 F5:1',
    'G5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:1 C5:1',
    'D5:1 F5:1 Bb5:1 D6:1',
    'C#6:2 A5:1 E5:1',
]


def battle_tune():
    tr = Track(bpm=120, bars=32, seed=402)
    for bar, ch in enumerate(BATTLE_CHORDS):
        tones = chord_notes(ch, 4)
        r2 = chord_notes(ch, 2)[0]
        # driving lute ostinato in eighths
        pat = [tones[0], tones[2], tones[1], tones[2], tones[0] + 12, tones[2], tones[1], tones[2]]
        for i, m in enumerate(pat):
            tr.note('lute', lute, bar * 4 + i * 0.5, 0.5, m, vel=0.7 + 0.3 * (i % 4 == 0))
        # galloping bass: root, root, fifth, octave
        for i, (b, m) in enumerate(((0, r2), (1.5, r2), (2, r2 + 7), (3, r2 + 12), (3.5, r2 + 7))):
            tr.note('bass', bass_pluck, bar * 4 + b, 0.5, m, vel=1.0 if i == 0 else 0.8)
        if bar >= 8:
            for m in chord_notes(ch, 3):
                tr.note('pad', pad_voice, bar * 4, 4, m, vel=0.6)
    for i, text in enumerate(BATTLE_A):
        tr.line('lead', fiddle, 8 + i, text)
    for i, text in enumerate(BATTLE_B):
        tr.line('lead', fiddle, 16 + i, text)
    for i, text in enumerate(BATTLE_A):
        tr.line('lead', fiddle, 24 + i, text)
        tr.line('counter', flute, 24 + i, _third_below(text))
    # drums: war drums on 1 and 3 with a pickup, frame drum backbeat, shaker
    for bar in range(32):
        b = bar * 4
        tr.hit('drums', big_drum, b, 1.0)
        tr.hit('drums', big_drum, b + 2, 0.85)
        if bar % 2 == 1:
            tr.hit('drums', big_drum, b + 3.5, 0.6)
        if bar >= 4:
            tr.hit('drums', frame_drum, b + 1, 0.9)
            tr.hit('drums', frame_drum, b + 3, 0.9)
        if bar >= 8:
            for k in range(8):
                tr.hit('shaker', shaker, b + k * 0.5, 0.9 if k % 2 else 0.55)
        if bar % 8 == 7:
            for k in range(4):
                tr.hit('drums', frame_drum, b + 2 + k * 0.5, 0.6 + 0.1 * k)
            tr.hit('tamb', tambourine, b + 3.5, 0.9)
        if bar % 4 == 0 and bar >= 8:
            tr.hit('tamb', tambourine, b, 1.0)
    levels = {'lute': 0.32, 'bass': 0.6, 'pad': 0.14, 'lead': 0.45, 'counter': 0.2, 'drums': 0.62,
              'shaker': 0.1, 'tamb': 0.12}
    sends = {'lute': 0.25, 'pad': 0.4, 'lead': 0.3, 'counter': 0.35, 'drums': 0.12, 'bass': 0.05,
             'shaker': 0.1, 'tamb': 0.2}
    return tr.mix(levels, reverb=1.6, sends=sends)


TUNES = {
    'music_mainmenu': menu_theme,
    'music_level': battle_tune,
}

PEAK = 0.72    # the music leaves headroom for the effects played over it


def render(name):
    x = TUNES[name]()
    return x * PEAK
