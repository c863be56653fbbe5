#!/usr/bin/env python3
"""Makes the regression inputs that aim at stb_truetype's published weak points
and at the sound readers' trust in a file's declared sizes, from the game's own
files, and writes them to tests/data/fuzz/. Each must be refused in words by the
loaders. Also writes one small sound of every form the game plays to
tests/data/sound_forms/: each must still play, and each seeds the sound fuzzer.
    python3 tools/fuzz/craft_inputs.py        (from the repository root)
"""
import math
import struct
from pathlib import Path

OUT = Path("tests/data/fuzz")
FORMS = Path("tests/data/sound_forms")
ARIAL = Path("Assets/Fonts/arial.ttf").read_bytes()
EXETER = Path("Assets/Fonts/Kingthings Exeter.ttf").read_bytes()


def tables(font):
    count = struct.unpack(">H", font[4:6])[0]
    found = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", font[12 + 16 * i:28 + 16 * i])
        found[tag.decode("latin-1")] = (offset, length)
    return found


def patched(font, changes):
    data = bytearray(font)
    for offset, raw in changes:
        data[offset:offset + len(raw)] = raw
    return bytes(data)


def windows_unicode_map(font):
    cmap = tables(font)["cmap"][0]
    for i in range(struct.unpack(">H", font[cmap + 2:cmap + 4])[0]):
        platform, encoding, at = struct.unpack(">HHI", font[cmap + 4 + 8 * i:cmap + 12 + 8 * i])
        if (platform, encoding) == (3, 1):
            return cmap + at
    raise SystemExit("no Windows Unicode character map")


def glyph_offsets(font):
    t = tables(font)
    long_index = struct.unpack(">h", font[t["head"][0] + 50:t["head"][0] + 52])[0]
    glyphs = struct.unpack(">H", font[t["maxp"][0] + 4:t["maxp"][0] + 6])[0]
    loca = t["loca"][0]
    if long_index:
        offsets = [struct.unpack(">I", font[loca + 4 * g:loca + 4 * g + 4])[0] for g in range(glyphs + 1)]
    else:
        offsets = [2 * struct.unpack(">H", font[loca + 2 * g:loca + 2 * g + 2])[0] for g in range(glyphs + 1)]
    return t["glyf"][0], offsets


def first_glyph(font, test):
    glyf, offsets = glyph_offsets(font)
    for g in range(len(offsets) - 1):
        start, end = glyf + offsets[g], glyf + offsets[g + 1]
        if end - start >= 12 and test(struct.unpack(">h", font[start:start + 2])[0]):
            return g, start
    raise SystemExit("no such glyph")


def last_point_off_curve(font, start):
    """The glyph at `start` is simple and its last point lies off the curve."""
    contours = struct.unpack(">h", font[start:start + 2])[0]
    ends = struct.unpack(">%dH" % contours, font[start + 10:start + 10 + 2 * contours])
    at = start + 10 + 2 * contours
    at += 2 + struct.unpack(">H", font[at:at + 2])[0]  # past the instructions
    flags, points = [], ends[-1] + 1
    while len(flags) < points:
        flag = font[at]
        at += 1
        repeat = font[at] if flag & 8 else 0
        at += 1 if flag & 8 else 0
        flags += [flag] * (1 + repeat)
    return not flags[points - 1] & 1


def chunk(tag, data):
    """A RIFF chunk, padded to an even length."""
    return tag + struct.pack("<I", len(data)) + data + (b"\0" if len(data) & 1 else b"")


def wave(chunks, bare=False):
    """A WAV file: RIFF's header, or only the form type WAVE, as SDL also reads."""
    body = b"".join(chunks)
    return b"WAVE" + body if bare else b"RIFF" + struct.pack("<I", 4 + len(body)) + b"WAVE" + body


def fmt(coding, channels, rate, align, bits, extra=None):
    data = struct.pack("<HHIIHH", coding, channels, rate, rate * align, align, bits)
    if extra is not None:
        data += struct.pack("<H", len(extra)) + extra
    return chunk(b"fmt ", data)


def tone(count, scale, offset=0):
    return [int(offset + scale * math.sin(i * 0.07)) for i in range(count)]


MS_ADPCM_COEFFICIENTS = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
PCM_GUID = bytes.fromhex("0100000000001000800000aa00389b71")


def sound_forms():
    """One short sound of each coding and layout SDL's WAV reader plays, and an MP3."""
    pcm16 = struct.pack("<400h", *tone(400, 8000))
    ms_block = struct.pack("<BhhH", 0, 16, 0, 0) + bytes((i * 37) & 0xFF for i in range(249))
    ima_block = struct.pack("<hBB", 0, 10, 0) + bytes((i * 53) & 0xFF for i in range(252))
    mp3 = Path("Assets/Audio/SFX/sfx_hunter.mp3").read_bytes()
    return {
        "pcm8_mono.wav": wave([fmt(1, 1, 22050, 1, 8), chunk(b"data", bytes(tone(500, 100, 128)))]),
        "pcm16_stereo.wav": wave([fmt(1, 2, 44100, 4, 16), chunk(b"data", pcm16)]),
        "pcm24_mono.wav": wave([fmt(1, 1, 44100, 3, 24),
                                chunk(b"data", b"".join(struct.pack("<i", v)[:3] for v in tone(300, 1 << 20)))]),
        "pcm32_mono.wav": wave([fmt(1, 1, 44100, 4, 32), chunk(b"data", struct.pack("<300i", *tone(300, 1 << 28)))]),
        "float32_mono.wav": wave([fmt(3, 1, 44100, 4, 32, b""),
                                  chunk(b"data", struct.pack("<300f", *[v / 9000 for v in tone(300, 8000)]))]),
        "alaw_mono.wav": wave([fmt(6, 1, 8000, 1, 8, b""), chunk(b"data", bytes(tone(400, 100, 128)))]),
        "mulaw_mono.wav": wave([fmt(7, 1, 8000, 1, 8, b""), chunk(b"data", bytes(tone(400, 100, 128)))]),
        "ms_adpcm_mono.wav": wave([fmt(2, 1, 22050, 256, 4, struct.pack("<HH", 500, 7) + b"".join(
            struct.pack("<hh", *c) for c in MS_ADPCM_COEFFICIENTS)), chunk(b"data", ms_block * 2)]),
        "ima_adpcm_mono.wav": wave([fmt(0x11, 1, 22050, 256, 4, struct.pack("<H", 505)),
                                    chunk(b"data", ima_block * 2)]),
        "extensible_stereo.wav": wave([fmt(0xFFFE, 2, 44100, 4, 16, struct.pack("<HI", 16, 3) + PCM_GUID),
                                       chunk(b"data", pcm16)]),
        # Chunks the reader steps over, one of odd length and padded, and a fact chunk.
        "chunks_between.wav": wave([chunk(b"LIST", b"INFOISFT\x05\0\0\0game\0"), fmt(1, 1, 44100, 2, 16),
                                    chunk(b"fact", struct.pack("<I", 200)), chunk(b"junk", b"odd"),
                                    chunk(b"data", pcm16[:400])]),
        "bare_wave.wav": wave([fmt(1, 1, 44100, 2, 16), chunk(b"data", pcm16)], bare=True),
        # An ID3v2 tag before the frames.
        "id3_tagged.mp3": b"ID3\x03\0\0\0\0\0\x0a" + b"TIT2" + struct.pack(">I", 0) + b"\0\0" + mp3,
    }


def sane_rate(rate):
    """An 80-bit extended float, as AIFF stores its rate."""
    exponent = int(math.floor(math.log2(rate)))
    return struct.pack(">HQ", 16383 + exponent, int(rate * (1 << (63 - exponent))))


def refused_sounds():
    """Small files that make SDL's and SDL_mixer's readers ask for gigabytes."""
    aiff = (b"AIFF" + b"COMM" + struct.pack(">IHIH", 18, 2, 0x7FFFFFFF, 16) + sane_rate(44100)
            + b"SSND" + struct.pack(">III", 8, 0, 0))
    voc_header = b"Creative Voice File\x1a" + struct.pack("<HHH", 26, 0x010A, 0x1129)
    silence = bytes([3]) + struct.pack("<I", 3)[:3] + struct.pack("<HB", 0xFFFF, 0xA5)
    return {
        # Only the form type, with no RIFF header before it: the data chunk claims
        # nearly 4 GiB (36 bytes in all).
        "sound_bare_wave_huge_data.wav": wave([fmt(1, 1, 44100, 2, 16), b"data" + struct.pack("<I", 0xFFFFFFFF)],
                                              bare=True),
        # One sample a second: turned into the mixer's 44100 a second, the
        # converter asks for 44100 times the file's sound.
        "sound_one_hertz.wav": wave([fmt(1, 1, 1, 1, 8), chunk(b"data", bytes(4000))]),
        # An AIFF file whose COMM chunk counts two billion samples that are not there.
        "sound_aiff_huge_count.wav": b"FORM" + struct.pack(">I", len(aiff)) + aiff,
        # A Creative voice file of silence blocks: 7 bytes each ask for 64 KiB.
        "sound_voc_silence.wav": voc_header + bytes([1]) + struct.pack("<I", 4)[:3] + bytes([0xA5, 0, 0x80, 0x80])
        + silence * 2000 + b"\0",
    }


def main():
    FORMS.mkdir(parents=True, exist_ok=True)
    for name, data in sound_forms().items():
        (FORMS / name).write_bytes(data)
        print(FORMS / name, len(data), "bytes")
    hhea, head = tables(EXETER)["hhea"][0], tables(EXETER)["head"][0]
    cmap4 = windows_unicode_map(ARIAL)
    glyf, offsets = glyph_offsets(ARIAL)
    simple_at = next(glyf + offsets[g] for g in range(len(offsets) - 1)
                     if offsets[g + 1] - offsets[g] >= 12
                     and struct.unpack(">h", ARIAL[glyf + offsets[g]:glyf + offsets[g] + 2])[0] >= 2
                     and last_point_off_curve(ARIAL, glyf + offsets[g]))
    last_end = struct.unpack(">H", ARIAL[simple_at + 10 + 2 * (struct.unpack(">h", ARIAL[simple_at:simple_at + 2])[0] - 1):][:2])[0]
    compound, compound_at = first_glyph(ARIAL, lambda contours: contours < 0)
    t = tables(ARIAL)
    long_index = struct.unpack(">h", ARIAL[t["head"][0] + 50:t["head"][0] + 52])[0]
    loca_entry = t["loca"][0] + (4 if long_index else 2) * 5
    inputs = {
        # A format-4 map relabelled 12: its group count is read from the segment arrays.
        "font_cmap12_groups.ttf": patched(ARIAL, [(cmap4, struct.pack(">H", 12))]),
        # The first contour ends one point before the last: the contour after it
        # starts on the glyph's last point, which lies off the curve.
        "font_contours_unordered.ttf": patched(ARIAL, [(simple_at + 10, struct.pack(">H", last_end - 1))]),
        # A compound glyph whose first component is itself.
        "font_compound_itself.ttf": patched(ARIAL, [(compound_at + 12, struct.pack(">H", compound))]),
        # A glyph index entry far past the end of the glyph table.
        "font_loca_outside.ttf": patched(ARIAL, [(loca_entry, struct.pack(">I" if long_index else ">H", 0xFFF0))]),
        # Ascent equal to descent: an infinite scale and invisible text.
        "font_flat_line.ttf": patched(EXETER, [(hhea + 4, struct.pack(">hh", -230, -230))]),
        # Ascent and descent both zero: a scale of 0/0.
        "font_nan_scale.ttf": patched(EXETER, [(hhea + 4, struct.pack(">hh", 0, 0))]),
        # An em of no size.
        "font_zero_em.ttf": patched(EXETER, [(head + 18, struct.pack(">H", 0))]),
        # A RIFF WAVE header whose data chunk claims nearly 4 GiB that are not there.
        "sound_huge_data.wav": b"RIFF" + struct.pack("<I", 36) + b"WAVEfmt " + struct.pack(
            "<IHHIIHH", 16, 1, 1, 44100, 88200, 2, 16) + b"data" + struct.pack("<I", 0xFFFFFFF0),
        **refused_sounds(),
    }
    for name, data in inputs.items():
        (OUT / name).write_bytes(data)
        print(OUT / name, len(data), "bytes")


if __name__ == "__main__":
    main()
