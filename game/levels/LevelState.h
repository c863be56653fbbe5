// LevelState: the level-wide globals that the level states and the actors share:
// the rules (nexus health, waves, phases, end flags, cheats), the level's
// resources and raw pointers to the objects it drives. The level module owns and
// resets them; enemies, heroes and towers read and write them directly.
#pragma once

#include <cstdint>

#include <LEAudio.h>
#include <src/LEFont.h>
#include <src/LEMesh.h>
#include <src/LETexture.h>

#include "objects/ObjectRef.h"

struct GameObject;
struct Button;
struct Player;
struct Tower;
struct CharSel;
struct Shop;
struct Pause;

constexpr int WAVE_COUNT = 6;
constexpr int TOWER_SPOT_COUNT = 9;
constexpr int TOWER_BUTTON_COUNT = 5;
constexpr int TURRET_COUNT = 5;     // three from the level, two companions of the hero

// The rules of the level in play: what a level starts afresh with, in one record
// that Init resets whole, so that no field can be forgotten. The cheats count
// per level: one switched on in a level is not switched off by the first press
// in the next.
struct LevelRules {
    int32_t nexusHealth = 10000;
    uint32_t waveIndex = 0;          // waves completed, 0..6
    uint32_t enemiesRemaining = 0;   // kills still needed in the running wave
    bool betweenRounds = true;
    bool levelWon = false, levelLost = false;
    bool waveScalingOn = false;
    bool cheatMoney = false, cheatDamage = false, cheatNexus = false, cheatNonStop = false;
};
extern LevelRules levelRules;

// The waves' state (see Waves.h), which no level resets: it starts with the
// program and carries over from level to level and through restarts. The next
// level's first wave may thus have any effect but the last one rolled, and a
// round lost and restarted keeps the effect it was rolled with.
struct WaveState {
    float spawnTimer = 0.0f;         // seconds of round time since the last spawn event
    uint32_t enemySerial = 0;        // enemy ids are 1000 + this
    uint32_t waveEffect = 0;
    uint32_t previousWaveEffect = 0;
    bool waveEffectPending = true;   // the next wave's effect is still to be rolled
};
extern WaveState waveState;

// The rules under the names the game uses everywhere.
inline int32_t& nexusHealth = levelRules.nexusHealth;
inline uint32_t& waveIndex = levelRules.waveIndex;
inline uint32_t& enemiesRemaining = levelRules.enemiesRemaining;
inline bool& betweenRounds = levelRules.betweenRounds;
inline bool& levelWon = levelRules.levelWon;
inline bool& levelLost = levelRules.levelLost;
inline bool& waveScalingOn = levelRules.waveScalingOn;
inline bool& cheatMoney = levelRules.cheatMoney;
inline bool& cheatDamage = levelRules.cheatDamage;
inline bool& cheatNexus = levelRules.cheatNexus;
inline bool& cheatNonStop = levelRules.cheatNonStop;
inline float& spawnTimer = waveState.spawnTimer;
inline uint32_t& enemySerial = waveState.enemySerial;
inline uint32_t& waveEffect = waveState.waveEffect;
inline uint32_t& previousWaveEffect = waveState.previousWaveEffect;
inline bool& waveEffectPending = waveState.waveEffectPending;

extern uint32_t waveKillTargets[WAVE_COUNT];
extern ObjectRef<Player> currentPlayer;  // null until a hero is chosen, and once it leaves

// Resources (Load acquires, Unload releases).
extern LEMesh* quadMesh;
extern LEFont* levelFont;

// Objects the level drives (owned by objectList).
extern GameObject* background;
extern GameObject* nexus;
extern GameObject* currencyIcon;
extern GameObject* towerSpots[TOWER_SPOT_COUNT];
extern GameObject* spawnPoints[3];
extern Button* towerButtons[TOWER_BUTTON_COUNT];
extern ObjectRef<Tower> turrets[TURRET_COUNT];
extern CharSel* charSelScreen;
extern Shop* shop;
extern GameObject* controlsText;  // the controls text's place on the screen stack (P)
extern Pause* pauseMenu;  // every playable level has one; the test level has none  // the companions (3, 4) are null until a hero is chosen

// Enemy kinds in the order the spawn draws them.
enum EnemyDraw { DRAW_SKELETON, DRAW_GOBLIN, DRAW_ORC, DRAW_WYVERN, DRAW_COUNT };
extern LETexture* enemyTextures[DRAW_COUNT];
extern SoundAsset* enemySounds[DRAW_COUNT];
extern SoundChannel enemyChannels[DRAW_COUNT];
