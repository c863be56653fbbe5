// LevelData: what tells the level states apart, in one table: background,
// nexus, tower spots, spawn markers, label colours, seeds, the spawn rule, the
// order of the update steps and the state that follows. The level module reads
// the description of the current state; a reader sees every difference here.
#pragma once

#include <cstdint>

#include <LEMath.h>

#include "LevelState.h"
#include "objects/GameObject.h"

// Where a spawn event puts its group.
enum class SpawnRule {
    Markers,      // on "wherestart1" or "wherestart0", by a coin toss
    FixedLanes,   // fixed points per kind near the bottom right (a coin is tossed anyway)
    RandomLane,   // one of three lanes on the right edge
    ForcedRoute,  // one point; a coin toss forces the start-0 route on the group
    Manual,       // the player places enemies with the right mouse button
};

// Where the cheats and statistics run in the level's Update.
enum class CheatOrder {
    AfterFocus,  // once the level is known to have the focus
    AfterPause,  // after the pause step, and without the statistics
    First,       // before the focus test, so they also run without the focus
};

struct MarkerDesc {
    const char* name = "";
    uint32_t id = 0;
    Vector2 position{};
    Vector2 size{};
    bool drawn = true;  // drawn as an untextured quad
};

// One level state. The defaults are what most levels share; each entry of the
// table names only the fields in which its level differs.
struct LevelDesc {
    int32_t stateId = 0;
    const char* backgroundPath = "";
    float backgroundRotation = QUARTER_TURN;
    Vector2 backgroundSize{600, -800};  // a negative height mirrors the picture
    Vector2 nexusPosition{};
    uint32_t coinId = 10;
    uint32_t firstTurretId = 65835;  // the level's three turrets take this id and the next two
    int towerSpotCount = 0;
    Vector2 towerSpots[TOWER_SPOT_COUNT]{};
    int markerCount = 0;
    MarkerDesc markers[5]{};
    bool endLabelsAtInit = false;    // Init makes the win and lose labels (others make them on demand)
    bool startPrompt = true;         // the character selection caption and the start prompt
    uint32_t nexusLabelColor = 0xFF000000;
    uint32_t cooldownLabelColor = 0xFF9F00C5;
    uint32_t effectLabelColor = 0xFF000000;
    Vector2 zoom{0.41666666f, 0.57347673f};  // multiplied into the level camera's zoom by Init
    uint32_t roundSeed = 0;          // the generator's seed at every round start
    int forecastMode = -1;           // what the round start prints; -1 for nothing
    SpawnRule spawnRule = SpawnRule::Markers;
    bool reseedEachSpawn = false;    // every spawn event reseeds from the calendar time
    bool scaleLeader = false;        // the group leader is scaled by the wave too
    CheatOrder cheatOrder = CheatOrder::AfterFocus;
    bool stopEnemySoundsOnFree = true;
    int32_t nextState = 0;           // where N leads once the level is won
    bool testLevel = false;          // manual spawning, test sound, debug window, labels left alone
};

// The description of a level state, or null for a state that is not a level.
const LevelDesc* FindLevelDesc(int32_t stateId);
// The description of the running state (level 1's when the state is no level).
const LevelDesc& CurrentLevelDesc();
