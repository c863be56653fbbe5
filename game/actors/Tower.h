// Tower: the turrets the player drags onto tower spots between rounds and that
// shoot the first enemy in reach during a round, one projectile each. Owns
// towerList (non-owning) and the numbers of every kind. The level creates three
// towers in Init, the character selection two companions; heroes and the shop
// change their numbers.
#pragma once

#include "Enemy.h"
#include "objects/GameObject.h"
#include "objects/ObjectRef.h"

// The numbers of one kind of tower.
struct TowerKind {
    float projectileSpeed;  // world units per 1/60 s the projectile flies
    float damage;           // health taken from the target per hit
    float range;            // world units from the tower's centre
};

// Kinds 0 to 5: the Hunter's companion, the level's three turrets (1 to 3), the
// Bard's and the Thief's companions. Any other kind does nothing.
constexpr int TOWER_KIND_COUNT = 6;
constexpr TowerKind TOWER_KINDS[TOWER_KIND_COUNT] = {
    {.projectileSpeed = 0.75f, .damage = 35.0f, .range = 200.0f},
    {.projectileSpeed = 1.0f, .damage = 40.0f, .range = 75.0f},
    {.projectileSpeed = 2.25f, .damage = 15.0f, .range = 250.0f},
    {.projectileSpeed = 1.0f, .damage = 50.0f, .range = 90.0f},
    {.projectileSpeed = 1.0f, .damage = 25.0f, .range = 150.0f},
    {.projectileSpeed = 2.5f, .damage = 30.0f, .range = 100.0f},
};

constexpr uint32_t PROJECTILE_ID_BASE = 20000;  // a projectile's id is this plus its tower's kind
constexpr uint32_t REACH_CIRCLE_COLOR = 0xFF915C83;

struct Tower : GameObject {
    float projectileSpeed = 0.0f;
    float damage = 0.0f;
    float range = 0.0f;
    ObjectRef<GameObject> projectile;        // owned by objectList
    LETexture* particleTexture = nullptr;    // the projectile's picture
    bool placed = false;                     // put on a spot at least once
    bool dragging = false;                   // following the mouse
    Vector2 homePosition;                    // where a cancelled drag returns to
    int32_t upgradeLevel = 1;
    uint32_t spotCount = 0;                  // tower spots a drop may land on
    ObjectRef<Enemy> target;

    // Builds the tower's numbers and its projectile (added to objectList now);
    // the creator adds the tower itself.
    explicit Tower(int kind);
    void Load() override;
    void Unload() override;
    void Update() override;
    // The wave is over: the shot comes home hidden and the target is forgotten.
    void StandDown();

private:
    void UpdatePlacing();
    void UpdateShooting();
    void DropOnSpot(Vector2 mouse);
    void FlyProjectile();
    void GroundProjectile();
};

extern SceneIndex<Tower> towerList;

// A turret follows the mouse: it takes every press of the left button.
bool TurretInHand();
