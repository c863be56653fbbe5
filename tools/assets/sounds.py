"""Sound effects: enemy calls, the button click, hero abilities, test chime.

Each function returns a float buffer at SR; make_assets normalises the peak
so that no effect clips and the effects sit at similar loudness.
"""

import math

import numpy as np

from synth import (adsr, phase_of, harmonic, saw_weights, partials, pluck, bell,
                   lowpass, highpass, bandpass, formant_gain, stft_shape, reverb_ir,
                   convolve, fade, midi_hz, note_number)

SR = 44100


def _t(seconds):
    return np.arange(int(seconds * SR)) / SR


def _voice(f0, formants_at, rough=0.0, rng=None, breath=0.05, tilt=1.0):
    """A voiced sound: harmonic source on a pitch contour through moving formants."""
    ph = phase_of(f0, SR)
    src = harmonic(ph, f0, SR, saw_weights(60, tilt))
    if rough and rng is not None:
        # growl: fast irregular amplitude modulation
        mod = 1.0 + rough * lowpass(rng.standard_normal(f0.size), SR, 45.0)
        src = src * mod
    if rng is not None and breath:
        src = src + breath * rng.standard_normal(f0.size)
    out = stft_shape(src, SR, lambda f, t: formant_gain(f, formants_at(t)))
    return lowpass(out, SR, 6500.0, 1.5)


def orc(rng):
    """A deep, rough war grunt: 'hrrOHH-ah'."""
    t = _t(1.05)
    f0 = 92 + 38 * np.exp(-((t - 0.22) / 0.18) ** 2) - 18 * t
    f0 = f0 * (1 + 0.02 * np.sin(2 * math.pi * 7 * t))

    def formants(tt):
        k = min(1.0, tt / 0.5)
        return [(520 + 180 * k, 120, 1.0), (880 + 260 * k, 160, 0.7), (2500, 300, 0.25), (300, 90, 0.6)]

    v = _voice(f0, formants, rough=0.9, rng=rng, breath=0.15, tilt=0.9)
    env = adsr(t.size, SR, a=0.06, d=0.5, s=0.8, r=0.3, hold=0.7)
    sub = np.sin(phase_of(f0 * 0.5, SR)) * 0.35
    return (v + sub * np.max(np.abs(v)) * 0.5) * env


def goblin(rng):
    """A nasty little cackle: four quick rising-falling 'heh' syllables."""
    total = 0.95
    t = _t(total)
    out = np.zeros(t.size)
    starts = [0.0, 0.17, 0.32, 0.5]
    for i, s in enumerate(starts):
        dur = 0.16 if i < 3 else 0.42
        n = int(dur * SR)
        tt = np.arange(n) / SR
        base = 520 + 60 * i
        f0 = base * (1 + 0.25 * np.sin(math.pi * tt / dur)) if i < 3 else base * (1.3 - 0.5 * tt / dur)

        def formants(x):
            return [(650, 110, 1.0), (1850, 200, 0.8), (2700, 250, 0.35)]

        v = _voice(f0, formants, rough=0.25, rng=rng, breath=0.08)
        env = adsr(n, SR, a=0.008, d=0.05, s=0.6, r=0.05)
        a = int(s * SR)
        out[a:a + n] += v[:max(0, min(n, out.size - a))] * env[:max(0, min(n, out.size - a))]
    return out


def skeleton(rng):
    """Rattling bones: bursts of hollow wooden clicks and a jaw clack."""
    total = 0.85
    n = int(total * SR)
    out = np.zeros(n)
    times = []
    for burst in (0.0, 0.3, 0.5):
        for k in range(rng.integers(5, 9)):
            times.append(burst + k * 0.025 + rng.random() * 0.015)
    for tm in times:
        f = 900 + rng.random() * 2600
        dur = 0.05
        click = partials(f, dur, SR, [1.0, 1.58, 2.31], [1.0, 0.5, 0.3], [90, 130, 180], rng)
        noise = rng.standard_normal(click.size) * np.exp(-np.arange(click.size) / (0.002 * SR)) * 0.6
        c = (click + noise) * (0.5 + 0.5 * rng.random())
        a = int(tm * SR)
        m = min(c.size, n - a)
        if m > 0:
            out[a:a + m] += c[:m]
    # the jaw: a deeper double clack
    for tm in (0.62, 0.7):
        c = partials(340, 0.09, SR, [1.0, 2.1, 3.3], [1.0, 0.6, 0.3], [60, 80, 120], rng)
        c += rng.standard_normal(c.size) * np.exp(-np.arange(c.size) / (0.003 * SR)) * 0.8
        a = int(tm * SR)
        out[a:a + c.size] += 1.3 * c[:n - a]
    room = reverb_ir(SR, 0.5, rng, damp=5000)
    wet = convolve(out, room)[:n]
    return out + 0.25 * wet


def wyvern(rng):
    """Two wing beats, then a piercing screech that cracks and falls."""
    total = 1.25
    t = _t(total)
    out = np.zeros(t.size)
    for tm in (0.0, 0.16):
        n = int(0.14 * SR)
        flap = rng.standard_normal(n) * np.exp(-np.arange(n) / (0.035 * SR))
        flap = lowpass(flap, SR, 420) * 3.0
        a = int(tm * SR)
        out[a:a + n] += flap
    s0 = 0.28
    n = t.size - int(s0 * SR)
    tt = np.arange(n) / SR
    f0 = 700 + 650 * np.sin(np.clip(tt / 0.35, 0, 1) * math.pi / 2) - 700 * np.clip((tt - 0.45) / 0.5, 0, 1)
    f0 = f0 * (1 + 0.03 * np.sin(2 * math.pi * 23 * tt))

    def formants(x):
        k = min(1.0, x / 0.6)
        return [(1300 - 400 * k, 250, 0.9), (2600 - 500 * k, 300, 1.0), (3600, 400, 0.5)]

    v = _voice(f0, formants, rough=0.6, rng=rng, breath=0.5, tilt=0.8)
    hiss = bandpass(rng.standard_normal(n), SR, 2500, 7000) * 0.4
    env = adsr(n, SR, a=0.03, d=0.3, s=0.75, r=0.35)
    scream = (v / max(1e-9, np.max(np.abs(v))) + hiss) * env
    out[int(s0 * SR):] += scream * 0.9
    room = reverb_ir(SR, 0.9, rng)
    return out + 0.2 * convolve(out, room)[:out.size]


def click(rng):
    """A soft wooden 'tock' for buttons."""
    dur = 0.07
    body = partials(1850, dur, SR, [1.0, 1.52, 2.7], [1.0, 0.45, 0.2], [150, 220, 300], rng)
    low = partials(620, dur, SR, [1.0], [0.6], [90], rng)
    n = body.size
    tick = highpass(rng.standard_normal(n), SR, 3000) * np.exp(-np.arange(n) / (0.0015 * SR)) * 0.5
    return (body + low + tick) * np.minimum(1.0, np.arange(n) / 40.0)


def hunter(rng):
    """The hunter's rallying horn: two rising notes over rustling leaves."""
    total = 1.7
    t = _t(total)
    out = np.zeros(t.size)
    for (start, dur, note) in ((0.0, 0.42, 'D4'), (0.38, 1.0, 'A4')):
        n = int(dur * SR)
        tt = np.arange(n) / SR
        f = midi_hz(note_number(note)) * (1 + 0.004 * np.sin(2 * math.pi * 5.5 * tt) * np.clip(tt / 0.3, 0, 1))
        f = f * (1 - 0.03 * np.exp(-tt / 0.03))
        ph = phase_of(f, SR)
        tone = harmonic(ph, f, SR, saw_weights(30, 1.1))
        tone = stft_shape(tone, SR, lambda fr, x: formant_gain(fr, [(700, 200, 0.8), (1200, 350, 1.0),
                                                                    (2400, 500, 0.3)]))
        env = adsr(n, SR, a=0.05, d=0.2, s=0.85, r=0.25)
        a = int(start * SR)
        out[a:a + n] += tone * env
    rustle = bandpass(rng.standard_normal(t.size), SR, 2000, 8000)
    rustle *= (0.5 + 0.5 * np.sin(2 * math.pi * 9 * t + 3 * np.sin(2 * math.pi * 2.3 * t))) ** 2
    rustle *= adsr(t.size, SR, a=0.2, d=0.5, s=0.6, r=0.6) * 0.35
    out = out / np.max(np.abs(out)) + rustle
    room = reverb_ir(SR, 1.6, rng)
    return out + 0.3 * convolve(out, room)[:out.size]


def bard(rng):
    """A magical strum: a rising arpeggio on the lute and a shimmer of bells."""
    total = 1.9
    n = int(total * SR)
    out = np.zeros(n)
    notes = ['D4', 'F#4', 'A4', 'D5', 'E5', 'F#5', 'A5']
    for i, nm in enumerate(notes):
        f = midi_hz(note_number(nm))
        tone = pluck(f, 1.5, SR, bright=1.2, decay=1.0, rng=rng)
        a = int(i * 0.06 * SR)
        m = min(tone.size, n - a)
        out[a:a + m] += tone[:m] * (0.8 + 0.2 * i / len(notes))
    for i, nm in enumerate(['A6', 'D7', 'F#6', 'A6']):
        b = bell(midi_hz(note_number(nm)), 1.0, SR, rng) * 0.35
        a = int((0.45 + i * 0.11) * SR)
        m = min(b.size, n - a)
        out[a:a + m] += b[:m]
    room = reverb_ir(SR, 1.8, rng)
    return out + 0.35 * convolve(out, room)[:n]


def thief(rng):
    """A blade's ring, then a hissing, bubbling cloud of poison."""
    total = 1.6
    n = int(total * SR)
    out = np.zeros(n)
    shing = partials(2960, 0.6, SR, [1.0, 1.41, 2.13, 2.9, 3.7], [0.5, 0.8, 0.6, 0.4, 0.3],
                     [9, 11, 14, 18, 24], rng)
    swish = bandpass(rng.standard_normal(int(0.18 * SR)), SR, 1500, 6000)
    swish *= np.sin(np.linspace(0, math.pi, swish.size)) ** 2
    out[:swish.size] += swish * 0.8
    out[int(0.08 * SR):int(0.08 * SR) + shing.size] += shing * 0.7
    hiss = bandpass(rng.standard_normal(n), SR, 1800, 6000)
    t = np.arange(n) / SR
    hiss *= np.clip((t - 0.2) / 0.3, 0, 1) * np.clip((total - t) / 0.5, 0, 1) * 0.35
    out += hiss
    for _ in range(26):
        tm = 0.25 + rng.random() * 1.1
        dur = 0.04 + rng.random() * 0.05
        m = int(dur * SR)
        tt = np.arange(m) / SR
        f = (220 + rng.random() * 380) * (1 + 2.0 * tt / dur)
        blip = np.sin(phase_of(f, SR)) * np.sin(math.pi * tt / dur) ** 2
        a = int(tm * SR)
        k = min(m, n - a)
        out[a:a + k] += blip[:k] * (0.4 + 0.3 * rng.random())
    room = reverb_ir(SR, 1.0, rng)
    return out + 0.25 * convolve(out, room)[:n]


def test_chime(rng):
    """The test level's chime: a two-note 'ding-dong'."""
    total = 1.6
    n = int(total * SR)
    out = np.zeros(n)
    for start, nm in ((0.0, 'E6'), (0.35, 'C6')):
        b = bell(midi_hz(note_number(nm)), total - start, SR, rng)
        a = int(start * SR)
        out[a:a + b.size] += b[:n - a]
    room = reverb_ir(SR, 1.2, rng)
    return out + 0.3 * convolve(out, room)[:n]


# name -> (function, seed, loudness (RMS) target, fade-out seconds)
EFFECTS = {
    'sfx_orc': (orc, 301, 0.13, 0.08),
    'sfx_goblin': (goblin, 302, 0.11, 0.05),
    'sfx_skeleton': (skeleton, 303, 0.10, 0.05),
    'sfx_wyvern': (wyvern, 304, 0.12, 0.08),
    'sfx_click': (click, 305, 0.07, 0.01),
    'sfx_hunter': (hunter, 306, 0.13, 0.15),
    'sfx_bard': (bard, 307, 0.11, 0.2),
    'sfx_thief': (thief, 308, 0.11, 0.15),
    'test_audio': (test_chime, 309, 0.11, 0.2),
}

PEAK_LIMIT = 0.71     # about -3 dBFS: room for several effects and the music


def render(name):
    """Render an effect at its loudness target, never above PEAK_LIMIT."""
    fn, seed, rms_target, fo = EFFECTS[name]
    x = fn(np.random.default_rng(seed))
    x = x - np.mean(x)
    x = fade(x, SR, 0.002, fo)
    rms = np.sqrt(np.mean(x * x))
    pk = np.max(np.abs(x))
    return x * min(rms_target / rms, PEAK_LIMIT / pk)
