"""Small numpy raster toolkit used by every picture of the generator.

Pictures are painted from signed distance fields (SDF): every shape is a
function of the pixel grid that is negative inside, positive outside and
measured in pixels.  Coverage is taken from the distance, which gives clean
anti-aliased edges, outlines (the same shape grown by a few pixels) and
"pillow" shading (a height field made from the inside distance, lit from the
upper left).  Colours are floats 0..1; canvases keep premultiplied colour.
"""

import math

import numpy as np
from PIL import Image

# Light comes from the upper left of the screen (image rows grow downwards).
_LIGHT = np.array([-0.55, -0.70, 0.60], np.float32)
_LIGHT /= np.linalg.norm(_LIGHT)


def hexc(code):
    """'#rrggbb' -> float RGB triple."""
    code = code.lstrip('#')
    return np.array([int(code[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)


def mix(a, b, t):
    return np.asarray(a, np.float32) * (1.0 - t) + np.asarray(b, np.float32) * t


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def cover(d, soft=1.0):
    """Anti-aliased coverage of an SDF (pixels)."""
    return np.clip(0.5 - d / soft, 0.0, 1.0).astype(np.float32)


# --------------------------------------------------------------------------
# Canvas
# --------------------------------------------------------------------------

class Canvas:
    """An RGBA float canvas with a pixel-centre coordinate grid."""

    def __init__(self, w, h, fill=None):
        self.w, self.h = int(w), int(h)
        self.col = np.zeros((self.h, self.w, 3), np.float32)   # premultiplied
        self.alpha = np.zeros((self.h, self.w), np.float32)
        ys, xs = np.mgrid[0:self.h, 0:self.w].astype(np.float32)
        self.X = xs + 0.5
        self.Y = ys + 0.5
        if fill is not None:
            self.col[:] = np.asarray(fill, np.float32)[:3]
            self.alpha[:] = 1.0

    # -- compositing ---------------------------------------------------------
    def over(self, cov, rgb, opacity=1.0):
        """Composite colour `rgb` (triple or HxWx3 array) with coverage `cov`."""
        sl = window(cov > 1e-4)
        if sl is None:
            return
        rgb = np.asarray(rgb, np.float32)
        if rgb.ndim == 3:
            rgb = rgb[sl]
        self._over_win(sl, cov[sl] * opacity, rgb)

    def _over_win(self, sl, a, rgb):
        a = np.clip(a, 0.0, 1.0).astype(np.float32)
        col = self.col[sl]
        self.col[sl] = a[..., None] * rgb + col * (1.0 - a[..., None])
        self.alpha[sl] = a + self.alpha[sl] * (1.0 - a)

    def multiply(self, factor, mask=None):
        """Darken/brighten colour in place (alpha unchanged)."""
        f = np.asarray(factor, np.float32)
        if f.ndim == 2:
            f = f[..., None]
        if mask is not None:
            f = 1.0 + (f - 1.0) * mask[..., None]
        self.col = self.col * f

    def stamp(self, other, x0, y0, opacity=1.0):
        """Composite another canvas with its top-left corner at (x0, y0)."""
        x0, y0 = int(round(x0)), int(round(y0))
        sx0, sy0 = max(0, -x0), max(0, -y0)
        dx0, dy0 = max(0, x0), max(0, y0)
        w = min(other.w - sx0, self.w - dx0)
        h = min(other.h - sy0, self.h - dy0)
        if w <= 0 or h <= 0:
            return
        sa = other.alpha[sy0:sy0 + h, sx0:sx0 + w] * opacity
        sc = other.col[sy0:sy0 + h, sx0:sx0 + w] * opacity
        dc = self.col[dy0:dy0 + h, dx0:dx0 + w]
        da = self.alpha[dy0:dy0 + h, dx0:dx0 + w]
        self.col[dy0:dy0 + h, dx0:dx0 + w] = sc + dc * (1.0 - sa[..., None])
        self.alpha[dy0:dy0 + h, dx0:dx0 + w] = sa + da * (1.0 - sa)

    def stamp_centered(self, other, cx, cy, opacity=1.0):
        self.stamp(other, cx - other.w / 2.0, cy - other.h / 2.0, opacity)

    # -- painting helpers ----------------------------------------------------
    def part(self, d, rgb, outline=None, ow=2.0, bevel=6.0, shade=0.55,
             tex=None, tex_amp=0.0, opacity=1.0, gloss=0.0, grad=0.0):
        """Paint one shaded shape with an optional dark outline.

        d: SDF of the shape; rgb: base colour or HxWx3 array; outline: outline
        colour (drawn as the shape grown by `ow` pixels); bevel: width of the
        lit rim in pixels; shade: strength of the lighting; tex: optional noise
        (HxW, about -1..1) modulating brightness by tex_amp; gloss: strength of a
        small highlight; grad: top-to-bottom darkening across the shape.
        """
        grow = ow if (outline is not None and ow > 0) else 0.0
        sl = window(d < grow + 0.5, pad=2)
        if sl is None:
            return
        ds = d[sl]
        rgb = np.asarray(rgb, np.float32)
        if rgb.ndim == 3:
            rgb = rgb[sl]
        if outline is not None and ow > 0:
            self._over_win(sl, cover(ds - ow) * opacity, np.asarray(outline, np.float32))
        col = lit(ds, rgb, bevel=bevel, strength=shade, gloss=gloss)
        if tex is not None and tex_amp:
            col = col * (1.0 + tex_amp * tex[sl])[..., None]
        if grad:
            ys = self.Y[sl]
            inside = ds < 2
            if inside.any():
                y0, y1 = ys[inside].min(), ys[inside].max() + 1e-3
                g = 1.0 - grad * np.clip((ys - y0) / (y1 - y0), 0, 1)
                col = col * g[..., None]
        self._over_win(sl, cover(ds) * opacity, np.clip(col, 0, 1))

    def shadow(self, d, blur=4.0, opacity=0.35, color=(0, 0, 0)):
        """Soft shadow from an SDF (usually an offset copy of a shape)."""
        m = cover(d)
        m = gaussian(m, blur)
        self.over(m, color, opacity)

    # -- export --------------------------------------------------------------
    def rgba(self, bleed=True):
        a = np.clip(self.alpha, 0.0, 1.0)
        rgb = np.where(a[..., None] > 1e-6, self.col / np.maximum(a[..., None], 1e-6), 0.0)
        if bleed and (a < 0.999).any():
            rgb = bleed_edges(rgb, a)
        out = np.concatenate([np.clip(rgb, 0, 1), a[..., None]], axis=2)
        return np.round(out * 255.0).astype(np.uint8)

    def rgb(self):
        a = np.clip(self.alpha, 0.0, 1.0)[..., None]
        rgb = self.col + (1.0 - a) * 0.0
        return np.round(np.clip(rgb, 0, 1) * 255.0).astype(np.uint8)


def window(mask, pad=0):
    """Slices of the bounding box of a boolean mask, or None if empty."""
    rows = np.flatnonzero(mask.any(axis=1))
    if rows.size == 0:
        return None
    cols = np.flatnonzero(mask.any(axis=0))
    r0 = max(0, rows[0] - pad)
    r1 = min(mask.shape[0], rows[-1] + 1 + pad)
    c0 = max(0, cols[0] - pad)
    c1 = min(mask.shape[1], cols[-1] + 1 + pad)
    return (slice(r0, r1), slice(c0, c1))


def lit(d, rgb, bevel=6.0, strength=0.55, gloss=0.0):
    """Pillow lighting of a shape's interior, from its SDF."""
    rgb = np.asarray(rgb, np.float32)
    hgt = smoothstep(0.0, bevel, -d)
    gy, gx = np.gradient(hgt)
    k = bevel * 0.85
    nx, ny = -gx * k, -gy * k
    nz = np.ones_like(nx)
    inv = 1.0 / np.sqrt(nx * nx + ny * ny + nz * nz)
    lam = (nx * _LIGHT[0] + ny * _LIGHT[1] + nz * _LIGHT[2]) * inv
    flat = _LIGHT[2]
    f = 1.0 + strength * (lam - flat) * 1.6
    # a little ambient occlusion right at the rim
    f = f * (1.0 - 0.18 * strength * (1.0 - smoothstep(0.0, 1.6, -d)))
    if gloss:
        highlight = np.clip(lam - 0.80, 0, 1) * 5.0
        f = f + gloss * highlight
    if rgb.ndim == 1:
        return f[..., None] * rgb[None, None, :]
    return f[..., None] * rgb


def bleed_edges(rgb, a):
    """Fill colour under transparent pixels with nearby opaque colour.

    Linear texture filtering blends neighbouring texels including fully
    transparent ones; giving those the colour of their neighbours avoids dark
    fringes around sprites.
    """
    out = rgb.copy()
    weight = (a > 0.02).astype(np.float32)
    acc = rgb * weight[..., None]
    filled = weight.copy()
    for radius in (1.5, 3, 6, 12, 24):
        w2 = gaussian(weight, radius)
        c2 = np.stack([gaussian(acc[..., i], radius) for i in range(3)], axis=2)
        need = (filled < 0.5) & (w2 > 1e-4)
        out[need] = c2[need] / w2[need][..., None]
        filled[need] = 1.0
    return out


def save_png(path, pixels):
    """Write a uint8 HxWx3 or HxWx4 array as PNG (deterministic options)."""
    mode = 'RGBA' if pixels.shape[2] == 4 else 'RGB'
    Image.fromarray(pixels, mode).save(path, optimize=True, compress_level=9)


# --------------------------------------------------------------------------
# Blur and noise
# --------------------------------------------------------------------------

def _box_blur_axis(a, r, axis):
    if r < 1:
        return a
    n = a.shape[axis]
    pad = [(0, 0)] * a.ndim
    pad[axis] = (r + 1, r)
    p = np.pad(a, pad, mode='edge')
    c = np.cumsum(p, axis=axis, dtype=np.float64)
    hi = np.take(c, np.arange(2 * r + 1, 2 * r + 1 + n), axis=axis)
    lo = np.take(c, np.arange(0, n), axis=axis)
    return ((hi - lo) / (2 * r + 1)).astype(np.float32)


def gaussian(a, sigma):
    """Approximate Gaussian blur (three box passes per axis)."""
    if sigma <= 0.3:
        return a.astype(np.float32)
    r = max(1, int(round(math.sqrt(12.0 * sigma * sigma / 3.0 + 1.0) / 2.0)))
    out = a.astype(np.float32)
    for _ in range(3):
        out = _box_blur_axis(out, r, 0)
        out = _box_blur_axis(out, r, 1)
    return out


def value_noise(h, w, cell, rng):
    """Smooth value noise in -1..1 with features about `cell` pixels wide."""
    cell = max(1.0, float(cell))
    gh = int(math.ceil(h / cell)) + 3
    gw = int(math.ceil(w / cell)) + 3
    g = rng.random((gh, gw)).astype(np.float32)
    big = Image.fromarray(g, mode='F').resize(
        (int(round(gw * cell)), int(round(gh * cell))), Image.BICUBIC)
    arr = np.asarray(big, np.float32)
    oy = int(cell)
    ox = int(cell)
    arr = arr[oy:oy + h, ox:ox + w]
    return (arr * 2.0 - 1.0).astype(np.float32)


def fbm(h, w, cell, rng, octaves=4, gain=0.5):
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    for _ in range(octaves):
        total += amp * value_noise(h, w, cell, rng)
        norm += amp
        amp *= gain
        cell = max(1.0, cell / 2.0)
    return total / norm


def cells(X, Y, size, rng, jitter=0.9):
    """Jittered-grid Voronoi: returns (F1, F2, cell id) in pixels.

    X, Y are coordinate arrays; `size` is the cell size in pixels (a scalar or
    a pair (sx, sy) for stretched cells).
    """
    if np.isscalar(size):
        sx = sy = float(size)
    else:
        sx, sy = float(size[0]), float(size[1])
    gx = X / sx
    gy = Y / sy
    ix = np.floor(gx).astype(np.int64)
    iy = np.floor(gy).astype(np.int64)
    table = rng.random((4096, 2)).astype(np.float32)
    f1 = np.full(X.shape, 1e9, np.float32)
    f2 = np.full(X.shape, 1e9, np.float32)
    cid = np.zeros(X.shape, np.int64)
    for oy in (-1, 0, 1):
        for ox in (-1, 0, 1):
            cx = ix + ox
            cy = iy + oy
            hsh = (cx * 73856093 ^ cy * 19349663) & 4095
            px = cx + 0.5 + (table[hsh, 0] - 0.5) * jitter
            py = cy + 0.5 + (table[hsh, 1] - 0.5) * jitter
            d = np.sqrt(((gx - px) * sx) ** 2 + ((gy - py) * sy) ** 2).astype(np.float32)
            closer = d < f1
            f2 = np.where(closer, f1, np.minimum(f2, d))
            cid = np.where(closer, hsh, cid)
            f1 = np.where(closer, d, f1)
    return f1, f2, cid


# --------------------------------------------------------------------------
# Signed distance fields (pixels; negative inside)
# --------------------------------------------------------------------------

def sd_circle(X, Y, cx, cy, r):
    return np.sqrt((X - cx) ** 2 + (Y - cy) ** 2) - r


def _rot(X, Y, cx, cy, ang):
    c, s = math.cos(ang), math.sin(ang)
    dx, dy = X - cx, Y - cy
    return dx * c + dy * s, -dx * s + dy * c


def sd_ellipse(X, Y, cx, cy, rx, ry, ang=0.0):
    x, y = _rot(X, Y, cx, cy, ang)
    k = np.sqrt((x / rx) ** 2 + (y / ry) ** 2)
    # gradient-corrected approximation
    k1 = np.sqrt((x / (rx * rx)) ** 2 + (y / (ry * ry)) ** 2) + 1e-6
    return (k * (k - 1.0) / k1).astype(np.float32)


def sd_box(X, Y, cx, cy, hw, hh, ang=0.0, r=0.0):
    x, y = _rot(X, Y, cx, cy, ang)
    qx = np.abs(x) - (hw - r)
    qy = np.abs(y) - (hh - r)
    out = np.sqrt(np.maximum(qx, 0) ** 2 + np.maximum(qy, 0) ** 2)
    return (out + np.minimum(np.maximum(qx, qy), 0.0) - r).astype(np.float32)


def sd_segment(X, Y, ax, ay, bx, by):
    """Distance to a segment and the parameter t along it."""
    px, py = X - ax, Y - ay
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy
    if ll < 1e-9:
        return np.sqrt(px * px + py * py), np.zeros_like(X)
    t = np.clip((px * vx + py * vy) / ll, 0.0, 1.0)
    dx, dy = px - vx * t, py - vy * t
    return np.sqrt(dx * dx + dy * dy), t


def sd_capsule(X, Y, ax, ay, bx, by, ra, rb=None):
    """Capsule with radius ra at a and rb at b (tapered limb)."""
    if rb is None:
        rb = ra
    d, t = sd_segment(X, Y, ax, ay, bx, by)
    return (d - (ra + (rb - ra) * t)).astype(np.float32)


def sd_polyline(X, Y, pts, r):
    d = None
    for (ax, ay), (bx, by) in zip(pts[:-1], pts[1:]):
        di, _ = sd_segment(X, Y, ax, ay, bx, by)
        d = di if d is None else np.minimum(d, di)
    return (d - r).astype(np.float32)


def sd_polygon(X, Y, pts):
    """Exact SDF of a simple polygon given as a list of (x, y)."""
    pts = [(float(x), float(y)) for x, y in pts]
    n = len(pts)
    d = None
    inside = np.zeros(X.shape, bool)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        di, _ = sd_segment(X, Y, ax, ay, bx, by)
        d = di if d is None else np.minimum(d, di)
        cond = ((ay > Y) != (by > Y))
        xint = (bx - ax) * (Y - ay) / ((by - ay) if by != ay else 1e-9) + ax
        inside ^= cond & (X < xint)
    return np.where(inside, -d, d).astype(np.float32)


def sd_star(X, Y, cx, cy, r_out, r_in, n, ang=-math.pi / 2):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = ang + i * math.pi / n
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return sd_polygon(X, Y, pts)


def sd_arc(X, Y, cx, cy, r, a0, a1, thick):
    """A thick circular arc from angle a0 to a1 (radians, image coordinates)."""
    dx, dy = X - cx, Y - cy
    ang = np.arctan2(dy, dx)
    mid = (a0 + a1) / 2.0
    half = abs(a1 - a0) / 2.0
    dang = np.abs((ang - mid + math.pi) % (2 * math.pi) - math.pi)
    ring = np.abs(np.sqrt(dx * dx + dy * dy) - r) - thick
    ex0 = (cx + r * math.cos(a0), cy + r * math.sin(a0))
    ex1 = (cx + r * math.cos(a1), cy + r * math.sin(a1))
    cap = np.minimum(np.sqrt((X - ex0[0]) ** 2 + (Y - ex0[1]) ** 2),
                     np.sqrt((X - ex1[0]) ** 2 + (Y - ex1[1]) ** 2)) - thick
    return np.where(dang <= half, ring, cap).astype(np.float32)


def sd_bezier(X, Y, p0, p1, p2, r0, r1=None, steps=16):
    """Thick quadratic Bezier curve built from short capsules."""
    if r1 is None:
        r1 = r0
    pts = []
    for i in range(steps + 1):
        t = i / steps
        x = (1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0]
        y = (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1]
        pts.append((x, y, r0 + (r1 - r0) * t))
    d = None
    for a, b in zip(pts[:-1], pts[1:]):
        di = sd_capsule(X, Y, a[0], a[1], b[0], b[1], a[2], b[2])
        d = di if d is None else np.minimum(d, di)
    return d


def union(*ds):
    out = ds[0]
    for d in ds[1:]:
        out = np.minimum(out, d)
    return out


def smooth_union(a, b, k=4.0):
    h = np.clip(0.5 + 0.5 * (b - a) / k, 0.0, 1.0)
    return b * (1 - h) + a * h - k * h * (1 - h)


def subtract(a, b):
    return np.maximum(a, -b)


def intersect(a, b):
    return np.maximum(a, b)
