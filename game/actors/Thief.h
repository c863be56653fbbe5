// Thief: the hero whose blade hits the first enemy its attack box touches, on
// every click, who earns extra gold per kill (kindBonus, paid by the enemy), and
// whose ability lays a poison area that drains every enemy in it each frame for
// four seconds. Owns the Thief's program-wide ability state.
#pragma once

#include "Player.h"

extern bool thiefAbilityReady;
extern float thiefAbilityTimer;  // seconds the ability has run

struct Thief : Player {
    ObjectRef<Enemy> lastPoisoned;

    void Load() override;
    void Update() override;

private:
    void Attack();
    void AbilityStep();
};
