"""Where things are on each level's field, in world units.

The field is 800 x 600 world units centred on the origin (x right, y up).
Enemies walk the waypoint tables of game/actors/Enemy.cpp; `read_paths` reads
them from there, so the roads the backgrounds paint are the paths the game
uses.  Each level names where its enemies appear and which table they then
walk ('entries'); a road runs from the right edge through that place to the
table's first waypoint, wide enough for the whole group (a group's followers
stand in a row to the left of their leader).  The backgrounds also paint a
stone pad under every tower spot and a clearing around the nexus.
"""

import os
import re

FIELD_W = 800.0
FIELD_H = 600.0

REPO = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
ENEMY_SOURCE = os.path.join(REPO, 'game', 'actors', 'Enemy.cpp')

GROUP_SIZE = 5           # the largest group of followers (goblins: kind code 5)
GROUP_STEP = 15.0        # followers stand this far apart, to the left of the leader


def read_paths(source=ENEMY_SOURCE):
    """The waypoint tables of Enemy.cpp: {'L2_MAIN': [(x, y), ...], ...}."""
    with open(source) as f:
        text = f.read()
    tables = {}
    for name, body in re.findall(r'static const Waypoint (L\d_\w+)\[\]\s*=\s*\{(.*?)\};', text, re.S):
        pts = re.findall(r'\{\s*(-?[\d.]+)\s*,\s*(-?[\d.]+)\s*\}', body)
        tables[name] = [(float(x), float(y)) for x, y in pts]
    if not tables:
        raise RuntimeError('no waypoint tables found in ' + source)
    return tables


LEVELS = {
    1: {
        'name': 'desert',
        'file': 'Desert_BackGround.png',
        'placement': 'background_flat',
        'nexus': (-355.0, 30.0),
        'end': (-350.0, 10.0),
        # (where a group's leader appears, the table it then walks); the
        # "wherestart0" and "wherestart1" markers of LevelData.cpp
        'entries': [((350, -183), 'L1_START0'), ((350, 165), 'L1_START1')],
        'spots': [(30, 85), (30, -90), (325, -230), (325, 215), (-200, 50),
                  (-200, -50), (-185, 215), (-185, -225)],
        'gates': [(350, -183), (350, 165)],
    },
    2: {
        'name': 'jungle',
        'file': 'others_jungle.png',
        'placement': 'background_mirrored',
        'nexus': (-340.0, -40.0),
        'end': (-340.0, -40.0),
        # wyverns and orcs appear at (350, -265), goblins at (350, -260) or
        # (320, -260), skeletons at (320, -260) (Waves.cpp, FixedLanes)
        'entries': [((350, -265), 'L2_MAIN'), ((320, -260), 'L2_MAIN')],
        'spots': [(240, -80), (160, 165), (65, -20), (315, 165), (60, -190),
                  (-100, -195), (-160, -12), (-160, 115), (-35, -20)],
        'gates': [(340, -263)],
    },
    3: {
        'name': 'mountain',
        'file': 'monte.png',
        'placement': 'background_mirrored',
        'nexus': (-365.0, 30.0),
        'end': (-365.0, 30.0),
        # one of three lanes on the right edge (Waves.cpp, RandomLane); the
        # top and bottom lanes lie on the start markers
        'entries': [((365, 250), 'L3_START1'), ((365, 10), 'L3_MAIN'),
                    ((365, -10), 'L3_MAIN'), ((365, -170), 'L3_START0')],
        'spots': [(165, 80), (165, -70), (60, 80), (-55, 80), (-55, -70),
                  (-180, -70), (-180, 80), (290, -70), (290, 80)],
        'gates': [(365, 250), (365, 0), (365, -170)],
    },
    4: {
        'name': 'fire',
        'file': 'Fire.png',
        'placement': 'background_mirrored',
        'nexus': (-357.0, 10.0),
        'end': (-357.0, 10.0),
        # every group appears at (380, -20), goblins at (390, -20); a coin
        # toss sends it along the start-0 table (Waves.cpp, ForcedRoute)
        'entries': [((390, -20), 'L4_MAIN'), ((390, -20), 'L4_START0')],
        'spots': [(-92, 90), (47, -185), (95, 100), (175, 0), (100, -100),
                  (-130, -80), (-195, 40), (275, -95), (275, 80)],
        'gates': [(385, -20)],
    },
    0: {
        'name': 'forest',
        'file': 'others_forest.png',
        'placement': 'background_flat',
        'nexus': (-310.0, 10.0),
        'end': (-310.0, 10.0),
        # The test level spawns enemies by hand and has no waypoint table;
        # its trails follow the markers "wherestart0/1" and the three
        # "PathFinder" markers.
        'trails': [
            [(420, 200), (350, 200), (80, 200), (55, 0), (-310, 10)],
            [(420, -200), (350, -200), (80, -200), (55, 0)],
        ],
        'spots': [(180, 150), (180, -150), (325, -150), (325, 150), (-50, 50),
                  (-50, -50), (-160, 50), (-160, -50), (125, 0)],
        'gates': [(350, 200), (350, -200)],
    },
}

# Drawn sizes in world units.
SPOT_SIZE = 50.0
NEXUS_SIZE = 70.0
ENEMY_SIZE = 40.0
ROAD_HALF = 23.0         # enemies are 40 x 40: the road is a little wider


def routes(level_id, tables=None):
    """The polylines a level's roads follow, from the right edge inwards.

    Every entry gives one road from the edge to the place where the group's
    leader appears, the row its followers stand in, and one line from each of
    them to the first waypoint of the table they walk; then the table itself.
    """
    L = LEVELS[level_id]
    if 'trails' in L:
        return [list(t) for t in L['trails']]
    tables = tables or read_paths()
    out = []
    for (x, y), name in L['entries']:
        path = tables[name]
        out.append([(FIELD_W / 2 + 20, y), (x, y), (x - GROUP_STEP * GROUP_SIZE, y)])
        for i in range(GROUP_SIZE + 1):
            out.append([(x - GROUP_STEP * i, y), path[0]])
        out.append(list(path))
    return out


def world_to_image(x, y, w, h):
    """World point -> pixel position on a screen image of w x h pixels."""
    return (x / FIELD_W + 0.5) * w, (0.5 - y / FIELD_H) * h


def image_to_world(px, py, w, h):
    return (px / w - 0.5) * FIELD_W, (0.5 - py / h) * FIELD_H
