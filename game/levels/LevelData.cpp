// LevelData: the table of level descriptions (see LevelData.h).
#include "LevelData.h"

#include <LEGameState.h>

#include "main/GameStates.h"
#include "objects/GameObject.h"

static constexpr Vector2 FAR_AWAY{1000, 1000};

// Each level names only what sets it apart from the defaults in LevelData.h.
static const LevelDesc LEVELS[] = {
    {
        .stateId = STATE_LEVEL_1,
        .backgroundPath = "Assets/Sprites/Others/Desert_BackGround.png",
        .backgroundRotation = -QUARTER_TURN,
        .backgroundSize = {600, 800},
        .nexusPosition = {-355, 30},
        .coinId = 655350,
        .firstTurretId = 4395,
        .towerSpotCount = 8,
        .towerSpots = {{30, 85}, {30, -90}, {325, -230}, {325, 215}, {-200, 50}, {-200, -50}, {-185, 215}, {-185, -225}},
        .markerCount = 3,
        .markers = {{.name = "wherestart0", .id = 408, .position = {350, -183}, .size = {80, 40}, .drawn = false},
                    {.name = "wherestart1", .id = 409, .position = {350, 165}, .size = {80, 40}, .drawn = false},
                    {.name = "wherestart1", .id = 410, .position = FAR_AWAY, .size = {80, 40}, .drawn = false}},
        .endLabelsAtInit = true,
        .nexusLabelColor = 0xFF0000FF,
        .roundSeed = 1336320,
        .forecastMode = 1,
        .scaleLeader = true,
        .nextState = STATE_LEVEL_2,
    },
    {
        .stateId = STATE_LEVEL_2,
        .backgroundPath = "Assets/Sprites/Others/others_jungle.png",
        .nexusPosition = {-340, -40},
        .towerSpotCount = 9,
        .towerSpots = {{240, -80}, {160, 165}, {65, -20}, {315, 165}, {60, -190}, {-100, -195}, {-160, -12}, {-160, 115},
                       {-35, -20}},
        .markerCount = 3,
        .markers = {{.name = "wherestart0", .id = 403, .position = {1000, -1000}, .size = {80, 50}},
                    {.name = "wherestart1", .id = 404, .position = FAR_AWAY, .size = {80, 50}},
                    {.name = "wherestart1", .id = 405, .position = FAR_AWAY, .size = {80, 50}}},
        .roundSeed = 12004271,
        .forecastMode = 2,
        .spawnRule = SpawnRule::FixedLanes,
        .cheatOrder = CheatOrder::AfterPause,
        .nextState = STATE_LEVEL_3,
    },
    {
        .stateId = STATE_LEVEL_3,
        .backgroundPath = "Assets/Sprites/Others/monte.png",
        .nexusPosition = {-365, 30},
        .towerSpotCount = 9,
        .towerSpots = {{165, 80}, {165, -70}, {60, 80}, {-55, 80}, {-55, -70}, {-180, -70}, {-180, 80}, {290, -70},
                       {290, 80}},
        .markerCount = 3,
        .markers = {{.name = "wherestart0", .id = 403, .position = {365, -170}, .size = {80, 50}},
                    {.name = "wherestart1", .id = 404, .position = {365, 250}, .size = {80, 50}},
                    {.name = "wherestart2", .id = 404, .position = {365, -170}, .size = {80, 50}}},
        .roundSeed = 11130113,
        .spawnRule = SpawnRule::RandomLane,
        .reseedEachSpawn = true,
        .cheatOrder = CheatOrder::First,
        .nextState = STATE_LEVEL_4,
    },
    {
        .stateId = STATE_LEVEL_4,
        .backgroundPath = "Assets/Sprites/Others/Fire.png",
        .nexusPosition = {-357, 10},
        .towerSpotCount = 9,
        .towerSpots = {{-92, 90}, {47, -185}, {95, 100}, {175, 0}, {100, -100}, {-130, -80}, {-195, 40}, {275, -95},
                       {275, 80}},
        .markerCount = 3,
        .markers = {{.name = "wherestart0", .id = 403, .position = FAR_AWAY, .size = {80, 50}},
                    {.name = "wherestart1", .id = 404, .position = FAR_AWAY, .size = {80, 50}},
                    {.name = "wherestart2", .id = 404, .position = FAR_AWAY, .size = {80, 50}}},
        .nexusLabelColor = 0xFFFFFFFF,
        .cooldownLabelColor = 0xFF00EEFF,
        .effectLabelColor = 0xFFFFFFFF,
        .roundSeed = 14141414,
        .spawnRule = SpawnRule::ForcedRoute,
        .reseedEachSpawn = true,
        .cheatOrder = CheatOrder::First,
        .stopEnemySoundsOnFree = false,
        .nextState = STATE_MAIN_MENU,
    },
    {
        .stateId = STATE_LEVEL_0,
        .backgroundPath = "Assets/Sprites/Others/others_forest.png",
        .backgroundRotation = -QUARTER_TURN,
        .backgroundSize = {600, 800},
        .nexusPosition = {-310, 10},
        .firstTurretId = 4395,
        .towerSpotCount = 9,
        .towerSpots = {{180, 150}, {180, -150}, {325, -150}, {325, 150}, {-50, 50}, {-50, -50}, {-160, 50}, {-160, -50},
                       {125, 0}},
        .markerCount = 5,
        .markers = {{.name = "wherestart0", .id = 403, .position = {350, -200}, .size = {80, 50}},
                    {.name = "wherestart1", .id = 404, .position = {350, 200}, .size = {80, 50}},
                    {.name = "PathFinder0", .id = 400, .position = {80, 200}, .size = {10, 10}},
                    {.name = "PathFinder1", .id = 401, .position = {55, 0}, .size = {10, 10}},
                    {.name = "PathFinder2", .id = 402, .position = {80, -200}, .size = {10, 10}}},
        .startPrompt = false,
        .nexusLabelColor = 0xFF0000FF,
        .zoom = {0.5f, 0.6666667f},
        .roundSeed = 12345678,
        .forecastMode = 0,
        .spawnRule = SpawnRule::Manual,
        .nextState = STATE_LEVEL_1,
        .testLevel = true,
    },
};

const LevelDesc* FindLevelDesc(int32_t stateId)
{
    for (const LevelDesc& level : LEVELS)
        if (level.stateId == stateId) return &level;
    return nullptr;
}

const LevelDesc& CurrentLevelDesc()
{
    const LevelDesc* level = FindLevelDesc(currentState);
    return level ? *level : LEVELS[0];
}
