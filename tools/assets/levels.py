"""Where things are on each level's field, in world units.

The field is 800 x 600 world units centred on the origin (x right, y up).
Enemies walk the waypoint routes below; each route is listed from the place
where its enemies appear (a point just outside the right edge, then the spawn
position) to the level's end point beside the nexus.  The backgrounds paint a
road under every route, a stone pad under every tower spot and a clearing
around the nexus.
"""

FIELD_W = 800.0
FIELD_H = 600.0

# A route: list of (x, y) world points.  The first point lies off the field
# so that the road runs in from the edge.
LEVELS = {
    1: {
        'name': 'desert',
        'file': 'Desert_BackGround.png',
        'placement': 'background_flat',
        'nexus': (-355.0, 30.0),
        'end': (-350.0, 10.0),
        'routes': [
            # enemies appear on the "wherestart0" marker at (350, -183)
            [(420, -183), (350, -183), (190, -180), (-170, 180), (-270, 170),
             (-260, 10), (-350, 10)],
            # and on "wherestart1" at (350, 165)
            [(420, 165), (350, 165), (180, 165), (-170, -200), (-270, -180),
             (-260, 10), (-350, 10)],
        ],
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
        'routes': [
            # wyverns and orcs appear at (350, -265), goblins and skeletons at
            # (350, -260) or (320, -260); all walk the one main route
            [(420, -263), (335, -263), (320, -125), (175, -125), (175, 0),
             (390, 0), (370, 245), (250, 235), (260, 100), (180, 110),
             (200, 250), (100, 230), (110, -255), (-150, -240), (-150, -140),
             (10, -140), (10, 55), (-265, 45), (-245, 220), (-55, 215),
             (-75, -75), (-340, -40)],
        ],
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
        'routes': [
            # lane 1 at (365, 250): the start-1 route
            [(420, 250), (365, 250), (200, 250), (215, -270), (1, -260),
             (1, 250), (-250, 230), (-240, 0), (-365, 30)],
            # lane 0 at (365, +-10): the straight main route
            [(420, 0), (365, 0), (-365, 30)],
            # lane 2 at (365, -170): the start-0 route
            [(420, -170), (365, -170), (90, -170), (95, 175), (-150, 160),
             (-130, -230), (-250, -230), (-250, 30), (-365, 30)],
        ],
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
        'routes': [
            # every enemy appears at (380, -20) (goblins at (390, -20))
            [(420, -20), (380, -20), (313, -10), (333, -171), (209, -152),
             (208, -34), (133, -47), (145, -175), (76, -160), (88, -256),
             (-10, -250), (4, -100), (62, -109), (54, -16), (-80, -30),
             (-68, -167), (-213, -148), (-200, 5), (-357, 10)],
            [(420, -20), (380, -20), (313, -10), (332, 150), (198, 138),
             (212, 55), (130, 70), (140, 162), (30, 152), (50, 50), (-70, 70),
             (-53, 123), (0, 123), (-17, 208), (-142, 191), (-130, -25),
             (-357, 10)],
        ],
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
        # The test level spawns enemies by hand; its trails follow the
        # markers "wherestart0/1" and the three "PathFinder" markers.
        'routes': [
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


def world_to_image(x, y, w, h):
    """World point -> pixel position on a screen image of w x h pixels."""
    return (x / FIELD_W + 0.5) * w, (0.5 - y / FIELD_H) * h


def image_to_world(px, py, w, h):
    return (px / w - 0.5) * FIELD_W, (0.5 - py / h) * FIELD_H
