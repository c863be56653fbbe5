#!/usr/bin/env python3
"""Makes the regression inputs that aim at stb_truetype's published weak points
and at the sound loader's trust in a WAV header, from the game's own files, and
writes them to tests/data/fuzz/. Each must be refused in words by the loaders.
    python3 tools/fuzz/craft_inputs.py        (from the repository root)
"""
import struct
from pathlib import Path

OUT = Path("tests/data/fuzz")
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


def main():
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
    }
    for name, data in inputs.items():
        (OUT / name).write_bytes(data)
        print(OUT / name, len(data), "bytes")


if __name__ == "__main__":
    main()
