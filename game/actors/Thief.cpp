// Thief: blade, poison area and their state (see Thief.h).
#include "Thief.h"

#include <cmath>  // Required for: std::fabs

#include <LEInput.h>
#include <LESystem.h>

#include "Enemy.h"
#include "levels/LevelState.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"

bool thiefAbilityReady = true;
float thiefAbilityTimer = 0.0f;

static constexpr HeroNumbers THIEF{
    .attackDamage = 40.0f,
    .moveSpeed = 5.0f,
    .attackInterval = 2.5f,  // the blade needs no recovery: every click strikes
    .kindBonus = 1.0f,       // extra gold per kill
    .abilitySound = "Assets/Audio/SFX/sfx_thief.wav",
};
static constexpr Vector2 AREA_SIZE{50, 50};
static constexpr uint32_t AREA_COLOR = 0xFF9F00C5;

void Thief::Load()
{
    LoadNumbers(THIEF, HERO_THIEF);
    AddAttackObject(1501, "Sword", -10.0f, nullptr);  // in front of the hero
    AddAbilityArea(12000, "PoisonArea", AREA_SIZE, AREA_COLOR);
    TakeAttackOffset();
}

void Thief::Update()
{
    Move();
    Attack();
    if (thiefAbilityTimer > ABILITY_DURATION) {
        abilityArea->active = abilityArea->visible = false;
        TickAbilityCooldown(&thiefAbilityTimer, &thiefAbilityReady);
    } else {
        AbilityStep();
    }
    RestWhenFinished();
}

void Thief::Attack()
{
    AttackStep();
    // The blade's box is the attack point's, measured the same whichever way the
    // hero faces (the mirrored scale would otherwise shrink it facing right).
    attackObject->transform.position = attackPoint.position;
    attackObject->transform.scale = {std::fabs(attackPoint.scale.x), std::fabs(attackPoint.scale.y)};
    if (!StrikeClicked()) return;
    RestartAttackAnimation();
    attackObject->active = true;
    DrawWorldRect(attackObject->transform.position, attackObject->transform.scale, ATTACK_OUTLINE_COLOR);
    for (Enemy* enemy : enemyList) {
        if (!BoxesOverlap(attackObject, enemy)) continue;
        enemy->health -= attackDamage;
        lastTarget = enemy;
        break;
    }
    attackObject->active = false;
}

void Thief::AbilityStep()
{
    if (thiefAbilityReady) {
        LayAbilityArea(AREA_SIZE, &thiefAbilityReady);
        return;
    }
    for (Enemy* enemy : enemyList) {
        if (!PointInBox(enemy->transform.position, abilityArea)) continue;
        enemy->health = float(double(enemy->health) - double(skillLevel));
        lastPoisoned = enemy;
    }
    if (thiefAbilityTimer >= ABILITY_DURATION) abilityArea->active = abilityArea->visible = false;
    thiefAbilityTimer += float(LEFrameTime());
}
