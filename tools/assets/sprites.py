"""Character sprites: enemies, turrets, heroes, portraits and hero sheets.

All level sprites are painted as they look on screen (see orient.py): a
50 x 50 world box shows as about 120 x 87 pixels, so a screen image of
176 x 128 pixels has square pixels.  Enemies face left (towards the nexus),
turrets and the companion pictures face right (towards the enemies), and
heroes on their sheets face right before the player first walks left.
"""

import math

import numpy as np

from figures import Pose, Style, draw_figure, INK
from orient import LEVEL_ASPECT
from raster import (Canvas, hexc, mix, cover, gaussian, sd_circle, sd_ellipse, sd_box, sd_capsule,
                    sd_polygon, sd_bezier, sd_arc, union, intersect)

SPRITE_H = 128
SPRITE_W = int(round(SPRITE_H * LEVEL_ASPECT))      # 176


# --------------------------------------------------------------------------
# Styles
# --------------------------------------------------------------------------

def style(name):
    if name == 'goblin':
        return Style(skin=hexc('#7fb24a'), torso=hexc('#8a5a32'), trim=hexc('#b08a52'),
                     sleeve=hexc('#7fb24a'), pants=hexc('#5c4431'), boots=hexc('#3b2a1c'),
                     head='goblin', hat=hexc('#7a3b2a'), weapon='dagger', eye=hexc('#d63a1a'),
                     head_r=23, torso_w=15, torso_h=24, leg_len=24, arm_len=24, limb_r=4.6,
                     accent=hexc('#ffd24a'))
    if name == 'orc':
        return Style(skin=hexc('#6f8f4a'), torso=hexc('#5c5f66'), trim=hexc('#9c7a3c'),
                     sleeve=hexc('#6f8f4a'), pants=hexc('#4a3a2a'), boots=hexc('#2e241c'),
                     head='orc', hat=hexc('#575b61'), hair=hexc('#1e1a16'), weapon='axe',
                     armor=True, eye=hexc('#ffcc33'),
                     head_r=22, torso_w=24, torso_h=30, leg_len=27, arm_len=29, limb_r=6.8)
    if name == 'skeleton':
        return Style(torso=hexc('#5a3a4a'), weapon='bone_sword', offhand='shield', bones=True,
                     head='skull', head_r=22, torso_w=14, torso_h=28, leg_len=30, arm_len=27,
                     limb_r=5.0)
    if name == 'knight':
        return Style(skin=hexc('#f0c08a'), torso=hexc('#aeb6bf'), trim=hexc('#e0b84a'),
                     sleeve=hexc('#8f98a3'), pants=hexc('#7d858f'), boots=hexc('#5b626b'),
                     glove=hexc('#8f98a3'), cape=hexc('#a3262a'), head='helmet',
                     hat=hexc('#b9c1ca'), hat2=hexc('#d8343a'), weapon='sword', offhand='shield',
                     armor=True, belt=hexc('#5a3a22'))
    if name == 'mage':
        return Style(skin=hexc('#f1c794'), torso=hexc('#3d4fa3'), trim=hexc('#f0c24a'),
                     sleeve=hexc('#3d4fa3'), boots=hexc('#4a2f1e'), head='wizard',
                     hat=hexc('#34448f'), hat2=hexc('#ffe27a'), hair=hexc('#d9d4cc'),
                     beard=hexc('#e8e4dc'), weapon='staff', robe=True, accent=hexc('#ff8a2a'),
                     belt=hexc('#7a3b2a'))
    if name == 'nobleman':
        return Style(skin=hexc('#f3c9a0'), torso=hexc('#7a1f3d'), trim=hexc('#e6c15a'),
                     sleeve=hexc('#7a1f3d'), pants=hexc('#2f2a45'), boots=hexc('#2a1d16'),
                     glove=hexc('#f2eee4'), cape=hexc('#2f2a45'), hair=hexc('#3a2416'),
                     head='plumed_hat', hat=hexc('#2a2233'), hat2=hexc('#f4f1ea'),
                     weapon='rapier', belt=hexc('#1e1a16'))
    if name == 'thief':
        return Style(skin=hexc('#e9b98a'), torso=hexc('#3b3447'), trim=hexc('#6fbf6a'),
                     sleeve=hexc('#332d3e'), pants=hexc('#2b2733'), boots=hexc('#1f1a17'),
                     glove=hexc('#3a2b22'), cape=hexc('#4a2f5e'), head='hood', hat=hexc('#4a2f5e'),
                     mask=hexc('#2b2733'), weapon='dagger', accent=hexc('#9cff6a'),
                     eye=hexc('#2f7d3a'))
    if name == 'bard':
        return Style(skin=hexc('#f4cfa5'), torso=hexc('#d9452f'), trim=hexc('#ffd24a'),
                     sleeve=hexc('#f2b534'), pants=hexc('#3b5fa0'), boots=hexc('#6b3f1f'),
                     hair=hexc('#c26a2a'), head='feather_cap', hat=hexc('#2e8a6a'),
                     hat2=hexc('#f5f0e0'), weapon='lute', accent=hexc('#ffd34a'),
                     cape=None)
    if name == 'hunter':
        return Style(skin=hexc('#e8b88a'), torso=hexc('#4f7a34'), trim=hexc('#a47a45'),
                     sleeve=hexc('#6b5233'), pants=hexc('#5a4a32'), boots=hexc('#3d2b1f'),
                     glove=hexc('#6b4a2a'), cape=hexc('#2f5a2a'), head='hood', hat=hexc('#3f6e30'),
                     weapon='bow', offhand='quiver', accent=hexc('#ffe08a'))
    raise ValueError(name)


# --------------------------------------------------------------------------
# Poses
# --------------------------------------------------------------------------

def stance(name):
    """A ready stance for a standing sprite."""
    if name in ('goblin',):
        return Pose(lean=0.18, hip_f=0.35, knee_f=0.35, hip_b=-0.3, knee_b=0.25,
                    sh_f=0.7, el_f=0.6, sh_b=-0.5, el_b=0.6, weapon=0.9)
    if name == 'orc':
        return Pose(lean=0.1, hip_f=0.25, knee_f=0.2, hip_b=-0.2, knee_b=0.1,
                    sh_f=0.6, el_f=0.2, sh_b=-0.3, el_b=0.5, weapon=0.9)
    if name == 'skeleton':
        return Pose(lean=0.05, hip_f=0.2, knee_f=0.1, hip_b=-0.18, knee_b=0.1,
                    sh_f=0.6, el_f=0.4, sh_b=0.1, el_b=0.9, weapon=0.2)
    if name == 'knight':
        return Pose(hip_f=0.22, knee_f=0.1, hip_b=-0.2, knee_b=0.05,
                    sh_f=0.5, el_f=0.5, sh_b=0.3, el_b=1.3, weapon=0.15)
    if name == 'mage':
        return Pose(hip_f=0.12, hip_b=-0.12, sh_f=0.45, el_f=0.5, sh_b=-0.15, el_b=0.4,
                    weapon=0.05)
    if name == 'nobleman':
        return Pose(hip_f=0.25, knee_f=0.1, hip_b=-0.22, knee_b=0.05,
                    sh_f=1.1, el_f=0.4, sh_b=-0.4, el_b=1.8, weapon=1.35)
    if name == 'thief':
        return Pose(lean=0.15, hip_f=0.35, knee_f=0.4, hip_b=-0.3, knee_b=0.3,
                    sh_f=0.9, el_f=0.5, sh_b=-0.5, el_b=0.8, weapon=1.4)
    if name == 'bard':
        return Pose(hip_f=0.15, knee_f=0.05, hip_b=-0.15, knee_b=0.05,
                    sh_f=0.55, el_f=0.5, sh_b=0.9, el_b=1.4)
    if name == 'hunter':
        return Pose(hip_f=0.3, knee_f=0.1, hip_b=-0.25, knee_b=0.1,
                    sh_f=1.5, el_f=0.05, sh_b=1.2, el_b=1.9, weapon=0.0)
    raise ValueError(name)


SS = 2.0          # figures are painted at twice this scale and shrunk to fit
_BIG_W, _BIG_H = 520, 420


def _paint_big(name, pose, seed=3, st=None):
    cv = Canvas(_BIG_W, _BIG_H)
    draw_figure(cv, st or style(name), pose, _BIG_W * 0.42, _BIG_H - 14, s=SS, seed=seed)
    return cv


def _bbox(canvases):
    a = np.zeros_like(canvases[0].alpha)
    for c in canvases:
        a = np.maximum(a, c.alpha)
    ys, xs = np.nonzero(a > 0.02)
    return xs.min(), ys.min(), xs.max() + 1, ys.max() + 1


def fit(canvases, w, h, fill=1.0, margin=2.0, anchor_x=0.5, bbox=None):
    """Shrink big canvases onto w x h cells, all with one scale and offset.

    The union of the figures' boxes is scaled to `fill` of the cell height
    (or less if it would not fit the width), stands on the bottom margin and
    is centred on `anchor_x` of the cell width.
    """
    x0, y0, x1, y1 = bbox or _bbox(canvases)
    bw, bh = x1 - x0, y1 - y0
    k = min((h - 2 * margin) * fill / bh, (w - 2 * margin) / bw)
    # source window that maps onto the whole cell
    src_w, src_h = w / k, h / k
    cx = (x0 + x1) / 2.0
    sx0 = cx - src_w * anchor_x
    sx0 = min(max(sx0, x1 - src_w + margin / k), x0 - margin / k)
    sy1 = y1 + margin / k
    sy0 = sy1 - src_h
    out = []
    for c in canvases:
        out.append(resample(c, (sx0, sy0, sx0 + src_w, sy1), w, h))
    return out


def resample(cv, box, w, h):
    """High-quality shrink of a canvas window onto a new w x h canvas."""
    from PIL import Image
    res = Canvas(w, h)
    bx0, by0, bx1, by1 = box
    pl = int(max(0, -math.floor(bx0))) + 1
    pt = int(max(0, -math.floor(by0))) + 1
    pr = int(max(0, math.ceil(bx1) - cv.w)) + 1
    pb = int(max(0, math.ceil(by1) - cv.h)) + 1
    box = (bx0 + pl, by0 + pt, bx1 + pl, by1 + pt)
    chans = [cv.col[..., i] for i in range(3)] + [cv.alpha]
    outs = []
    for ch in chans:
        ch = np.pad(ch, ((pt, pb), (pl, pr)))
        im = Image.fromarray(ch.astype(np.float32), mode='F')
        outs.append(np.asarray(im.resize((w, h), Image.LANCZOS, box=box), np.float32))
    res.col = np.clip(np.stack(outs[:3], axis=2), 0, None)
    res.alpha = np.clip(outs[3], 0, 1)
    res.col = np.minimum(res.col, res.alpha[..., None])
    return res


FILL = {'goblin': 0.86, 'orc': 1.0, 'skeleton': 0.95}


def figure_image(name, pose=None, seed=3, w=SPRITE_W, h=SPRITE_H):
    """Screen image of a character facing right, standing on the bottom."""
    big = _paint_big(name, pose or stance(name), seed)
    return fit([big], w, h, fill=FILL.get(name, 1.0))[0]


def mirrored(cv):
    out = Canvas(cv.w, cv.h)
    out.col = cv.col[:, ::-1].copy()
    out.alpha = cv.alpha[:, ::-1].copy()
    return out


# --------------------------------------------------------------------------
# The wyvern (not a biped: painted on its own)
# --------------------------------------------------------------------------

def _wing(cv, root, span, up, col, bone, s, flap=0.0):
    """A bat-like wing rising up and back from `root`, scalloped between fingers."""
    X, Y = cv.X, cv.Y
    rx, ry = root
    k = 1.0 - flap
    wrist = (rx - span * 0.12, ry - up * k)
    tips = [(rx - span * 0.78, ry - up * 0.95 * k), (rx - span * 1.0, ry - up * 0.4 * k),
            (rx - span * 0.85, ry + up * 0.05), (rx - span * 0.48, ry + up * 0.18)]
    pts = [root, wrist]
    for i, t in enumerate(tips):
        pts.append(t)
        if i < len(tips) - 1:
            n = tips[i + 1]
            m = ((t[0] + n[0]) / 2, (t[1] + n[1]) / 2)
            pts.append((m[0] + (wrist[0] - m[0]) * 0.22, m[1] + (wrist[1] - m[1]) * 0.22))
    pts.append((rx - span * 0.12, ry + up * 0.12))
    d = gaussian(sd_polygon(X, Y, pts), 0.7 * s)
    shade = np.clip(1.0 + 0.25 * (Y - (ry - up)) / up, 0.9, 1.3)
    cv.part(d, np.asarray(col)[None, None, :] * shade[..., None], outline=INK, ow=1.6 * s,
            bevel=6 * s, shade=0.6)
    arm = union(sd_capsule(X, Y, rx, ry, wrist[0], wrist[1], 3.0 * s, 2.2 * s))
    for t in tips:
        arm = union(arm, sd_capsule(X, Y, wrist[0], wrist[1], t[0], t[1], 1.5 * s, 0.6 * s))
    cv.part(arm, bone, outline=INK, ow=1.1 * s, bevel=2 * s, shade=0.7)
    cv.part(sd_polygon(X, Y, [(wrist[0] - 1 * s, wrist[1] - 6 * s), (wrist[0] + 3 * s, wrist[1] + 1 * s),
                              (wrist[0] - 3 * s, wrist[1] + 1 * s)]),
            hexc('#efe3c2'), outline=INK, ow=1.0 * s, bevel=1.5)


def wyvern_image(flap=0.0, w=SPRITE_W, h=SPRITE_H):
    """Screen image of the wyvern facing right, hovering with its wings up."""
    s = SS
    cv = Canvas(_BIG_W, _BIG_H)
    X, Y = cv.X, cv.Y
    body_c = hexc('#a3243a')
    dark = hexc('#6a1428')
    belly = hexc('#f0b25a')
    membrane = hexc('#5a2a6e')
    bone = hexc('#8a1e34')
    cx, cy = _BIG_W * 0.45, _BIG_H * 0.58
    # far wing
    _wing(cv, (cx + 4 * s, cy - 10 * s), 50 * s, 46 * s, mix(membrane, (0, 0, 0), 0.3),
          mix(bone, (0, 0, 0), 0.25), s, flap)
    # tail
    tail = sd_bezier(X, Y, (cx - 14 * s, cy + 4 * s), (cx - 40 * s, cy + 26 * s), (cx - 58 * s, cy + 4 * s),
                     7 * s, 2.0 * s, steps=16)
    cv.part(tail, body_c, outline=INK, ow=1.6 * s, bevel=4 * s, shade=0.8)
    spade = sd_polygon(X, Y, [(cx - 55 * s, cy + 4 * s), (cx - 62 * s, cy - 6 * s), (cx - 74 * s, cy + 2 * s),
                              (cx - 63 * s, cy + 5 * s), (cx - 64 * s, cy + 14 * s)])
    cv.part(spade, dark, outline=INK, ow=1.4 * s, bevel=2 * s)
    # back leg
    leg = union(sd_capsule(X, Y, cx - 6 * s, cy + 8 * s, cx - 10 * s, cy + 22 * s, 5 * s, 3 * s),
                sd_capsule(X, Y, cx - 10 * s, cy + 22 * s, cx - 4 * s, cy + 30 * s, 3 * s, 2.4 * s))
    cv.part(leg, mix(body_c, (0, 0, 0), 0.2), outline=INK, ow=1.4 * s, bevel=3 * s)
    # body
    body = sd_ellipse(X, Y, cx, cy, 22 * s, 15 * s, -0.35)
    cv.part(body, body_c, outline=INK, ow=1.7 * s, bevel=9 * s, shade=0.9, gloss=0.3)
    bl = intersect(sd_ellipse(X, Y, cx + 4 * s, cy + 6 * s, 18 * s, 9 * s, -0.35), body + 1.0)
    cv.part(bl, belly, bevel=4 * s, shade=0.6)
    for k in range(4):
        ln = sd_arc(X, Y, cx + (-6 + k * 5) * s, cy - 4 * s, 12 * s, 1.2, 1.9, 0.5 * s)
        cv.over(cover(ln) * (bl < -1), mix(belly, (0.4, 0.2, 0.0), 0.5), 0.8)
    # spikes along the back
    for k in range(4):
        bx = cx - 12 * s + k * 8 * s
        by = cy - 14 * s + k * 1.5 * s - (3 * s if k == 3 else 0)
        cv.part(sd_polygon(X, Y, [(bx - 3 * s, by + 3 * s), (bx - 2 * s, by - 6 * s), (bx + 3 * s, by + 3 * s)]),
                hexc('#efe3c2'), outline=INK, ow=1.0 * s, bevel=1.5)
    # neck and head
    neck = sd_bezier(X, Y, (cx + 12 * s, cy - 6 * s), (cx + 22 * s, cy - 16 * s), (cx + 26 * s, cy - 32 * s),
                     8 * s, 6 * s, steps=12)
    cv.part(neck, body_c, outline=INK, ow=1.6 * s, bevel=5 * s, shade=0.85)
    hx, hy = cx + 30 * s, cy - 38 * s
    for k, (ax, ay) in enumerate(((-10, -14), (-4, -16))):
        horn = sd_bezier(X, Y, (hx - 4 * s + k * 3 * s, hy - 5 * s), (hx + (ax - 2) * s, hy + (ay + 6) * s),
                         (hx + (ax - 8) * s, hy + ay * s), 2.6 * s, 0.6 * s, steps=8)
        cv.part(horn, hexc('#efe3c2'), outline=INK, ow=1.1 * s, bevel=1.5)
    jaw = sd_polygon(X, Y, [(hx - 4 * s, hy + 2 * s), (hx + 18 * s, hy + 7 * s), (hx + 16 * s, hy + 10 * s),
                            (hx - 2 * s, hy + 9 * s)])
    cv.part(jaw, dark, outline=INK, ow=1.4 * s, bevel=2 * s)
    cv.over(cover(sd_polygon(X, Y, [(hx + 2 * s, hy + 3 * s), (hx + 16 * s, hy + 6 * s),
                                    (hx + 2 * s, hy + 7 * s)])), hexc('#4a0d16'))
    head = union(sd_ellipse(X, Y, hx, hy - 1 * s, 10 * s, 8 * s, 0.1),
                 sd_polygon(X, Y, [(hx, hy - 7 * s), (hx + 21 * s, hy + 0 * s), (hx + 20 * s, hy + 4 * s),
                                   (hx + 2 * s, hy + 4 * s)]))
    head = gaussian(head, 0.8 * s)
    cv.part(head, body_c, outline=INK, ow=1.6 * s, bevel=5 * s, shade=0.9, gloss=0.3)
    for k in range(3):
        tx = hx + (6 + k * 4) * s
        cv.over(cover(sd_polygon(X, Y, [(tx, hy + 3.5 * s), (tx + 2 * s, hy + 3.5 * s), (tx + 1 * s, hy + 6 * s)])),
                (1, 0.98, 0.9))
    cv.over(gaussian(cover(sd_ellipse(X, Y, hx + 4 * s, hy - 3 * s, 3.4 * s, 2.2 * s, 0.2)), 1.5 * s),
            hexc('#ffb020'), 0.9)
    cv.over(cover(sd_ellipse(X, Y, hx + 4 * s, hy - 3 * s, 2.6 * s, 1.7 * s, 0.2)), hexc('#ffd24a'))
    cv.over(cover(sd_ellipse(X, Y, hx + 4.6 * s, hy - 3 * s, 0.7 * s, 1.5 * s)), INK)
    cv.over(cover(sd_circle(X, Y, hx + 18 * s, hy - 1 * s, 0.9 * s)), INK)
    # front leg with claws
    fl = union(sd_capsule(X, Y, cx + 8 * s, cy + 8 * s, cx + 10 * s, cy + 20 * s, 5 * s, 3 * s),
               sd_capsule(X, Y, cx + 10 * s, cy + 20 * s, cx + 16 * s, cy + 27 * s, 3 * s, 2.4 * s))
    cv.part(fl, body_c, outline=INK, ow=1.4 * s, bevel=3 * s)
    for k in range(3):
        ang = 0.4 + k * 0.5
        ex = cx + 16 * s + math.cos(ang) * 5 * s
        ey = cy + 27 * s + math.sin(ang) * 5 * s
        cv.part(sd_capsule(X, Y, cx + 16 * s, cy + 27 * s, ex, ey, 1.2 * s, 0.4 * s), hexc('#efe3c2'),
                outline=INK, ow=0.8 * s, bevel=1)
    # near wing
    _wing(cv, (cx + 2 * s, cy - 8 * s), 60 * s, 50 * s, membrane, bone, s, flap)
    return fit([cv], w, h, fill=1.0)[0]


# --------------------------------------------------------------------------
# Portraits
# --------------------------------------------------------------------------

PORTRAIT_W, PORTRAIT_H = 256, 186      # a 100 x 100 world box on screen
_PORTRAIT_BG = {'thief': ('#5b4a7a', '#1f1830'), 'bard': ('#e8a04a', '#7a2a1a'),
                'hunter': ('#8fbf5a', '#1f3f1a')}


def _portrait_pose(name):
    base = stance(name)
    if name == 'hunter':
        return Pose(hip_f=0.2, hip_b=-0.2, sh_f=0.35, el_f=0.2, sh_b=-0.1, el_b=0.3, weapon=0.15)
    if name == 'thief':
        return Pose(hip_f=0.2, hip_b=-0.2, sh_f=0.5, el_f=1.2, sh_b=-0.2, el_b=0.5, weapon=0.2)
    return base


def portrait_image(name):
    """A framed head-and-shoulders portrait of a hero, facing right."""
    w, h = PORTRAIT_W, PORTRAIT_H
    st = style(name)
    s = 4.0
    big = Canvas(900, 900)
    r = draw_figure(big, st, _portrait_pose(name), 430, 880, s=s, seed=11)
    hx, hy = r.head
    hr = st.head_r * s
    border = 12
    iw, ih = w - 2 * border, h - 2 * border
    bh = hr * 3.3
    bw = bh * iw / ih
    box = (hx - bw * 0.5 - hr * 0.15, hy - hr * 1.55, hx + bw * 0.5 - hr * 0.15, hy - hr * 1.55 + bh)
    bust = resample(big, box, iw, ih)

    cv = Canvas(w, h)
    X, Y = cv.X, cv.Y
    outer = sd_box(X, Y, w / 2, h / 2, w / 2 - 1.5, h / 2 - 1.5, r=16)
    inner = sd_box(X, Y, w / 2, h / 2, iw / 2, ih / 2, r=10)
    c0, c1 = (hexc(c) for c in _PORTRAIT_BG[name])
    rad = np.sqrt(((X - w * 0.55) / (w * 0.6)) ** 2 + ((Y - h * 0.4) / (h * 0.7)) ** 2)
    bg = mix(c0, c1, np.clip(rad, 0, 1)[..., None])
    rays = 0.5 + 0.5 * np.cos(np.arctan2(Y - h * 0.4, X - w * 0.55) * 12)
    bg = bg * (1.0 + 0.06 * rays * (1 - np.clip(rad, 0, 1)))[..., None]
    cv.over(cover(inner), np.clip(bg, 0, 1))
    # the bust, clipped to the inner window
    m = cover(inner)
    sub = Canvas(w, h)
    sub.col[border:border + ih, border:border + iw] = bust.col
    sub.alpha[border:border + ih, border:border + iw] = bust.alpha
    sub.col *= m[..., None]
    sub.alpha *= m
    cv.stamp(sub, 0, 0)
    # inner shadow and a gilded frame
    ring = intersect(outer, -inner)
    shadow = gaussian(cover(-inner + 6), 4) * cover(inner)
    cv.over(shadow, (0, 0, 0), 0.35)
    gold = hexc('#d9a63a')
    cv.part(ring, gold, outline=INK, ow=2.0, bevel=6, shade=1.0, gloss=0.8)
    cv.over(cover(np.abs(inner) - 1.2), INK, 0.9)
    for (px, py) in ((14, 14), (w - 14, 14), (14, h - 14), (w - 14, h - 14)):
        cv.part(sd_circle(X, Y, px, py, 6), hexc('#c0392b'), outline=INK, ow=1.5, bevel=3, gloss=1.0)
    return cv


# --------------------------------------------------------------------------
# Hero sprite sheets
# --------------------------------------------------------------------------

SHEET_COLS, SHEET_ROWS = 4, 2
FRAME_NAMES = ['ready', 'step1', 'step2', 'windup', 'strike1', 'strike2', 'follow', 'recover']
FRAME_TIMES = [0.08, 0.07, 0.07, 0.08, 0.07, 0.08, 0.09, 0.08]

_STRIDE_A = dict(bob=-1.0, hip_f=0.5, knee_f=0.15, hip_b=-0.4, knee_b=0.5)
_STRIDE_B = dict(bob=1.5, hip_f=-0.05, knee_f=0.55, hip_b=0.3, knee_b=0.05)


def hero_poses(name):
    """The eight frames a hero plays on every attack, as poses."""
    base = stance(name).__dict__.copy()

    def p(**kw):
        d = dict(base)
        d.update(kw)
        return Pose(**d)

    if name == 'thief':
        return [
            p(),
            p(**_STRIDE_A, sh_f=0.7, el_f=0.7, weapon=1.2),
            p(**_STRIDE_B, sh_f=0.6, el_f=0.9, weapon=1.0),
            p(lean=0.05, sh_f=-0.6, el_f=1.6, weapon=0.2, hip_f=0.4, knee_f=0.6, bob=-3),
            p(lean=0.35, sh_f=1.45, el_f=0.05, weapon=1.55, hip_f=0.7, knee_f=0.5, hip_b=-0.6,
              bob=-3, effect='stab', effect_t=0.0),
            p(lean=0.3, sh_f=1.2, el_f=-0.2, weapon=2.4, hip_f=0.65, knee_f=0.5, hip_b=-0.55,
              bob=-3, effect='slash', effect_t=0.2),
            p(lean=0.2, sh_f=0.6, el_f=-0.1, weapon=2.8, effect='slash', effect_t=0.75),
            p(sh_f=0.8, el_f=0.5, weapon=1.3),
        ]
    if name == 'bard':
        return [
            p(),
            p(**_STRIDE_A),
            p(**_STRIDE_B),
            p(lean=-0.08, sh_f=0.9, el_f=0.2, weapon=-0.6, head_tilt=-0.1),
            p(lean=0.05, sh_f=0.3, el_f=0.6, weapon=0.5, effect='notes', effect_t=0.0),
            p(lean=0.05, sh_f=0.7, el_f=0.4, weapon=0.4, effect='notes', effect_t=0.45),
            p(lean=0.0, sh_f=0.4, el_f=0.6, weapon=0.3, effect='notes', effect_t=0.9),
            p(),
        ]
    if name == 'hunter':
        return [
            p(),
            p(**_STRIDE_A),
            p(**_STRIDE_B),
            p(sh_f=1.3, el_f=0.1, sh_b=1.1, el_b=1.5, weapon=0.1),
            p(lean=-0.05, sh_f=1.55, el_f=0.0, sh_b=1.35, el_b=2.3, weapon=0.0),
            p(lean=0.0, sh_f=1.55, el_f=0.0, sh_b=0.9, el_b=0.6, weapon=0.0, effect='arrow',
              effect_t=0.05),
            p(lean=0.0, sh_f=1.5, el_f=0.05, sh_b=0.5, el_b=0.4, weapon=0.05, effect='arrow',
              effect_t=0.55),
            p(sh_f=1.4, el_f=0.05, sh_b=1.0, el_b=1.6, weapon=0.05),
        ]
    raise ValueError(name)


def hero_sheet(name):
    """Screen images of the eight frames and the assembled sheet (RGBA).

    Frames run left to right along a row and rows go upwards: frame 0 is the
    bottom-left cell, frame 4 the top-left one.  Every frame shares one scale
    and placement, taken from the resting frame, so the hero does not jump.
    """
    poses = hero_poses(name)
    bigs = [_paint_big(name, pz, seed=21) for pz in poses]
    box = _bbox(bigs[:1])
    frames = fit(bigs, SPRITE_W, SPRITE_H, fill=1.0, margin=3.0, bbox=box)
    for f in frames:
        # a clear border keeps filtering from bleeding between cells
        for arr in (f.alpha,):
            arr[:2, :] = 0
            arr[-2:, :] = 0
            arr[:, :2] = 0
            arr[:, -2:] = 0
        f.col[:2, :] = 0
        f.col[-2:, :] = 0
        f.col[:, :2] = 0
        f.col[:, -2:] = 0
    return frames
