// ProgBar: the enemies' health bars (see ProgBar.h).
#include "ProgBar.h"

#include "actors/Enemy.h"

// The outline shows this many world units of black around the green.
static constexpr float OUTLINE_BORDER = 1.0f;

ProgBar::ProgBar(Enemy* owner) : owner(owner)
{
    barMesh = CreateUnitQuadMesh(0xFF00FF00);
    // The outline is the bar's quad tinted black, one id lower: drawn right behind it.
    outline = AddObject(objectList, new GameObject, 104, "healthBarOutline", 0, 0, 30, 10, 0, barMesh, nullptr);
    outline->useModColor = true;
    outline->modColor = 0xFF000000;
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
    // The quads leave the scene with their enemy and are deleted at the next
    // frame's start (when the level is being freed, with everything else).
    DestroyObject(outline);
    DestroyObject(bar);
}

void ProgBar::Update()
{
    if (lastValue != owner->health) Resize(owner->health);
    outline->visible = owner->health > 0.0f;
    outline->transform.position = bar->transform.position;
    outline->transform.scale = {bar->transform.scale.x + 2.0f * OUTLINE_BORDER,
                                bar->transform.scale.y + 2.0f * OUTLINE_BORDER};
}
