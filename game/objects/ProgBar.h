// ProgBar: an enemy's health bar. Owned by its enemy and never in objectList
// itself; it puts a green "healthBar" quad into objectList, sizes it by the
// owner's health and outlines it with debug lines every frame.
#pragma once

#include "GameObject.h"

struct Enemy;

// Width of the green quad per point of health.
constexpr float HEALTH_BAR_WIDTH_PER_POINT = 0.1f;

struct ProgBar : GameObject {
    LEMesh* barMesh = nullptr;  // owned
    GameObject* bar = nullptr;  // the "healthBar" object, owned by objectList
    float lastValue = 0.0f;
    Enemy* owner = nullptr;

    // Takes 100 off the owner's health.
    explicit ProgBar(Enemy* owner);
    ~ProgBar() override;
    // Resizes the bar when the health changed and outlines it while the owner lives.
    void Update() override;
};
