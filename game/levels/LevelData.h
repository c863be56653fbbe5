// LevelData: what tells the level states apart, in one table: background,
// nexus, tower spots, spawn markers, label colours, seeds, the spawn rule, the
// order of the update steps and the state that follows. The level module reads
// the description of the current state; a reader sees every difference here.
#pragma once

#include <cstdint>

#include <LEMath.h>

#include "LevelState.h"

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
    const char* name;
    uint32_t id;
    Vector2 position;
    Vector2 size;
    bool drawn;  // drawn as an untextured quad
};

struct LevelDesc {
    int32_t stateId;
    const char* backgroundPath;
    float backgroundRotation;
    Vector2 backgroundSize;  // a negative height mirrors the picture
    Vector2 nexusPosition;
    uint32_t coinId;
    uint32_t firstTurretId;  // the level's three turrets take this id and the next two
    int towerSpotCount;
    Vector2 towerSpots[TOWER_SPOT_COUNT];
    int markerCount;
    MarkerDesc markers[5];
    bool endLabelsAtInit;    // Init makes the win and lose labels (others make them on demand)
    bool startPrompt;        // the character selection caption and the start prompt
    uint32_t nexusLabelColor, cooldownLabelColor, effectLabelColor;
    Vector2 zoom;            // multiplied into the level camera's zoom by Init
    uint32_t roundSeed;      // the generator's seed at every round start
    int forecastMode;        // what the round start prints; -1 for nothing
    SpawnRule spawnRule;
    bool reseedEachSpawn;    // every spawn event reseeds from the calendar time
    bool scaleLeader;        // the group leader is scaled by the wave too
    CheatOrder cheatOrder;
    bool stopEnemySoundsOnFree;
    int32_t nextState;       // where N leads once the level is won
    bool testLevel;          // manual spawning, test sound, debug window, labels left alone
};

// The description of a level state, or null for a state that is not a level.
const LevelDesc* FindLevelDesc(int32_t stateId);
// The description of the running state (level 1's when the state is no level).
const LevelDesc& CurrentLevelDesc();
