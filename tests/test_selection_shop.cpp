// The character selection and the shop on level 1, played with the real pointer
// through the real frame loop: the selector opening by itself, heroes and their
// companions made, kept and replaced without leaving objects behind, and the
// shop's prices, refusals and upgrades, one purchase per click in both phases.
#include <gtest/gtest.h>

#include <LEInput.h>
#include <actors/CharSel.h>
#include <actors/Shop.h>
#include <actors/Thief.h>
#include <actors/Tower.h>
#include <menus/Pause.h>
#include <menus/Settings.h>
#include <src/LEGraphicsOGL.h>

#include <GL/glew.h>

#include <algorithm>

#include "LevelFixture.h"

namespace {

class SelectionTest : public LevelTest {
protected:
    static int CountNamed(const char* name)
    {
        int count = 0;
        for (const GameObject* o : objectList) count += o->name == name ? 1 : 0;
        return count;
    }

    // `welcome` is the Bard's arrival bonus to every turret's speed.
    static void ExpectCompanion(const Tower* tower, const TowerKind& kind, const LETexture* picture,
                                float welcome = 0.0f)
    {
        ASSERT_NE(tower, nullptr);
        EXPECT_FLOAT_EQ(tower->projectileSpeed, kind.projectileSpeed + welcome);
        EXPECT_FLOAT_EQ(tower->damage, kind.damage);
        EXPECT_FLOAT_EQ(tower->range, kind.range);
        EXPECT_EQ(tower->texture, picture);
    }
};

constexpr Vector2 SELECTOR{0, 250};

// One frame of the loop, read back before it is shown: is the box around the
// enemy and its health bar one flat colour (a panel over them)?
bool PanelHides(const Enemy* enemy)
{
    LESystemFrameBegin();
    LEGraphicsFrameStart();
    LEInputUpdate();
    LevelUpdate();
    LevelDraw();
    LEGraphicsFrameEnd();
    const Vector2 at = Matrix3TransformPoint(CameraViewMatrix(levelCamera), enemy->transform.position);
    std::vector<uint32_t> pixels(120 * 120);
    glReadPixels(int(960.0f + at.x) - 60, int(540.0f + at.y) - 40, 120, 120, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    LEGraphicsPresent();
    LESystemFrameEnd();
    return std::count(pixels.begin(), pixels.end(), pixels[0]) == long(pixels.size());
}
constexpr Vector2 THIEF_PORTRAIT{100, 0}, BARD_PORTRAIT{0, 0}, HUNTER_PORTRAIT{-100, 0};

TEST_F(SelectionTest, SelectorOpensByItselfMakesKeepsAndReplacesHeroesWithTheirCompanions)
{
    charSelScreen->clickCount = 0;  // a level as the player finds it
    Step();
    ASSERT_TRUE(charSelScreen->screenOpen) << "it opens by itself";
    EXPECT_TRUE(FindTextLabel(753)->visible);
    StartRoundWithEnter();
    EXPECT_TRUE(betweenRounds) << "no round without a hero";

    // One click on the hunter portrait makes one Hunter, with the thief and bard
    // turrets beside it (the selector runs twice a frame; the click counts once).
    ClickAt(HUNTER_PORTRAIT);
    EXPECT_FALSE(charSelScreen->screenOpen);
    ASSERT_NE(currentPlayer, nullptr);
    EXPECT_EQ(currentPlayer->heroKind, HERO_HUNTER);
    EXPECT_EQ(CountNamed("Player"), 1);
    ExpectCompanion(turrets[3], TOWER_KINDS[5], charSelScreen->heroTextures[0]);
    ExpectCompanion(turrets[4], TOWER_KINDS[4], charSelScreen->heroTextures[1]);
    EXPECT_TRUE(turrets[3]->visible) << "the turrets join the field";

    // Choosing the hero in play again only resumes it.
    Player* hunter = currentPlayer;
    hunter->gold = 50.0f;
    Hold({SDL_SCANCODE_D}, 5);
    const size_t objects = objectList.size();
    ClickAt(SELECTOR);
    ASSERT_TRUE(charSelScreen->screenOpen);
    EXPECT_FALSE(hunter->alive) << "frozen while the screen is open";
    ClickAt(HUNTER_PORTRAIT);
    EXPECT_EQ(currentPlayer, hunter);
    EXPECT_TRUE(hunter->alive);
    EXPECT_EQ(objectList.size(), objects);

    // Another hero starts afresh at the centre, with its own companions, and
    // replacing heroes again and again leaves nothing behind.
    ClickAt(SELECTOR);
    ClickAt(BARD_PORTRAIT);
    ASSERT_NE(currentPlayer, hunter);
    EXPECT_EQ(currentPlayer->heroKind, HERO_BARD);
    EXPECT_FLOAT_EQ(currentPlayer->gold, 0.0f);
    EXPECT_FLOAT_EQ(currentPlayer->transform.position.x, 0.0f);
    EXPECT_EQ(CountNamed("Player"), 1);
    ExpectCompanion(turrets[3], TOWER_KINDS[0], charSelScreen->heroTextures[2], 1.0f);
    Step();
    for (int i : {3, 4})
        EXPECT_EQ(shop->towerPictures[i]->texture, turrets[i]->texture) << "the shop shows the Bard's companions";
    for (int i = 0; i < SHOP_TOWER_COUNT; ++i)
        EXPECT_EQ(shop->towerPictures[i]->id, 200000u + uint32_t(i)) << "each picture sorts under its button";
    const size_t afterOneReplacement = objectList.size();
    for (Vector2 portrait : {THIEF_PORTRAIT, HUNTER_PORTRAIT, BARD_PORTRAIT, THIEF_PORTRAIT, HUNTER_PORTRAIT}) {
        ClickAt(SELECTOR);
        ClickAt(portrait);
    }
    Step();
    EXPECT_EQ(currentPlayer->heroKind, HERO_HUNTER);
    EXPECT_EQ(objectList.size(), afterOneReplacement);
    EXPECT_EQ(CountNamed("Turret"), 5);
    EXPECT_EQ(CountNamed("Projectile"), 5);
    EXPECT_EQ(towerList.size(), 5u);
}

constexpr Vector2 SHOP{-350, -250}, HERO_STATS{-125, 150}, HERO_SKILLS{125, 150}, TOWER_1{-125, 50},
    TOWER_2{125, 50};

TEST_F(SelectionTest, ShopSellsAtRisingPricesOnePurchasePerClickInBothPhases)
{
    Thief* thief = static_cast<Thief*>(SpawnHero(HERO_THIEF, quadMesh, nullptr));
    Step(2);  // the shop sees the hero, then makes its pictures
    ClickAt(SHOP);
    ASSERT_TRUE(shop->open);
    EXPECT_TRUE(shop->shopButtons[6]->visible);
    EXPECT_EQ(FindTextLabel(100)->text, "Hero stats 1");

    struct Purchase {
        Vector2 button;
        float goldBefore;
        bool bought;
        float goldAfter;
    };
    const Purchase purchases[] = {
        {HERO_STATS, 1.0f, false, 1.0f},  // ceil(1.0) does not exceed the price 1
        {HERO_STATS, 1.2f, true, 0.2f},
        {TOWER_1, 100.0f, true, 99.5f},
        {TOWER_1, 99.5f, true, 97.5f},
        {TOWER_1, 97.5f, true, 91.0f},
        {TOWER_1, 91.0f, true, 77.0f},  // four in a row: 23 gold
        {HERO_SKILLS, 100.0f, true, 99.0f},
        {HERO_SKILLS, 99.0f, true, 93.0f},
        {HERO_SKILLS, 93.0f, true, 78.0f},
    };
    for (const Purchase& p : purchases) {
        thief->gold = p.goldBefore;
        testing::internal::CaptureStdout();
        ClickAt(p.button);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_NEAR(thief->gold, p.goldAfter, 0.0001f) << "at (" << p.button.x << ", " << p.button.y << ")";
        EXPECT_EQ(said, p.bought ? "Buying\n" : "") << "one click, one purchase";
    }
    EXPECT_NEAR(thief->attackDamage, 40.7f, 0.0001f);
    EXPECT_NEAR(turrets[0]->projectileSpeed, 1.0f + 1.5f, 0.0001f);
    EXPECT_NEAR(turrets[0]->damage, 40.0f + 2.0f, 0.0001f);
    EXPECT_NEAR(thief->kindBonus, 1.12f, 0.0001f);
    EXPECT_EQ(FindTextLabel(100)->text, "Hero stats 6");
    EXPECT_EQ(FindTextLabel(102)->text, "Tower 1 25") << "the fifth upgrade costs 24.5";

    // Escape closes the panel; during a round it opens and sells the same way.
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(shop->open || shop->shopButtons[0]->visible);
    StartRoundWithEnter();
    ASSERT_FALSE(betweenRounds);
    ClickAt(SHOP);
    thief->gold = 100.0f;
    ClickAt(TOWER_2);
    EXPECT_FLOAT_EQ(thief->gold, 99.5f);
    EXPECT_EQ(turrets[1]->upgradeLevel, 2);
}

// Panels hide the enemies under them, pixel for pixel, even one that came
// after the panel opened. (Which screen takes a press, and that nothing of the
// field is drawn over a panel, the screen crawler checks on every screen.)
TEST_F(SelectionTest, PanelsHideTheEnemiesUnderThemEvenOnesThatCameSinceTheyOpened)
{
    SpawnHero(HERO_THIEF, quadMesh, nullptr);
    Step(2);
    const Enemy* orc = AddEnemy<Orc>(1000, {320, 100}, QUARTER_TURN);
    ClickAt(SHOP);
    ASSERT_TRUE(shop->open);
    EXPECT_TRUE(PanelHides(orc)) << "the enemy or its health bar shows through the shop";
    Tap(SDL_SCANCODE_ESCAPE);
    ASSERT_FALSE(shop->open);

    Tap(SDL_SCANCODE_ESCAPE);
    ClickAt({0, -95});
    ASSERT_TRUE(pauseMenu->settings->open);
    EXPECT_TRUE(PanelHides(AddEnemy<Orc>(1001, {320, 100}, QUARTER_TURN)))
        << "a new enemy or its health bar shows through the settings";
}

}  // namespace
