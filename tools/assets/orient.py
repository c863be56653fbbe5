"""How the game puts a picture on screen, and how to lay pixels out for it.

Every picture is drawn on the game's unit quad.  A quad corner (x, y) in
{-0.5, 0.5} gets the texture coordinate (u, v) = (y + 0.5, x + 0.5); textures
are uploaded bottom row first, so u runs left to right along an image row and
v runs from the bottom row (v = 0) to the top row (v = 1).  The object's model
matrix is Translate * Rotate(rotation) * Scale(sx, sy).

We paint every picture the way it should look on screen (the "screen image":
rows top to bottom, columns left to right, square on-screen pixels) and turn
it into the stored PNG with `screen_to_texture`, which undoes the quad mapping
for the object's rotation and the signs of its scale.

On-screen pixel shapes: the level camera shows 800 x 619.35 world units in a
16:9 picture, the main menu camera 960 x 960 units, so one world unit is not
square on screen.  The constants below give the on-screen aspect of a world
box, which fixes the aspect of each screen image.
"""

import math

import numpy as np

HALF_PI = 1.5707964

# Pixels per world unit on a 1920 x 1080 picture.
LEVEL_PX_X = 1920.0 / (1920.0 * 0.41666666)          # 2.4
LEVEL_PX_Y = 1080.0 / (1080.0 * 0.57347673)          # 1.74375
MENU_PX_X = 1920.0 / (1920.0 * 0.5)                  # 2.0
MENU_PX_Y = 1080.0 / (1080.0 * 0.8888889)            # 1.125

# A square world box in a level is this much wider than tall on screen.
LEVEL_ASPECT = LEVEL_PX_X / LEVEL_PX_Y                # about 1.376


def screen_to_texture(img, rotation, sx, sy):
    """Turn a screen image (H x W x C, row 0 at the top) into PNG pixels.

    rotation is the object's rotation in radians (0, +pi/2 or -pi/2);
    sx, sy are its scale components (only their signs matter here).
    """
    r = round(rotation / (math.pi / 2)) % 4
    if r == 1:
        # world X = -sy (u - 1/2), world Y = sx (v - 1/2)
        out = img
        if sy > 0:
            out = out[:, ::-1]
        if sx < 0:
            out = out[::-1, :]
    elif r == 3:
        # world X = sy (u - 1/2), world Y = -sx (v - 1/2)
        out = img
        if sy < 0:
            out = out[:, ::-1]
        if sx > 0:
            out = out[::-1, :]
    elif r == 0:
        # world X = sx (v - 1/2), world Y = sy (u - 1/2): a transposition
        out = np.transpose(img, (1, 0) + tuple(range(2, img.ndim)))
        if sx > 0:
            out = out[::-1, :]
        if sy > 0:
            out = out[:, ::-1]
    else:
        # a half turn: world X = -sx (v - 1/2), world Y = -sy (u - 1/2)
        out = np.transpose(img, (1, 0) + tuple(range(2, img.ndim)))
        if sx < 0:
            out = out[::-1, :]
        if sy < 0:
            out = out[:, ::-1]
    return np.ascontiguousarray(out)


# How each kind of picture is placed by the game: (rotation, sx, sy) as the
# creating code passes them.  Only rotations and scale signs matter here.
PLACEMENT = {
    'background_flat': (-HALF_PI, 600.0, 800.0),     # desert and forest levels
    'background_mirrored': (HALF_PI, 600.0, -800.0),  # jungle, mountain, fire
    'level_sprite': (HALF_PI, 1.0, 1.0),             # nexus, coin, enemies,
                                                     # turrets, portraits,
                                                     # projectile
    'hero_facing_right': (HALF_PI, 50.0, -50.0),     # hero before pressing A
    'tower_spot': (0.0, 50.0, 50.0),
    'logo_wide': (HALF_PI, 300.0, -533.3333),
    'logo_square': (HALF_PI, 533.3333, -300.0),
    'credits_page': (HALF_PI, 950.0, -1000.0),
}


def to_texture(img, kind):
    rot, sx, sy = PLACEMENT[kind]
    return screen_to_texture(img, rot, sx, sy)


def level_sprite_size(world_w, world_h, height_px):
    """Screen-image size (w, h) for a level object of world_w x world_h."""
    w = world_w * LEVEL_PX_X
    h = world_h * LEVEL_PX_Y
    return int(round(height_px * w / h)), int(height_px)
