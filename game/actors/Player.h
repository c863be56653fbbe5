// Player: the hero the player walks, and what its three kinds (Hunter, Bard,
// Thief) share: the numbers, walking with W, A, S, D and the mirroring that
// follows it, the attack point that travels with the hero, the gold purse, the
// attack animation and the 25-second cooldown after every ability. The
// character selection creates heroes (SpawnHero); enemies pay gold into them;
// the level's labels, cheats and the shop read them.
#pragma once

#include <LEAudio.h>

#include "objects/GameObject.h"
#include "objects/ObjectRef.h"

struct Enemy;

// heroKind values.
constexpr int HERO_HUNTER = 0;
constexpr int HERO_BARD = 1;
constexpr int HERO_THIEF = 2;

constexpr uint32_t HERO_ID = 65545;
constexpr float HERO_SIZE = 50.0f;              // world units, the hero's width and height
constexpr float ABILITY_DURATION = 4.0f;        // seconds an ability lasts
constexpr float ABILITY_COOLDOWN = 25.0f;       // seconds after an ability before the next
constexpr uint32_t ATTACK_OUTLINE_COLOR = 0xFFFF0000;

// The numbers each kind's Load gives its hero.
struct HeroNumbers {
    float attackDamage;    // health taken per hit
    float moveSpeed;       // world units per frame for each held direction key
    float attackInterval;  // seconds between attacks
    float kindBonus;       // the kind's own number: see each kind
    const char* abilitySound;
};

struct Player : Sprite {
    Transform attackOffset;             // the attack object relative to the hero, taken in Load
    Transform attackPoint;              // attackOffset carried along with the hero
    Transform frameTransform;           // the hero's transform at the last attack step
    ObjectRef<GameObject> attackObject; // owned by objectList
    float attackDamage = 0.0f;
    float moveSpeed = 0.0f;
    float gold = 0.0f;
    float attackInterval = 0.0f;
    float kindBonus = 0.0f;
    float abilityCooldown = 0.0f;       // seconds of cooldown left
    bool cooldownIdle = true;           // no cooldown is being counted
    int damageLevel = 0;                // "Hero stats" purchases + 1
    int skillLevel = 0;                 // "Hero skills" purchases + 1
    SoundAsset* abilitySound = nullptr;
    SoundChannel abilityChannel;
    int heroKind = HERO_HUNTER;
    float baseSize = 0.0f;              // the magnitude of the mirrored scale
    bool facingLeft = false;
    // What every kind has besides: its ability's area and the last enemy it struck.
    LEMesh* areaMesh = nullptr;         // owned
    ObjectRef<GameObject> abilityArea;  // owned by objectList
    ObjectRef<Enemy> lastTarget;

    ~Player() override;
    void Load() override;
    // A hero that leaves (replaced, or the level ends) takes its attack object
    // and its ability's area with it.
    void Unload() override;
    // Walks with W, A, S, D (per frame) and mirrors the picture to face the way
    // the last horizontal step went.
    virtual void Move();
    // Counts the cooldown after an ability; on its end zeroes *timer and sets *ready.
    virtual void TickAbilityCooldown(float* timer, bool* ready);

protected:
    // The kinds' Load: numbers, sound, and the offset of the attack object.
    void LoadNumbers(const HeroNumbers& numbers, int kind);
    void TakeAttackOffset();
    // Takes the hero's transform and carries the attack offset along with it.
    void AttackStep();
    void RestartAttackAnimation();
    // Once the attack animation has played, the hero rests on its first frame.
    void RestWhenFinished();
    // Counts an attack's recovery; the hero may attack again after attackInterval.
    void CountAttackRecovery(bool* ready, float* timer) const;
    // While E is held, outlines where the ability would land; true when the left
    // button is down too, that is, when the player places it.
    bool PlacingAbility(Vector2 previewSize) const;
    void PlayAbilitySound();
    // The kind's attack object, `offsetX` beside the hero as it is loaded
    // (facing left, so a negative offset is in front of it).
    void AddAttackObject(uint32_t id, const char* name, float offsetX, LEMesh* mesh);
    // The ability's area: a quad of `color`, hidden until the ability is laid.
    void AddAbilityArea(uint32_t id, const char* name, Vector2 size, uint32_t color);
    // Lays the area under the mouse when the player places the ability (E held,
    // left button down): plays the sound and clears *ready. True when it did.
    bool LayAbilityArea(Vector2 size, bool* ready);
};

// The mouse's world position through the level camera.
Vector2 MouseWorldPosition();
// The first enemy of enemyList within `radius` of `point`, or null.
Enemy* FirstEnemyWithin(Vector2 point, float radius);

// Makes a hero of the kind (HERO_HUNTER, HERO_BARD, HERO_THIEF), or null.
Player* MakeHero(int heroKind);
// Creates, adds and loads the hero of a kind at the centre of the field, drawn
// with `mesh` and animated by its kind's sheet (or `picture` without one), and
// makes it currentPlayer. The character selection calls this.
Player* SpawnHero(int heroKind, LEMesh* mesh, LETexture* picture);
// A strike: the left button went down during a round, with no screen open over
// the field, E not held and nothing before the hero having taken the press.
// Takes the press.
bool StrikeClicked();
// E held with a hero in play: the hero aims its ability, and the left button
// lays it there rather than picking up the turret under the pointer.
bool HeroAimsAbility();
