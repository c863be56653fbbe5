// ProgBar: an enemy's health bar. Owned by its enemy and never in objectList
// itself; it puts a green "healthBar" quad and its black outline behind it into
// objectList, so both are drawn in the scene's order (under any open panel),
// and sizes them by the owner's health.
#pragma once

#include "GameObject.h"

struct Enemy;

// Width of the green quad at full health, in world units (an enemy is 40 wide).
constexpr float HEALTH_BAR_FULL_WIDTH = 40.0f;

struct ProgBar : GameObject {
    LEMesh* barMesh = nullptr;  // owned
    GameObject* bar = nullptr;      // the "healthBar" object, owned by objectList
    GameObject* outline = nullptr;  // the black frame drawn just before it, owned by objectList
    float lastValue = 0.0f;
    float fullValue = 0.0f;  // the most health the owner has had: a full bar
    Enemy* owner = nullptr;

    // Takes 100 off the owner's health.
    explicit ProgBar(Enemy* owner);
    ~ProgBar() override;
    // Resizes the bar when the health changed and keeps the outline around it.
    void Update() override;

private:
    void Resize(float health);
};
