// Hunter: attack, area ability and their state (see Hunter.h).
#include "Hunter.h"

#include <LEInput.h>
#include <LESystem.h>

#include "Enemy.h"
#include "levels/LevelState.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"

bool hunterAttackReady = true;
float hunterAttackTimer = 0.0f;
bool hunterAbilityReady = true;
float hunterAbilityTimer = 0.0f;

static constexpr HeroNumbers HUNTER{
    .attackDamage = 75.0f,
    .moveSpeed = 4.0f,
    .attackInterval = 1.25f,
    .kindBonus = 1.05f,  // multiplies attackDamage
    .abilitySound = "Assets/Audio/SFX/sfx_hunter.mp3",
};
static constexpr float ATTACK_REACH = 100.0f;
static constexpr Vector2 AREA_SIZE{200, 200};
static constexpr uint32_t AREA_COLOR = 0xF6E08D3C;

void Hunter::Load()
{
    LoadNumbers(HUNTER, HERO_HUNTER);
    AddAttackObject(1500, "Sword", -10.0f, nullptr);  // in front of the hero
    AddAbilityArea(12000, "PoisonArea", AREA_SIZE, AREA_COLOR);
    TakeAttackOffset();
}

// A Hunter that leaves takes its bonus with it.
void Hunter::Unload()
{
    EndBuffs();
    Player::Unload();
}

void Hunter::Update()
{
    Move();
    Attack();
    if (hunterAbilityTimer <= ABILITY_DURATION) {
        AbilityStep();
        return;
    }
    abilityArea->active = abilityArea->visible = false;
    EndBuffs();
    TickAbilityCooldown(&hunterAbilityTimer, &hunterAbilityReady);
}

void Hunter::Attack()
{
    AttackStep();
    attackObject->active = true;
    if (hunterAttackReady && StrikeClicked()) {
        RestartAttackAnimation();
        DrawWorldCircle(attackPoint.position, ATTACK_REACH, ATTACK_OUTLINE_COLOR, 100);
        if (Enemy* enemy = FirstEnemyWithin(attackPoint.position, ATTACK_REACH)) {
            enemy->health -= kindBonus * attackDamage;
            lastTarget = enemy;
        }
        hunterAttackReady = false;
    }
    RestWhenFinished();
    CountAttackRecovery(&hunterAttackReady, &hunterAttackTimer);
}

void Hunter::AbilityStep()
{
    if (hunterAbilityReady) {
        LayAbilityArea(AREA_SIZE, &hunterAbilityReady);
        return;
    }
    if (hunterAbilityTimer < 0.000001f) BuffTowersInArea();
    if (hunterAbilityTimer < ABILITY_DURATION) {
        hunterAbilityTimer += float(LEFrameTime());
    } else {
        abilityArea->active = abilityArea->visible = false;
        hunterAbilityTimer = 0.0f;
        EndBuffs();
        hunterAbilityTimer += float(LEFrameTime());
    }
}

// Only the turrets standing in the area on its first frame are strengthened.
void Hunter::BuffTowersInArea()
{
    const float bonus = 0.5f * buffLevel + 3.0f;
    for (Tower* tower : towerList) {
        if (!PointInBox(tower->transform.position, abilityArea)) continue;
        tower->damage += bonus;
        buffedTowers.push_back({tower, bonus});
        lastBuffedTower = tower;
    }
}

// Each turret gives back exactly what the area added, so an upgrade bought
// meanwhile is kept.
void Hunter::EndBuffs()
{
    for (TowerBuff& buff : buffedTowers)
        if (buff.tower) buff.tower->damage -= buff.bonus;
    buffedTowers.clear();
}
