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

// Rules.
extern int32_t nexusHealth;
extern uint32_t waveKillTargets[WAVE_COUNT];
extern uint32_t waveIndex;          // waves completed, 0..6
extern uint32_t enemiesRemaining;   // kills still needed in the running wave
extern bool betweenRounds;
extern bool levelWon, levelLost;
extern bool howToPlayOpen;
extern bool waveScalingOn;
extern ObjectRef<Player> currentPlayer;  // null until a hero is chosen, and once it leaves
extern bool cheatMoney, cheatDamage, cheatNexus, cheatNonStop;

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
extern Pause* pauseMenu;  // every playable level has one; the test level has none  // the companions (3, 4) are null until a hero is chosen

// Enemy kinds in the order the spawn draws them.
enum EnemyDraw { DRAW_SKELETON, DRAW_GOBLIN, DRAW_ORC, DRAW_WYVERN, DRAW_COUNT };
extern LETexture* enemyTextures[DRAW_COUNT];
extern SoundAsset* enemySounds[DRAW_COUNT];
extern SoundChannel enemyChannels[DRAW_COUNT];
