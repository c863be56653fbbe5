// ProgBar: the enemies' health bars (see ProgBar.h).
#include "ProgBar.h"

#include <src/LELines.h>

#include "Camera2D.h"
#include "actors/Enemy.h"

ProgBar::ProgBar(Enemy* owner) : owner(owner)
{
    barMesh = CreateUnitQuadMesh(0xFF00FF00);
    bar = AddObject(objectList, new GameObject, 105, "healthBar", 0, 0, 30, 10, 0, barMesh, nullptr);
    owner->health -= 100.0f;
    Resize(owner->health);
}

// One scale for every size: the share of the most health the owner has had, so
// the bar starts full, shrinks with every hit, and stays readable for enemies
// that later waves make many times stronger.
void ProgBar::Resize(float health)
{
    if (health > fullValue) fullValue = health;
    bar->transform.scale.x = fullValue > 0.0f ? HEALTH_BAR_FULL_WIDTH * health / fullValue : 0.0f;
    lastValue = health;
}

ProgBar::~ProgBar()
{
    LEMeshFree(barMesh);
    // The quad leaves the scene with its enemy and is deleted at the next frame's
    // start (when the level is being freed, with everything else).
    DestroyObject(bar);
}

void ProgBar::Update()
{
    if (lastValue != owner->health) Resize(owner->health);
    if (owner->health > 0.0f) {
        const Vector2 p = WorldToWindow(bar->transform.position);
        LEDrawRect(p.x, p.y - 5.0f, 0.0f, bar->transform.scale.x * 2.0f + 5.0f, bar->transform.scale.y * 1.5f,
                   0xFF000000);
    }
}
