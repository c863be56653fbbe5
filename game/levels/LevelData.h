// LevelData: what tells the level states apart, in one table: background,
// nexus, tower spots, spawn markers, seeds, zoom and the state that follows.
// The level module reads the description of the current state.
#pragma once

#include <cstdint>

#include <LEMath.h>

#include "LevelState.h"

struct LevelDesc {
    int32_t stateId;
    const char* backgroundPath;
    float backgroundRotation;
    Vector2 backgroundSize;
    Vector2 nexusPosition;
    int towerSpotCount;
    Vector2 towerSpots[TOWER_SPOT_COUNT];
    Vector2 spawnMarkers[3];
    uint32_t roundSeed;       // the generator's seed at every round start
    int forecastMode;         // what the wave forecast prints
    Vector2 zoom;             // multiplied into the level camera's zoom by Init
    int32_t nextState;        // where N leads once the level is won
};

// The description of a level state, or null for a state that is not a level.
const LevelDesc* FindLevelDesc(int32_t stateId);
