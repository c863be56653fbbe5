"""Chibi fantasy figures built from shaded, outlined shapes on a simple rig.

A figure always faces right and is posed with a handful of joint angles;
the sprite modules mirror the result where the game shows it the other way.
Coordinates are pixels of the target canvas, y down.  Limb angles are
measured from straight down, positive towards the figure's front (+x).
"""

import math
from dataclasses import dataclass, field

import numpy as np

from raster import (hexc, mix, cover, gaussian, sd_circle, sd_ellipse, sd_box, sd_capsule,
                    sd_polygon, sd_bezier, sd_arc, sd_star, union, smooth_union, intersect)

INK = hexc('#22170f')


@dataclass
class Pose:
    bob: float = 0.0            # hips raised (pixels at scale 1)
    lean: float = 0.0           # torso lean, radians, + = forward
    hip_f: float = 0.12         # front leg
    knee_f: float = 0.05
    hip_b: float = -0.12        # back leg
    knee_b: float = 0.05
    sh_f: float = 0.25          # front arm (upper arm)
    el_f: float = 0.35          # front elbow bend
    sh_b: float = -0.2
    el_b: float = 0.3
    weapon: float = None        # weapon direction (radians from "up", + = forward)
    head_tilt: float = 0.0
    effect: str = None          # 'slash', 'arrow', 'notes', 'stab', 'spark'
    effect_t: float = 0.0


@dataclass
class Style:
    skin: np.ndarray = field(default_factory=lambda: hexc('#f1c27d'))
    torso: np.ndarray = field(default_factory=lambda: hexc('#6d8f3a'))
    trim: np.ndarray = field(default_factory=lambda: hexc('#c9a227'))
    sleeve: np.ndarray = None
    pants: np.ndarray = field(default_factory=lambda: hexc('#5a4632'))
    boots: np.ndarray = field(default_factory=lambda: hexc('#3d2b1f'))
    glove: np.ndarray = None
    cape: np.ndarray = None
    hair: np.ndarray = field(default_factory=lambda: hexc('#6b3e1f'))
    head: str = 'plain'        # see _head()
    hat: np.ndarray = None
    hat2: np.ndarray = None
    weapon: str = None         # see _weapon()
    offhand: str = None        # 'shield' or 'quiver'
    robe: bool = False
    bones: bool = False
    armor: bool = False
    belt: np.ndarray = field(default_factory=lambda: hexc('#4a321f'))
    eye: np.ndarray = field(default_factory=lambda: hexc('#2b1a10'))
    head_r: float = 24.0
    torso_w: float = 17.0
    torso_h: float = 30.0
    leg_len: float = 30.0
    arm_len: float = 27.0
    limb_r: float = 5.5
    accent: np.ndarray = field(default_factory=lambda: hexc('#ff8a2a'))
    beard: np.ndarray = None
    mask: np.ndarray = None


class Rig:
    """Joint positions of a posed figure."""

    def __init__(self, st, pose, cx, ground, s):
        self.s = s
        leg = st.leg_len * s
        self.hip = (cx, ground - leg - pose.bob * s)
        up = (math.sin(pose.lean), -math.cos(pose.lean))
        self.up = up
        th = st.torso_h * s
        self.neck = (self.hip[0] + up[0] * th, self.hip[1] + up[1] * th)
        self.head = (self.neck[0] + up[0] * st.head_r * 0.85 * s + 2 * s,
                     self.neck[1] + up[1] * st.head_r * 0.85 * s)

        def leg_joints(hip_a, knee):
            half = leg * 0.5
            k = (self.hip[0] + math.sin(hip_a) * half, self.hip[1] + math.cos(hip_a) * half)
            a2 = hip_a - knee
            f = (k[0] + math.sin(a2) * half, k[1] + math.cos(a2) * half)
            return k, f

        self.knee_f, self.foot_f = leg_joints(pose.hip_f, pose.knee_f)
        self.knee_b, self.foot_b = leg_joints(pose.hip_b, pose.knee_b)
        # keep the lower foot on the ground
        low = max(self.foot_f[1], self.foot_b[1])
        dy = ground - low
        if dy < 0:
            self._shift(0, dy)
        arm = st.arm_len * s
        sh = (self.neck[0] - up[0] * 5 * s, self.neck[1] - up[1] * 5 * s)
        self.sh_f = (sh[0] + 2 * s, sh[1])
        self.sh_b = (sh[0] - 3 * s, sh[1])

        def arm_joints(shp, a, e):
            half = arm * 0.5
            el = (shp[0] + math.sin(a) * half, shp[1] + math.cos(a) * half)
            a2 = a + e
            hd = (el[0] + math.sin(a2) * half, el[1] + math.cos(a2) * half)
            return el, hd, a2

        self.el_f, self.hand_f, self.fore_f = arm_joints(self.sh_f, pose.sh_f, pose.el_f)
        self.el_b, self.hand_b, self.fore_b = arm_joints(self.sh_b, pose.sh_b, pose.el_b)

    def _shift(self, dx, dy):
        for name in ('hip', 'neck', 'head', 'knee_f', 'foot_f', 'knee_b', 'foot_b'):
            p = getattr(self, name)
            setattr(self, name, (p[0] + dx, p[1] + dy))


def _darker(c, f=0.72):
    return np.clip(np.asarray(c) * f, 0, 1)


def _lighter(c, f=0.3):
    return np.clip(mix(c, (1, 1, 1), f), 0, 1)


def draw_figure(cv, st, pose, cx, ground, s=1.0, seed=1):
    """Paint a posed figure facing right with its feet on `ground`."""
    rng = np.random.default_rng(seed)
    r = Rig(st, pose, cx, ground, s)
    X, Y = cv.X, cv.Y
    ow = 1.6 * s
    lr = st.limb_r * s

    # ground shadow
    sh = sd_ellipse(X, Y, cx + 4 * s, ground - 1 * s, 26 * s, 6 * s)
    cv.over(gaussian(cover(sh), 2.5 * s), (0.05, 0.02, 0.0), 0.35)

    # ---- behind the body ------------------------------------------------------
    if st.cape is not None:
        top = (r.neck[0] - 3 * s, r.neck[1] + 2 * s)
        sway = -8 * s - pose.bob * 0.6 * s
        pts = [(top[0] + 6 * s, top[1]), (top[0] - 8 * s, top[1] + 2 * s),
               (r.hip[0] - 20 * s + sway, ground - 12 * s),
               (r.hip[0] - 4 * s + sway * 0.5, ground - 6 * s),
               (r.hip[0] + 4 * s, r.hip[1] + 4 * s)]
        d = sd_polygon(X, Y, pts)
        d = gaussian(d, 1.0 * s)
        cv.part(d, st.cape, outline=INK, ow=ow, bevel=6 * s, shade=0.8)
    if st.offhand == 'quiver':
        qa = (r.neck[0] - 9 * s, r.neck[1] + 20 * s)
        qb = (r.neck[0] + 2 * s, r.neck[1] - 6 * s)
        for i in range(3):
            fx = qb[0] - 2 * s + i * 3 * s
            fy = qb[1] - 6 * s + i * 1.5 * s
            cv.part(sd_polygon(X, Y, [(fx, fy - 5 * s), (fx + 2.5 * s, fy + 2 * s), (fx - 2.5 * s, fy + 2 * s)]),
                    hexc('#e8e0c8') if i != 1 else hexc('#c0392b'), outline=INK, ow=1.0 * s, bevel=1.5)
        cv.part(sd_capsule(X, Y, qa[0], qa[1], qb[0], qb[1], 4.5 * s, 5 * s),
                hexc('#7a4a25'), outline=INK, ow=ow, bevel=3 * s)

    # back arm
    _arm(cv, st, r.sh_b, r.el_b, r.hand_b, lr, ow, back=True)
    # back leg
    _leg(cv, st, r.hip, r.knee_b, r.foot_b, lr, ow, s, back=True)

    # ---- body -----------------------------------------------------------------
    _torso(cv, st, r, s, ow, rng)
    _leg(cv, st, r.hip, r.knee_f, r.foot_f, lr, ow, s, back=False)
    if st.robe:
        _robe(cv, st, r, s, ow)
    _head(cv, st, r, pose, s, ow, rng)

    # ---- in front -------------------------------------------------------------
    if st.offhand == 'shield':
        _shield(cv, st, r, s, ow)
    if st.weapon == 'lute':
        _lute(cv, st, r, pose, s, ow)
    _arm(cv, st, r.sh_f, r.el_f, r.hand_f, lr, ow, back=False)
    if st.weapon is not None and st.weapon != 'lute':
        _weapon(cv, st, r, pose, s, ow)
    if pose.effect:
        _effect(cv, st, r, pose, s)
    return r


# --------------------------------------------------------------------------
# Body parts
# --------------------------------------------------------------------------

def _limb_colour(st, back):
    c = st.sleeve if st.sleeve is not None else st.torso
    return _darker(c, 0.78) if back else c


def _arm(cv, st, shp, el, hand, lr, ow, back):
    X, Y = cv.X, cv.Y
    if st.bones:
        bone = hexc('#e9e1c9') if not back else hexc('#bdb49a')
        d = union(sd_capsule(X, Y, shp[0], shp[1], el[0], el[1], lr * 0.45),
                  sd_capsule(X, Y, el[0], el[1], hand[0], hand[1], lr * 0.4),
                  sd_circle(X, Y, el[0], el[1], lr * 0.6))
        cv.part(d, bone, outline=INK, ow=ow, bevel=2.5, shade=0.7)
        cv.part(sd_circle(X, Y, hand[0], hand[1], lr * 0.7), bone, outline=INK, ow=ow, bevel=2)
        return
    col = _limb_colour(st, back)
    d_up = sd_capsule(X, Y, shp[0], shp[1], el[0], el[1], lr * 1.05, lr * 0.9)
    d_lo = sd_capsule(X, Y, el[0], el[1], hand[0], hand[1], lr * 0.9, lr * 0.8)
    cv.part(union(d_up, d_lo), col, outline=INK, ow=ow, bevel=lr, shade=0.8)
    if st.armor:
        cv.part(sd_circle(X, Y, shp[0], shp[1] + lr * 0.2, lr * 1.35),
                _darker(st.torso, 0.9) if back else st.torso, outline=INK, ow=ow, bevel=lr, gloss=0.6)
    gl = st.glove if st.glove is not None else st.skin
    if back:
        gl = _darker(gl, 0.85)
    cv.part(sd_circle(X, Y, hand[0], hand[1], lr * 0.95), gl, outline=INK, ow=ow, bevel=lr * 0.8)


def _leg(cv, st, hip, knee, foot, lr, ow, s, back):
    X, Y = cv.X, cv.Y
    if st.robe:
        # only the shoes peek out under a robe
        bc = _darker(st.boots, 0.8) if back else st.boots
        cv.part(sd_ellipse(X, Y, foot[0] + 3 * s, foot[1] - 2.5 * s, 6.5 * s, 3.6 * s), bc,
                outline=INK, ow=ow, bevel=2.5 * s)
        return
    if st.bones:
        bone = hexc('#e9e1c9') if not back else hexc('#bdb49a')
        d = union(sd_capsule(X, Y, hip[0], hip[1], knee[0], knee[1], lr * 0.5),
                  sd_capsule(X, Y, knee[0], knee[1], foot[0], foot[1], lr * 0.45),
                  sd_circle(X, Y, knee[0], knee[1], lr * 0.65))
        cv.part(d, bone, outline=INK, ow=ow, bevel=2.5, shade=0.7)
        cv.part(sd_ellipse(X, Y, foot[0] + 3 * s, foot[1] - 2 * s, 5.5 * s, 2.8 * s), bone,
                outline=INK, ow=ow, bevel=2)
        return
    pc = _darker(st.pants, 0.78) if back else st.pants
    d = union(sd_capsule(X, Y, hip[0], hip[1], knee[0], knee[1], lr * 1.15, lr),
              sd_capsule(X, Y, knee[0], knee[1], foot[0], foot[1], lr, lr * 0.9))
    cv.part(d, pc, outline=INK, ow=ow, bevel=lr, shade=0.8)
    bc = _darker(st.boots, 0.8) if back else st.boots
    boot = union(sd_capsule(X, Y, knee[0] * 0.4 + foot[0] * 0.6, knee[1] * 0.4 + foot[1] * 0.6,
                            foot[0], foot[1] - 2 * s, lr * 1.05),
                 sd_ellipse(X, Y, foot[0] + 3.5 * s, foot[1] - 2.8 * s, 7.5 * s, 3.8 * s))
    cv.part(boot, bc, outline=INK, ow=ow, bevel=2.5 * s, shade=0.8, gloss=0.25)


def _torso(cv, st, r, s, ow, rng):
    X, Y = cv.X, cv.Y
    hip, neck = r.hip, r.neck
    if st.bones:
        spine = sd_capsule(X, Y, hip[0], hip[1], neck[0], neck[1], 2.2 * s)
        cv.part(spine, hexc('#d9d0b5'), outline=INK, ow=ow, bevel=2)
        for i in range(4):
            t = 0.35 + i * 0.16
            px = hip[0] + (neck[0] - hip[0]) * t
            py = hip[1] + (neck[1] - hip[1]) * t
            w = (10 - i * 0.8) * s
            rib = sd_arc(X, Y, px - 1 * s, py + 5 * s, w, -math.pi * 0.95, -math.pi * 0.05, 1.5 * s)
            cv.part(rib, hexc('#ece4cc'), outline=INK, ow=ow * 0.8, bevel=1.5)
        pel = sd_ellipse(X, Y, hip[0], hip[1] - 1 * s, 8 * s, 4.5 * s)
        cv.part(pel, hexc('#e3dac0'), outline=INK, ow=ow, bevel=2.5)
        # tattered loincloth
        cloth = sd_polygon(X, Y, [(hip[0] - 8 * s, hip[1] - 2 * s), (hip[0] + 8 * s, hip[1] - 2 * s),
                                  (hip[0] + 6 * s, hip[1] + 10 * s), (hip[0] + 1 * s, hip[1] + 6 * s),
                                  (hip[0] - 3 * s, hip[1] + 11 * s), (hip[0] - 7 * s, hip[1] + 5 * s)])
        cv.part(cloth, st.torso, outline=INK, ow=ow, bevel=3, shade=0.7)
        return
    mid = ((hip[0] + neck[0]) / 2, (hip[1] + neck[1]) / 2)
    ang = math.atan2(neck[0] - hip[0], -(neck[1] - hip[1]))
    tw = st.torso_w * s
    th = st.torso_h * s
    body = sd_box(X, Y, mid[0], mid[1], tw * 0.5, th * 0.55, ang=ang, r=tw * 0.42)
    belly = sd_ellipse(X, Y, mid[0] + 2 * s, mid[1] + th * 0.12, tw * 0.62, th * 0.4, ang)
    d = smooth_union(body, belly, 4 * s)
    cv.part(d, st.torso, outline=INK, ow=ow, bevel=6 * s, shade=0.8, gloss=0.5 if st.armor else 0.0)
    if st.armor:
        # plate lines and a trim
        for k in (-0.05, 0.2):
            py = mid[1] + th * k
            line = sd_box(X, Y, mid[0], py, tw * 0.5, 0.7 * s, ang=ang)
            cv.over(cover(line) * (d < -1), _darker(st.torso, 0.6))
        cv.part(intersect(d + 0.5, sd_box(X, Y, neck[0], neck[1] + 2 * s, tw * 0.55, 3 * s, ang=ang)),
                st.trim, bevel=2, shade=0.6, gloss=0.6)
    else:
        # a front trim stripe
        stripe = sd_box(X, Y, mid[0] + tw * 0.22, mid[1], 2.2 * s, th * 0.5, ang=ang)
        cv.part(intersect(stripe, d + 1), st.trim, bevel=1.5, shade=0.5)
    # belt
    by = hip[1] - 3 * s
    belt = intersect(sd_box(X, Y, hip[0], by, tw * 0.8, 2.6 * s, ang=ang), d + 1.2)
    cv.part(belt, st.belt, outline=None, bevel=1.5, shade=0.6)
    buckle = sd_box(X, Y, hip[0] + tw * 0.35, by, 2.5 * s, 2.5 * s, ang=ang, r=0.8)
    cv.part(buckle, hexc('#e0b84a'), outline=INK, ow=0.9 * s, bevel=1.5, gloss=0.8)


def _robe(cv, st, r, s, ow):
    X, Y = cv.X, cv.Y
    hip = r.hip
    ground = max(r.foot_f[1], r.foot_b[1])
    tw = st.torso_w * s
    pts = [(hip[0] - tw * 0.55, hip[1] - 6 * s), (hip[0] + tw * 0.6, hip[1] - 6 * s),
           (hip[0] + tw * 1.0, ground - 4 * s), (hip[0] - tw * 1.0, ground - 4 * s)]
    d = sd_polygon(X, Y, pts)
    d = gaussian(d, 0.8 * s)
    cv.part(d, st.torso, outline=INK, ow=ow, bevel=5 * s, shade=0.8)
    hem = intersect(d + 0.5, sd_box(X, Y, hip[0], ground - 6 * s, tw * 1.1, 2.2 * s))
    cv.part(hem, st.trim, bevel=1.5, shade=0.5)
    fold = sd_capsule(X, Y, hip[0] + 3 * s, hip[1], hip[0] + 6 * s, ground - 8 * s, 0.8 * s)
    cv.over(cover(fold) * (d < -1), _darker(st.torso, 0.65))
    belt = intersect(sd_box(X, Y, hip[0], hip[1] - 4 * s, tw * 0.8, 2.4 * s), d + 0.8)
    cv.part(belt, st.belt, bevel=1.5, shade=0.6)


def _eye(cv, x, y, s, st, big=1.0, look=1.0):
    X, Y = cv.X, cv.Y
    d = sd_ellipse(X, Y, x, y, 2.6 * s * big, 3.4 * s * big)
    cv.over(cover(d + 0.6 * s), INK)
    cv.over(cover(d), (0.98, 0.97, 0.94))
    cv.over(cover(sd_circle(X, Y, x + 0.9 * s * look, y + 0.4 * s, 1.8 * s * big)), st.eye)
    cv.over(cover(sd_circle(X, Y, x + 0.3 * s, y - 0.9 * s, 0.7 * s * big)), (1, 1, 1))


def _head(cv, st, r, pose, s, ow, rng):
    X, Y = cv.X, cv.Y
    hx, hy = r.head
    hr = st.head_r * s
    kind = st.head
    if kind == 'skull':
        d = union(sd_circle(X, Y, hx, hy, hr * 0.82),
                  sd_box(X, Y, hx + hr * 0.25, hy + hr * 0.55, hr * 0.45, hr * 0.28, r=3 * s))
        cv.part(d, hexc('#efe8d2'), outline=INK, ow=ow, bevel=hr * 0.35, shade=0.85)
        for ex in (0.18, 0.58):
            sock = sd_ellipse(X, Y, hx + hr * ex, hy + hr * 0.05, hr * 0.2, hr * 0.24)
            cv.over(cover(sock), hexc('#1a0f0a'))
            cv.over(gaussian(cover(sd_circle(X, Y, hx + hr * ex, hy + hr * 0.08, hr * 0.07)), 1.2 * s),
                    hexc('#ff4a2a'), 1.0)
        cv.over(cover(sd_polygon(X, Y, [(hx + hr * 0.62, hy + hr * 0.3), (hx + hr * 0.7, hy + hr * 0.45),
                                        (hx + hr * 0.55, hy + hr * 0.45)])), hexc('#2a1a10'))
        for i in range(4):
            tx = hx + hr * (0.0 + i * 0.16)
            cv.over(cover(sd_box(X, Y, tx, hy + hr * 0.62, 0.45 * s, hr * 0.14)), INK, 0.8)
        # a dented iron helmet
        helm = intersect(sd_circle(X, Y, hx - hr * 0.05, hy - hr * 0.05, hr * 0.9),
                         sd_box(X, Y, hx, hy - hr * 0.6, hr, hr * 0.45))
        cv.part(helm, hexc('#6f6a63'), outline=INK, ow=ow, bevel=4 * s, gloss=0.5)
        return
    skin = st.skin
    # ears behind the head
    if kind == 'goblin':
        ear = sd_polygon(X, Y, [(hx - hr * 0.5, hy - hr * 0.1), (hx - hr * 1.55, hy - hr * 0.55),
                                (hx - hr * 0.55, hy + hr * 0.3)])
        cv.part(ear, _darker(skin, 0.9), outline=INK, ow=ow, bevel=3 * s)
        cv.over(cover(sd_polygon(X, Y, [(hx - hr * 0.6, hy - hr * 0.02), (hx - hr * 1.3, hy - hr * 0.42),
                                        (hx - hr * 0.62, hy + hr * 0.18)])) * 0.7, hexc('#c86a6a'))
    # face / skull shape
    if kind in ('orc',):
        d = union(sd_circle(X, Y, hx, hy, hr * 0.88),
                  sd_box(X, Y, hx + hr * 0.15, hy + hr * 0.45, hr * 0.72, hr * 0.42, r=hr * 0.3))
    elif kind == 'goblin':
        d = union(sd_circle(X, Y, hx, hy, hr * 0.86),
                  sd_ellipse(X, Y, hx + hr * 0.2, hy + hr * 0.4, hr * 0.7, hr * 0.45))
    else:
        d = union(sd_circle(X, Y, hx, hy, hr * 0.86),
                  sd_ellipse(X, Y, hx + hr * 0.18, hy + hr * 0.35, hr * 0.68, hr * 0.52))
    if kind == 'hood':
        hood = union(sd_circle(X, Y, hx - hr * 0.08, hy - hr * 0.08, hr * 1.02),
                     sd_polygon(X, Y, [(hx - hr * 0.9, hy - hr * 0.3), (hx - hr * 1.45, hy + hr * 0.25),
                                       (hx - hr * 0.5, hy + hr * 0.6)]))
        cv.part(hood, st.hat, outline=INK, ow=ow, bevel=6 * s, shade=0.85)
    cv.part(d, skin, outline=INK, ow=ow, bevel=hr * 0.35, shade=0.75)
    # cheek blush
    cv.over(gaussian(cover(sd_circle(X, Y, hx + hr * 0.45, hy + hr * 0.35, hr * 0.16)), 1.5 * s),
            hexc('#e0705a'), 0.35)
    # nose
    if kind == 'goblin':
        nose = sd_polygon(X, Y, [(hx + hr * 0.55, hy - hr * 0.02), (hx + hr * 1.25, hy + hr * 0.28),
                                 (hx + hr * 0.6, hy + hr * 0.35)])
        cv.part(nose, skin, outline=INK, ow=ow, bevel=2.5 * s)
    elif kind == 'orc':
        cv.part(sd_ellipse(X, Y, hx + hr * 0.8, hy + hr * 0.18, hr * 0.2, hr * 0.16), _darker(skin, 0.95),
                outline=INK, ow=ow * 0.8, bevel=2 * s)
    else:
        cv.part(sd_ellipse(X, Y, hx + hr * 0.83, hy + hr * 0.2, hr * 0.13, hr * 0.12), skin,
                outline=INK, ow=ow * 0.7, bevel=1.5 * s)
    # eyes (three-quarter view: the far eye is smaller)
    ey = hy + hr * 0.02
    if kind == 'orc':
        brow = sd_box(X, Y, hx + hr * 0.42, ey - hr * 0.28, hr * 0.42, hr * 0.09, ang=0.25)
        _eye(cv, hx + hr * 0.55, ey, s, st, big=0.8)
        _eye(cv, hx + hr * 0.2, ey, s, st, big=0.65)
        cv.over(cover(brow), INK)
    else:
        _eye(cv, hx + hr * 0.52, ey, s, st, big=1.0)
        _eye(cv, hx + hr * 0.17, ey, s, st, big=0.85)
        cv.over(cover(sd_box(X, Y, hx + hr * 0.5, ey - hr * 0.32, hr * 0.16, hr * 0.05, ang=-0.15)),
                _darker(st.hair, 0.8))
    # mouth
    if kind == 'orc':
        m = sd_box(X, Y, hx + hr * 0.48, hy + hr * 0.55, hr * 0.3, hr * 0.05)
        cv.over(cover(m), INK)
        for tx in (0.3, 0.68):
            tusk = sd_polygon(X, Y, [(hx + hr * tx - 2 * s, hy + hr * 0.55), (hx + hr * tx + 2 * s, hy + hr * 0.55),
                                     (hx + hr * tx + 0.5 * s, hy + hr * 0.28)])
            cv.part(tusk, hexc('#f4efd8'), outline=INK, ow=0.8 * s, bevel=1.5)
    elif kind == 'goblin':
        m = sd_arc(X, Y, hx + hr * 0.45, hy + hr * 0.3, hr * 0.3, 0.35, 2.2, 0.9 * s)
        cv.over(cover(m), INK)
        cv.part(sd_polygon(X, Y, [(hx + hr * 0.35, hy + hr * 0.56), (hx + hr * 0.45, hy + hr * 0.56),
                                  (hx + hr * 0.4, hy + hr * 0.7)]), (1, 1, 0.95), bevel=1)
    elif st.mask is None:
        m = sd_arc(X, Y, hx + hr * 0.55, hy + hr * 0.35, hr * 0.16, 0.4, 2.4, 0.75 * s)
        cv.over(cover(m), INK)
    if st.mask is not None:
        mk = intersect(d + 0.5, sd_box(X, Y, hx + hr * 0.3, hy + hr * 0.55, hr * 0.9, hr * 0.28))
        cv.part(mk, st.mask, bevel=3 * s, shade=0.7)
    if st.beard is not None:
        bd = sd_polygon(X, Y, [(hx - hr * 0.15, hy + hr * 0.25), (hx + hr * 0.85, hy + hr * 0.35),
                               (hx + hr * 0.55, hy + hr * 1.25), (hx + hr * 0.25, hy + hr * 1.45),
                               (hx + hr * 0.05, hy + hr * 0.9)])
        bd = gaussian(bd, 1.0 * s)
        cv.part(bd, st.beard, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        cv.over(cover(sd_arc(X, Y, hx + hr * 0.55, hy + hr * 0.5, hr * 0.12, 0.3, 2.8, 0.8 * s)), INK)
    _headgear(cv, st, r, s, ow, d, rng)


def _headgear(cv, st, r, s, ow, face, rng):
    X, Y = cv.X, cv.Y
    hx, hy = r.head
    hr = st.head_r * s
    kind = st.head
    if kind in ('plain', 'goblin', 'orc'):
        if kind == 'plain' or kind == 'orc':
            hair = intersect(sd_circle(X, Y, hx - hr * 0.12, hy - hr * 0.12, hr * 0.9),
                             -sd_circle(X, Y, hx + hr * 0.45, hy + hr * 0.35, hr * 0.75))
            cv.part(hair, st.hair, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        if kind == 'goblin':
            cap = intersect(sd_circle(X, Y, hx - hr * 0.05, hy - hr * 0.05, hr * 0.92),
                            sd_box(X, Y, hx, hy - hr * 0.65, hr * 1.1, hr * 0.42))
            cv.part(cap, st.hat, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        if kind == 'orc' and st.hat is not None:
            helm = intersect(sd_circle(X, Y, hx - hr * 0.05, hy - hr * 0.05, hr * 0.97),
                             sd_box(X, Y, hx, hy - hr * 0.62, hr * 1.1, hr * 0.42))
            cv.part(helm, st.hat, outline=INK, ow=ow, bevel=4 * s, shade=0.9, gloss=0.5)
            for sx in (-0.55, 0.1):
                horn = sd_bezier(X, Y, (hx + hr * sx, hy - hr * 0.75), (hx + hr * (sx - 0.45), hy - hr * 1.2),
                                 (hx + hr * (sx - 0.2), hy - hr * 1.55), 3.2 * s, 0.8 * s, steps=8)
                cv.part(horn, hexc('#efe3c2'), outline=INK, ow=ow, bevel=2, shade=0.7)
        return
    if kind == 'hood':
        # the front rim of the hood over the brow
        rim = intersect(sd_circle(X, Y, hx - hr * 0.05, hy - hr * 0.1, hr * 1.0),
                        -sd_circle(X, Y, hx + hr * 0.35, hy + hr * 0.3, hr * 0.8))
        rim = intersect(rim, sd_box(X, Y, hx, hy - hr * 0.2, hr * 1.2, hr * 0.9))
        cv.part(rim, st.hat, outline=INK, ow=ow, bevel=5 * s, shade=0.85)
        tip = sd_polygon(X, Y, [(hx - hr * 0.5, hy - hr * 0.7), (hx - hr * 1.35, hy - hr * 0.05),
                                (hx - hr * 0.8, hy + hr * 0.1)])
        cv.part(tip, _darker(st.hat, 0.9), outline=INK, ow=ow, bevel=3 * s)
        return
    if kind == 'feather_cap':
        cap = union(sd_ellipse(X, Y, hx - hr * 0.05, hy - hr * 0.62, hr * 0.95, hr * 0.45, -0.15),
                    sd_ellipse(X, Y, hx + hr * 0.5, hy - hr * 0.45, hr * 0.7, hr * 0.2, -0.25))
        fea = sd_bezier(X, Y, (hx - hr * 0.4, hy - hr * 0.75), (hx - hr * 1.3, hy - hr * 1.3),
                        (hx - hr * 1.7, hy - hr * 0.7), hr * 0.22, hr * 0.04, steps=10)
        cv.part(fea, st.hat2, outline=INK, ow=ow, bevel=3 * s, shade=0.7)
        cv.over(cover(sd_bezier(X, Y, (hx - hr * 0.4, hy - hr * 0.75), (hx - hr * 1.3, hy - hr * 1.3),
                                (hx - hr * 1.7, hy - hr * 0.7), 0.6 * s, 0.3 * s, steps=10)), _darker(st.hat2, 0.6))
        hair = intersect(sd_circle(X, Y, hx - hr * 0.15, hy - hr * 0.05, hr * 0.88),
                         -sd_circle(X, Y, hx + hr * 0.45, hy + hr * 0.35, hr * 0.78))
        cv.part(hair, st.hair, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        cv.part(cap, st.hat, outline=INK, ow=ow, bevel=5 * s, shade=0.8)
        return
    if kind == 'helmet':
        helm = union(intersect(sd_circle(X, Y, hx, hy - hr * 0.02, hr * 1.0),
                               sd_box(X, Y, hx, hy - hr * 0.3, hr * 1.1, hr * 0.8)),
                     sd_box(X, Y, hx - hr * 0.3, hy + hr * 0.35, hr * 0.55, hr * 0.45, r=3 * s))
        visor = sd_box(X, Y, hx + hr * 0.45, hy + hr * 0.0, hr * 0.55, hr * 0.12, r=1.5 * s)
        plume = sd_bezier(X, Y, (hx - hr * 0.1, hy - hr * 0.95), (hx - hr * 0.9, hy - hr * 1.6),
                          (hx - hr * 1.6, hy - hr * 0.9), hr * 0.28, hr * 0.1, steps=10)
        cv.part(plume, st.hat2, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        cv.part(helm, st.hat, outline=INK, ow=ow, bevel=6 * s, shade=0.95, gloss=0.9)
        crest = intersect(sd_arc(X, Y, hx, hy - hr * 0.02, hr * 0.98, -2.6, -0.9, 1.6 * s), helm + 0.5)
        cv.part(crest, st.trim, bevel=1.5, shade=0.6, gloss=0.6)
        rim = intersect(sd_arc(X, Y, hx, hy + hr * 0.1, hr * 0.95, -0.3, 0.5, 1.2 * s), helm + 0.5)
        cv.part(rim, st.trim, bevel=1.5, shade=0.6, gloss=0.6)
        cv.over(cover(visor), INK)
        for ex in (0.35, 0.7):
            cv.over(gaussian(cover(sd_circle(X, Y, hx + hr * ex, hy, hr * 0.07)), 1.0 * s),
                    hexc('#ffd27a'), 0.9)
        return
    if kind == 'wizard':
        hair = intersect(sd_circle(X, Y, hx - hr * 0.15, hy - hr * 0.05, hr * 0.9),
                         -sd_circle(X, Y, hx + hr * 0.45, hy + hr * 0.35, hr * 0.78))
        cv.part(hair, st.hair, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        brim = sd_ellipse(X, Y, hx + hr * 0.05, hy - hr * 0.55, hr * 1.3, hr * 0.22, -0.1)
        cone = sd_polygon(X, Y, [(hx - hr * 0.75, hy - hr * 0.55), (hx + hr * 0.8, hy - hr * 0.6),
                                 (hx + hr * 0.2, hy - hr * 1.3), (hx - hr * 0.55, hy - hr * 2.1),
                                 (hx - hr * 0.3, hy - hr * 1.3)])
        cone = gaussian(cone, 1.0 * s)
        cv.part(cone, st.hat, outline=INK, ow=ow, bevel=6 * s, shade=0.85)
        band = intersect(cone + 0.5, sd_box(X, Y, hx, hy - hr * 0.72, hr * 1.2, hr * 0.1))
        cv.part(band, st.trim, bevel=1.5, shade=0.6, gloss=0.5)
        cv.part(brim, st.hat, outline=INK, ow=ow, bevel=4 * s, shade=0.85)
        for (sx, sy, sr) in ((0.0, -1.05, 0.16), (-0.3, -1.5, 0.12), (0.25, -0.9, 0.09)):
            cv.over(cover(sd_star(X, Y, hx + hr * sx, hy + hr * sy, hr * sr, hr * sr * 0.45, 5)), st.hat2)
        return
    if kind == 'plumed_hat':
        hair = intersect(sd_circle(X, Y, hx - hr * 0.2, hy - hr * 0.05, hr * 0.9),
                         -sd_circle(X, Y, hx + hr * 0.45, hy + hr * 0.35, hr * 0.78))
        cv.part(hair, st.hair, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        curl = sd_capsule(X, Y, hx - hr * 0.55, hy + hr * 0.1, hx - hr * 0.6, hy + hr * 0.75, hr * 0.24)
        cv.part(curl, st.hair, outline=INK, ow=ow, bevel=4 * s, shade=0.8)
        brim = sd_ellipse(X, Y, hx + hr * 0.05, hy - hr * 0.55, hr * 1.45, hr * 0.28, -0.12)
        crown = sd_box(X, Y, hx - hr * 0.05, hy - hr * 0.9, hr * 0.7, hr * 0.42, ang=-0.1, r=hr * 0.3)
        plume = sd_bezier(X, Y, (hx + hr * 0.1, hy - hr * 1.0), (hx - hr * 1.0, hy - hr * 1.9),
                          (hx - hr * 1.8, hy - hr * 0.8), hr * 0.3, hr * 0.06, steps=12)
        cv.part(crown, st.hat, outline=INK, ow=ow, bevel=5 * s, shade=0.85)
        band = intersect(crown + 0.5, sd_box(X, Y, hx, hy - hr * 0.68, hr * 1.0, hr * 0.12, ang=-0.1))
        cv.part(band, st.trim, bevel=1.5, shade=0.6, gloss=0.6)
        cv.part(plume, st.hat2, outline=INK, ow=ow, bevel=4 * s, shade=0.7)
        cv.part(brim, st.hat, outline=INK, ow=ow, bevel=4 * s, shade=0.85)
        cv.part(sd_circle(X, Y, hx + hr * 0.1, hy - hr * 0.72, hr * 0.12), hexc('#e33b4a'),
                outline=INK, ow=0.8 * s, bevel=2, gloss=0.8)
        return


def _shield(cv, st, r, s, ow):
    X, Y = cv.X, cv.Y
    hx, hy = r.hand_f
    cx, cy = hx + 4 * s, hy - 2 * s
    if st.bones:
        d = sd_circle(X, Y, cx, cy, 13 * s)
        cv.part(d, hexc('#8a5a32'), outline=INK, ow=ow, bevel=4 * s, shade=0.9)
        for k in (-6, 0, 6):
            cv.over(cover(sd_box(X, Y, cx + k * s, cy, 0.5 * s, 12 * s)) * (d < -1), INK, 0.6)
        cv.part(sd_circle(X, Y, cx, cy, 4 * s), hexc('#8d8d8d'), outline=INK, ow=ow, bevel=2, gloss=0.6)
        return
    pts = [(cx - 11 * s, cy - 13 * s), (cx + 11 * s, cy - 13 * s), (cx + 11 * s, cy + 1 * s),
           (cx, cy + 15 * s), (cx - 11 * s, cy + 1 * s)]
    d = gaussian(sd_polygon(X, Y, pts), 0.8 * s)
    cv.part(d, st.trim, outline=INK, ow=ow, bevel=3 * s, shade=0.9, gloss=0.7)
    inner = d + 2.8 * s
    cv.part(inner, hexc('#a3262a'), bevel=4 * s, shade=0.8)
    flame = sd_polygon(X, Y, [(cx, cy - 8 * s), (cx + 5 * s, cy + 1 * s), (cx + 2 * s, cy + 6 * s),
                              (cx, cy + 3 * s), (cx - 2 * s, cy + 6 * s), (cx - 5 * s, cy + 1 * s)])
    cv.part(flame, hexc('#ffb43a'), outline=INK, ow=0.8 * s, bevel=2, gloss=0.5)


def _lute(cv, st, r, pose, s, ow):
    X, Y = cv.X, cv.Y
    # held across the body: bowl at the belly, neck up towards the front
    bx, by = r.hip[0] + 13 * s, r.hip[1] - 7 * s
    ang = -0.75 + (pose.weapon or 0.0) * 0.2
    nx, ny = math.cos(ang), math.sin(ang)
    bowl = sd_ellipse(X, Y, bx, by, 15 * s, 11 * s, ang)
    neck_end = (bx + nx * 31 * s, by + ny * 31 * s)
    neck = sd_capsule(X, Y, bx + nx * 8 * s, by + ny * 8 * s, neck_end[0], neck_end[1], 2.2 * s)
    head = sd_box(X, Y, neck_end[0] + nx * 3 * s, neck_end[1] + ny * 3 * s, 4 * s, 2.6 * s, ang=ang, r=1)
    cv.part(neck, hexc('#6b3f1f'), outline=INK, ow=ow, bevel=1.5, shade=0.7)
    cv.part(head, hexc('#5a341a'), outline=INK, ow=ow, bevel=1.5, shade=0.7)
    grain = np.sin((X * -ny + Y * nx) * 1.2 / s)          # stripes along the neck
    wood = hexc('#c98a45')[None, None, :] * (1.0 + 0.12 * grain)[..., None]
    cv.part(bowl, wood, outline=INK, ow=ow, bevel=5 * s, shade=0.9, gloss=0.5)
    cv.over(cover(sd_circle(X, Y, bx + nx * 2 * s, by + ny * 2 * s, 2.8 * s)), hexc('#2a170b'))
    for k in (-1, 0, 1):
        ox, oy = -ny * k * 0.9 * s, nx * k * 0.9 * s
        cv.over(cover(sd_capsule(X, Y, bx - nx * 6 * s + ox, by - ny * 6 * s + oy,
                                 neck_end[0] + ox, neck_end[1] + oy, 0.3 * s)), (0.95, 0.92, 0.8), 0.9)


def _weapon(cv, st, r, pose, s, ow):
    X, Y = cv.X, cv.Y
    hx, hy = r.hand_f
    a = pose.weapon if pose.weapon is not None else r.fore_f - math.pi / 2 + 0.6
    # direction along the blade/shaft ("up" from the hand when a == 0)
    dx, dy = math.sin(a), -math.cos(a)
    w = st.weapon
    steel = hexc('#cfd6dc')
    if w in ('sword', 'bone_sword', 'rapier', 'dagger', 'cleaver'):
        L = {'sword': 34, 'bone_sword': 28, 'rapier': 36, 'dagger': 15, 'cleaver': 24}[w] * s
        bw = {'sword': 3.2, 'bone_sword': 3.4, 'rapier': 1.5, 'dagger': 2.8, 'cleaver': 5.0}[w] * s
        tip = (hx + dx * L, hy + dy * L)
        base = (hx + dx * 4 * s, hy + dy * 4 * s)
        nx, ny = -dy, dx
        shoulder = (tip[0] - dx * bw * 1.5, tip[1] - dy * bw * 1.5)
        blade = sd_polygon(X, Y, [(base[0] + nx * bw, base[1] + ny * bw),
                                  (shoulder[0] + nx * bw, shoulder[1] + ny * bw), tip,
                                  (shoulder[0] - nx * bw, shoulder[1] - ny * bw),
                                  (base[0] - nx * bw, base[1] - ny * bw)])
        col = steel if w != 'bone_sword' else hexc('#a8a49a')
        if w == 'cleaver':
            col = hexc('#9aa0a6')
        cv.part(blade, col, outline=INK, ow=ow, bevel=bw, shade=0.9, gloss=0.9)
        edge = sd_capsule(X, Y, base[0], base[1], tip[0] - dx * 2 * s, tip[1] - dy * 2 * s, 0.45 * s)
        cv.over(cover(edge), (1, 1, 1), 0.7)
        guard = sd_capsule(X, Y, base[0] + nx * 5 * s, base[1] + ny * 5 * s,
                           base[0] - nx * 5 * s, base[1] - ny * 5 * s, 1.5 * s)
        if w == 'rapier':
            guard = union(guard, sd_arc(X, Y, hx + nx * 1 * s, hy + ny * 1 * s, 4.5 * s, a - 0.2, a + 2.6, 0.9 * s))
        cv.part(guard, hexc('#d9a93a'), outline=INK, ow=ow * 0.8, bevel=1.5, gloss=0.7)
        grip = sd_capsule(X, Y, hx - dx * 4 * s, hy - dy * 4 * s, base[0], base[1], 1.5 * s)
        cv.part(grip, hexc('#5a341a'), outline=INK, ow=ow * 0.7, bevel=1)
        cv.part(sd_circle(X, Y, hx - dx * 5 * s, hy - dy * 5 * s, 2.0 * s), hexc('#d9a93a'),
                outline=INK, ow=ow * 0.7, bevel=1.2, gloss=0.6)
        # re-draw the fingers over the grip
        gl = st.glove if st.glove is not None else st.skin
        if st.bones:
            gl = hexc('#e9e1c9')
        cv.part(sd_circle(X, Y, hx, hy, st.limb_r * s * 0.8), gl, outline=INK, ow=ow, bevel=2)
    elif w == 'axe':
        L = 46 * s
        top = (hx + dx * L * 0.7, hy + dy * L * 0.7)
        shaft = sd_capsule(X, Y, hx - dx * 8 * s, hy - dy * 8 * s, top[0], top[1], 2.0 * s)
        cv.part(shaft, hexc('#6b4424'), outline=INK, ow=ow, bevel=1.5)
        nx, ny = -dy, dx
        c = (top[0] - dx * 4 * s, top[1] - dy * 4 * s)
        head = sd_polygon(X, Y, [(c[0] + dx * 7 * s, c[1] + dy * 7 * s),
                                 (c[0] + nx * 17 * s + dx * 14 * s, c[1] + ny * 17 * s + dy * 14 * s),
                                 (c[0] + nx * 20 * s, c[1] + ny * 20 * s),
                                 (c[0] + nx * 17 * s - dx * 14 * s, c[1] + ny * 17 * s - dy * 14 * s),
                                 (c[0] - dx * 7 * s, c[1] - dy * 7 * s),
                                 (c[0] - nx * 8 * s + dx * 5 * s, c[1] - ny * 8 * s + dy * 5 * s),
                                 (c[0] - nx * 8 * s - dx * 5 * s, c[1] - ny * 8 * s - dy * 5 * s)])
        head = gaussian(head, 0.7 * s)
        cv.part(head, hexc('#9aa3aa'), outline=INK, ow=ow, bevel=4 * s, shade=0.9, gloss=0.8)
        edge = intersect(head + 0.3, -(head + 2.5 * s))
        cv.over(cover(edge) * 0.6, (1, 1, 1))
        gl = st.glove if st.glove is not None else st.skin
        cv.part(sd_circle(X, Y, hx, hy, st.limb_r * s * 0.9), gl, outline=INK, ow=ow, bevel=2)
    elif w == 'staff':
        L = 50 * s
        top = (hx + dx * L * 0.65, hy + dy * L * 0.65)
        bot = (hx - dx * L * 0.35, hy - dy * L * 0.35)
        shaft = sd_capsule(X, Y, bot[0], bot[1], top[0], top[1], 2.0 * s)
        cv.part(shaft, hexc('#7a4a25'), outline=INK, ow=ow, bevel=1.5)
        claw = sd_arc(X, Y, top[0] + dx * 5 * s, top[1] + dy * 5 * s, 6 * s, a - math.pi * 1.5 + 0.5,
                      a - math.pi * 1.5 + math.tau - 0.5, 1.3 * s)
        cv.part(claw, hexc('#d9a93a'), outline=INK, ow=ow * 0.8, bevel=1.2, gloss=0.6)
        ox, oy = top[0] + dx * 6 * s, top[1] + dy * 6 * s
        cv.over(gaussian(cover(sd_circle(X, Y, ox, oy, 7 * s)), 4 * s), st.accent, 0.8)
        cv.part(sd_circle(X, Y, ox, oy, 4.6 * s), st.accent, outline=INK, ow=ow * 0.8, bevel=3 * s,
                shade=0.8, gloss=1.2)
        gl = st.glove if st.glove is not None else st.skin
        cv.part(sd_circle(X, Y, hx, hy, st.limb_r * s * 0.85), gl, outline=INK, ow=ow, bevel=2)
    elif w == 'bow':
        # the bow is held upright in the front hand; the string runs to the back hand
        nx, ny = -dy, dx
        L = 26 * s
        p0 = (hx + dx * L, hy + dy * L)
        p2 = (hx - dx * L, hy - dy * L)
        p1 = (hx + nx * 12 * s, hy + ny * 12 * s)
        limb = sd_bezier(X, Y, p0, p1, p2, 1.2 * s, 1.2 * s, steps=14)
        grip = sd_capsule(X, Y, hx - dx * 4 * s, hy - dy * 4 * s, hx + dx * 4 * s, hy + dy * 4 * s, 2.2 * s)
        limb = union(limb, grip)
        cv.part(limb, hexc('#8a5a2b'), outline=INK, ow=ow, bevel=1.5, shade=0.8)
        draw = r.hand_b
        for q in (p0, p2):
            cv.over(cover(sd_capsule(X, Y, q[0], q[1], draw[0], draw[1], 0.45 * s)), (0.95, 0.93, 0.85))
        if pose.effect != 'arrow' or pose.effect_t < 0.01:
            # nocked arrow from the drawing hand through the bow hand
            ax, ay = draw
            tip = (hx + nx * 16 * s, hy + ny * 16 * s)
            cv.part(sd_capsule(X, Y, ax, ay, tip[0], tip[1], 0.9 * s), hexc('#c8a46a'),
                    outline=INK, ow=0.7 * s, bevel=1)
            cv.part(sd_polygon(X, Y, [(tip[0] + nx * 4 * s, tip[1] + ny * 4 * s),
                                      (tip[0] + dx * 2.5 * s, tip[1] + dy * 2.5 * s),
                                      (tip[0] - dx * 2.5 * s, tip[1] - dy * 2.5 * s)]),
                    steel, outline=INK, ow=0.7 * s, bevel=1, gloss=0.8)
        gl = st.glove if st.glove is not None else st.skin
        cv.part(sd_circle(X, Y, hx, hy, st.limb_r * s * 0.85), gl, outline=INK, ow=ow, bevel=2)
        # the drawing hand over the string
        cv.part(sd_circle(X, Y, draw[0], draw[1], st.limb_r * s * 0.8), gl, outline=INK, ow=ow, bevel=2)
    elif w == 'club':
        L = 28 * s
        top = (hx + dx * L, hy + dy * L)
        d = sd_capsule(X, Y, hx - dx * 4 * s, hy - dy * 4 * s, top[0], top[1], 2.2 * s, 6 * s)
        cv.part(d, hexc('#7a5230'), outline=INK, ow=ow, bevel=3 * s, shade=0.8)
        for k in range(3):
            t = 0.6 + k * 0.15
            px, py = hx + dx * L * t, hy + dy * L * t
            spike = [(px - dy * 4 * s, py + dx * 4 * s),
                     (px - dy * 8 * s + dx * 2 * s, py + dx * 8 * s + dy * 2 * s),
                     (px - dy * 4 * s + dx * 3 * s, py + dx * 4 * s + dy * 3 * s)]
            cv.part(sd_polygon(X, Y, spike),
                    steel, outline=INK, ow=0.7 * s, bevel=1)
        gl = st.glove if st.glove is not None else st.skin
        cv.part(sd_circle(X, Y, hx, hy, st.limb_r * s * 0.9), gl, outline=INK, ow=ow, bevel=2)


def _effect(cv, st, r, pose, s):
    """Attack effects painted into the sheet frames."""
    X, Y = cv.X, cv.Y
    t = pose.effect_t
    hx, hy = r.hand_f
    if pose.effect == 'slash':
        cx, cy = r.neck[0] + 4 * s, r.neck[1] + 10 * s
        rad = 30 * s
        a0, a1 = -1.9 + t * 0.6, 0.9 + t * 0.4
        arc = sd_arc(X, Y, cx, cy, rad, a0, a1, (3.5 - 2.0 * t) * s)
        m = cover(arc) * (1.0 - 0.6 * t)
        cv.over(gaussian(m, 2.0 * s), st.accent, 0.6)
        cv.over(m, (1.0, 0.97, 0.85), 0.85)
    elif pose.effect == 'stab':
        x0 = hx + 8 * s
        for k, (oy, L) in enumerate(((-5, 20), (0, 30), (5, 18))):
            d = sd_capsule(X, Y, x0, hy + oy * s, x0 + L * s * (0.6 + t), hy + oy * s, 1.3 * s, 0.3 * s)
            cv.over(cover(d) * (1 - 0.5 * t), (1, 0.95, 0.8), 0.8)
        cv.over(gaussian(cover(sd_circle(X, Y, x0 + 22 * s, hy, 6 * s)), 3 * s), st.accent, 0.5 * (1 - t))
    elif pose.effect == 'arrow':
        ax = hx + (18 + 44 * t) * s
        ay = hy
        shaft = sd_capsule(X, Y, ax - 22 * s, ay, ax, ay, 0.9 * s)
        cv.part(shaft, hexc('#c8a46a'), outline=INK, ow=0.7 * s, bevel=1)
        cv.part(sd_polygon(X, Y, [(ax + 5 * s, ay), (ax, ay - 2.6 * s), (ax, ay + 2.6 * s)]),
                hexc('#dfe6ea'), outline=INK, ow=0.7 * s, bevel=1, gloss=0.8)
        for k in (-1, 1):
            cv.part(sd_polygon(X, Y, [(ax - 22 * s, ay), (ax - 17 * s, ay), (ax - 25 * s, ay + k * 3.5 * s)]),
                    hexc('#c0392b'), outline=INK, ow=0.6 * s, bevel=1)
        for k in range(3):
            d = sd_capsule(X, Y, ax - (28 + k * 8) * s, ay + (k - 1) * 2.5 * s,
                           ax - (36 + k * 8) * s, ay + (k - 1) * 2.5 * s, 0.6 * s)
            cv.over(cover(d), (1, 1, 1), 0.5)
    elif pose.effect == 'notes':
        cx, cy = r.hip[0] + 12 * s, r.hip[1] - 16 * s
        for k in range(3):
            rad = (10 + 10 * k + 12 * t) * s
            ring = sd_arc(X, Y, cx, cy, rad, -0.9, 0.9, 1.1 * s)
            cv.over(cover(ring) * (1.0 - 0.3 * k) * (1.0 - 0.5 * t), st.accent, 0.9)
        for k, (ox, oy) in enumerate(((22, -22), (34, -8), (28, -34))):
            nx_, ny_ = cx + (ox + 6 * t) * s, cy + (oy - 8 * t) * s
            head = sd_ellipse(X, Y, nx_, ny_, 2.8 * s, 2.1 * s, -0.4)
            stem = sd_box(X, Y, nx_ + 2.3 * s, ny_ - 5 * s, 0.6 * s, 5 * s)
            flag = sd_polygon(X, Y, [(nx_ + 2.3 * s, ny_ - 10 * s), (nx_ + 6 * s, ny_ - 7 * s),
                                     (nx_ + 2.9 * s, ny_ - 7.5 * s)])
            note = union(head, stem, flag)
            cv.over(cover(note - 1.0 * s), INK, 0.9)
            cv.over(cover(note), [hexc('#ffd34a'), hexc('#ff7ab6'), hexc('#7ad0ff')][k])
