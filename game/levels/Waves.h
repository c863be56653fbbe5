// Waves: rounds, spawning and wave effects. Owns the spawn timer, the enemy
// serial and the wave effect state. The level's Update starts rounds, runs the
// spawn step every round frame and ends waves; between rounds it rolls the effect.
#pragma once

#include <cstdint>

#include "LevelState.h"

struct Enemy;

enum WaveEffect : uint32_t { EFFECT_MORE_HEALTH = 0, EFFECT_FASTER = 1, EFFECT_LESS_GOLD = 2 };

constexpr float SPAWN_INTERVAL = 3.0f;

// The spawn timer, the enemy serial and the wave effect state are part of the
// level's rules (LevelState.h), which each level's Init resets.

// False (and nothing happens) once all six waves are done or the level is lost.
bool StartRound();
// The selector's title between rounds, and the start prompt while a round can
// still start (never on the end screens); `shown` false hides both.
void ShowRoundPrompts(bool shown);
void SpawnStep();
void EndWave();
void RollWaveEffect();
void SpawnGroup(Enemy* leader);
void ScaleEnemyForWave(Enemy* enemy);
void ApplyWaveEffect(Enemy* enemy);
void PrintWaveForecast(uint32_t seed, int mode);
// The forecast name of a spawn draw (0 Skeleton, 1 Goblin, 2 Orc, 3 Wyvern).
const char* EnemyDrawName(int draw);
