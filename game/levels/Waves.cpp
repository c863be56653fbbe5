// Waves: round start, spawn events, groups, scaling and wave effects (see Waves.h).
// Every draw comes from the process-wide rand(), so the order of draws matters:
// a round reseeds it with the level's seed, and the forecast replays the draws.
#include "Waves.h"

#include <cmath>   // Required for: std::log
#include <cstdio>  // Required for: printf
#include <cstdlib> // Required for: srand, rand
#include <ctime>   // Required for: time

#include <LEGameState.h>
#include <LESystem.h>

#include "Level.h"
#include "LevelData.h"
#include "LevelState.h"
#include "actors/Enemy.h"
#include "actors/Tower.h"
#include "objects/TextLabel.h"


static const char* const DRAW_NAMES[DRAW_COUNT] = {"Skeleton", "Goblin", "Orc", "Wyvern"};
static const float DRAW_KIND_CODES[DRAW_COUNT] = {KIND_SKELETON, KIND_GOBLIN, KIND_ORC, KIND_WYVERN};

const char* EnemyDrawName(int draw) { return draw >= 0 && draw < DRAW_COUNT ? DRAW_NAMES[draw] : ""; }

void PrintWaveForecast(uint32_t seed, int mode)
{
    srand(seed);
    if (waveIndex >= uint32_t(WAVE_COUNT) || waveKillTargets[waveIndex] == 0) return;
    for (uint32_t i = 0; i < waveKillTargets[waveIndex]; ++i) {
        printf("%s", DRAW_NAMES[rand() % 4]);
        if (mode == 2) {
            printf("\n");
            return;
        }
        printf("%s\n", rand() % 2 ? " Up" : " Down");
    }
}

bool StartRound()
{
    // The kill-target table has six entries: after the sixth wave the level is
    // over, and a lost level waits for R.
    if (waveIndex >= uint32_t(WAVE_COUNT) || levelLost) return false;
    const LevelDesc& level = CurrentLevelDesc();
    betweenRounds = false;
    enemiesRemaining = waveKillTargets[waveIndex];
    ShowRoundPrompts(false);
    if (level.forecastMode >= 0) {
        PrintWaveForecast(level.roundSeed, level.forecastMode);
        fflush(stdout);
    }
    srand(level.roundSeed);
    return true;
}

void ApplyWaveEffect(Enemy* enemy)
{
    switch (waveEffect) {
    case EFFECT_MORE_HEALTH: enemy->health += 100.0f; break;
    case EFFECT_FASTER: enemy->speed += 0.2f; break;
    case EFFECT_LESS_GOLD:
        enemy->goldDrop -= 2.0f;
        if (enemy->goldDrop < 0.0f) enemy->goldDrop = 0.0f;
        break;
    default: break;
    }
}

void ScaleEnemyForWave(Enemy* enemy)
{
    if (!waveScalingOn) return;
    double k = 0.0;
    switch (int(enemy->kindCode)) {
    case 3: k = 0.05; break;
    case 5: k = 0.15; break;
    case 2:
    case 4: k = 0.1; break;
    default: return;
    }
    const double w = double(waveIndex), h = double(enemy->health);
    enemy->health = float(h * (w * std::log(w)) + h);
    enemy->speed = float(double(enemy->speed) + w * k);
}

static Enemy* AddEnemy(float kindCode, float x, float y)
{
    Enemy* enemy = MakeEnemyOfKind(kindCode);
    const int draw = kindCode == KIND_SKELETON ? DRAW_SKELETON
                     : kindCode == KIND_GOBLIN ? DRAW_GOBLIN
                     : kindCode == KIND_ORC    ? DRAW_ORC
                                               : DRAW_WYVERN;
    AddObject(objectList, enemy, 1000 + enemySerial, "Enemy", x, y, 40, 40, QUARTER_TURN, quadMesh,
              enemyTextures[draw]);
    return enemy;
}

void SpawnGroup(Enemy* leader)
{
    const int n = int(leader->kindCode);
    for (int i = 0; i < n; ++i) {
        const float offset = 15.0f * float(i);
        Enemy* follower = AddEnemy(leader->kindCode, leader->transform.position.x - offset,
                                   leader->transform.position.y);
        ScaleEnemyForWave(follower);
        follower->pathCursor[PATH_L1_START0] = leader->pathCursor[PATH_L1_START0];
        follower->pathCursor[PATH_L1_START1] = leader->pathCursor[PATH_L1_START1];
        ApplyWaveEffect(follower);
        if (leader->start0RouteForced) follower->start0RouteForced = true;
        enemySerial += 1;
    }
}

static void PlayKindSound(int draw)
{
    // The channel Init prepared paused plays at the kind's first spawn.
    SoundChannel& channel = enemyChannels[draw];
    if (channel && channel->paused) AudioSetPaused(channel, false);
    channel = AudioPlay(enemySounds[draw], false, SOUND_GROUP_SFX);
}

// Where the leader of a group of this kind appears, by the level's spawn rule.
// Every rule draws its own numbers after the kind, in a fixed order.
static Vector2 LeaderPosition(SpawnRule rule, int draw, bool* forceStart0Route)
{
    switch (rule) {
    case SpawnRule::Markers: {
        const GameObject* marker = spawnPoints[rand() % 2 == 1 ? 1 : 0];
        return marker ? marker->transform.position : Vector2{};
    }
    case SpawnRule::FixedLanes: {
        const int side = rand() % 2;
        if (draw == DRAW_WYVERN || draw == DRAW_ORC) return {350, -265};
        if (draw == DRAW_GOBLIN) return {side == 1 ? 350.0f : 320.0f, -260};
        return {320, -260};
    }
    case SpawnRule::RandomLane: {
        const int lane = rand() % 3;
        const float y = lane == 1 ? 250.0f : lane == 2 ? -170.0f : (draw == DRAW_WYVERN ? -10.0f : 10.0f);
        return {365, y};
    }
    case SpawnRule::ForcedRoute:
        *forceStart0Route = rand() % 2 == 1;
        return {draw == DRAW_GOBLIN ? 390.0f : 380.0f, -20};
    case SpawnRule::Manual: break;
    }
    return {};
}

static void SpawnEvent(const LevelDesc& level)
{
    if (level.reseedEachSpawn) srand(unsigned(time(nullptr)));
    const int draw = rand() % 4;
    spawnTimer = 0.0f;
    bool forceStart0Route = false;
    const Vector2 p = LeaderPosition(level.spawnRule, draw, &forceStart0Route);
    Enemy* leader = AddEnemy(DRAW_KIND_CODES[draw], p.x, p.y);
    if (level.scaleLeader) ScaleEnemyForWave(leader);
    ApplyWaveEffect(leader);
    if (forceStart0Route) leader->start0RouteForced = true;
    SpawnGroup(leader);
    PlayKindSound(draw);
}

void SpawnStep()
{
    const LevelDesc& level = CurrentLevelDesc();
    if (spawnTimer >= SPAWN_INTERVAL && level.spawnRule != SpawnRule::Manual) SpawnEvent(level);
    spawnTimer = float(double(spawnTimer) + LEFrameTime());
    if (enemiesRemaining == 0) EndWave();
}

void ShowRoundPrompts(bool shown)
{
    // Enter does nothing on the end screens, nor under the controls text.
    const bool canStart = waveIndex < uint32_t(WAVE_COUNT) && !levelLost && !ControlsOpen();
    SetLabelVisible(16, shown && betweenRounds);
    SetLabelVisible(17, shown && betweenRounds && canStart);  // the test level has neither
}

// Survivors walk on; every turret grounds its shot and forgets its target.
void EndWave()
{
    for (Enemy* enemy : enemyList) enemy->start0RouteForced = false;
    for (Tower* turret : turrets)
        if (turret) turret->StandDown();
    waveEffectPending = true;
    betweenRounds = true;
    waveIndex += 1;
    SetLabelVisible(17, waveIndex < uint32_t(WAVE_COUNT));
}

void RollWaveEffect()
{
    // Two waves in a row never share an effect: draw one of the two others at once
    // rather than waiting for the clock to give a new seed.
    srand(unsigned(time(nullptr)));
    waveEffect = (previousWaveEffect + 1 + uint32_t(rand() % 2)) % 3;
    printf("%u\n", waveEffect);
    fflush(stdout);
    previousWaveEffect = waveEffect;
    waveEffectPending = false;
}
