// Bard: attack, arrival bonus and the turret ability (see Bard.h).
#include "Bard.h"

#include <LEInput.h>
#include <LESystem.h>

#include "Enemy.h"
#include "levels/LevelState.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"

bool bardAttackReady = true;
float bardAttackTimer = 0.0f;
bool bardAbilityReady = true;
bool bardAuraApplied = false;

static constexpr HeroNumbers BARD{
    .attackDamage = 90.0f,
    .moveSpeed = 3.0f,
    .attackInterval = 1.25f,
    .kindBonus = 1.0f,  // added to turrets' damage and projectile speed
    .abilitySound = "Assets/Audio/SFX/sfx_bard.wav",
};
static constexpr float ATTACK_REACH = 50.0f;
static constexpr Vector2 PREVIEW_SIZE{20, 20};
static constexpr uint32_t AREA_COLOR = 0xFFD4AF37;

Bard::~Bard() { LEMeshFree(attackMesh); }

void Bard::Load()
{
    LoadNumbers(BARD, HERO_BARD);
    bardAuraApplied = false;
    attackMesh = CreateUnitQuadMesh(0xFFFFFFFF);
    AddAttackObject(1502, "Sound", 0.0f, attackMesh);  // on the hero, never shown
    AddAbilityArea(1501, "BardAb", {50, 50}, AREA_COLOR);
    TakeAttackOffset();
}

// A Bard that leaves takes its running ability's bonus with it.
void Bard::Unload()
{
    EndAura();
    Player::Unload();
}

void Bard::Update()
{
    Move();
    Attack();
    if (!bardAuraApplied) {
        for (Tower* tower : towerList) tower->projectileSpeed += kindBonus;
        bardAuraApplied = true;
    }
    if (abilityTimer <= ABILITY_DURATION)
        AbilityStep();
    else
        TickAbilityCooldown(&abilityTimer, &bardAbilityReady);
    RestWhenFinished();
}

void Bard::Attack()
{
    AttackStep();
    if (bardAttackReady && StrikeClicked()) {
        attackObject->active = true;  // it is never drawn
        RestartAttackAnimation();
        DrawWorldCircle(attackPoint.position, ATTACK_REACH, ATTACK_OUTLINE_COLOR, 100);
        if (Enemy* enemy = FirstEnemyWithin(attackPoint.position, ATTACK_REACH)) {
            enemy->health -= attackDamage;
            lastTarget = enemy;
        }
        bardAttackReady = false;
    }
    CountAttackRecovery(&bardAttackReady, &bardAttackTimer);
}

void Bard::AbilityStep()
{
    const float frameTime = float(LEFrameTime());
    if (abilityTimer == 0.0f && PlacingAbility(PREVIEW_SIZE)) {
        PlayAbilitySound();
        const Vector2 mouse = MouseWorldPosition();
        for (Tower* tower : towerList) {
            if (!PointInBox(mouse, tower)) continue;
            auraTower = tower;
            auraBonus = kindBonus;
            tower->damage += auraBonus;
            tower->projectileSpeed += auraBonus;
            abilityArea->visible = abilityArea->active = true;
            abilityArea->transform.position = tower->transform.position;
            abilityTimer += frameTime;
            break;
        }
    }
    if (abilityTimer > 0.0f && abilityTimer < ABILITY_DURATION) abilityTimer += frameTime;
    if (abilityTimer >= ABILITY_DURATION) {
        abilityArea->visible = abilityArea->active = false;
        EndAura();
        // Past the end for certain, so that the cooldown starts on the next frame
        // even when the timer landed on four seconds exactly.
        abilityTimer += frameTime;
    }
}

// The turret gives back exactly what the ability added, once.
void Bard::EndAura()
{
    if (auraTower) {
        auraTower->damage -= auraBonus;
        auraTower->projectileSpeed -= auraBonus;
    }
    auraTower = nullptr;
    auraBonus = 0.0f;
}
