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

Hunter::~Hunter() { LEMeshFree(areaMesh); }

void Hunter::Load()
{
    LoadNumbers(HUNTER, HERO_HUNTER);
    const Vector2 p = transform.position;
    // The sword stands in front of the hero as it is loaded (facing left).
    attackObject = AddObject(objectList, new GameObject, 1500, "Sword", p.x - 10.0f, p.y, 20, 10, 0, nullptr, nullptr);
    attackObject->active = false;  // it has no mesh: it is never drawn
    areaMesh = CreateUnitQuadMesh(AREA_COLOR);
    abilityArea = AddObject(objectList, new GameObject, 12000, "PoisonArea", 0, 0, AREA_SIZE.x, AREA_SIZE.y, 0, areaMesh,
                            nullptr);
    abilityArea->active = abilityArea->visible = false;
    TakeAttackOffset();
}

// A Hunter that leaves (replaced, or the level ends) takes its area and its
// bonus with it.
void Hunter::Unload()
{
    EndBuffs();
    RetireObject(attackObject);
    RetireObject(abilityArea);
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
    if (!betweenRounds && LEInputMouseTriggered(MOUSE_LEFT) && hunterAttackReady) {
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
        if (!PlacingAbility(AREA_SIZE)) return;
        PlayAbilitySound();
        hunterAbilityReady = false;
        abilityArea->active = abilityArea->visible = true;
        abilityArea->transform.position = MouseWorldPosition();
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
