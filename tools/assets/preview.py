#!/usr/bin/python3
"""Show the generated pictures the way the game draws them.

This is a check, not part of the game: it reads the PNG files from Assets/
and draws them with the game's own rules, independently of the generator's
layout code: the unit quad whose corner (x, y) gets (u, v) = (y + 1/2,
x + 1/2), textures uploaded bottom row first, the model matrix Translate *
Rotate * Scale, the sprite-sheet cell matrix, and the cameras' zooms.

    /usr/bin/python3 tools/assets/preview.py [--assets Assets] [--out /tmp/eb_preview]

It writes one picture per level (background, nexus, tower spots, turrets on
some spots, enemies along every route, heroes facing both ways, the coin)
with the enemy routes and spot boxes outlined on top, the splash cards and
credits pages under the menu camera, and a contact sheet of every picture.
"""

import argparse
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True      # keep the source tree free of __pycache__

from levels import LEVELS, routes                      # noqa: E402

HALF_PI = 1.5707964
SCREEN_W, SCREEN_H = 1280, 720


def load(assets, rel):
    im = Image.open(os.path.join(assets, rel)).convert('RGBA')
    return np.asarray(im, np.float32) / 255.0


class Screen:
    """A software model of the game's textured quad drawing."""

    def __init__(self, zoom, clear=(0, 0, 0)):
        self.zx, self.zy = zoom
        self.img = np.zeros((SCREEN_H, SCREEN_W, 3), np.float32)
        self.img[:] = clear
        ys, xs = np.mgrid[0:SCREEN_H, 0:SCREEN_W].astype(np.float32)
        dx = (xs + 0.5) / SCREEN_W * 1920.0 - 960.0
        dy = 540.0 - (ys + 0.5) / SCREEN_H * 1080.0
        self.wx = dx * self.zx
        self.wy = dy * self.zy

    def to_screen(self, x, y):
        return ((x / self.zx + 960.0) / 1920.0 * SCREEN_W, (540.0 - y / self.zy) / 1080.0 * SCREEN_H)

    def draw(self, tex, pos, scale, rot, cell=None):
        """Draw texture `tex` (HxWx4, row 0 = top of the file) on the unit quad."""
        px, py = pos
        sx, sy = scale
        c, s = math.cos(rot), math.sin(rot)
        # inverse of Translate * Rotate * Scale
        dx, dy = self.wx - px, self.wy - py
        lx = (c * dx + s * dy) / sx
        ly = (-s * dx + c * dy) / sy
        inside = (np.abs(lx) <= 0.5) & (np.abs(ly) <= 0.5)
        if not inside.any():
            return
        u = ly[inside] + 0.5
        v = lx[inside] + 0.5
        if cell is not None:
            col, row, cols, rows = cell
            u = (u + col) / cols
            v = (v + row) / rows
        th, tw = tex.shape[:2]
        # rows were uploaded bottom first: v = 0 is the last row of the file
        fx = u * tw - 0.5
        fy = (1.0 - v) * th - 0.5
        x0 = np.floor(fx).astype(int)
        y0 = np.floor(fy).astype(int)
        ax = (fx - x0)[:, None]
        ay = (fy - y0)[:, None]

        def at(yy, xx):
            return tex[np.mod(yy, th), np.mod(xx, tw)]      # GL_REPEAT
        samp = (at(y0, x0) * (1 - ax) * (1 - ay) + at(y0, x0 + 1) * ax * (1 - ay)
                + at(y0 + 1, x0) * (1 - ax) * ay + at(y0 + 1, x0 + 1) * ax * ay)
        a = samp[:, 3:4]
        region = self.img[inside]
        self.img[inside] = samp[:, :3] * a + region * (1 - a)

    def image(self):
        return Image.fromarray(np.round(np.clip(self.img, 0, 1) * 255).astype(np.uint8), 'RGB')


def read_sheet(assets, rel):
    with open(os.path.join(assets, rel)) as f:
        lines = f.read().split('\n')
    frames, rows, cols = int(lines[0]), int(lines[1]), int(lines[2])
    tex_path = lines[3]
    # the path is relative to the game's working directory, which holds Assets/
    if tex_path.startswith('Assets/'):
        tex_path = tex_path[len('Assets/'):]
    return frames, rows, cols, load(assets, tex_path)


def route_points(route, step):
    pts = []
    for (ax, ay), (bx, by) in zip(route[1:-1], route[2:]):
        L = math.hypot(bx - ax, by - ay)
        n = max(1, int(L // step))
        for i in range(n):
            t = (i + 0.5) / n
            pts.append((ax + (bx - ax) * t, ay + (by - ay) * t))
    return pts


def level_preview(assets, lid, overlay=True):
    L = LEVELS[lid]
    zoom = (0.5, 0.6666667) if lid == 0 else (0.41666666, 0.57347673)
    scr = Screen(zoom)
    bg = load(assets, 'Sprites/Others/' + L['file'])
    if L['placement'] == 'background_flat':
        scr.draw(bg, (0, 0), (600, 800), -HALF_PI)
    else:
        scr.draw(bg, (0, 0), (600, -800), HALF_PI)
    scr.draw(load(assets, 'Sprites/Others/others_nexus.png'), L['nexus'], (70, 70), HALF_PI)
    spot = load(assets, 'Sprites/Others/others_towerplacement.png')
    for p in L['spots']:
        scr.draw(spot, p, (50, 50), 0.0)
    turrets = ['hero_knight_2.png', 'hero_mage_2.png', 'hero_nobleman_2.png', 'hero_bard_2.png',
               'hero_hunter_2.png']
    for p, t in zip(L['spots'][:5], turrets):
        scr.draw(load(assets, 'Sprites/Heroes/' + t), p, (50, 50), HALF_PI)
    enemies = ['enemy_skeleton_2.png', 'enemy_goblin_2.png', 'enemy_orc_1.png', 'enemy_wyvern_2.png']
    etex = [load(assets, 'Sprites/Enemies/' + e) for e in enemies]
    k = 0
    for route in routes(lid):
        for p in route_points(route, 150.0):
            scr.draw(etex[k % 4], p, (40, 40), HALF_PI)
            k += 1
    # heroes: the thief facing right (scale.y negative) and the hunter after pressing A
    for name, pos, sy in (('Thief', (-30, -10), -50), ('Hunter', (40, -10), 50)):
        frames, rows, cols, tex = read_sheet(assets, 'Sprites/Heroes/Animations/%s/hero_%s_spritesheet'
                                             % (name, name.lower()))
        scr.draw(tex, pos, (50, sy), HALF_PI, cell=(0, 0, cols, rows))
    scr.draw(load(assets, 'Sprites/Others/others_currency.png'), (270, 290), (25, 25), HALF_PI)
    img = scr.image()
    if overlay:
        d = ImageDraw.Draw(img)
        for route in routes(lid):
            d.line([scr.to_screen(x, y) for x, y in route], fill=(255, 0, 255), width=2)
        for (x, y) in L['spots']:
            a = scr.to_screen(x - 25, y + 25)
            b = scr.to_screen(x + 25, y - 25)
            d.rectangle([a, b], outline=(0, 255, 255), width=1)
        nx, ny = L['nexus']
        d.rectangle([scr.to_screen(nx - 35, ny + 35), scr.to_screen(nx + 35, ny - 35)], outline=(255, 255, 0))
        d.text((8, 8), 'level %d (%s): magenta = enemy routes, cyan = spot boxes, yellow = nexus'
               % (lid, L['name']), fill=(255, 255, 255))
    return img


def menu_preview(assets):
    out = []
    for rel, scale in (('Logos/bw_logo.png', (300, -533.3333)), ('Logos/team_logo.png', (533.3333, -300)),
                       ('Logos/fmod_logo.png', (300, -533.3333))):
        scr = Screen((0.5, 0.8888889), clear=(1 / 255, 68 / 255, 33 / 255))
        scr.draw(load(assets, rel), (0, 0), scale, HALF_PI)
        out.append(scr.image())
    for rel in ('Credits/Credits1.png', 'Credits/Credits2.png'):
        scr = Screen((0.5, 0.8888889), clear=(1 / 255, 68 / 255, 33 / 255))
        scr.draw(load(assets, rel), (0, 20), (950, -1000), HALF_PI)
        out.append(scr.image())
    return out


def character_preview(assets):
    """Portraits as the character screen shows them, heroes on every frame."""
    scr = Screen((0.41666666, 0.57347673), clear=(0.25, 0.25, 0.3))
    for name, x in (('thief', 100), ('bard', 0), ('hunter', -100)):
        scr.draw(load(assets, 'Sprites/Heroes/hero_%s_1.png' % name), (x, 150), (100, 100), HALF_PI)
    for r, name in enumerate(('Hunter', 'Bard', 'Thief')):
        frames, rows, cols, tex = read_sheet(assets, 'Sprites/Heroes/Animations/%s/hero_%s_spritesheet'
                                             % (name, name.lower()))
        for f in range(frames):
            scr.draw(tex, (-350 + f * 60, 40 - r * 60), (50, -50), HALF_PI,
                     cell=(f % cols, f // cols, cols, rows))
    for i, e in enumerate(('enemy_skeleton_2.png', 'enemy_goblin_2.png', 'enemy_orc_1.png',
                           'enemy_wyvern_2.png')):
        scr.draw(load(assets, 'Sprites/Enemies/' + e), (-350 + i * 60, -200), (40, 40), HALF_PI)
    for i, t in enumerate(('hero_knight_2.png', 'hero_mage_2.png', 'hero_nobleman_2.png', 'hero_thief_2.png',
                           'hero_bard_2.png', 'hero_hunter_2.png')):
        scr.draw(load(assets, 'Sprites/Heroes/' + t), (-100 + i * 65, -250), (50, 50), HALF_PI)
    scr.draw(load(assets, 'Sprites/Others/others_currency.png'), (330, -200), (25, 25), HALF_PI)
    scr.draw(load(assets, 'Sprites/Particles/particles_tower_1.png'), (360, -200), (10, 10), HALF_PI)
    scr.draw(load(assets, 'Sprites/Others/others_towerplacement.png'), (300, -200), (50, 50), 0.0)
    scr.draw(load(assets, 'Sprites/Others/others_nexus.png'), (300, 150), (70, 70), HALF_PI)
    return scr.image()


def contact_sheet(assets, tile=240):
    """Every PNG file as stored (not as drawn), on a checkerboard."""
    files = []
    for dirpath, _, names in os.walk(assets):
        for n in sorted(names):
            if n.endswith('.png'):
                files.append(os.path.relpath(os.path.join(dirpath, n), assets))
    files.sort()
    cols = 6
    rows = (len(files) + cols - 1) // cols
    sheet = Image.new('RGB', (cols * tile, rows * (tile + 18)), (40, 40, 40))
    d = ImageDraw.Draw(sheet)
    for i, rel in enumerate(files):
        im = Image.open(os.path.join(assets, rel)).convert('RGBA')
        im.thumbnail((tile - 8, tile - 8), Image.LANCZOS)
        x, y = (i % cols) * tile, (i // cols) * (tile + 18)
        checker = Image.new('RGBA', im.size, (200, 200, 200, 255))
        cd = ImageDraw.Draw(checker)
        for cy in range(0, im.size[1], 8):
            for cx in range(0, im.size[0], 8):
                if (cx // 8 + cy // 8) % 2:
                    cd.rectangle([cx, cy, cx + 7, cy + 7], fill=(150, 150, 150, 255))
        checker.alpha_composite(im)
        sheet.paste(checker.convert('RGB'), (x + 4, y + 4))
        d.text((x + 4, y + tile), rel.split('/')[-1][:36], fill=(255, 255, 255))
    return sheet


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--assets', default=os.path.join(HERE, '..', '..', 'Assets'))
    ap.add_argument('--out', default='/tmp/eb_preview')
    args = ap.parse_args()
    assets = os.path.abspath(args.assets)
    os.makedirs(args.out, exist_ok=True)
    for lid in (1, 2, 3, 4, 0):
        level_preview(assets, lid).save(os.path.join(args.out, 'level%d.png' % lid))
        level_preview(assets, lid, overlay=False).save(os.path.join(args.out, 'level%d_plain.png' % lid))
    for i, im in enumerate(menu_preview(assets)):
        im.save(os.path.join(args.out, 'menu%d.png' % i))
    character_preview(assets).save(os.path.join(args.out, 'characters.png'))
    contact_sheet(assets).save(os.path.join(args.out, 'contact_sheet.png'))
    print('previews written to', args.out)


if __name__ == '__main__':
    main()
