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
    // One scale for the first size and every later one, so the bar shrinks smoothly.
    bar->transform.scale.x = owner->health * HEALTH_BAR_WIDTH_PER_POINT;
    lastValue = owner->health;
}

ProgBar::~ProgBar()
{
    LEMeshFree(barMesh);
    // The quad leaves the scene now and is deleted with the level's other objects.
    bar->alive = false;
}

void ProgBar::Update()
{
    if (lastValue != owner->health) {
        bar->transform.scale.x = owner->health * HEALTH_BAR_WIDTH_PER_POINT;
        lastValue = owner->health;
    }
    if (owner->health > 0.0f) {
        const Vector2 p = WorldToWindow(bar->transform.position);
        LEDrawRect(p.x, p.y - 5.0f, 0.0f, bar->transform.scale.x * 2.0f + 5.0f, bar->transform.scale.y * 1.5f,
                   0xFF000000);
    }
}
