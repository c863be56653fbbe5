// Player: walking, the attack point, the attack animation and the ability
// cooldown shared by the hero kinds (see Player.h).
#include "Player.h"

#include <LEInput.h>
#include <LESystem.h>

#include "Bard.h"
#include "Enemy.h"
#include "Hunter.h"
#include "Thief.h"
#include "Tower.h"
#include "levels/LevelState.h"
#include "objects/AnimationSheet.h"
#include "objects/Camera2D.h"
#include "objects/Screens.h"

Player::~Player()
{
    LEMeshFree(areaMesh);
    AudioStop(abilityChannel);
    AudioUnload(abilitySound);
}

void Player::Unload()
{
    for (GameObject* object : {attackObject.Get(), abilityArea.Get()}) {
        if (!object) continue;
        object->mesh = nullptr;  // the hero frees its meshes
        DestroyObject(object);
    }
}

void Player::Load()
{
    playSpeed = 0.3f;
    attackObject = nullptr;
    attackDamage = moveSpeed = gold = attackInterval = kindBonus = abilityCooldown = 0.0f;
    damageLevel = 0;
    facingLeft = false;
}

void Player::Move()
{
    Vector2& p = transform.position;
    if (LEInputKeyPressed(KEY_PLACE_D)) {
        p.x += moveSpeed;
        facingLeft = false;
    }
    if (LEInputKeyPressed(KEY_PLACE_A)) {
        p.x -= moveSpeed;
        facingLeft = true;
    }
    if (LEInputKeyPressed(KEY_PLACE_W)) p.y += moveSpeed;
    if (LEInputKeyPressed(KEY_PLACE_S)) p.y -= moveSpeed;
    // Turned a quarter turn, the picture is mirrored by the sign of scale.y: the
    // sheets face right at -baseSize.
    transform.scale.y = facingLeft ? baseSize : -baseSize;
}

void Player::TickAbilityCooldown(float* timer, bool* ready)
{
    if (cooldownIdle) {
        abilityCooldown = ABILITY_COOLDOWN - float(LEFrameTime());
        cooldownIdle = false;
    } else if (abilityCooldown > 0.0f) {
        abilityCooldown = float(double(abilityCooldown) - LEFrameTime());
    } else {
        *timer = 0.0f;
        *ready = true;
        cooldownIdle = true;
        abilityCooldown = 0.0f;
    }
}

void Player::LoadNumbers(const HeroNumbers& numbers, int kind)
{
    attackDamage = numbers.attackDamage;
    moveSpeed = numbers.moveSpeed;
    attackInterval = numbers.attackInterval;
    kindBonus = numbers.kindBonus;
    damageLevel = skillLevel = 1;
    heroKind = kind;
    abilitySound = AudioLoad(numbers.abilitySound);
    abilityChannel = AudioPlay(abilitySound, true, SOUND_GROUP_SFX);
}

void Player::TakeAttackOffset()
{
    if (attackObject) attackOffset = TransformRelative(transform, attackObject->transform);
}

void Player::AttackStep()
{
    frameTransform = transform;
    attackPoint = TransformCompose(frameTransform, attackOffset);
}

void Player::RestartAttackAnimation()
{
    playing = false;
    PlayAnimation(this);
    loop = playing = true;
}

void Player::RestWhenFinished()
{
    if (!finished) return;
    playing = false;
    PlayAnimation(this);
    finished = false;
}

void Player::CountAttackRecovery(bool* ready, float* timer) const
{
    if (!*ready) *timer += float(LEFrameTime());
    if (*timer >= attackInterval) {
        *ready = true;
        *timer = 0.0f;
    }
}

// The outline is the size of what the ability lays, at the world point under
// the mouse where it would land.
bool Player::PlacingAbility(Vector2 previewSize) const
{
    if (!LEInputKeyPressed(KEY_E) || !OnTopScreen(nullptr) || TurretInHand()) return false;
    DrawWorldRect(MouseWorldPosition(), previewSize, ATTACK_OUTLINE_COLOR);
    return LEInputMousePressed(MOUSE_LEFT);
}

void Player::PlayAbilitySound()
{
    if (abilityChannel && abilityChannel->paused) AudioSetPaused(abilityChannel, false);
    if (!AudioIsPlaying(abilityChannel)) abilityChannel = AudioPlay(abilitySound, false, SOUND_GROUP_SFX);
}

void Player::AddAttackObject(uint32_t id, const char* name, float offsetX, LEMesh* mesh)
{
    const Vector2 p = transform.position;
    attackObject = AddObject(objectList, new GameObject, id, name, p.x + offsetX, p.y, 20, 10, 0, mesh, nullptr);
    attackObject->active = attackObject->visible = false;
}

void Player::AddAbilityArea(uint32_t id, const char* name, Vector2 size, uint32_t color)
{
    areaMesh = CreateUnitQuadMesh(color);
    abilityArea = AddObject(objectList, new GameObject, id, name, 0, 0, size.x, size.y, 0, areaMesh, nullptr);
    abilityArea->active = abilityArea->visible = false;
}

bool Player::LayAbilityArea(Vector2 size, bool* ready)
{
    if (!PlacingAbility(size)) return false;
    LEInputMouseConsume(MOUSE_LEFT);
    NotePressAction("lay the ability");
    PlayAbilitySound();
    *ready = false;
    abilityArea->active = abilityArea->visible = true;
    abilityArea->transform.position = MouseWorldPosition();
    return true;
}

Vector2 MouseWorldPosition()
{
    return levelCamera ? ScreenToWorld(levelCamera, LEInputMousePosition()) : LEInputMousePosition();
}

Enemy* FirstEnemyWithin(Vector2 point, float radius)
{
    for (Enemy* enemy : enemyList) {
        const float dx = enemy->transform.position.x - point.x, dy = enemy->transform.position.y - point.y;
        if (dx * dx + dy * dy <= radius * radius) return enemy;
    }
    return nullptr;
}

Player* MakeHero(int heroKind)
{
    switch (heroKind) {
    case HERO_HUNTER: return new Hunter;
    case HERO_BARD: return new Bard;
    case HERO_THIEF: return new Thief;
    default: return nullptr;
    }
}

Player* SpawnHero(int heroKind, LEMesh* mesh, LETexture* picture)
{
    Player* hero = MakeHero(heroKind);
    if (!hero) return nullptr;
    AddObject(objectList, hero, HERO_ID, "Player", 0, 0, HERO_SIZE, HERO_SIZE, QUARTER_TURN, mesh, picture);
    currentPlayer = hero;
    hero->Load();
    hero->heroKind = heroKind;
    hero->baseSize = hero->transform.scale.x;
    AnimationSheet* const sheets[] = {HunterSheet, BardSheet, ThiefSheet};
    hero->sheet = sheets[heroKind];
    if (hero->sheet) {
        hero->texture = hero->sheet->texture;
        PlayAnimation(hero);
    }
    return hero;
}

// With E held a click lays the ability instead (or nothing while it cools down).
bool StrikeClicked()
{
    if (betweenRounds || HeroAimsAbility() || !LEInputMouseTriggered(MOUSE_LEFT) || !OnTopScreen(nullptr))
        return false;
    LEInputMouseConsume(MOUSE_LEFT);
    NotePressAction("strike");
    return true;
}

bool HeroAimsAbility() { return currentPlayer && LEInputKeyPressed(KEY_E); }
