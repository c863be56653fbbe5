"""The five level backgrounds.

Each background is painted as it appears on screen (the whole 800 x 600
world-unit field, 1440 x 784 pixels, which is the field's shape on a 16:9
screen under the level camera), from the level's layout in levels.py:

* a road under every path the enemies walk, read from the game's own
  waypoint tables (the road's centre line is the path, its half width a
  little more than half an enemy),
* a raised stone pad under every tower spot,
* a paved clearing around the nexus and a gate where each road enters,
* calm plates where the HUD's labels sit, light under dark text and dark
  under light text, so that every label reads at least 3:1 against them.

Every road is paved in one colour family that no ground, rock, lava or
scenery meets: blue-grey stone (blue the strongest channel, hue 180 to 250
degrees, saturation at least 0.08).  tests/test_backgrounds.cpp tells road
from ground by that rule.

The ground is a height field (noise, the roads pressed in, the pads raised)
lit from the upper left, coloured per biome, then scenery is placed only
where it keeps clear of roads, pads and the nexus.
"""

import math

import numpy as np

import decor
from levels import LEVELS, ROAD_HALF, routes, world_to_image, FIELD_W, FIELD_H
from orient import to_texture
from raster import (Canvas, hexc, mix, smoothstep, fbm, gaussian, cells, cover, sd_ellipse,
                    sd_circle, sd_box, sd_polygon)

W, H = 1440, 784
PX_X = W / FIELD_W          # image pixels per world unit
PX_Y = H / FIELD_H

PAD_R = 31.0                # world radius of the stone pad under a spot
PLAZA_R = 56.0              # world radius of the nexus clearing

# Where the level's HUD labels sit (game/levels/Level.cpp, BuildLabels), in
# world units (x0, y0, x1, y1): the top row (the wave counter at the left, the
# wave's effect in the middle, the gold beside its coin, the ability
# cooldown at the right) at y = 290, the hero selector's caption and the
# start prompt at y = 250 and 215, the nexus health 50 above the nexus.
TOP_BAND = (-400.0, 276.0, 400.0, 300.0)
GOLD_PLAQUE = (217.0, 277.5, 273.0, 300.0)      # the gold colour needs a dark ground
PROMPT_PLATE = (-140.0, 201.0, 140.0, 263.0)
NEXUS_PLATE = (-44.0, 38.0, 44.0, 62.0)         # relative to the nexus

# What each level's labels need under them: the top row's red counter and
# dark texts want a pale band (a dark one on the fire map, whose texts are
# white and cyan); the selector's caption and the prompt are black everywhere.
HUD_TONES = {
    'desert': dict(band=hexc('#f7f1e3'), prompt=hexc('#eedcb2'), nexus=hexc('#e6dac0')),
    'jungle': dict(band=hexc('#f2f1e2'), prompt=hexc('#d9dcab'), nexus=hexc('#dcd6c2')),
    'mountain': dict(band=hexc('#f2f3f2'), prompt=hexc('#dddbd2'), nexus=hexc('#dedad0')),
    'fire': dict(band=hexc('#17110f'), prompt=hexc('#bcb2aa'), nexus=hexc('#1d1614')),
    'forest': dict(band=hexc('#f2f1e2'), prompt=hexc('#dadcae'), nexus=hexc('#dcd6c2')),
}
GOLD_TONE = hexc('#2b211b')

_LIGHT = np.array([-0.55, -0.70, 0.60], np.float32)
_LIGHT /= np.linalg.norm(_LIGHT)


# --------------------------------------------------------------------------
# Layout fields (world units)
# --------------------------------------------------------------------------

def _seg_dist(wx, wy, a, b):
    vx, vy = b[0] - a[0], b[1] - a[1]
    px, py = wx - a[0], wy - a[1]
    ll = vx * vx + vy * vy
    t = np.clip((px * vx + py * vy) / ll, 0.0, 1.0)
    return np.sqrt((px - vx * t) ** 2 + (py - vy * t) ** 2)


def route_distance(routes, wx, wy):
    d = np.full(wx.shape, 1e9, np.float32)
    for r in routes:
        for a, b in zip(r[:-1], r[1:]):
            d = np.minimum(d, _seg_dist(wx, wy, a, b))
    return d


def point_distance(points, wx, wy):
    d = np.full(wx.shape, 1e9, np.float32)
    for (x, y) in points:
        d = np.minimum(d, np.sqrt((wx - x) ** 2 + (wy - y) ** 2))
    return d


def hillshade(height, strength=1.0):
    gy, gx = np.gradient(height)
    nx, ny = -gx * strength, -gy * strength
    inv = 1.0 / np.sqrt(nx * nx + ny * ny + 1.0)
    lam = (nx * _LIGHT[0] + ny * _LIGHT[1] + _LIGHT[2]) * inv
    return (lam / _LIGHT[2]).astype(np.float32)     # 1.0 on flat ground


# --------------------------------------------------------------------------
# Biomes
# --------------------------------------------------------------------------

BIOMES = {
    'desert': dict(
        ground=[hexc('#e2b774'), hexc('#d29a5a'), hexc('#f0cf93')],
        road=hexc('#949aa6'), grout=hexc('#505564'), road_edge=hexc('#43474f'),
        pad=hexc('#cdb996'), pad_dark=hexc('#7c6650'),
        plaza=hexc('#d8c7a4'), rune=hexc('#ff9a3c'),
        stone_cell=15.0, relief=5.0,
    ),
    'jungle': dict(
        ground=[hexc('#5f9a3c'), hexc('#3f7a2e'), hexc('#86b34c')],
        road=hexc('#8d99a8'), grout=hexc('#48546e'), road_edge=hexc('#3c4760'),
        pad=hexc('#a7a28c'), pad_dark=hexc('#55524a'),
        plaza=hexc('#b4ad94'), rune=hexc('#ffb347'),
        stone_cell=11.0, relief=6.0,
    ),
    'mountain': dict(
        ground=[hexc('#8a9a6a'), hexc('#6f7d5c'), hexc('#a7ae8a')],
        road=hexc('#9aa5b6'), grout=hexc('#525d76'), road_edge=hexc('#46506a'),
        pad=hexc('#b1aca3'), pad_dark=hexc('#5b5752'),
        plaza=hexc('#c2bdb2'), rune=hexc('#ffaa4a'),
        stone_cell=12.0, relief=9.0,
    ),
    'fire': dict(
        ground=[hexc('#3a2a28'), hexc('#261b1b'), hexc('#4d3530')],
        road=hexc('#8f9dc6'), grout=hexc('#4a5478'), road_edge=hexc('#363e5e'),
        pad=hexc('#6f6661'), pad_dark=hexc('#2c2422'),
        plaza=hexc('#8a807a'), rune=hexc('#ffb040'),
        stone_cell=13.0, relief=7.0,
    ),
    'forest': dict(
        ground=[hexc('#6f9a45'), hexc('#557f37'), hexc('#8fb55a')],
        road=hexc('#949faf'), grout=hexc('#4d5872'), road_edge=hexc('#414b64'),
        pad=hexc('#aaa593'), pad_dark=hexc('#58554c'),
        plaza=hexc('#b7b09c'), rune=hexc('#ffb347'),
        stone_cell=12.0, relief=5.0,
    ),
}


def _ground(biome, rng, X, Y, wx, wy):
    """Ground colour and height for a biome."""
    pal = BIOMES[biome]['ground']
    n1 = fbm(H, W, 180, rng, 4)
    n2 = fbm(H, W, 40, rng, 3)
    n3 = fbm(H, W, 6, rng, 2)
    t = np.clip(0.5 + 0.9 * n1, 0, 1)[..., None]
    col = mix(pal[1], pal[0], t)
    col = mix(col, pal[2], np.clip(n2 * 1.4, 0, 1)[..., None] * 0.7)
    col = col * (1.0 + 0.07 * n3)[..., None]
    height = n1 * 10.0 + n2 * 3.0 + n3 * 0.6
    if biome == 'desert':
        warp = fbm(H, W, 120, rng, 3) * 40.0
        ripple = np.sin((X * 0.8 + Y * 0.45 + warp) / 7.5)
        height = height + ripple * 1.4 * (0.5 + 0.5 * n1)
        crest = 1.0 - np.abs(np.sin((X * 0.55 + Y * 0.85 + warp * 2.5) / 70.0))
        height = height + 6.0 * crest ** 2
        col = col * (1.0 + 0.05 * ripple)[..., None]
        # darker pebbly patches
        peb = fbm(H, W, 3, rng, 1)
        col = col * (1.0 - 0.10 * (peb > 0.55))[..., None]
    elif biome in ('jungle', 'forest'):
        # grass strokes: stretched noise at many small scales
        blades = fbm(H, W, 2.5, rng, 2)
        col = col * (1.0 + 0.12 * blades)[..., None]
        clover = np.clip(fbm(H, W, 25, rng, 2) * 2.0 - 0.4, 0, 1)
        col = mix(col, col * np.array([0.85, 1.05, 0.8]), clover[..., None])
        height = height + blades * 0.7
    elif biome == 'mountain':
        rockmask = np.clip((fbm(H, W, 70, rng, 4) - 0.05) * 3.0, 0, 1)
        f1, f2, cid = cells(X, Y, 38, rng)
        crack = smoothstep(0.0, 2.5, f2 - f1)
        rockcol = mix(hexc('#8d8a84'), hexc('#a8a49c'), (cid % 7 / 6.0)[..., None])
        rockcol = rockcol * (0.75 + 0.25 * crack)[..., None]
        col = mix(col, rockcol, rockmask[..., None])
        height = height + rockmask * (8.0 + 4.0 * crack)
        snow = np.clip((fbm(H, W, 90, rng, 4) - 0.28) * 5.0, 0, 1) * rockmask
        col = mix(col, hexc('#f3f6fa'), snow[..., None])
        height = height + snow * 2.0
    elif biome == 'fire':
        f1, f2, cid = cells(X, Y, 46, rng)
        crack = 1.0 - smoothstep(0.0, 3.0, f2 - f1)
        plate = (cid % 5 / 4.0)[..., None]
        col = mix(col, col * 1.25, plate * 0.5)
        col = col * (1.0 - 0.5 * crack)[..., None]
        height = height + (1.0 - crack) * 4.0 + n2 * 2.0
    return col.astype(np.float32), height.astype(np.float32)


# --------------------------------------------------------------------------
# Painting
# --------------------------------------------------------------------------

def paint(level_id):
    """Paint a level's background as seen on screen; returns (canvas, fields)."""
    L = LEVELS[level_id]
    biome = L['name']
    B = BIOMES[biome]
    rng = np.random.default_rng(7100 + level_id)
    ys, xs = np.mgrid[0:H, 0:W].astype(np.float32)
    X, Y = xs + 0.5, ys + 0.5
    wx = (X / W - 0.5) * FIELD_W
    wy = (0.5 - Y / H) * FIELD_H

    col, height = _ground(biome, rng, X, Y, wx, wy)
    calm = _calm(level_id, wx, wy)

    # ---- roads --------------------------------------------------------------
    droad = route_distance(routes(level_id), wx, wy)
    wobble = fbm(H, W, 30, rng, 3) * 2.2
    de = droad + wobble
    road = smoothstep(ROAD_HALF + 1.2, ROAD_HALF - 1.2, de)
    f1, f2, cid = cells(X, Y, (B['stone_cell'] * 1.2, B['stone_cell']), rng, jitter=0.8)
    grout = 1.0 - smoothstep(0.4, 2.2, f2 - f1)
    tone = (cid % 9 / 8.0 - 0.5)
    rn = fbm(H, W, 8, rng, 3)
    road_col = B['road'][None, None, :] * (1.0 + 0.14 * tone + 0.10 * rn)[..., None]
    if biome in ('jungle', 'forest'):
        # packed earth with sparse pebbles instead of paving
        grout = grout * np.clip(fbm(H, W, 20, rng, 2) * 3.0 - 0.6, 0, 1) * 0.6
        ruts = np.exp(-((droad - 9.0) / 3.0) ** 2) * 0.18
        road_col = road_col * (1.0 - ruts)[..., None]
    # under a label the paving is worn smooth: faint joints, no dark kerb
    grout = grout * (1.0 - 0.85 * calm)
    road_col = mix(road_col, B['grout'], grout[..., None] * 0.85)
    # worn centre, darker kerb
    kerb = smoothstep(ROAD_HALF - 6.0, ROAD_HALF - 0.5, de) * (1.0 - 0.8 * calm)
    road_col = mix(road_col, B['road_edge'], kerb[..., None] * 0.55)
    road_col = road_col * (1.0 + 0.08 * smoothstep(ROAD_HALF * 0.8, 0.0, droad))[..., None]
    stone_bump = smoothstep(0.0, 3.0, f2 - f1) * 1.2
    if biome == 'desert':
        # sand drifting onto the flagstones from the sides (the middle stays
        # swept: it is the road enemies walk)
        drift = np.clip(fbm(H, W, 18, rng, 3) * 2.5 - 0.35, 0, 1) * kerb
        road_col = mix(road_col, mix(B['ground'][0], B['ground'][2], 0.5), drift[..., None] * 0.75)
        stone_bump = stone_bump * (1.0 - drift)
    col = mix(col, road_col, road[..., None])
    shoulder = smoothstep(ROAD_HALF + 7.0, ROAD_HALF, de) * (1.0 - road)
    col = col * (1.0 - 0.28 * shoulder)[..., None]
    height = height * (1.0 - 0.85 * road) - 4.0 * road + stone_bump * road

    # ---- nexus clearing -----------------------------------------------------
    nx, ny = L['nexus']
    dpl = np.sqrt((wx - nx) ** 2 + (wy - ny) ** 2)
    plaza = smoothstep(PLAZA_R + 1.0, PLAZA_R - 1.0, dpl)
    ang = np.arctan2(wy - ny, wx - nx)
    ring_idx = np.floor(dpl / 13.0)
    seg = np.floor((ang + math.pi) / (math.tau / np.maximum(6, ring_idx * 7 + 6)))
    brick = (ring_idx * 31 + seg * 17) % 7 / 6.0
    ring_edge = np.minimum(np.abs(dpl / 13.0 - np.round(dpl / 13.0)) * 13.0, 99)
    seam = 1.0 - smoothstep(0.3, 1.3, ring_edge)
    # paved in the roads' stone: the roads end on it
    plaza_col = B['road'][None, None, :] * (0.95 + 0.2 * brick)[..., None]
    plaza_col = mix(plaza_col, B['grout'], seam[..., None] * 0.7)
    rim = smoothstep(PLAZA_R - 7.0, PLAZA_R - 1.0, dpl)
    plaza_col = mix(plaza_col, B['pad_dark'], rim[..., None] * 0.75)
    col = mix(col, plaza_col, plaza[..., None])
    height = height * (1.0 - plaza) + plaza * (3.0 + 1.0 * (1.0 - seam)) + rim * plaza * 2.0

    # ---- tower pads ---------------------------------------------------------
    dpad = point_distance(L['spots'], wx, wy)
    # where a path passes a pad's edge the road runs over it
    pad = smoothstep(PAD_R + 1.0, PAD_R - 1.0, dpad) * (1.0 - road)
    pf1, pf2, pcid = cells(X, Y, 9.0, rng)
    pgrout = 1.0 - smoothstep(0.3, 1.6, pf2 - pf1)
    pad_col = B['pad'][None, None, :] * (0.9 + 0.18 * (pcid % 5 / 4.0))[..., None]
    pad_col = mix(pad_col, B['pad_dark'], pgrout[..., None] * 0.7)
    prim = smoothstep(PAD_R - 6.0, PAD_R - 1.5, dpad)
    pad_col = mix(pad_col, B['pad_dark'], prim[..., None] * 0.6)
    col = mix(col, pad_col, pad[..., None])
    padshadow = smoothstep(PAD_R + 9.0, PAD_R, dpad) * (1.0 - pad)
    col = col * (1.0 - 0.25 * padshadow)[..., None]
    height = height * (1.0 - pad) + pad * (9.0 + 1.2 * smoothstep(0.0, 1.5, pf2 - pf1)) \
        + prim * pad * 1.5

    # ---- light --------------------------------------------------------------
    shade = hillshade(gaussian(height, 0.8), strength=B['relief'] / 6.0)
    shade = mix(shade, 1.0, 0.8 * calm)
    col = col * np.clip(0.35 + 0.65 * shade, 0.3, 1.5)[..., None]

    cv = Canvas(W, H, fill=(0, 0, 0))
    cv.col = np.clip(col, 0, 1).astype(np.float32)

    fields = dict(droad=droad, dpad=dpad, dplaza=dpl, wx=wx, wy=wy, calm=calm, road=road,
                  paved=np.maximum(road, plaza))

    if biome == 'fire':
        _lava(cv, rng, fields, X, Y)

    _runes(cv, L, B, rng)
    _gates(cv, L, B, rng)
    _scatter(cv, L, biome, rng, fields)
    _grade(cv, biome, X, Y, fields['paved'])
    _hud_plates(cv, level_id, rng, fields)
    return cv, fields


def _plates(level_id):
    """The HUD plates of a level: (rectangle, tone name, corner radius)."""
    nx, ny = LEVELS[level_id]['nexus']
    x0, y0, x1, y1 = NEXUS_PLATE
    return [(TOP_BAND, 'band', 0.0), (PROMPT_PLATE, 'prompt', 14.0),
            ((nx + x0, ny + y0, nx + x1, ny + y1), 'nexus', 9.0), (GOLD_PLAQUE, 'gold', 5.0)]


def _plate_distance(rect, radius, wx, wy):
    """Signed distance (world units) to a rounded rectangle; negative inside."""
    x0, y0, x1, y1 = rect
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
    qx = np.abs(wx - cx) - hw + radius
    qy = np.abs(wy - cy) - hh + radius
    out = np.sqrt(np.maximum(qx, 0) ** 2 + np.maximum(qy, 0) ** 2)
    return out + np.minimum(np.maximum(qx, qy), 0) - radius


def _calm(level_id, wx, wy):
    """1 on and just around the HUD plates, falling to 0 a few units away."""
    calm = np.zeros(wx.shape, np.float32)
    for rect, _, radius in _plates(level_id):
        calm = np.maximum(calm, smoothstep(8.0, 0.0, _plate_distance(rect, radius, wx, wy)))
    return calm


def _hud_plates(cv, level_id, rng, f):
    """Lay the calm plates the HUD labels sit on.

    Roads stay on top of the plates (they pass under the start prompt on some
    maps); their paving is calmed there while painting.  Each plate has a
    faint grain so that it reads as stone or parchment, a soft edge and a
    thin darker rim outside the text.
    """
    L = LEVELS[level_id]
    tones = HUD_TONES[L['name']]
    wx, wy = f['wx'], f['wy']
    grain = fbm(H, W, 5, rng, 2) * 0.025 + fbm(H, W, 40, rng, 2) * 0.02
    for rect, tone, radius in _plates(level_id):
        colour = GOLD_TONE if tone == 'gold' else tones[tone]
        d = _plate_distance(rect, radius, wx, wy)
        inside = smoothstep(0.9, -0.9, d)
        plate = colour[None, None, :] * (1.0 + grain)[..., None]
        # a rim just outside the plate sets it off from the ground
        rim = smoothstep(0.0, 0.9, d) * smoothstep(3.2, 1.2, d)
        keep = 1.0 - f['road'] if tone == 'prompt' else 1.0
        rim_col = colour * (0.55 if colour.mean() > 0.4 else 2.2) + (0.0 if colour.mean() > 0.4 else 0.05)
        cv.col = mix(cv.col, np.clip(rim_col, 0, 1), (rim * keep * 0.8)[..., None])
        cv.col = mix(cv.col, plate, (inside * keep)[..., None])
    cv.col = np.clip(cv.col, 0, 1)


def _lava(cv, rng, f, X, Y):
    """Glowing lava channels and cracks, kept away from roads and pads."""
    clear = np.minimum(np.minimum(f['droad'] - ROAD_HALF - 14.0, f['dpad'] - PAD_R - 12.0),
                       f['dplaza'] - PLAZA_R - 14.0)
    room = smoothstep(0.0, 10.0, clear)
    n = fbm(H, W, 140, rng, 4)
    river = 1.0 - smoothstep(0.02, 0.07, np.abs(n))
    river = river * room
    f1, f2, _ = cells(X, Y, 46, np.random.default_rng(7104))
    crack = (1.0 - smoothstep(0.0, 2.2, f2 - f1)) * room * 0.7
    glow = np.maximum(river, crack * 0.6)
    hot = fbm(H, W, 12, rng, 2)
    lava_col = mix(hexc('#d9310f'), hexc('#ffd35a'), np.clip(0.5 + hot, 0, 1)[..., None])
    halo = gaussian(glow, 9.0)
    cv.col = cv.col + (halo[..., None] * hexc('#ff5a14') * 0.55)
    cv.col = mix(cv.col, lava_col, np.clip(river * 1.2, 0, 1)[..., None])
    cv.col = mix(cv.col, hexc('#ff8a2a'), crack[..., None] * 0.8)
    # crust on the lava
    crust = np.clip(fbm(H, W, 9, rng, 2) * 3.0 - 0.9, 0, 1) * river
    cv.col = mix(cv.col, hexc('#3a2320'), crust[..., None] * 0.8)
    # embers
    for _ in range(220):
        x, y = rng.random() * W, rng.random() * H
        r = 0.6 + rng.random() * 1.4
        d = sd_circle(cv.X[int(max(0, y - 6)):int(y + 6), int(max(0, x - 6)):int(x + 6)],
                      cv.Y[int(max(0, y - 6)):int(y + 6), int(max(0, x - 6)):int(x + 6)], x, y, r)
        sub = cover(d)
        ys0, xs0 = int(max(0, y - 6)), int(max(0, x - 6))
        blk = cv.col[ys0:ys0 + sub.shape[0], xs0:xs0 + sub.shape[1]]
        blk[:] = mix(blk, hexc('#ffcf6a'), sub[..., None] * 0.8)
    cv.col = np.clip(cv.col, 0, 1)


def _runes(cv, L, B, rng):
    """A faint glowing ring of runes around the nexus clearing."""
    nx, ny = L['nexus']
    cx, cy = world_to_image(nx, ny, W, H)
    rx, ry = (PLAZA_R - 16) * PX_X, (PLAZA_R - 16) * PX_Y
    y0, y1 = int(cy - ry - 20), int(cy + ry + 20)
    x0, x1 = int(cx - rx - 20), int(cx + rx + 20)
    y0, x0 = max(0, y0), max(0, x0)
    Xs, Ys = cv.X[y0:y1, x0:x1], cv.Y[y0:y1, x0:x1]
    ring = np.abs(sd_ellipse(Xs, Ys, cx, cy, rx, ry)) - 1.2
    m = cover(ring)
    for i in range(12):
        a = i * math.tau / 12
        px, py = cx + rx * 0.82 * math.cos(a), cy + ry * 0.82 * math.sin(a)
        k = i % 3
        if k == 0:
            d = sd_box(Xs, Ys, px, py, 3.2, 1.0, ang=a)
            d = np.minimum(d, sd_box(Xs, Ys, px, py, 1.0, 3.2, ang=a))
        elif k == 1:
            d = np.abs(sd_circle(Xs, Ys, px, py, 3.0)) - 0.9
        else:
            d = sd_polygon(Xs, Ys, [(px, py - 4), (px + 3, py + 3), (px - 3, py + 3)])
            d = np.abs(d) - 0.8
        m = np.maximum(m, cover(d))
    glow = gaussian(m, 2.5)
    blk = cv.col[y0:y1, x0:x1]
    blk[:] = np.clip(blk + glow[..., None] * B['rune'] * 0.5, 0, 1)
    blk[:] = mix(blk, B['rune'], m[..., None] * 0.75)


def _gates(cv, L, B, rng):
    """Where enemies enter: a dark swirling breach flanked by standing stones."""
    for gx, gy in L['gates']:
        cx, cy = world_to_image(gx, gy, W, H)
        x0 = int(cx - 90)
        y0, y1 = int(max(0, cy - 80)), int(min(H, cy + 80))
        Xs, Ys = cv.X[y0:y1, x0:W], cv.Y[y0:y1, x0:W]
        ex = W + 6
        d = sd_ellipse(Xs, Ys, ex, cy, 70, (ROAD_HALF + 8) * PX_Y)
        m = cover(d)
        glow = gaussian(m, 10.0)
        ang = np.arctan2(Ys - cy, Xs - ex)
        rad = np.sqrt(((Xs - ex) / 70.0) ** 2 + ((Ys - cy) / ((ROAD_HALF + 8) * PX_Y)) ** 2)
        swirl = 0.5 + 0.5 * np.sin(ang * 3.0 + rad * 9.0)
        inner = mix(hexc('#2a0f3d'), hexc('#8f3fd1'), (swirl * (1 - rad).clip(0, 1))[..., None])
        blk = cv.col[y0:y1, x0:W]
        blk[:] = np.clip(blk + glow[..., None] * hexc('#9b4dff') * 0.35, 0, 1)
        blk[:] = mix(blk, inner, m[..., None] * 0.9)
    # standing stones on both sides of each gate
    for gx, gy in L['gates']:
        for side in (-1, 1):
            sx, sy = world_to_image(gx + 22, gy + side * (ROAD_HALF + 11), W, H)
            st = Canvas(40, 60)
            d = sd_polygon(st.X, st.Y, [(12, 52), (10, 20), (15, 8), (24, 6), (29, 18), (28, 52)])
            st.over(gaussian(cover(sd_ellipse(st.X, st.Y, 26, 52, 14, 5)), 2.0), (0, 0, 0), 0.5)
            st.part(d, mix(B['pad'], B['pad_dark'], 0.35), outline=decor.OUTLINE, ow=1.5,
                    bevel=6, shade=0.9)
            glyph = sd_box(st.X, st.Y, 19.5, 25, 1.0, 7)
            glyph = np.minimum(glyph, sd_box(st.X, st.Y, 19.5, 22, 4.5, 1.0))
            st.over(gaussian(cover(glyph), 1.5), B['rune'], 0.7)
            st.over(cover(glyph), B['rune'])
            cv.stamp(st, sx - 20, sy - 52)


def _scatter(cv, L, biome, rng, f):
    """Place scenery where it keeps clear of the roads, pads and the nexus."""
    droad, dpad, dpl = f['droad'], f['dpad'], f['dplaza']
    items = []
    spacing = {'desert': 34, 'jungle': 24, 'mountain': 28, 'fire': 34, 'forest': 24}[biome]
    for gy in np.arange(0, H + spacing, spacing):
        for gx in np.arange(0, W + spacing, spacing):
            x = gx + (rng.random() - 0.5) * spacing
            y = gy + (rng.random() - 0.5) * spacing
            roll = rng.random()
            items.append((x, y, roll, rng.random()))
    placed = []
    for x, y, roll, size_roll in items:
        xi, yi = int(min(W - 1, max(0, x))), int(min(H - 1, max(0, y)))
        kind, size = _pick(biome, roll, size_roll)
        if kind is None:
            continue
        # clearance in world units grows with the object's size
        reach = size / PX_X * 0.6
        clear_road = droad[yi, xi] - ROAD_HALF - reach - 4.0
        clear_pad = dpad[yi, xi] - 34.0 - reach
        clear_plaza = dpl[yi, xi] - 62.0 - reach
        if min(clear_road, clear_pad, clear_plaza) < 0:
            continue
        # nothing stands on, or reaches over, a HUD plate
        calm = f['calm']
        ytop = int(max(0, y - size * 1.5))
        x0, x1 = int(max(0, x - size)), int(min(W, x + size + 1))
        if calm[ytop:int(min(H, y + size * 0.4)) + 1, x0:x1].max(initial=0.0) > 0.0:
            continue
        # big things must also keep their top clear of roads above them
        if kind in ('tree', 'pine', 'palm'):
            ytop = int(max(0, y - size * 1.4))
            if droad[ytop:yi + 1, max(0, xi - int(size * 0.6)):xi + int(size * 0.6) + 1].min() < ROAD_HALF + 4:
                continue
            if dpad[ytop:yi + 1, max(0, xi - int(size * 0.6)):xi + int(size * 0.6) + 1].min() < 34:
                continue
        placed.append((y, x, kind, size))
    placed.sort()
    for y, x, kind, size in placed:
        spr, ax, ay = _make(biome, kind, size, rng)
        cv.stamp(spr, x - ax, y - ay)


def _pick(biome, roll, s):
    if biome == 'desert':
        if roll < 0.10:
            return 'rock', 14 + 24 * s
        if roll < 0.15:
            return 'cactus', 26 + 16 * s
        if roll < 0.24:
            return 'drybush', 12 + 10 * s
        if roll < 0.26:
            return 'bones', 18 + 8 * s
        if roll < 0.28:
            return 'palm', 30 + 10 * s
        return None, 0
    if biome == 'jungle':
        if roll < 0.22:
            return 'tree', 26 + 22 * s
        if roll < 0.40:
            return 'bush', 12 + 14 * s
        if roll < 0.50:
            return 'palm', 24 + 12 * s
        if roll < 0.62:
            return 'grass', 8 + 6 * s
        if roll < 0.66:
            return 'rock', 10 + 10 * s
        return None, 0
    if biome == 'mountain':
        if roll < 0.26:
            return 'pine', 22 + 18 * s
        if roll < 0.46:
            return 'rock', 12 + 26 * s
        if roll < 0.56:
            return 'grass', 7 + 5 * s
        if roll < 0.60:
            return 'bush', 10 + 6 * s
        return None, 0
    if biome == 'fire':
        if roll < 0.16:
            return 'rock', 12 + 26 * s
        if roll < 0.24:
            return 'crystal', 12 + 12 * s
        if roll < 0.28:
            return 'deadtree', 20 + 12 * s
        return None, 0
    if biome == 'forest':
        if roll < 0.19:
            return 'tree', 26 + 22 * s
        if roll < 0.32:
            return 'bush', 10 + 12 * s
        if roll < 0.46:
            return 'grass', 7 + 6 * s
        if roll < 0.52:
            return 'mushroom', 7 + 5 * s
        if roll < 0.56:
            return 'rock', 10 + 12 * s
        return None, 0
    return None, 0


def _make(biome, kind, size, rng):
    if kind == 'rock':
        base = {'desert': hexc('#a8774e'), 'jungle': hexc('#8a8a80'),
                'mountain': mix(hexc('#77706a'), hexc('#8a7a66'), rng.random()),
                'fire': hexc('#3b3234'), 'forest': hexc('#8d8c84')}[biome]
        moss = hexc('#5d8a36') if biome in ('jungle', 'forest') else None
        snow = hexc('#eef2f6') if biome == 'mountain' and rng.random() < 0.35 else None
        return decor.rock(rng, size, base, moss=moss, snow=snow)
    if kind == 'cactus':
        return decor.cactus(rng, size)
    if kind == 'drybush':
        return decor.dry_shrub(rng, size)
    if kind == 'bones':
        return decor.bones(rng, size)
    if kind == 'palm':
        return decor.palm(rng, size, hexc('#5e9b3a'), hexc('#2d5a22'))
    if kind == 'tree':
        if biome == 'jungle':
            leaf = mix(hexc('#2f7a32'), hexc('#4f9a2c'), rng.random())
            fruit = hexc('#f2a43a') if rng.random() < 0.08 else None
            return decor.tree(rng, size, leaf, hexc('#173d1a'), fruit=fruit)
        leaf = mix(hexc('#4c8a2e'), hexc('#8aa83a'), rng.random() * 0.6)
        if rng.random() < 0.15:
            leaf = hexc('#c9822f')     # an early autumn tree
        fruit = hexc('#d83a2a') if rng.random() < 0.1 else None
        return decor.tree(rng, size, leaf, hexc('#1f3d17'), fruit=fruit)
    if kind == 'bush':
        if biome == 'mountain':
            return decor.bush(rng, size, hexc('#6b7d45'), hexc('#303a20'))
        flowers = None
        r = rng.random()
        if r < 0.35:
            flowers = [hexc('#f25c8a'), hexc('#ffd23f'), hexc('#ffffff'), hexc('#b072ff')][int(r * 11) % 4]
        leaf = hexc('#3f8a34') if biome == 'jungle' else hexc('#5a9238')
        return decor.bush(rng, size, leaf, hexc('#1d3f18'), flowers=flowers)
    if kind == 'grass':
        if biome == 'mountain':
            return decor.grass_tuft(rng, size, hexc('#b8b070'), hexc('#6d6a3a'))
        return decor.grass_tuft(rng, size, hexc('#8cc45a'), hexc('#2f6a25'))
    if kind == 'pine':
        snow = hexc('#f4f7fb') if rng.random() < 0.55 else None
        return decor.pine(rng, size, hexc('#2f5e3c'), hexc('#122a1a'), snow=snow)
    if kind == 'mushroom':
        cap = hexc('#c0392b') if rng.random() < 0.6 else hexc('#c98a3a')
        return decor.mushroom(rng, size, cap)
    if kind == 'crystal':
        return decor.crystal(rng, size, hexc('#4a1e1a'), hexc('#ff7a2a'))
    if kind == 'deadtree':
        return _dead_tree(rng, size)
    raise ValueError(kind)


def _dead_tree(rng, size):
    w, h = int(size * 1.6) + 10, int(size * 1.8) + 10
    cv = Canvas(w, h)
    cx, base = w * 0.45, h - 6
    cv.over(gaussian(cover(sd_ellipse(cv.X, cv.Y, cx + size * 0.3, base, size * 0.45, size * 0.12)), 2),
            (0, 0, 0), 0.5)
    from raster import sd_capsule
    d = sd_capsule(cv.X, cv.Y, cx, base, cx + 2, base - size * 1.1, size * 0.1, size * 0.05)
    for i in range(4):
        y = base - size * (0.45 + 0.15 * i)
        side = 1 if i % 2 else -1
        ex = cx + side * size * (0.35 + 0.15 * rng.random())
        d = np.minimum(d, sd_capsule(cv.X, cv.Y, cx, y, ex, y - size * 0.3, size * 0.05, size * 0.02))
    cv.part(d, hexc('#2a201e'), outline=hexc('#120c0b'), ow=1.2, bevel=2, shade=0.8)
    ember = np.clip(np.sin(cv.Y * 0.9) * 2 - 1.6, 0, 1) * (d < -0.5)
    cv.over(ember, hexc('#ff7a2a'), 0.7)
    return cv, cx, base


def _grade(cv, biome, X, Y, road):
    """Warm colour grade and a soft vignette.

    The roads keep their stone colour: the warm tint would pull the
    blue-grey paving towards the sand and ash beside it.
    """
    tint = {'desert': (1.04, 1.0, 0.94), 'jungle': (1.0, 1.03, 0.96), 'mountain': (1.0, 1.0, 1.02),
            'fire': (1.08, 0.98, 0.92), 'forest': (1.03, 1.02, 0.95)}[biome]
    cv.col = cv.col * mix(np.array(tint, np.float32), 1.0, road[..., None])
    dx = (X / W - 0.5) * 2.0
    dy = (Y / H - 0.5) * 2.0
    vig = 1.0 - 0.22 * np.clip(dx * dx * 0.6 + dy * dy * 0.8 - 0.25, 0, 1)
    cv.col = np.clip(cv.col * vig[..., None], 0, 1)


def make(level_id):
    """Return (PNG pixels, screen canvas) of a level's background."""
    cv, _ = paint(level_id)
    screen = cv.rgb()
    return to_texture(screen, LEVELS[level_id]['placement']), screen
