// Hunter: the hero who strikes the first enemy within 100 units of its attack
// point, hitting harder by its kindBonus, and whose ability lays a 200 x 200 area
// that strengthens every turret inside it for four seconds. Owns the Hunter's
// program-wide attack and ability state, which outlives heroes and levels.
#pragma once

#include <vector>

#include "Player.h"
#include "Tower.h"

extern bool hunterAttackReady;
extern float hunterAttackTimer;   // seconds since the last attack
extern bool hunterAbilityReady;
extern float hunterAbilityTimer;  // seconds the ability has run

struct Hunter : Player {
    // A turret the running ability strengthened, and by how much.
    struct TowerBuff {
        ObjectRef<Tower> tower;
        float bonus;
    };

    float buffLevel = 0.0f;
    ObjectRef<Tower> lastBuffedTower;
    std::vector<TowerBuff> buffedTowers;

    void Load() override;
    void Unload() override;
    void Update() override;

private:
    void Attack();
    void AbilityStep();
    void BuffTowersInArea();
    void EndBuffs();
};
