"""Scenery painted onto the level backgrounds: rocks, plants, trees, bones.

Every function returns (canvas, anchor_x, anchor_y): a transparent canvas with
the object and its soft shadow, and the pixel of the canvas that stands on
the ground point where the object is placed.  The view is a three-quarter top
view lit from the upper left, so shadows fall to the lower right.
"""

import math

import numpy as np

from raster import (Canvas, hexc, mix, fbm, gaussian, cover, sd_circle,
                    sd_ellipse, sd_polygon, sd_capsule, sd_bezier, sd_box,
                    union, smooth_union, lit)

OUTLINE = hexc('#2a1d17')


def _blob_points(rng, cx, cy, rx, ry, n=11, wobble=0.22):
    pts = []
    phase = rng.random() * math.tau
    for i in range(n):
        a = phase + i * math.tau / n
        r = 1.0 + wobble * (rng.random() * 2 - 1)
        pts.append((cx + rx * r * math.cos(a), cy + ry * r * math.sin(a)))
    return pts


def _shadow(cv, d, dx, dy, blur, opacity):
    """Soft shadow of shape d shifted by (dx, dy)."""
    m = cover(d)
    sh = np.zeros_like(m)
    h, w = m.shape
    x0, y0 = int(dx), int(dy)
    sh[max(0, y0):h, max(0, x0):w] = m[0:h - max(0, y0), 0:w - max(0, x0)]
    sh = gaussian(sh, blur)
    cv.over(sh, (0.05, 0.03, 0.02), opacity)


def rock(rng, size, base, dark=None, moss=None, snow=None):
    """An irregular boulder about `size` pixels wide."""
    w = int(size * 1.7) + 8
    h = int(size * 1.4) + 8
    cv = Canvas(w, h)
    cx, cy = w * 0.42, h * 0.55
    rx, ry = size * 0.5, size * 0.38
    pts = _blob_points(rng, cx, cy, rx, ry, n=9, wobble=0.18)
    d = sd_polygon(cv.X, cv.Y, pts)
    d = gaussian(d, 1.2)
    # ground shadow
    _shadow(cv, sd_ellipse(cv.X, cv.Y, cx, cy + ry * 0.55, rx * 1.05, ry * 0.55),
            size * 0.16, size * 0.08, size * 0.08 + 1, 0.45)
    tex = fbm(h, w, max(2.0, size / 6), rng, 3)
    col = np.asarray(base, np.float32)
    # top facets lighter
    top = np.clip((cy - cv.Y) / ry, -1, 1)
    shade_col = col[None, None, :] * (1.0 + 0.18 * top[..., None])
    if moss is not None:
        mm = np.clip((tex * 1.4 + top * 0.9 - 0.2), 0, 1)[..., None]
        shade_col = mix(shade_col, np.asarray(moss)[None, None, :], mm * 0.8)
    if snow is not None:
        cap = np.clip((top - 0.35 + 0.3 * tex) * 4.0, 0, 1)[..., None]
        shade_col = mix(shade_col, np.asarray(snow)[None, None, :], cap)
    cv.over(cover(d - 1.6), dark if dark is not None else OUTLINE)
    c = lit(d, shade_col, bevel=size * 0.28 + 2, strength=0.7)
    c = c * (1.0 + 0.14 * tex)[..., None]
    # a crack or two
    for _ in range(rng.integers(0, 3)):
        a0 = (cx + rx * (rng.random() - 0.5), cy - ry * 0.2 + ry * 0.5 * (rng.random() - 0.5))
        a1 = (a0[0] + rx * 0.5 * (rng.random() - 0.5), a0[1] + ry * 0.6 * rng.random())
        dc = sd_capsule(cv.X, cv.Y, a0[0], a0[1], a1[0], a1[1], 0.55)
        c = c * (1.0 - 0.45 * cover(dc))[..., None]
    cv.over(cover(d), np.clip(c, 0, 1))
    return cv, cx, cy + ry * 0.5


def bush(rng, size, leaf, leaf_dark, flowers=None, berry=None):
    """A round leafy bush seen from above at an angle."""
    w = int(size * 1.8) + 10
    h = int(size * 1.6) + 10
    cv = Canvas(w, h)
    cx, cy = w * 0.45, h * 0.55
    d = None
    blobs = []
    for i in range(7):
        a = rng.random() * math.tau
        rr = size * 0.22 * rng.random()
        r = size * (0.22 + 0.12 * rng.random())
        bx, by = cx + rr * math.cos(a), cy + rr * math.sin(a) * 0.75
        blobs.append((bx, by, r))
        di = sd_circle(cv.X, cv.Y, bx, by, r)
        d = di if d is None else smooth_union(d, di, 3.0)
    _shadow(cv, sd_ellipse(cv.X, cv.Y, cx, cy + size * 0.18, size * 0.5, size * 0.3),
            size * 0.2, size * 0.12, size * 0.1 + 1, 0.45)
    cv.over(cover(d - 1.5), leaf_dark * 0.55)
    tex = fbm(h, w, max(2.0, size / 8), rng, 3)
    c = lit(d, leaf, bevel=size * 0.35, strength=1.0)
    c = c * (1.0 + 0.22 * tex)[..., None]
    cv.over(cover(d), np.clip(c, 0, 1))
    # leaf clumps: small lit circles on the upper left of each blob
    for bx, by, r in blobs:
        for _ in range(3):
            a = math.pi * 1.25 + (rng.random() - 0.5) * 1.6
            lx, ly = bx + r * 0.45 * math.cos(a), by + r * 0.45 * math.sin(a)
            dl = sd_circle(cv.X, cv.Y, lx, ly, r * 0.35)
            cv.over(cover(dl) * 0.35, mix(leaf, (1, 1, 0.85), 0.25))
    if flowers is not None or berry is not None:
        colr = flowers if flowers is not None else berry
        for _ in range(int(size / 5) + 2):
            a = rng.random() * math.tau
            rr = size * 0.38 * math.sqrt(rng.random())
            fx, fy = cx + rr * math.cos(a), cy + rr * math.sin(a) * 0.75
            if d[int(min(h - 1, max(0, fy))), int(min(w - 1, max(0, fx)))] > -2:
                continue
            df = sd_circle(cv.X, cv.Y, fx, fy, max(1.3, size * 0.05))
            cv.over(cover(df - 0.8), OUTLINE * 0.8, 0.6)
            cv.over(cover(df), colr)
            cv.over(cover(sd_circle(cv.X, cv.Y, fx - 0.6, fy - 0.6, max(0.6, size * 0.02))), (1, 1, 0.9), 0.8)
    return cv, cx, cy + size * 0.2


def tree(rng, size, leaf, leaf_dark, trunk=hexc('#5a3b24'), fruit=None):
    """A broad-leaved tree: short trunk and a clustered canopy."""
    w = int(size * 2.0) + 12
    h = int(size * 2.1) + 12
    cv = Canvas(w, h)
    cx = w * 0.45
    base_y = h - size * 0.25 - 6
    canopy_cy = base_y - size * 0.85
    # ground shadow of the canopy
    _shadow(cv, sd_ellipse(cv.X, cv.Y, cx + size * 0.25, base_y - size * 0.05, size * 0.75, size * 0.35),
            size * 0.1, size * 0.05, size * 0.12 + 1, 0.5)
    # trunk
    dt = sd_capsule(cv.X, cv.Y, cx, base_y, cx + size * 0.03, canopy_cy + size * 0.2,
                    size * 0.12, size * 0.08)
    cv.part(dt, trunk, outline=OUTLINE, ow=1.5, bevel=size * 0.08 + 1, shade=0.8)
    d = None
    blobs = []
    for i in range(9):
        a = rng.random() * math.tau
        rr = size * 0.32 * math.sqrt(rng.random())
        r = size * (0.30 + 0.12 * rng.random())
        bx, by = cx + rr * math.cos(a), canopy_cy + rr * math.sin(a) * 0.8
        blobs.append((bx, by, r))
        di = sd_circle(cv.X, cv.Y, bx, by, r)
        d = di if d is None else smooth_union(d, di, 4.0)
    cv.over(cover(d - 1.8), leaf_dark * 0.5)
    tex = fbm(h, w, max(2.0, size / 7), rng, 3)
    c = lit(d, leaf, bevel=size * 0.5, strength=1.1)
    c = c * (1.0 + 0.2 * tex)[..., None]
    cv.over(cover(d), np.clip(c, 0, 1))
    # inner clumps for a painted leafy look
    for bx, by, r in sorted(blobs, key=lambda b: b[1]):
        a = math.pi * 1.25 + (rng.random() - 0.5) * 0.8
        lx, ly = bx + r * 0.3 * math.cos(a), by + r * 0.3 * math.sin(a)
        dl = sd_circle(cv.X, cv.Y, lx, ly, r * 0.55)
        cl = lit(dl, mix(leaf, (1.0, 0.95, 0.6), 0.12), bevel=r * 0.5, strength=1.0)
        cv.over(cover(dl) * 0.55 * (d < -2), np.clip(cl, 0, 1))
    if fruit is not None:
        for _ in range(int(size / 6) + 2):
            a = rng.random() * math.tau
            rr = size * 0.45 * math.sqrt(rng.random())
            fx, fy = cx + rr * math.cos(a), canopy_cy + rr * math.sin(a) * 0.8
            if d[int(min(h - 1, max(0, fy))), int(min(w - 1, max(0, fx)))] > -3:
                continue
            df = sd_circle(cv.X, cv.Y, fx, fy, max(1.5, size * 0.06))
            cv.part(df, fruit, outline=OUTLINE, ow=0.8, bevel=2, shade=0.8, gloss=0.5)
    return cv, cx, base_y


def pine(rng, size, needle, needle_dark, snow=None):
    """A conifer: stacked drooping tiers, optionally with snow."""
    w = int(size * 1.4) + 12
    h = int(size * 2.2) + 12
    cv = Canvas(w, h)
    cx = w * 0.45
    base_y = h - size * 0.2 - 6
    _shadow(cv, sd_ellipse(cv.X, cv.Y, cx + size * 0.3, base_y, size * 0.55, size * 0.2),
            size * 0.15, 2, size * 0.1 + 1, 0.5)
    dt = sd_box(cv.X, cv.Y, cx, base_y - size * 0.12, size * 0.07, size * 0.16)
    cv.part(dt, hexc('#4a3020'), outline=OUTLINE, ow=1.2, bevel=2)
    tiers = 4
    for i in range(tiers):
        t = i / (tiers - 1)
        tw = size * (0.62 - 0.38 * t)
        ty = base_y - size * 0.22 - size * 0.38 * i
        top = ty - size * 0.62
        pts = [(cx - tw, ty), (cx - tw * 0.45, ty - size * 0.08), (cx, top),
               (cx + tw * 0.45, ty - size * 0.08), (cx + tw, ty),
               (cx + tw * 0.3, ty + size * 0.06), (cx - tw * 0.3, ty + size * 0.06)]
        d = sd_polygon(cv.X, cv.Y, pts)
        cv.over(cover(d - 1.5), needle_dark * 0.5)
        shade = np.clip(0.75 + 0.5 * (cx - cv.X) / max(tw, 1), 0.55, 1.25)
        col = needle[None, None, :] * shade[..., None]
        c = lit(d, col, bevel=size * 0.12 + 1, strength=0.8)
        cv.over(cover(d), np.clip(c, 0, 1))
        if snow is not None:
            ds = sd_polygon(cv.X, cv.Y, [(cx - tw * 0.55, ty - size * 0.12), (cx, top + 1),
                                         (cx + tw * 0.25, ty - size * 0.2),
                                         (cx - tw * 0.1, ty - size * 0.15)])
            cv.over(cover(ds) * 0.9, snow)
    return cv, cx, base_y


def palm(rng, size, frond, frond_dark, trunk=hexc('#8a6a44')):
    """A palm seen from above at an angle: curved trunk and star of fronds."""
    w = int(size * 2.2) + 12
    h = int(size * 2.2) + 12
    cv = Canvas(w, h)
    cx = w * 0.5
    base_y = h - size * 0.2 - 6
    top = (cx + size * 0.15 * (rng.random() - 0.5), base_y - size * 1.1)
    _shadow(cv, sd_ellipse(cv.X, cv.Y, cx + size * 0.5, base_y - size * 0.05, size * 0.7, size * 0.28),
            0, 0, size * 0.1 + 1, 0.45)
    dt = sd_bezier(cv.X, cv.Y, (cx, base_y), (cx - size * 0.15, base_y - size * 0.6), top,
                   size * 0.08, size * 0.06)
    cv.part(dt, trunk, outline=OUTLINE, ow=1.2, bevel=3, shade=0.8)
    # trunk rings
    for i in range(1, 7):
        t = i / 7
        px = (1 - t) ** 2 * cx + 2 * (1 - t) * t * (cx - size * 0.15) + t * t * top[0]
        py = (1 - t) ** 2 * base_y + 2 * (1 - t) * t * (base_y - size * 0.6) + t * t * top[1]
        dr = sd_ellipse(cv.X, cv.Y, px, py, size * 0.075, size * 0.015)
        cv.over(cover(dr) * 0.5, OUTLINE)
    n = 7
    for i in range(n):
        a = i * math.tau / n + rng.random() * 0.3
        L = size * (0.75 + 0.2 * rng.random())
        ex, ey = top[0] + L * math.cos(a), top[1] + L * math.sin(a) * 0.7 + size * 0.15
        mx, my = top[0] + L * 0.5 * math.cos(a), top[1] + L * 0.5 * math.sin(a) * 0.7 - size * 0.12
        d = sd_bezier(cv.X, cv.Y, top, (mx, my), (ex, ey), size * 0.12, size * 0.02, steps=10)
        cv.over(cover(d - 1.2), frond_dark * 0.5)
        c = lit(d, frond, bevel=size * 0.06 + 1, strength=0.9)
        cv.over(cover(d), np.clip(c, 0, 1))
        dm = sd_bezier(cv.X, cv.Y, top, (mx, my), (ex, ey), 0.6, 0.3, steps=10)
        cv.over(cover(dm) * 0.6, frond_dark)
    cv.part(sd_circle(cv.X, cv.Y, top[0], top[1], size * 0.08), hexc('#6b4f2a'), outline=OUTLINE, ow=1)
    return cv, cx, base_y


def cactus(rng, size, body=hexc('#5f8f3a')):
    """A saguaro-like cactus with ribbed, rounded arms."""
    w = int(size * 1.3) + 10
    h = int(size * 1.6) + 10
    cv = Canvas(w, h)
    cx = w * 0.45
    base_y = h - 6
    _shadow(cv, sd_ellipse(cv.X, cv.Y, cx + size * 0.3, base_y - 2, size * 0.42, size * 0.12),
            0, 0, 2.5, 0.5)
    r = size * 0.16
    top = base_y - size * 1.25
    d = sd_capsule(cv.X, cv.Y, cx, base_y - r * 0.5, cx, top, r, r * 0.92)
    for side in (-1, 1):
        if rng.random() < 0.8:
            ay = base_y - size * (0.45 + 0.2 * rng.random())
            ex = cx + side * size * 0.34
            ey = ay - size * (0.32 + 0.18 * rng.random())
            arm = sd_bezier(cv.X, cv.Y, (cx, ay), (ex, ay + r * 0.3), (ex, ey), r * 0.62, r * 0.55,
                            steps=10)
            d = smooth_union(d, arm, 2.0)
    rib = 0.5 + 0.5 * np.cos((cv.X - cx) / (r * 0.45) * math.pi)
    col = body[None, None, :] * (0.86 + 0.22 * rib)[..., None]
    cv.part(d, col, outline=OUTLINE, ow=1.4, bevel=r * 1.1, shade=1.0)
    for _ in range(int(size / 2.5)):
        px = cx + (rng.random() - 0.5) * size * 0.8
        py = base_y - rng.random() * size * 1.3
        if d[int(min(h - 1, py)), int(min(w - 1, max(0, px)))] < -1:
            cv.over(cover(sd_circle(cv.X, cv.Y, px, py, 0.55)), (0.97, 0.94, 0.8), 0.9)
    if rng.random() < 0.5:
        for k in range(3):
            fx = cx + (k - 1) * r * 0.6
            cv.part(sd_circle(cv.X, cv.Y, fx, top - r * 0.55, r * 0.32),
                    hexc('#f0607a') if k != 1 else hexc('#ffd04a'), outline=OUTLINE, ow=0.7, bevel=1.5)
    return cv, cx, base_y


def dry_shrub(rng, size):
    """A dry desert shrub: tangled twigs with a few olive leaves."""
    w = int(size * 1.8) + 8
    h = int(size * 1.5) + 8
    cv = Canvas(w, h)
    cx, base_y = w * 0.5, h - 5
    cv.over(gaussian(cover(sd_ellipse(cv.X, cv.Y, cx + size * 0.2, base_y - 1, size * 0.6, size * 0.18)), 2.0),
            (0.1, 0.05, 0.0), 0.45)
    twig = hexc('#6b4a2a')
    for i in range(11):
        a = -math.pi / 2 + (rng.random() - 0.5) * 2.4
        L = size * (0.45 + 0.45 * rng.random())
        ex, ey = cx + L * math.cos(a), base_y + L * math.sin(a) * 0.9
        mx, my = (cx + ex) / 2 + (rng.random() - 0.5) * size * 0.3, (base_y + ey) / 2
        d = sd_bezier(cv.X, cv.Y, (cx, base_y), (mx, my), (ex, ey), size * 0.045 + 0.5, 0.35, steps=6)
        cv.over(cover(d), mix(twig, hexc('#a07a4a'), rng.random() * 0.6))
        if rng.random() < 0.7:
            dl = sd_ellipse(cv.X, cv.Y, ex, ey, size * 0.09 + 0.6, size * 0.06 + 0.5, ang=a)
            cv.part(dl, mix(hexc('#8b9a4a'), hexc('#b3a55a'), rng.random()), outline=OUTLINE, ow=0.6,
                    bevel=1.2, shade=0.6)
    return cv, cx, base_y


def grass_tuft(rng, size, col, col_dark):
    w = int(size * 1.6) + 6
    h = int(size * 1.4) + 6
    cv = Canvas(w, h)
    cx, base_y = w * 0.5, h - 3
    cv.over(gaussian(cover(sd_ellipse(cv.X, cv.Y, cx + 2, base_y - 1, size * 0.5, size * 0.15)), 1.5),
            (0, 0, 0), 0.3)
    for i in range(7):
        a = -math.pi / 2 + (rng.random() - 0.5) * 1.4
        L = size * (0.6 + 0.5 * rng.random())
        x0 = cx + (rng.random() - 0.5) * size * 0.5
        ex, ey = x0 + L * math.cos(a), base_y + L * math.sin(a)
        mx, my = (x0 + ex) / 2 + (rng.random() - 0.5) * size * 0.2, (base_y + ey) / 2
        d = sd_bezier(cv.X, cv.Y, (x0, base_y), (mx, my), (ex, ey), size * 0.07 + 0.5, 0.3, steps=6)
        c = mix(col_dark, col, 0.3 + 0.7 * rng.random())
        cv.over(cover(d), c)
    return cv, cx, base_y


def bones(rng, size):
    """A bleached skull and a couple of bones lying in the sand."""
    w = int(size * 2.0) + 8
    h = int(size * 1.2) + 8
    cv = Canvas(w, h)
    bone = hexc('#eee3c6')
    cx, cy = w * 0.4, h * 0.5
    for _ in range(2):
        a = rng.random() * math.pi
        L = size * 0.5
        x0, y0 = cx + size * 0.5 + math.cos(a) * L, cy + math.sin(a) * L * 0.4
        x1, y1 = cx + size * 0.5 - math.cos(a) * L, cy - math.sin(a) * L * 0.4
        d = union(sd_capsule(cv.X, cv.Y, x0, y0, x1, y1, size * 0.06),
                  sd_circle(cv.X, cv.Y, x0, y0, size * 0.1), sd_circle(cv.X, cv.Y, x1, y1, size * 0.1))
        _shadow(cv, d, 2, 2, 1.5, 0.35)
        cv.part(d, bone, outline=OUTLINE, ow=1.0, bevel=2.5, shade=0.7)
    # skull
    ds = union(sd_circle(cv.X, cv.Y, cx, cy - size * 0.05, size * 0.28),
               sd_box(cv.X, cv.Y, cx, cy + size * 0.18, size * 0.15, size * 0.1, r=2))
    _shadow(cv, ds, 2, 2, 1.5, 0.35)
    cv.part(ds, bone, outline=OUTLINE, ow=1.1, bevel=4, shade=0.8)
    for ex in (-1, 1):
        cv.over(cover(sd_ellipse(cv.X, cv.Y, cx + ex * size * 0.11, cy, size * 0.07, size * 0.08)), OUTLINE)
    return cv, cx, cy + size * 0.2


def mushroom(rng, size, cap=hexc('#c0392b')):
    w = int(size * 1.4) + 6
    h = int(size * 1.5) + 6
    cv = Canvas(w, h)
    cx, base_y = w * 0.5, h - 4
    cv.over(gaussian(cover(sd_ellipse(cv.X, cv.Y, cx + 3, base_y - 1, size * 0.45, size * 0.15)), 1.5),
            (0, 0, 0), 0.35)
    ds = sd_capsule(cv.X, cv.Y, cx, base_y - 2, cx, base_y - size * 0.6, size * 0.12)
    cv.part(ds, hexc('#efe6d0'), outline=OUTLINE, ow=1, bevel=2)
    dc = sd_ellipse(cv.X, cv.Y, cx, base_y - size * 0.75, size * 0.5, size * 0.32)
    dc = np.maximum(dc, cv.Y - (base_y - size * 0.62))
    cv.part(dc, cap, outline=OUTLINE, ow=1.1, bevel=size * 0.2, shade=0.9, gloss=0.3)
    for _ in range(4):
        a = math.pi + rng.random() * math.pi
        sx, sy = cx + size * 0.3 * math.cos(a), base_y - size * 0.78 + size * 0.2 * math.sin(a)
        cv.over(cover(sd_circle(cv.X, cv.Y, sx, sy, size * 0.06)) * (dc < -1), (1, 0.97, 0.9))
    return cv, cx, base_y


def crystal(rng, size, col, glow):
    """A cluster of glowing shards (obsidian or ember crystals)."""
    w = int(size * 1.8) + 12
    h = int(size * 1.8) + 12
    cv = Canvas(w, h)
    cx, base_y = w * 0.5, h - size * 0.3 - 6
    halo = gaussian(cover(sd_circle(cv.X, cv.Y, cx, base_y - size * 0.4, size * 0.5)), size * 0.3)
    cv.over(halo, glow, 0.35)
    shards = []
    for i in range(4):
        a = -math.pi / 2 + (i - 1.5) * 0.45 + (rng.random() - 0.5) * 0.3
        L = size * (0.7 + 0.5 * rng.random()) * (1.0 if i in (1, 2) else 0.7)
        wdt = size * 0.12
        bx = cx + (i - 1.5) * size * 0.15
        tip = (bx + L * math.cos(a), base_y + L * math.sin(a))
        nx, ny = -math.sin(a), math.cos(a)
        pts = [(bx + nx * wdt, base_y + ny * wdt), (bx - nx * wdt, base_y - ny * wdt),
               (tip[0] - nx * wdt * 0.9 + math.cos(a) * -wdt, tip[1] - ny * wdt * 0.9 + math.sin(a) * -wdt),
               tip,
               (tip[0] + nx * wdt * 0.9 + math.cos(a) * -wdt, tip[1] + ny * wdt * 0.9 + math.sin(a) * -wdt)]
        shards.append((pts, a, bx, tip))
    for pts, a, bx, tip in shards:
        d = sd_polygon(cv.X, cv.Y, pts)
        cv.over(cover(d - 1.3), OUTLINE * 0.6)
        side = np.clip(((cv.X - bx) * -math.sin(a) + (cv.Y - base_y) * math.cos(a)) / (size * 0.12), -1, 1)
        colm = mix(col, glow, 0.35 + 0.35 * side[..., None])
        cv.over(cover(d), np.clip(colm, 0, 1))
        dl = sd_capsule(cv.X, cv.Y, bx, base_y, tip[0], tip[1], 0.7)
        cv.over(cover(dl) * 0.6, (1, 0.95, 0.8))
    return cv, cx, base_y
