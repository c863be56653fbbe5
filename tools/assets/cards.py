"""Logo cards for the start-up splash and the two credits pages.

The main menu camera shows 960 x 960 world units on a 16:9 screen, so the
wide logo boxes (533 x 300 units) appear about 3.16 times wider than tall,
the team logo box (300 x 533 units) appears square and a credits page
(1000 x 950 units) about 1.87 times wider than tall.  The cards are painted
at those on-screen shapes.  Lettering is drawn with free fonts shipped by
Debian (fonts-urw-base35, with fonts-dejavu-core as a fallback); only the
pixels end up in the pictures.
"""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from raster import (Canvas, hexc, mix, cover, gaussian, fbm, sd_circle, sd_ellipse, sd_box,
                    sd_polygon, sd_arc, sd_star, union, intersect, lit)
from figures import INK

WIDE = (1264, 400)
SQUARE = (600, 600)
PAGE = (1500, 802)

_FONT_DIRS = ['/usr/share/fonts/opentype/urw-base35', '/usr/share/fonts/truetype/dejavu']
_FONTS = {
    'title': ['P052-Bold.otf', 'DejaVuSerif-Bold.ttf'],
    'body': ['P052-Roman.otf', 'DejaVuSerif.ttf'],
    'italic': ['P052-Italic.otf', 'DejaVuSerif-Italic.ttf'],
    'bold': ['P052-Bold.otf', 'DejaVuSerif-Bold.ttf'],
    'script': ['Z003-MediumItalic.otf', 'DejaVuSerif-Italic.ttf'],
    'sans': ['NimbusSans-Bold.otf', 'DejaVuSans-Bold.ttf'],
}


def font(kind, size):
    for name in _FONTS[kind]:
        for d in _FONT_DIRS:
            p = os.path.join(d, name)
            if os.path.exists(p):
                return ImageFont.truetype(p, size)
    raise FileNotFoundError('no font for %s: install fonts-urw-base35 or fonts-dejavu-core' % kind)


def text_mask(w, h, text, fnt, cx, cy, spacing=0, anchor='mm'):
    """Coverage (0..1) of a line of text centred on (cx, cy)."""
    im = Image.new('L', (w, h), 0)
    dr = ImageDraw.Draw(im)
    if spacing:
        # letter-spaced: draw glyph by glyph
        widths = [dr.textlength(ch, font=fnt) for ch in text]
        total = sum(widths) + spacing * (len(text) - 1)
        x = cx - total / 2
        for ch, wd in zip(text, widths):
            dr.text((x, cy), ch, font=fnt, fill=255, anchor='lm')
            x += wd + spacing
    else:
        dr.text((cx, cy), text, font=fnt, fill=255, anchor=anchor)
    return np.asarray(im, np.float32) / 255.0


def paint_text(cv, mask, fill, outline=None, ow=0, shadow=0.0, bevel=0.0, glow=None):
    """Paint text coverage with optional outline, drop shadow, bevel and glow."""
    if glow is not None:
        cv.over(gaussian(mask, 8), glow, 0.8)
    if shadow:
        sh = np.zeros_like(mask)
        o = int(max(1, shadow))
        sh[o:, o:] = mask[:-o, :-o]
        cv.over(gaussian(sh, shadow * 0.8), (0, 0, 0), 0.55)
    if outline is not None and ow > 0:
        im = Image.fromarray((mask * 255).astype(np.uint8), 'L')
        im = im.filter(ImageFilter.MaxFilter(int(ow) * 2 + 1))
        om = gaussian(np.asarray(im, np.float32) / 255.0, 0.6)
        cv.over(om, outline)
    if bevel:
        d = (0.5 - gaussian(mask, bevel * 0.5)) * bevel * 2.0
        col = lit(d, fill, bevel=bevel, strength=0.9, gloss=0.4)
        cv.over(mask, np.clip(col, 0, 1))
    else:
        cv.over(mask, fill)


def _card_base(w, h, c_top, c_bot, border, radius=36, seed=1):
    cv = Canvas(w, h)
    X, Y = cv.X, cv.Y
    outer = sd_box(X, Y, w / 2, h / 2, w / 2 - 2, h / 2 - 2, r=radius)
    t = np.clip(Y / h, 0, 1)
    col = mix(c_top, c_bot, t[..., None])
    n = fbm(h, w, 60, np.random.default_rng(seed), 4)
    col = col * (1.0 + 0.06 * n)[..., None]
    vign = np.sqrt(((X - w / 2) / (w / 2)) ** 2 + ((Y - h / 2) / (h / 2)) ** 2)
    col = col * (1.0 - 0.35 * np.clip(vign - 0.4, 0, 1))[..., None]
    cv.over(cover(outer), np.clip(col, 0, 1))
    ring = intersect(outer, -(outer + 10))
    cv.part(ring, border, outline=INK, ow=2.5, bevel=6, shade=0.9, gloss=0.6)
    inner = np.abs(outer + 18) - 1.5
    cv.over(cover(inner), border, 0.7)
    return cv


def brightwell_logo():
    """The first splash card: a radiant well beside the name of the team's crew."""
    w, h = WIDE
    cv = _card_base(w, h, hexc('#1f3b5c'), hexc('#0d1a2b'), hexc('#d9b45a'), seed=61)
    X, Y = cv.X, cv.Y
    ex, ey = 185, 205
    # sun rays rising from the well
    ang = np.arctan2(Y - (ey - 10), X - ex)
    rays = (0.5 + 0.5 * np.cos(ang * 14)) ** 3
    dist = np.sqrt((X - ex) ** 2 + (Y - ey + 10) ** 2)
    up = (Y < ey + 10)
    cv.over(rays * np.clip(1 - dist / 190, 0, 1) * up, hexc('#ffd56a'), 0.55)
    cv.over(gaussian(cover(sd_circle(X, Y, ex, ey - 40, 60)), 25), hexc('#ffcf5a'), 0.7)
    cv.part(sd_circle(X, Y, ex, ey - 40, 44), hexc('#ffd870'), outline=hexc('#a8641a'), ow=3,
            bevel=20, shade=0.8, gloss=0.5)
    # the well: a round stone rim with a little roof
    body = sd_box(X, Y, ex, ey + 70, 78, 42, r=10)
    stone = hexc('#a69b8c')
    cv.part(body, stone, outline=INK, ow=4, bevel=12, shade=0.8)
    for row in range(3):
        y = ey + 42 + row * 22
        cv.over(cover(sd_box(X, Y, ex, y, 78, 1.4)) * (body < -2), INK, 0.5)
        for k in range(5):
            x = ex - 78 + (k + (0.5 if row % 2 else 0.0)) * 34
            cv.over(cover(sd_box(X, Y, x, y + 11, 1.4, 10)) * (body < -2), INK, 0.5)
    rim = sd_ellipse(X, Y, ex, ey + 30, 86, 16)
    cv.part(rim, mix(stone, (1, 1, 1), 0.15), outline=INK, ow=4, bevel=8, shade=0.8)
    cv.over(cover(sd_ellipse(X, Y, ex, ey + 31, 70, 9)), hexc('#1a1410'))
    cv.over(gaussian(cover(sd_ellipse(X, Y, ex, ey + 31, 60, 7)), 4), hexc('#ffd56a'), 0.9)
    # lettering
    m = text_mask(w, h, 'BASTION CREW', font('title', 100), 790, 180, spacing=6)
    paint_text(cv, m, hexc('#f3d27a'), outline=INK, ow=4, shadow=6, bevel=5)
    m2 = text_mask(w, h, 'presents', font('script', 62), 790, 290)
    paint_text(cv, m2, hexc('#e9e2cf'), shadow=3)
    cv.over(cover(sd_box(X, Y, 580, 290, 110, 1.5)), hexc('#d9b45a'), 0.8)
    cv.over(cover(sd_box(X, Y, 1000, 290, 110, 1.5)), hexc('#d9b45a'), 0.8)
    return cv


def _flame(X, Y, cx, cy, sz):
    pts = [(cx, cy - sz), (cx + sz * 0.42, cy - sz * 0.2), (cx + sz * 0.5, cy + sz * 0.35),
           (cx + sz * 0.2, cy + sz * 0.62), (cx + sz * 0.22, cy + sz * 0.25), (cx + sz * 0.02, cy + sz * 0.02),
           (cx - sz * 0.12, cy + sz * 0.3), (cx - sz * 0.1, cy + sz * 0.62), (cx - sz * 0.48, cy + sz * 0.35),
           (cx - sz * 0.45, cy - sz * 0.15), (cx - sz * 0.2, cy - sz * 0.45)]
    return gaussian(sd_polygon(X, Y, pts), 2.0)


def team_logo():
    """The team card: an ember burning above a bastion tower."""
    w, h = SQUARE
    cv = _card_base(w, h, hexc('#3a1c14'), hexc('#150a08'), hexc('#e0a64a'), radius=48, seed=62)
    X, Y = cv.X, cv.Y
    cx = w / 2
    # shield
    sh = sd_polygon(X, Y, [(cx - 150, 90), (cx + 150, 90), (cx + 150, 250), (cx, 400), (cx - 150, 250)])
    sh = gaussian(sh, 3)
    cv.part(sh, hexc('#7a1f1f'), outline=INK, ow=5, bevel=18, shade=0.8)
    cv.over(cover(np.abs(sh + 14) - 3), hexc('#e0a64a'))
    # tower with battlements
    tower = sd_box(X, Y, cx, 300, 62, 78, r=4)
    for k in range(-2, 3):
        tower = union(tower, sd_box(X, Y, cx + k * 26, 212, 9, 16))
    tower = intersect(tower, sh + 16)
    stone = hexc('#b3a48f')
    cv.part(tower, stone, outline=INK, ow=4, bevel=10, shade=0.85)
    for row in range(5):
        y = 236 + row * 26
        cv.over(cover(sd_box(X, Y, cx, y, 62, 1.3)) * (tower < -2), INK, 0.45)
    door = sd_box(X, Y, cx, 352, 20, 28, r=18)
    cv.part(intersect(door, sd_box(X, Y, cx, 356, 22, 26)), hexc('#2a1610'), outline=INK, ow=3, bevel=4)
    cv.over(gaussian(cover(sd_box(X, Y, cx, 350, 12, 18, r=10)), 6), hexc('#ff9a3a'), 0.8)
    # the ember
    fl = _flame(X, Y, cx, 150, 70)
    cv.over(gaussian(cover(fl), 20), hexc('#ff7a1a'), 0.9)
    core = np.exp(-(((X - cx) / 40.0) ** 2 + ((Y - 170) / 50.0) ** 2))
    col = mix(hexc('#e0400f'), hexc('#ffe08a'), core[..., None])
    cv.part(fl, col, outline=INK, ow=4, bevel=10, shade=0.5)
    # lettering
    m = text_mask(w, h, 'EMBER BASTION', font('title', 54), cx, 458, spacing=4)
    paint_text(cv, m, hexc('#f6d58a'), outline=INK, ow=3, shadow=4, bevel=3)
    m2 = text_mask(w, h, 'the team', font('script', 50), cx, 520)
    paint_text(cv, m2, hexc('#f0e6d2'), shadow=3)
    return cv


def sound_logo():
    """The sound card: every note of the game is made by our own generator."""
    w, h = WIDE
    cv = _card_base(w, h, hexc('#203028'), hexc('#0b1410'), hexc('#9fd0b8'), seed=63)
    X, Y = cv.X, cv.Y
    ex, ey = 205, 200
    # a speaker with sound waves
    box = sd_box(X, Y, ex - 50, ey, 28, 40, r=6)
    cone = sd_polygon(X, Y, [(ex - 30, ey - 38), (ex + 30, ey - 88), (ex + 30, ey + 88), (ex - 30, ey + 38)])
    body = union(box, gaussian(cone, 2))
    cv.part(body, hexc('#dfe9e4'), outline=INK, ow=4, bevel=12, shade=0.9, gloss=0.4)
    for k in range(3):
        arc = sd_arc(X, Y, ex + 20, ey, 60 + 36 * k, -0.8, 0.8, 7)
        cv.over(gaussian(cover(arc), 5), hexc('#6fe3b0'), 0.6)
        cv.part(arc, hexc('#8ff0c4'), outline=INK, ow=3, bevel=5, shade=0.7)
    m0 = text_mask(w, h, 'Sound by', font('script', 62), 780, 95)
    paint_text(cv, m0, hexc('#e8efe9'), shadow=3)
    m = text_mask(w, h, 'OUR OWN SYNTH', font('sans', 84), 800, 200, spacing=3)
    paint_text(cv, m, hexc('#8ff0c4'), outline=INK, ow=4, shadow=6, bevel=5)
    m2 = text_mask(w, h, 'every tune and sound effect made in-house', font('italic', 40), 780, 300)
    paint_text(cv, m2, hexc('#cfe0d6'), shadow=2)
    return cv


# --------------------------------------------------------------------------
# Credits pages
# --------------------------------------------------------------------------

def _parchment(seed):
    w, h = PAGE
    cv = Canvas(w, h)
    X, Y = cv.X, cv.Y
    rng = np.random.default_rng(seed)
    n = fbm(h, w, 120, rng, 5)
    fib = fbm(h, w, 4, rng, 2)
    base = mix(hexc('#efdcb0'), hexc('#d9bc86'), np.clip(0.5 + n, 0, 1)[..., None])
    base = base * (1.0 + 0.04 * fib)[..., None]
    edge = np.minimum(np.minimum(X, w - X) / w, np.minimum(Y, h - Y) / h)
    burn = np.clip(1.0 - edge / 0.06 + 0.6 * fbm(h, w, 30, rng, 3), 0, 1)
    base = mix(base, hexc('#8a5a2a'), (burn ** 2)[..., None] * 0.8)
    cv.over(np.ones((h, w), np.float32), np.clip(base, 0, 1))
    # a double frame line inside the safe area
    fr = sd_box(X, Y, w / 2, h / 2 + 2, w * 0.425, h * 0.335, r=20)
    cv.over(cover(np.abs(fr) - 2.2), hexc('#7a4a1f'), 0.9)
    cv.over(cover(np.abs(fr + 9) - 1.0), hexc('#7a4a1f'), 0.7)
    for (px, py) in ((w * 0.075, h * 0.165), (w * 0.925, h * 0.165), (w * 0.075, h * 0.839),
                     (w * 0.925, h * 0.839)):
        st = sd_star(X, Y, px, py, 16, 6, 4, ang=0.0)
        cv.part(st, hexc('#c0392b'), outline=INK, ow=2, bevel=4, gloss=0.6)
    return cv


def _line(cv, text, kind, size, y, color=hexc('#3a2410'), spacing=0, x=None, anchor='mm'):
    w, h = cv.w, cv.h
    m = text_mask(w, h, text, font(kind, size), w / 2 if x is None else x, y, spacing=spacing,
                  anchor=anchor)
    cv.over(m, color)


def _title(cv, text, y, size=64):
    w, h = cv.w, cv.h
    m = text_mask(w, h, text, font('title', size), w / 2, y, spacing=6)
    paint_text(cv, m, hexc('#9a2a12'), outline=hexc('#3a1a0a'), ow=2, shadow=3, bevel=3)
    for side in (-1, 1):
        tw = font('title', size).getlength(text) + 6 * len(text)
        fx = w / 2 + side * (tw / 2 + 40)
        fl = _flame(cv.X, cv.Y, fx, y - 4, 26)
        cv.over(gaussian(cover(fl), 8), hexc('#ff8a2a'), 0.6)
        cv.part(fl, hexc('#ff9a3a'), outline=INK, ow=2, bevel=5)


def credits_page1():
    cv = _parchment(71)
    w, h = PAGE
    _title(cv, 'EMBER BASTION', 212, size=74)
    _line(cv, 'a game by', 'script', 44, 278)
    _line(cv, 'the Ember Bastion team', 'bold', 46, 326)
    roles = [('Game design', 'the Ember Bastion team'),
             ('Programming', 'the Ember Bastion team'),
             ('Art and animation', 'the Ember Bastion team'),
             ('Music and sound', 'the Ember Bastion team')]
    y = 396
    for role, who in roles:
        _line(cv, role, 'italic', 32, y, x=w / 2 - 20, anchor='rm')
        _line(cv, '\u2014  ' + who, 'body', 32, y, x=w / 2 - 4, anchor='lm')
        y += 44
    _line(cv, 'Every picture, sprite, tune and sound effect was made by our own generator.',
          'italic', 25, 576, color=hexc('#5a3a1a'))
    _line(cv, 'Thank you for playing!', 'script', 44, 624, color=hexc('#7a2a12'))
    return cv


def credits_page2():
    cv = _parchment(72)
    w, h = PAGE
    _title(cv, 'FREE SOFTWARE', 212, size=64)
    _line(cv, 'Ember Bastion is built with these free libraries. Thank you to their authors!',
          'italic', 26, 272, color=hexc('#5a3a1a'))
    libs = [('SDL2', 'zlib licence'),
            ('SDL2_mixer', 'zlib licence'),
            ('GLEW', 'modified BSD and MIT licences'),
            ('Dear ImGui', 'MIT licence'),
            ('stb (stb_image, stb_truetype)', 'public domain or MIT licence'),
            ('GoogleTest', 'BSD 3-clause licence')]
    y = 326
    for name, lic in libs:
        _line(cv, name, 'bold', 31, y, x=w / 2 - 20, anchor='rm')
        _line(cv, '\u2014  ' + lic, 'body', 31, y, x=w / 2 - 4, anchor='lm')
        y += 42
    _line(cv, 'Fonts: Liberation Sans (SIL Open Font License 1.1) and a medieval display face',
          'body', 26, 594)
    _line(cv, "from Debian's free-font packages (see Assets/Fonts)", 'body', 26, 628)
    return cv
