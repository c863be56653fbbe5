"""Small numpy synthesis kit shared by the sound effects and the music.

Everything works on whole float64 buffers: additive oscillators with pitch
contours, decaying partials for plucked and struck sounds, noise shaped in
the frequency domain (static or frame by frame), an FFT reverb that can wrap
around a loop, and 16-bit WAV / MP3 output.
"""

import math
import os
import shutil
import subprocess
import tempfile
import wave

import numpy as np


def midi_hz(n):
    return 440.0 * 2.0 ** ((n - 69) / 12.0)


_NAMES = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}


def note_number(name):
    """'C#4', 'Bb3', 'A5' -> MIDI number (C4 = 60)."""
    base = _NAMES[name[0]]
    rest = name[1:]
    while rest and rest[0] in '#b':
        base += 1 if rest[0] == '#' else -1
        rest = rest[1:]
    return base + 12 * (int(rest) + 1)


# --------------------------------------------------------------------------
# Envelopes and oscillators
# --------------------------------------------------------------------------

def adsr(n, sr, a=0.01, d=0.1, s=0.7, r=0.1, hold=None):
    """Attack-decay-sustain-release envelope of n samples; release at `hold` s."""
    t = np.arange(n) / sr
    hold = (n / sr - r) if hold is None else hold
    env = np.where(t < a, t / max(a, 1e-6), s + (1 - s) * np.exp(-(t - a) / max(d, 1e-6)))
    rel = np.clip(1.0 - (t - hold) / max(r, 1e-6), 0.0, 1.0)
    return env * np.where(t > hold, rel, 1.0)


def phase_of(freq, sr):
    """Running phase (radians) of a frequency contour (array of Hz)."""
    return 2.0 * math.pi * np.cumsum(freq) / sr


def harmonic(phase, f0, sr, weights, limit=None):
    """Sum of harmonics k*phase with weights[k-1], skipping those above Nyquist."""
    out = np.zeros_like(phase)
    nyq = (limit or sr * 0.45)
    fmax = np.max(f0) if np.ndim(f0) else f0
    for k, wgt in enumerate(weights, start=1):
        if wgt == 0 or k * fmax > nyq:
            continue
        out += wgt * np.sin(k * phase)
    return out


def saw_weights(n, tilt=1.0):
    return [1.0 / (k ** tilt) for k in range(1, n + 1)]


def partials(freq, dur, sr, ratios, amps, decays, rng=None, detune=0.0):
    """Struck/plucked tone: sine partials with their own exponential decays."""
    n = int(dur * sr)
    t = np.arange(n) / sr
    out = np.zeros(n)
    for r, a, d in zip(ratios, amps, decays):
        f = freq * r
        if f > sr * 0.45:
            continue
        ph = 0.0 if rng is None else rng.random() * math.tau
        out += a * np.sin(2 * math.pi * f * (1 + detune) * t + ph) * np.exp(-t * d)
    return out


def pluck(freq, dur, sr, bright=1.0, decay=1.0, rng=None):
    """A plucked string: harmonic partials, upper ones dying faster."""
    K = int(min(24, (sr * 0.45) // max(freq, 1)))
    ks = np.arange(1, K + 1)
    inh = np.sqrt(1 + 0.00012 * ks * ks)
    amps = (np.abs(np.sin(math.pi * ks * 0.18)) + 0.05) / ks ** (1.25 / bright)
    decays = (1.6 + 0.9 * ks ** 1.25) / decay
    tone = partials(freq, dur, sr, ks * inh, amps, decays, rng)
    n = tone.size
    att = np.minimum(1.0, np.arange(n) / (0.002 * sr))
    if rng is not None:
        click = rng.standard_normal(n) * np.exp(-np.arange(n) / (0.004 * sr)) * 0.08
        tone = tone + bandpass(click, sr, freq * 2, freq * 8)
    return tone * att


def bell(freq, dur, sr, rng=None):
    ratios = [1.0, 2.0, 2.76, 4.07, 5.43, 8.93]
    amps = [1.0, 0.6, 0.45, 0.25, 0.2, 0.08]
    decays = [1.2, 1.8, 2.6, 3.5, 4.5, 7.0]
    n = int(dur * sr)
    return partials(freq, dur, sr, ratios, amps, decays, rng) * np.minimum(1.0, np.arange(n) / (0.001 * sr))


# --------------------------------------------------------------------------
# Filters (frequency domain)
# --------------------------------------------------------------------------

def shape_spectrum(x, sr, gain_fn):
    """Multiply the spectrum of x by gain_fn(freqs)."""
    n = x.size
    X = np.fft.rfft(x)
    f = np.fft.rfftfreq(n, 1.0 / sr)
    return np.fft.irfft(X * gain_fn(f), n)


def lowpass(x, sr, fc, slope=2.0):
    return shape_spectrum(x, sr, lambda f: 1.0 / (1.0 + (f / fc) ** (2 * slope)) ** 0.5)


def highpass(x, sr, fc, slope=2.0):
    return shape_spectrum(x, sr, lambda f: 1.0 / (1.0 + (fc / np.maximum(f, 1e-3)) ** (2 * slope)) ** 0.5)


def bandpass(x, sr, lo, hi, slope=2.0):
    return highpass(lowpass(x, sr, hi, slope), sr, lo, slope)


def peak(f, centre, width, gain):
    return gain * np.exp(-0.5 * ((f - centre) / width) ** 2)


def formant_gain(f, formants):
    """Vowel-like spectral envelope: sum of Gaussian peaks (centre, width, gain)."""
    g = np.full_like(f, 0.008)
    for c, w, a in formants:
        g = g + peak(f, c, w, a)
    return g


def stft_shape(x, sr, gain_at, frame=1024, hop=256):
    """Time-varying filter: gain_at(freqs, time_s) per frame, overlap-add."""
    n = x.size
    win = np.hanning(frame)
    pad = np.concatenate([np.zeros(frame), x, np.zeros(frame)])
    out = np.zeros_like(pad)
    norm = np.zeros_like(pad)
    f = np.fft.rfftfreq(frame, 1.0 / sr)
    for start in range(0, pad.size - frame, hop):
        seg = pad[start:start + frame] * win
        t = (start + frame / 2 - frame) / sr
        Y = np.fft.rfft(seg) * gain_at(f, t)
        out[start:start + frame] += np.fft.irfft(Y, frame) * win
        norm[start:start + frame] += win * win
    out = out / np.maximum(norm, 1e-6)
    return out[frame:frame + n]


# --------------------------------------------------------------------------
# Space
# --------------------------------------------------------------------------

def reverb_ir(sr, seconds, rng, damp=3500.0, predelay=0.012):
    n = int(seconds * sr)
    t = np.arange(n) / sr
    ir = rng.standard_normal(n) * np.exp(-t * 6.9 / seconds)
    ir = lowpass(ir, sr, damp, 1.0)
    pd = int(predelay * sr)
    ir = np.concatenate([np.zeros(pd), ir])
    return ir / np.sqrt(np.sum(ir * ir))


def convolve(x, ir, circular=False):
    """FFT convolution; circular=True wraps the tail onto the start (loops)."""
    if circular:
        n = x.size
        irp = np.zeros(n)
        m = min(n, ir.size)
        irp[:m] = ir[:m]
        return np.fft.irfft(np.fft.rfft(x) * np.fft.rfft(irp), n)
    n = x.size + ir.size - 1
    size = 1 << (n - 1).bit_length()
    y = np.fft.irfft(np.fft.rfft(x, size) * np.fft.rfft(ir, size), size)
    return y[:n]


# --------------------------------------------------------------------------
# Output
# --------------------------------------------------------------------------

def normalise(x, peak_level):
    m = np.max(np.abs(x))
    return x * (peak_level / m) if m > 0 else x


def fade(x, sr, fade_in=0.003, fade_out=0.02):
    n = x.size
    a = int(fade_in * sr)
    b = int(fade_out * sr)
    env = np.ones(n)
    if a:
        env[:a] = np.linspace(0, 1, a)
    if b:
        env[n - b:] = np.linspace(1, 0, b) ** 2
    return x * env


def to_pcm16(x):
    return np.round(np.clip(x, -1.0, 1.0) * 32767.0).astype('<i2')


def write_wav(path, x, sr):
    """Mono 16-bit PCM WAV."""
    data = to_pcm16(x)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(sr)
        w.writeframes(data.tobytes())


def write_mp3(path, x, sr, kbps=128):
    """Encode with the `lame` command-line encoder (Debian package lame)."""
    lame = shutil.which('lame')
    if lame is None:
        raise RuntimeError('the lame encoder is needed for MP3 output (apt-get install lame)')
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, 'in.wav')
        write_wav(src, x, sr)
        subprocess.run([lame, '--quiet', '--noreplaygain', '-q', '2', '-m', 'm', '-b', str(kbps),
                        src, path], check=True)
