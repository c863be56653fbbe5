// Shop: the panel, the prices and the upgrades (see Shop.h).
#include "Shop.h"

#include <cmath>  // Required for: std::ceil
#include <cstdio> // Required for: printf, snprintf

#include <LEInput.h>
#include <LESystem.h>

#include "Hunter.h"
#include "Tower.h"
#include "levels/LevelState.h"
#include "objects/Camera2D.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"

enum ShopButton { HERO_STATS, HERO_SKILLS, TOWER_1 };

// The panel's rows, in button order.
struct ShopRow {
    const char* name;
    Vector2 position;
};
static constexpr ShopRow ROWS[SHOP_BUTTON_COUNT] = {
    {"Hero stats", {-125, 150}}, {"Hero skills", {125, 150}}, {"Tower 1", {-125, 50}}, {"Tower 2", {125, 50}},
    {"Tower 3", {-125, -50}},    {"Tower 4", {125, -50}},     {"Tower 5", {-125, -150}},
};
static constexpr uint32_t BUTTON_ID = 200001;        // and up, in row order
static constexpr uint32_t LABEL_ID = 100;            // and up, in row order
static constexpr uint32_t PICTURE_ID = 200000;       // and up: each drawn under the button it stands beside
static constexpr Vector2 BUTTON_SIZE{150, 50};
static constexpr uint32_t BUTTON_COLOR = 0xFF417DC1;

void Shop::Load()
{
    // The backdrop covers the whole field, whatever the window's size.
    panelBackground = AddObject(objectList, new GameObject, 200000, "Background", 0, 0, 0.75f * DESIGN_WIDTH,
                                0.75f * DESIGN_HEIGHT, 0, mesh, nullptr);
    panelBackground->active = panelBackground->visible = false;
    open = false;
    picturesPending = true;
    hero = nullptr;
    for (int i = 0; i < SHOP_BUTTON_COUNT; ++i) {
        const ShopRow& row = ROWS[i];
        Button* button = static_cast<Button*>(AddObject(objectList, new Button, BUTTON_ID + uint32_t(i), row.name,
                                                        row.position.x, row.position.y, BUTTON_SIZE.x,
                                                        BUTTON_SIZE.y, 0, mesh, nullptr));
        button->useModColor = true;
        button->modColor = BUTTON_COLOR;
        button->active = button->visible = false;
        shopButtons[i] = button;
        TextLabel* label = AddTextLabel(
            new TextLabel(levelFont, TransformMakeValues(row.position.x, row.position.y, 1, 1, 0), " ",
                          LABEL_ID + uint32_t(i), 0xFF000000));
        SetLabelText(label, std::string(row.name) + std::string(14, ' '));
        label->visible = false;
    }
}

// A small picture of each turret beside its button; Update keeps it the turret's.
void Shop::MakePictures()
{
    picturesPending = false;
    for (int i = 0; i < SHOP_TOWER_COUNT; ++i) {
        const Transform& b = shopButtons[TOWER_1 + i]->transform;
        GameObject* picture = AddObject(objectList, new GameObject, PICTURE_ID + uint32_t(i), "Hero to button",
                                        b.position.x + b.scale.x * 0.5f, b.position.y, 50, 50, QUARTER_TURN, mesh,
                                        turrets[i] ? turrets[i]->texture : nullptr);
        picture->active = picture->visible = false;
        towerPictures[i] = picture;
    }
}

void Shop::SetPanelShown(bool shown)
{
    panelBackground->visible = shown;
    if (!shown) panelBackground->active = false;
    for (Button* button : shopButtons) button->active = button->visible = shown;
    for (GameObject* picture : towerPictures)
        if (picture) picture->active = picture->visible = shown;
    for (int i = 0; i < SHOP_BUTTON_COUNT; ++i) SetLabelVisible(LABEL_ID + uint32_t(i), shown);
}

void Shop::Update()
{
    // The level calls this itself between rounds and the update pass calls it
    // again: one click must make one purchase.
    if (lastUpdateFrame == LEFrameCounter()) return;
    lastUpdateFrame = LEFrameCounter();

    if (!hero) {
        hero = currentPlayer;  // nothing to sell until a hero is chosen
        return;
    }
    if (picturesPending) MakePictures();
    // The pictures follow the turrets: another hero brings other companions.
    for (int i = 0; i < SHOP_TOWER_COUNT; ++i)
        if (towerPictures[i]) towerPictures[i]->texture = turrets[i] ? turrets[i]->texture : nullptr;
    hero = currentPlayer;
    if (IsClicked(this)) {
        open = true;
        PushScreen(this);
        SetPanelShown(true);
    }
    if (open && TakeKey(this, KEY_ESCAPE)) {
        open = false;
        PopScreen(this);
        SetPanelShown(false);
    }
    for (int i = 0; i < SHOP_BUTTON_COUNT && open; ++i)
        if (IsClicked(shopButtons[i], this)) Buy(i);
}

static float LevelPrice(int n) { return float((2 * n - 1) * n); }
static float TowerPrice(int n) { return float(1.5 * n * n - 3.0 * n + 2.0); }

float Shop::Price(int button) const
{
    if (button == HERO_STATS) return hero ? LevelPrice(hero->damageLevel) : 0.0f;
    if (button == HERO_SKILLS) return hero ? LevelPrice(hero->skillLevel) : 0.0f;
    const Tower* turret = turrets[button - TOWER_1];
    return turret ? TowerPrice(turret->upgradeLevel) : 0.0f;
}

// The kind's special number: the Hunter's area grows stronger, the Thief earns
// more per kill, the Bard adds more to turrets.
static void UpgradeSkills(Player* hero)
{
    const int n = hero->skillLevel;
    switch (hero->heroKind) {
    case HERO_HUNTER:
        if (Hunter* hunter = dynamic_cast<Hunter*>(hero)) hunter->buffLevel += 1.0f;
        hero->kindBonus += float(n / 100);
        break;
    case HERO_THIEF: hero->kindBonus = float(double(hero->kindBonus) + 0.02 * n); break;
    case HERO_BARD:
        hero->kindBonus += 0.5f;
        for (Tower* tower : towerList) tower->projectileSpeed *= float(1 + (n + 5) / 100);
        break;
    }
    hero->skillLevel += 1;
}

bool Shop::Buy(int button)
{
    Player* buyer = hero;
    const bool towerRow = button >= TOWER_1;
    Tower* turret = towerRow ? turrets[button - TOWER_1].Get() : nullptr;
    if (!buyer || (towerRow && !turret)) return false;
    const float price = Price(button);
    // The gold rounded up must exceed the price rounded up.
    if (std::ceil(buyer->gold) <= std::ceil(price)) return false;
    printf("Buying\n");
    if (button == HERO_STATS) {
        const double n = buyer->damageLevel;
        buyer->attackDamage = float(double(buyer->attackDamage) + 2.5 * n * n - 1.8 * n);
        buyer->damageLevel += 1;
    } else if (button == HERO_SKILLS) {
        UpgradeSkills(buyer);
    } else {
        const float n = float(turret->upgradeLevel);
        turret->upgradeLevel += 1;
        turret->projectileSpeed += 0.15f * n;
        turret->damage += 0.4f * n * n - n;
    }
    buyer->gold -= price;
    return true;
}

// While the panel is open each button's label shows its name and the price of
// its next purchase, rounded up.
void Shop::Draw(const Matrix3* parent)
{
    if (open) {
        for (int i = 0; i < SHOP_BUTTON_COUNT; ++i) {
            char price[32];
            snprintf(price, sizeof price, " %g", double(std::ceil(Price(i))));
            if (TextLabel* label = FindTextLabel(LABEL_ID + uint32_t(i))) SetLabelText(label, ROWS[i].name + std::string(price));
        }
    }
    GameObject::Draw(parent);
}
