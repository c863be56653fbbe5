// LevelData: the table of level descriptions (see LevelData.h).
#include "LevelData.h"

#include "main/GameStates.h"

static const LevelDesc LEVELS[] = {
    {
        STATE_LEVEL_1,
        "Assets/Sprites/Others/Desert_BackGround.png",
        -1.5707964f,
        {600, 800},
        {-355, 30},
        8,
        {{30, 85}, {30, -90}, {325, -230}, {325, 215}, {-200, 50}, {-200, -50}, {-185, 215}, {-185, -225}},
        {{350, -183}, {350, 165}, {1000, 1000}},
        1336320,
        1,
        {0.41666666f, 0.57347673f},
        STATE_LEVEL_2,
    },
};

const LevelDesc* FindLevelDesc(int32_t stateId)
{
    for (const LevelDesc& level : LEVELS)
        if (level.stateId == stateId) return &level;
    return nullptr;
}
