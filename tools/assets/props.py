"""Small level props: the nexus, the tower-spot marker, the coin, the bolt."""

import math

import numpy as np

from figures import INK
from orient import LEVEL_ASPECT
from raster import (Canvas, hexc, mix, cover, gaussian, fbm, sd_circle, sd_ellipse, sd_box,
                    sd_polygon, sd_capsule, sd_star, union)
from sprites import resample

EMBER = hexc('#ff8a2a')
EMBER_HOT = hexc('#ffd36a')
STONE = hexc('#9d9488')
STONE_DARK = hexc('#5c554d')
GOLD = hexc('#e8b440')


def _size(world, height):
    return int(round(height * LEVEL_ASPECT)), int(height)


def nexus_image():
    """The nexus: an ember crystal hovering over a carved pedestal."""
    w, h = _size(70, 160)
    S = 2
    cv = Canvas(w * S, h * S)
    X, Y = cv.X, cv.Y
    cx = w * S / 2
    base_y = h * S - 14
    # warm glow on the ground
    cv.over(gaussian(cover(sd_ellipse(X, Y, cx, base_y - 8, 120, 28)), 14), EMBER, 0.35)
    cv.over(gaussian(cover(sd_ellipse(X, Y, cx + 10, base_y - 4, 96, 18)), 6), (0.05, 0.02, 0.0), 0.4)
    # pedestal: two stacked octagonal drums seen from above at an angle
    for (ry, rw, rh, col) in ((base_y - 26, 92, 24, STONE_DARK), (base_y - 56, 74, 20, STONE)):
        side = sd_box(X, Y, cx, ry, rw, rh * 0.9, r=8)
        cv.part(side, mix(col, (0, 0, 0), 0.15), outline=INK, ow=3, bevel=10, shade=0.8)
        for k in range(-3, 4):
            seam = sd_box(X, Y, cx + k * rw * 0.28, ry + 4, 1.2, rh * 0.7)
            cv.over(cover(seam) * (side < -2), INK, 0.35)
        top = sd_ellipse(X, Y, cx, ry - rh * 0.85, rw, rh * 0.55)
        cv.part(top, col, outline=INK, ow=3, bevel=12, shade=0.8)
    # rune ring on the upper drum
    ring = np.abs(sd_ellipse(X, Y, cx, base_y - 73, 52, 9)) - 2.0
    cv.over(gaussian(cover(ring), 3), EMBER, 0.8)
    cv.over(cover(ring), EMBER_HOT, 0.9)
    for k in range(4):
        a = k * math.pi / 2 + 0.4
        px, py = cx + 60 * math.cos(a), base_y - 40 + 14 * math.sin(a)
        g = sd_star(X, Y, px, py, 7, 3, 4)
        cv.over(gaussian(cover(g), 2), EMBER, 0.8)
        cv.over(cover(g), EMBER_HOT)
    # the crystal
    ccy = base_y - 170
    halo = gaussian(cover(sd_circle(X, Y, cx, ccy, 70)), 30)
    cv.over(halo, EMBER, 0.55)
    pts = [(cx, ccy - 98), (cx + 40, ccy - 30), (cx + 30, ccy + 50), (cx, ccy + 78),
           (cx - 30, ccy + 50), (cx - 40, ccy - 30)]
    d = sd_polygon(X, Y, pts)
    cv.over(cover(d - 4), INK)
    # facets: lighter on the left, hot core in the middle
    facet_l = sd_polygon(X, Y, [(cx, ccy - 98), (cx - 40, ccy - 30), (cx - 30, ccy + 50), (cx, ccy + 78),
                                (cx - 6, ccy - 10)])
    core = np.exp(-(((X - cx) / 26.0) ** 2 + ((Y - ccy + 4) / 48.0) ** 2))
    base = mix(hexc('#c2410c'), EMBER_HOT, core[..., None])
    cv.over(cover(d), base)
    cv.over(cover(facet_l), hexc('#ffe3a0'), 0.35)
    edge = union(sd_capsule(X, Y, cx, ccy - 98, cx - 6, ccy - 10, 1.5),
                 sd_capsule(X, Y, cx - 6, ccy - 10, cx, ccy + 78, 1.5),
                 sd_capsule(X, Y, cx - 6, ccy - 10, cx + 40, ccy - 30, 1.2),
                 sd_capsule(X, Y, cx - 6, ccy - 10, cx + 30, ccy + 50, 1.2))
    cv.over(cover(edge) * (d < 0), hexc('#fff1cc'), 0.6)
    cv.over(cover(sd_polygon(X, Y, [(cx - 8, ccy - 80), (cx - 3, ccy - 84), (cx - 22, ccy - 30),
                                    (cx - 28, ccy - 30)])), (1, 1, 1), 0.75)
    # floating sparks
    rng = np.random.default_rng(51)
    for _ in range(10):
        a = rng.random() * math.tau
        rr = 60 + rng.random() * 30
        px, py = cx + rr * math.cos(a), ccy + rr * 0.7 * math.sin(a)
        sp = sd_star(X, Y, px, py, 5 + rng.random() * 4, 1.6, 4, ang=rng.random())
        cv.over(gaussian(cover(sp), 2), EMBER, 0.7)
        cv.over(cover(sp), EMBER_HOT)
    return resample(cv, (0, 0, cv.w, cv.h), w, h)


def spot_image():
    """The tower-spot marker: a carved stone disc with a glowing rune ring."""
    w, h = _size(50, 128)
    S = 2
    cv = Canvas(w * S, h * S)
    X, Y = cv.X, cv.Y
    cx, cy = cv.w / 2, cv.h / 2 + 6
    rx, ry = cv.w * 0.46, cv.h * 0.36
    # the disc's thickness, then its top
    side = sd_ellipse(X, Y, cx, cy + 12, rx, ry)
    cv.over(gaussian(cover(sd_ellipse(X, Y, cx + 10, cy + 22, rx, ry)), 8), (0.05, 0.02, 0.0), 0.45)
    cv.part(side, STONE_DARK, outline=INK, ow=4, bevel=8, shade=0.7)
    top = sd_ellipse(X, Y, cx, cy, rx, ry)
    tex = fbm(cv.h, cv.w, 14, np.random.default_rng(52), 3)
    cv.part(top, STONE, outline=INK, ow=4, bevel=14, shade=0.8, tex=tex, tex_amp=0.12)
    # flagstone seams
    for k in range(6):
        a = k * math.pi / 3 + 0.3
        seam = sd_capsule(X, Y, cx + rx * 0.35 * math.cos(a), cy + ry * 0.35 * math.sin(a),
                          cx + rx * 0.95 * math.cos(a), cy + ry * 0.95 * math.sin(a), 1.6)
        cv.over(cover(seam) * (top < -3), INK, 0.45)
    inner = np.abs(sd_ellipse(X, Y, cx, cy, rx * 0.35, ry * 0.35)) - 1.6
    cv.over(cover(inner), INK, 0.45)
    # glowing rune ring
    ring = np.abs(sd_ellipse(X, Y, cx, cy, rx * 0.72, ry * 0.72)) - 3.0
    cv.over(gaussian(cover(ring), 5), EMBER, 0.7)
    cv.over(cover(ring), EMBER_HOT, 0.95)
    for k in range(8):
        a = k * math.pi / 4
        px, py = cx + rx * 0.72 * math.cos(a), cy + ry * 0.72 * math.sin(a)
        g = sd_box(X, Y, px, py, 7, 7, ang=math.pi / 4, r=1)
        cv.part(g, EMBER_HOT, outline=hexc('#7a2e08'), ow=2.5, bevel=3, shade=0.5)
    return resample(cv, (0, 0, cv.w, cv.h), w, h)


def coin_image():
    """A gold coin stamped with a flame, round on screen."""
    w, h = _size(25, 64)
    S = 3
    cv = Canvas(w * S, h * S)
    X, Y = cv.X, cv.Y
    cx, cy = cv.w / 2, cv.h / 2
    r = cv.h * 0.45
    rim = sd_circle(X, Y, cx, cy, r)
    cv.part(rim, hexc('#c98d1e'), outline=INK, ow=5, bevel=10, shade=1.0, gloss=0.8)
    face = sd_circle(X, Y, cx, cy, r * 0.78)
    cv.part(face, GOLD, outline=hexc('#8a5a10'), ow=2.5, bevel=18, shade=0.9, gloss=0.6)
    flame = sd_polygon(X, Y, [(cx, cy - r * 0.55), (cx + r * 0.32, cy - r * 0.05), (cx + r * 0.28, cy + r * 0.35),
                              (cx + r * 0.08, cy + r * 0.5), (cx + r * 0.1, cy + r * 0.2), (cx, cy + r * 0.05),
                              (cx - r * 0.1, cy + r * 0.2), (cx - r * 0.08, cy + r * 0.5),
                              (cx - r * 0.28, cy + r * 0.35), (cx - r * 0.32, cy - r * 0.05)])
    flame = gaussian(flame, 1.5)
    cv.part(flame, hexc('#ffe08a'), outline=hexc('#8a5a10'), ow=3, bevel=8, shade=1.0, gloss=0.6)
    for k in range(16):
        a = k * math.tau / 16
        dot = sd_circle(X, Y, cx + r * 0.89 * math.cos(a), cy + r * 0.89 * math.sin(a), 2.2)
        cv.over(cover(dot), hexc('#ffe9a8'), 0.8)
    shine = sd_ellipse(X, Y, cx - r * 0.4, cy - r * 0.45, r * 0.22, r * 0.1, -0.7)
    cv.over(gaussian(cover(shine), 2), (1, 1, 1), 0.8)
    return resample(cv, (0, 0, cv.w, cv.h), w, h)


def bolt_image():
    """The turrets' projectile: a blazing ember, round on screen.  It is small
    (10 world units), so it carries a dark rim that keeps it readable on sand,
    grass and lava alike, and a solid hot core rather than a faint glow."""
    w, h = _size(10, 32)
    S = 4
    cv = Canvas(w * S, h * S)
    X, Y = cv.X, cv.Y
    cx, cy = cv.w / 2, cv.h / 2
    r = cv.h * 0.5
    d = np.sqrt((X - cx) ** 2 + (Y - cy) ** 2) / r
    cv.over(np.clip((1.0 - d) / 0.15, 0, 1), hexc('#5a1a06'), 0.9)
    cv.over(np.clip((0.82 - d) / 0.1, 0, 1), EMBER, 1.0)
    cv.over(np.clip((0.55 - d) / 0.12, 0, 1), EMBER_HOT, 1.0)
    cv.over(np.clip(1.0 - d / 0.25, 0, 1), (1, 1, 0.95), 1.0)
    return resample(cv, (0, 0, cv.w, cv.h), w, h)
