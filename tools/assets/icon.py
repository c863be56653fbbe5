#!/usr/bin/python3
"""The desktop icon: an ember burning above a bastion tower on a shield.

A 256 x 256 PNG with a transparent corner, painted at twice the size and
scaled down so the small details stay smooth.  The install puts it in
share/icons/hicolor/256x256/apps/ember-bastion.png.

Usage (from the repository root, with Debian's python3-numpy and python3-pil):

    /usr/bin/python3 tools/assets/icon.py            # writes dist/ember-bastion.png
    /usr/bin/python3 tools/assets/icon.py --out FILE
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True      # keep the source tree free of __pycache__

import numpy as np                                   # noqa: E402
from PIL import Image                                # noqa: E402

from cards import _flame                             # noqa: E402
from figures import INK                              # noqa: E402
from raster import (Canvas, hexc, mix, cover, gaussian, fbm, sd_box, sd_polygon,  # noqa: E402
                    union, intersect, save_png)

SIZE = 256
SCALE = 2
DEFAULT_OUT = os.path.abspath(os.path.join(HERE, '..', '..', 'dist', 'ember-bastion.png'))


def icon_image():
    """RGBA uint8 array of the icon."""
    n = SIZE * SCALE
    cv = Canvas(n, n)
    X, Y = cv.X, cv.Y
    c = n / 2
    # a rounded tile of warm dusk, darker at the foot
    tile = sd_box(X, Y, c, c, c - 8, c - 8, r=96)
    col = mix(hexc('#4a2216'), hexc('#170b08'), np.clip(Y / n, 0, 1)[..., None])
    col = col * (1.0 + 0.07 * fbm(n, n, 70, np.random.default_rng(91), 4))[..., None]
    cv.over(cover(tile), np.clip(col, 0, 1))
    ring = intersect(tile, -(tile + 14))
    cv.part(ring, hexc('#e0a64a'), outline=INK, ow=3, bevel=7, shade=0.9, gloss=0.6)
    # the shield
    shield = gaussian(sd_polygon(X, Y, [(c - 170, 150), (c + 170, 150), (c + 170, 310),
                                        (c, 470), (c - 170, 310)]), 3)
    cv.part(shield, hexc('#7a1f1f'), outline=INK, ow=6, bevel=20, shade=0.8)
    cv.over(cover(np.abs(shield + 16) - 3.5), hexc('#e0a64a'))
    # the bastion: a tower with battlements, stone courses and a glowing door
    tower = sd_box(X, Y, c, 362, 100, 82, r=5)
    for k in range(-2, 3):
        tower = union(tower, sd_box(X, Y, c + k * 42, 268, 15, 24))
    tower = intersect(tower, shield + 18)
    cv.part(tower, hexc('#b3a48f'), outline=INK, ow=5, bevel=12, shade=0.85)
    for row in range(4):
        y = 306 + row * 32
        cv.over(cover(sd_box(X, Y, c, y, 100, 1.8)) * (tower < -2), INK, 0.45)
        for k in range(-2, 3):
            x = c + (k + 0.5 * (row % 2)) * 44
            cv.over(cover(sd_box(X, Y, x, y + 16, 1.6, 14)) * (tower < -2), INK, 0.35)
    door = sd_box(X, Y, c, 410, 28, 34, r=24)
    cv.part(intersect(door, sd_box(X, Y, c, 414, 30, 30)), hexc('#2a1610'), outline=INK, ow=4, bevel=5)
    cv.over(gaussian(cover(sd_box(X, Y, c, 408, 16, 22, r=14)), 7), hexc('#ff9a3a'), 0.85)
    # the ember above it, with its glow
    flame = _flame(X, Y, c, 150, 92)
    cv.over(gaussian(cover(flame), 26), hexc('#ff7a1a'), 0.9)
    core = np.exp(-(((X - c) / 50.0) ** 2 + ((Y - 176) / 60.0) ** 2))
    cv.part(flame, mix(hexc('#e0400f'), hexc('#ffe08a'), core[..., None]), outline=INK, ow=5, bevel=12, shade=0.5)
    big = Image.fromarray(cv.rgba(), 'RGBA')
    return np.asarray(big.resize((SIZE, SIZE), Image.LANCZOS))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--out', default=DEFAULT_OUT, help='the PNG to write')
    args = ap.parse_args()
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    save_png(args.out, icon_image())
    print('  %s %d bytes' % (args.out, os.path.getsize(args.out)))


if __name__ == '__main__':
    main()
