#!/usr/bin/python3
"""Regenerate every picture, sprite sheet and sound of Ember Bastion.

Usage (from the repository root, with Debian's python3-numpy, python3-pil,
lame, fonts-urw-base35 and fonts-dejavu-core installed):

    /usr/bin/python3 tools/assets/make_assets.py            # everything
    /usr/bin/python3 tools/assets/make_assets.py --only pictures sounds
    /usr/bin/python3 tools/assets/make_assets.py --out /tmp/assets

Every random choice comes from a fixed seed, so running it again gives the
same files.  The generated files are committed under Assets/, so the game
runs without running this script.

Each picture is painted as it should look on screen and then laid out for
the way the game draws it (see orient.py for the reasoning).
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True      # keep the source tree free of __pycache__

import numpy as np                                   # noqa: E402

import backgrounds                                   # noqa: E402
import cards                                         # noqa: E402
import music                                         # noqa: E402
import props                                         # noqa: E402
import sounds                                        # noqa: E402
import sprites                                       # noqa: E402
from levels import LEVELS                            # noqa: E402
from orient import to_texture                        # noqa: E402
from raster import save_png                          # noqa: E402
from synth import write_wav, write_mp3               # noqa: E402

REPO = os.path.abspath(os.path.join(HERE, '..', '..'))

SPRITES = 'Sprites'
HEROES = 'Sprites/Heroes'
SHEETS = {
    'hunter': 'Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet',
    'bard': 'Sprites/Heroes/Animations/Bard/hero_bard_spritesheet',
    'thief': 'Sprites/Heroes/Animations/Thief/hero_thief_spritesheet',
}


class Writer:
    def __init__(self, root):
        self.root = root
        self.written = []

    def path(self, rel):
        p = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        return p

    def png(self, rel, pixels):
        save_png(self.path(rel), pixels)
        self.done(rel)

    def text(self, rel, content):
        with open(self.path(rel), 'w', newline='\n') as f:
            f.write(content)
        self.done(rel)

    def done(self, rel):
        size = os.path.getsize(os.path.join(self.root, rel))
        self.written.append((rel, size))
        print('  %-62s %9d bytes' % (rel, size), flush=True)


# --------------------------------------------------------------------------
# Pictures
# --------------------------------------------------------------------------

def make_backgrounds(w):
    for lid in (1, 2, 3, 4, 0):
        png, _ = backgrounds.make(lid)
        w.png('Sprites/Others/' + LEVELS[lid]['file'], png)


def make_props(w):
    w.png('Sprites/Others/others_nexus.png', to_texture(props.nexus_image().rgba(), 'level_sprite'))
    w.png('Sprites/Others/others_towerplacement.png', to_texture(props.spot_image().rgba(), 'tower_spot'))
    w.png('Sprites/Others/others_currency.png', to_texture(props.coin_image().rgba(), 'level_sprite'))
    w.png('Sprites/Particles/particles_tower_1.png', to_texture(props.bolt_image().rgba(), 'level_sprite'))


def make_characters(w):
    # enemies walk towards the nexus on the left: they face left on screen
    for name, rel in (('goblin', 'Sprites/Enemies/enemy_goblin_2.png'),
                      ('orc', 'Sprites/Enemies/enemy_orc_1.png'),
                      ('skeleton', 'Sprites/Enemies/enemy_skeleton_2.png')):
        screen = sprites.mirrored(sprites.figure_image(name))
        w.png(rel, to_texture(screen.rgba(), 'level_sprite'))
    screen = sprites.mirrored(sprites.wyvern_image())
    w.png('Sprites/Enemies/enemy_wyvern_2.png', to_texture(screen.rgba(), 'level_sprite'))
    # turrets and the companions (the "_2" hero pictures) face the enemies
    for name in ('knight', 'mage', 'nobleman', 'thief', 'bard', 'hunter'):
        screen = sprites.figure_image(name)
        w.png('%s/hero_%s_2.png' % (HEROES, name), to_texture(screen.rgba(), 'level_sprite'))
    for name in ('thief', 'bard', 'hunter'):
        screen = sprites.portrait_image(name)
        w.png('%s/hero_%s_1.png' % (HEROES, name), to_texture(screen.rgba(), 'level_sprite'))


def make_sheets(w):
    cols, rows = sprites.SHEET_COLS, sprites.SHEET_ROWS
    cw, ch = sprites.SPRITE_W, sprites.SPRITE_H
    for name, rel in SHEETS.items():
        frames = sprites.hero_sheet(name)
        sheet = np.zeros((rows * ch, cols * cw, 4), np.uint8)
        for f, cv in enumerate(frames):
            col, row = f % cols, f // cols
            cell = to_texture(cv.rgba(), 'hero_facing_right')
            y0 = (rows - 1 - row) * ch           # row 0 is the bottom row of the image
            sheet[y0:y0 + ch, col * cw:(col + 1) * cw] = cell
        png_rel = rel + '.png'
        w.png(png_rel, sheet)
        lines = ['%d' % len(frames), '%d' % rows, '%d' % cols, 'Assets/' + png_rel]
        for nm, dur in zip(sprites.FRAME_NAMES, sprites.FRAME_TIMES):
            lines.append('%s:%g' % (nm, dur))
        w.text(rel, '\n'.join(lines) + '\n')


def make_cards(w):
    w.png('Logos/bw_logo.png', to_texture(cards.brightwell_logo().rgba(), 'logo_wide'))
    w.png('Logos/team_logo.png', to_texture(cards.team_logo().rgba(), 'logo_square'))
    w.png('Logos/fmod_logo.png', to_texture(cards.sound_logo().rgba(), 'logo_wide'))
    w.png('Credits/Credits1.png', to_texture(cards.credits_page1().rgb(), 'credits_page'))
    w.png('Credits/Credits2.png', to_texture(cards.credits_page2().rgb(), 'credits_page'))


# --------------------------------------------------------------------------
# Sounds
# --------------------------------------------------------------------------

def make_sounds(w):
    for name in sounds.EFFECTS:
        x = sounds.render(name)
        if name == 'sfx_hunter':
            rel = 'Audio/SFX/sfx_hunter.mp3'
            write_mp3(w.path(rel), x, sounds.SR)
        else:
            rel = 'Audio/SFX/%s.wav' % name
            write_wav(w.path(rel), x, sounds.SR)
        w.done(rel)


def make_music(w):
    for name in music.TUNES:
        rel = 'Audio/Music/%s.wav' % name
        write_wav(w.path(rel), music.render(name), music.SR)
        w.done(rel)


GROUPS = {
    'pictures': [make_backgrounds, make_props, make_cards],
    'sprites': [make_characters, make_sheets],
    'sounds': [make_sounds],
    'music': [make_music],
}


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--out', default=os.path.join(REPO, 'Assets'), help='the Assets folder to fill')
    ap.add_argument('--only', nargs='*', choices=sorted(GROUPS), help='make only these groups')
    args = ap.parse_args()
    w = Writer(args.out)
    t0 = time.time()
    for group in (args.only or ['pictures', 'sprites', 'sounds', 'music']):
        print('[%s]' % group, flush=True)
        for fn in GROUPS[group]:
            fn(w)
    total = sum(s for _, s in w.written)
    print('%d files, %.1f MB, %.0f s' % (len(w.written), total / 1e6, time.time() - t0))


if __name__ == '__main__':
    main()
