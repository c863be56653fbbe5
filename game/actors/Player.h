// Player: the hero the player walks. The enemies pay their gold into it and the
// level's cheats and statistics read it; the hero's movement, attacks and
// abilities build on these fields.
#pragma once

#include "objects/GameObject.h"

// heroKind values.
constexpr int HERO_HUNTER = 0;
constexpr int HERO_BARD = 1;
constexpr int HERO_THIEF = 2;

struct Player : Sprite {
    float gold = 0.0f;
    float attackDamage = 0.0f;
    float attackInterval = 0.0f;
    float abilityCooldown = 0.0f;
    int damageLevel = 1;
    int heroKind = HERO_HUNTER;
    float kindBonus = 0.0f;  // the Thief's extra gold per kill
};
