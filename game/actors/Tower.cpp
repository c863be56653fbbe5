// Tower: placing, aiming and shooting (see Tower.h).
#include "Tower.h"

#include <algorithm>  // Required for: std::any_of
#include <cmath>      // Required for: std::sqrt

#include <LEInput.h>
#include <LESystem.h>

#include "Player.h"
#include "levels/LevelData.h"
#include "levels/LevelState.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/Screens.h"

SceneIndex<Tower> towerList;

static const char* const PROJECTILE_TEXTURE = "Assets/Sprites/Particles/particles_tower_1.png";
static constexpr Vector2 PROJECTILE_SIZE{10, 10};
static constexpr int REACH_CIRCLE_SEGMENTS = 20;

static bool WithinReach(Vector2 a, Vector2 b, float range)
{
    const float dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy <= range * range;
}

Tower::Tower(int kind)
{
    if (kind >= 0 && kind < TOWER_KIND_COUNT) {
        projectileSpeed = TOWER_KINDS[kind].projectileSpeed;
        damage = TOWER_KINDS[kind].damage;
        range = TOWER_KINDS[kind].range;
    }
    spotCount = uint32_t(CurrentLevelDesc().towerSpotCount);
    towerList.push_back(this);
    projectile = AddObject(objectList, new GameObject, PROJECTILE_ID_BASE + uint32_t(kind), "Projectile", 0, 0, 1, 1,
                           0, nullptr, nullptr);
}

void Tower::Load()
{
    particleTexture = LETextureLoad(PROJECTILE_TEXTURE);
    if (projectile) {
        projectile->transform = TransformMake(transform.position, PROJECTILE_SIZE, transform.rotation);
        projectile->texture = particleTexture;
        projectile->mesh = mesh;
        projectile->active = projectile->visible = false;
    }
    homePosition = transform.position;
}

void Tower::Unload()
{
    // The shot leaves with its tower, and never keeps the texture released here.
    if (projectile) {
        projectile->texture = nullptr;
        DestroyObject(projectile);
    }
    LETextureUnload(particleTexture);
    particleTexture = nullptr;
}

void Tower::Update()
{
    if (betweenRounds)
        UpdatePlacing();
    else
        UpdateShooting();
}

// ---------------------------------------------------------------------------
// Between rounds: picked up with the left button, dropped on a spot with it,
// sent home with the right one.
// ---------------------------------------------------------------------------
// One turret is in hand at a time, and it has the press before any other: a
// turret resting on the spot it is dropped on, updated first, must not pick it
// up, nor may the hero lay its ability with it.
bool TurretInHand()
{
    return std::any_of(towerList.begin(), towerList.end(), [](const Tower* tower) { return tower->dragging; });
}

void Tower::UpdatePlacing()
{
    // Turrets belong to the field: they wait while a screen is open over it.
    if (!levelCamera || !OnTopScreen(nullptr)) return;
    if (!dragging) {
        if (!TurretInHand() && !HeroAimsAbility() && TakeClick(this, nullptr, levelCamera)) dragging = true;
        return;
    }
    const Vector2 mouse = ScreenToWorld(levelCamera, LEInputMousePosition());
    transform.position = mouse;
    // The reach in world units: exactly the enemies this tower will reach.
    DrawWorldCircle(transform.position, range, REACH_CIRCLE_COLOR, REACH_CIRCLE_SEGMENTS);
    // A turret in hand takes every press: the drop (or the miss that keeps it in
    // hand) is the press's one action, so the turret on the spot stays put.
    if (LEInputMouseTriggered(MOUSE_LEFT)) {
        LEInputMouseConsume(MOUSE_LEFT);
        NotePressAction("drop a turret");
        DropOnSpot(mouse);
    }
    if (LEInputMouseTriggered(MOUSE_RIGHT)) {
        LEInputMouseConsume(MOUSE_RIGHT);
        NotePressAction("send a turret home");
        transform.position = homePosition;
        dragging = false;
    }
}

// Another turret stands on the spot (one in hand stands nowhere).
static bool SpotHeld(const GameObject* spot, const Tower* except)
{
    return std::any_of(towerList.begin(), towerList.end(), [&](const Tower* tower) {
        return tower != except && tower->placed && !tower->dragging && tower->alive &&
               tower->transform.position.x == spot->transform.position.x &&
               tower->transform.position.y == spot->transform.position.y;
    });
}

// The first free spot under the mouse takes the tower; a drop beside every
// spot, or on one another turret holds, leaves it following the mouse.
void Tower::DropOnSpot(Vector2 mouse)
{
    const uint32_t count = spotCount < uint32_t(TOWER_SPOT_COUNT) ? spotCount : uint32_t(TOWER_SPOT_COUNT);
    for (uint32_t i = 0; i < count; ++i) {
        const GameObject* spot = towerSpots[i];
        if (!spot || !PointInBox(mouse, spot) || SpotHeld(spot, this)) continue;
        active = true;
        dragging = false;
        transform.position = spot->transform.position;
        transform.scale = spot->transform.scale;
        transform.rotation = QUARTER_TURN;
        homePosition = transform.position;
        placed = true;
        return;
    }
}

// ---------------------------------------------------------------------------
// During a round: one projectile flies at the first enemy in reach, hits,
// restarts from the tower, and lets go once the target is dead or out of reach.
// ---------------------------------------------------------------------------
void Tower::UpdateShooting()
{
    // A turret still in hand when the round starts goes back where it came from,
    // rather than shooting from wherever the pointer left it.
    if (dragging) {
        transform.position = homePosition;
        dragging = false;
    }
    if (!placed || !projectile) return;
    // The target left the scene since the last update (another tower or the hero
    // killed it, or it struck the nexus): the shot comes home.
    if (!target && projectile->active) GroundProjectile();

    if (target) {
        if (WithinReach(projectile->transform.position, transform.position, range)) {
            FlyProjectile();
        } else {
            target = nullptr;
            GroundProjectile();
        }
        if (target && target->health <= 0.0f) {
            target = nullptr;
            GroundProjectile();
        }
        return;
    }
    // Every shot leaves from the tower, even the first after a drop on a new spot.
    for (Enemy* enemy : enemyList) {
        if (!WithinReach(enemy->transform.position, transform.position, range)) continue;
        target = enemy;
        projectile->transform.position = transform.position;
        projectile->active = projectile->visible = true;
        return;
    }
}

void Tower::FlyProjectile()
{
    Vector2& shot = projectile->transform.position;
    const Vector2 d = Vector2Sub(target->transform.position, shot);
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    if (length <= -0.00001f || length >= 0.00001f) {
        const float step = float(LEFrameTime()) * 60.0f * projectileSpeed;
        shot.x += d.x / length * step;
        shot.y += d.y / length * step;
    }
    if (PointInBox(shot, target)) {
        target->health -= damage;
        shot = transform.position;
    }
}

void Tower::StandDown()
{
    target = nullptr;
    if (projectile) GroundProjectile();
}

void Tower::GroundProjectile()
{
    projectile->active = projectile->visible = false;
    projectile->transform.position = transform.position;
}
