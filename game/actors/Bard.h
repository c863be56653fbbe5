// Bard: the hero who strikes the first enemy within 50 units, quickens every
// turret once when it arrives, and whose ability strengthens one chosen turret
// for four seconds. Owns the Bard's program-wide attack state and the arrival flag.
#pragma once

#include "Player.h"
#include "Tower.h"

extern bool bardAttackReady;
extern float bardAttackTimer;   // seconds since the last attack
extern bool bardAbilityReady;   // set by the cooldown; the ability itself waits for abilityTimer 0
extern bool bardAuraApplied;    // this Bard's arrival bonus has been given

struct Bard : Player {
    ObjectRef<Tower> auraTower;      // the turret the running ability strengthens
    float abilityTimer = 0.0f;       // seconds the ability has run
    float auraBonus = 0.0f;          // what the running ability added to auraTower
    LEMesh* attackMesh = nullptr;    // owned

    ~Bard() override;
    void Load() override;
    void Unload() override;
    void Update() override;

private:
    void Attack();
    void AbilityStep();
    void EndAura();
};
