// Shop: the level's "Shop" button at the bottom left and the panel it opens,
// where the hero's gold buys "Hero stats", "Hero skills" and upgrades of the
// five turrets at prices that grow with every purchase. Escape closes it.
// Created by the level's Init; the level's Update runs it between rounds and
// the update pass during rounds; turrets stay put while it is open.
#pragma once

#include "Player.h"
#include "objects/Button.h"

constexpr int SHOP_BUTTON_COUNT = 7;
constexpr int SHOP_TOWER_COUNT = 5;

struct Shop : Button {
    bool open = false;
    GameObject* panelBackground = nullptr;                 // owned by objectList
    GameObject* towerPictures[SHOP_TOWER_COUNT] = {};      // owned by objectList
    Button* shopButtons[SHOP_BUTTON_COUNT] = {};           // owned by objectList
    ObjectRef<Player> hero;                                // currentPlayer, refreshed every update
    bool picturesPending = true;

    void Load() override;
    // Acts once per frame, however often the level calls it.
    void Update() override;
    void Draw(const Matrix3* parent) override;

    // The price of button i's next purchase; 0 when there is nothing to buy.
    float Price(int button) const;
    // Buys from button i when the gold allows; true when it did.
    bool Buy(int button);

private:
    uint32_t lastUpdateFrame = UINT32_MAX;

    void MakePictures();
    void SetPanelShown(bool shown);
};
