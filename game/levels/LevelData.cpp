// LevelData: the table of level descriptions (see LevelData.h).
#include "LevelData.h"

#include <LEGameState.h>

#include "main/GameStates.h"
#include "objects/GameObject.h"

static constexpr Vector2 FAR_AWAY{1000, 1000};

static const LevelDesc LEVELS[] = {
    {
        STATE_LEVEL_1, "Assets/Sprites/Others/Desert_BackGround.png", -QUARTER_TURN, {600, 800},
        {-355, 30}, 655350, 4395,
        8, {{30, 85}, {30, -90}, {325, -230}, {325, 215}, {-200, 50}, {-200, -50}, {-185, 215}, {-185, -225}},
        3, {{"wherestart0", 408, {350, -183}, {80, 40}, false}, {"wherestart1", 409, {350, 165}, {80, 40}, false},
            {"wherestart1", 410, FAR_AWAY, {80, 40}, false}},
        true, true, 0xFF0000FF, 0xFF9F00C5, 0xFF000000,
        {0.41666666f, 0.57347673f}, 1336320, 1, SpawnRule::Markers, false, true, CheatOrder::AfterFocus, true,
        STATE_LEVEL_2, false,
    },
    {
        STATE_LEVEL_2, "Assets/Sprites/Others/others_jungle.png", QUARTER_TURN, {600, -800},
        {-340, -40}, 10, 65835,
        9, {{240, -80}, {160, 165}, {65, -20}, {315, 165}, {60, -190}, {-100, -195}, {-160, -12}, {-160, 115}, {-35, -20}},
        3, {{"wherestart0", 403, {1000, -1000}, {80, 50}, true}, {"wherestart1", 404, FAR_AWAY, {80, 50}, true},
            {"wherestart1", 405, FAR_AWAY, {80, 50}, true}},
        false, true, 0xFF000000, 0xFF9F00C5, 0xFF000000,
        {0.41666666f, 0.57347673f}, 12004271, 2, SpawnRule::FixedLanes, false, false, CheatOrder::AfterPause, true,
        STATE_LEVEL_3, false,
    },
    {
        STATE_LEVEL_3, "Assets/Sprites/Others/monte.png", QUARTER_TURN, {600, -800},
        {-365, 30}, 10, 65835,
        9, {{165, 80}, {165, -70}, {60, 80}, {-55, 80}, {-55, -70}, {-180, -70}, {-180, 80}, {290, -70}, {290, 80}},
        3, {{"wherestart0", 403, {365, -170}, {80, 50}, true}, {"wherestart1", 404, {365, 250}, {80, 50}, true},
            {"wherestart2", 404, {365, -170}, {80, 50}, true}},
        false, true, 0xFF000000, 0xFF9F00C5, 0xFF000000,
        {0.41666666f, 0.57347673f}, 11130113, -1, SpawnRule::RandomLane, true, false, CheatOrder::First, true,
        STATE_LEVEL_4, false,
    },
    {
        STATE_LEVEL_4, "Assets/Sprites/Others/Fire.png", QUARTER_TURN, {600, -800},
        {-357, 10}, 10, 65835,
        9, {{-92, 90}, {47, -185}, {95, 100}, {175, 0}, {100, -100}, {-130, -80}, {-195, 40}, {275, -95}, {275, 80}},
        3, {{"wherestart0", 403, FAR_AWAY, {80, 50}, true}, {"wherestart1", 404, FAR_AWAY, {80, 50}, true},
            {"wherestart2", 404, FAR_AWAY, {80, 50}, true}},
        false, true, 0xFFFFFFFF, 0xFF00EEFF, 0xFFFFFFFF,
        {0.41666666f, 0.57347673f}, 14141414, -1, SpawnRule::ForcedRoute, true, false, CheatOrder::First, false,
        STATE_MAIN_MENU, false,
    },
    {
        STATE_LEVEL_0, "Assets/Sprites/Others/others_forest.png", -QUARTER_TURN, {600, 800},
        {-310, 10}, 10, 4395,
        9, {{180, 150}, {180, -150}, {325, -150}, {325, 150}, {-50, 50}, {-50, -50}, {-160, 50}, {-160, -50}, {125, 0}},
        5, {{"wherestart0", 403, {350, -200}, {80, 50}, true}, {"wherestart1", 404, {350, 200}, {80, 50}, true},
            {"PathFinder0", 400, {80, 200}, {10, 10}, true}, {"PathFinder1", 401, {55, 0}, {10, 10}, true},
            {"PathFinder2", 402, {80, -200}, {10, 10}, true}},
        false, false, 0xFF0000FF, 0xFF9F00C5, 0xFF000000,
        {0.5f, 0.6666667f}, 12345678, 0, SpawnRule::Manual, false, false, CheatOrder::AfterFocus, true,
        STATE_LEVEL_1, true,
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
