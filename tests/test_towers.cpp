// Turrets on level 1 through the real frame loop: dragged onto spots with the
// real pointer between rounds, shooting the first enemy in reach during a round,
// and letting go of a target that leaves the scene, whoever killed it.
#include <gtest/gtest.h>

#include <objects/Button.h>

#include <cmath>

#include "LevelFixture.h"

namespace {

class TowerTest : public LevelTest {
protected:
    static Enemy* AddSkeleton(uint32_t id, Vector2 at) { return AddEnemy<Skeleton>(id, at, QUARTER_TURN); }

    static void ExpectShotHome(const Tower* tower)
    {
        EXPECT_FALSE(tower->projectile->active || tower->projectile->visible);
        EXPECT_TRUE(Near(tower->projectile->transform.position, tower->transform.position));
    }
};

// The pointer is placed to the nearest window pixel: about 2.4 world units.
constexpr float POINTER_SLACK = 3.0f;

TEST_F(TowerTest, PlayerDragsTurretsOntoSpotsAndCancelsWithTheRightButton)
{
    Step();
    Tower* knight = turrets[0];
    Tower* mage = turrets[1];
    ASSERT_NE(knight, nullptr);
    EXPECT_EQ(turrets[3], nullptr) << "the companions come with the hero";
    EXPECT_FALSE(knight->visible) << "no hero yet";
    EXPECT_FLOAT_EQ(knight->transform.position.x, towerButtons[0]->transform.position.x);

    AddHeroStandIn();
    Step();
    ASSERT_TRUE(knight->visible && knight->active);

    // Picked up, it follows the pointer.
    knight->transform.scale = {30, 30};
    ClickAt(knight->transform.position);
    ASSERT_TRUE(knight->dragging);
    PointAtWorld({100, 0});
    EXPECT_TRUE(Near(knight->transform.position, {100, 0}, POINTER_SLACK));

    // Dropped beside every spot, it keeps following.
    Click(SDL_BUTTON_LEFT);
    EXPECT_TRUE(knight->dragging && !knight->placed);
    PointAtWorld({0, 150});
    EXPECT_NEAR(knight->transform.position.y, 150.0f, POINTER_SLACK);

    // Dropped on a spot, it takes the spot's place and size.
    ClickAt({-190, 45});  // inside the spot at (-200, 50)
    EXPECT_TRUE(!knight->dragging && knight->placed);
    EXPECT_TRUE(Near(knight->transform.position, {-200, 50}));
    EXPECT_FLOAT_EQ(knight->transform.scale.x, 50.0f);
    EXPECT_FLOAT_EQ(knight->homePosition.x, -200.0f);

    // A spot holds one turret: dropped on the knight's, another stays in hand,
    // and the right button sends it home.
    const Vector2 home = mage->transform.position;
    ClickAt(home);
    ASSERT_TRUE(mage->dragging);
    ClickAt({-200, 50});
    EXPECT_TRUE(mage->dragging && !mage->placed) << "two turrets on one spot";
    EXPECT_TRUE(knight->placed && !knight->dragging && Near(knight->transform.position, {-200, 50}));
    ClickAt({30, 85}, SDL_BUTTON_RIGHT);
    EXPECT_FALSE(mage->dragging || mage->placed);
    EXPECT_TRUE(Near(mage->transform.position, home));

    // The statistics list every turret.
    testing::internal::CaptureStdout();
    Tap(SDL_SCANCODE_P);
    const std::string stats = testing::internal::GetCapturedStdout();
    size_t turretLines = 0;
    for (size_t at = stats.find("Name: Turret"); at != std::string::npos; at = stats.find("Name: Turret", at + 1))
        ++turretLines;
    EXPECT_EQ(turretLines, 3u);
    EXPECT_NE(stats.find("Range: 250"), std::string::npos);
    Tap(SDL_SCANCODE_ESCAPE);  // P showed the controls too, over the field

    // A round leaves only the placed turret on the field, back on its spot if
    // it was in hand.
    ClickAt(knight->transform.position);
    PointAtWorld({100, 0});
    ASSERT_TRUE(knight->dragging);
    StartRoundWithEnter();
    EXPECT_FALSE(knight->dragging);
    EXPECT_FLOAT_EQ(knight->transform.position.x, -200.0f);
    EXPECT_TRUE(knight->visible);
    EXPECT_FALSE(mage->visible);
}

TEST_F(TowerTest, MageShootsTheFirstEnemyInReachAndLetsGoOfTheDeadAndTheDistant)
{
    Tower* mage = turrets[1];  // kind 2: 2.25 per frame, 15 damage, reach 250
    Place(mage, {30, 85});
    Enemy* first = AddSkeleton(1000, {230, 85});   // 200 away, first in enemyList
    Enemy* second = AddSkeleton(1001, {90, 85});   // nearer, but second
    StartRoundWithEnter();
    ASSERT_EQ(mage->target, first) << "the first enemy in reach, not the nearest";
    ASSERT_TRUE(mage->projectile->visible);

    const Vector2 before = mage->projectile->transform.position;
    Step();
    const Vector2 after = mage->projectile->transform.position;
    EXPECT_NEAR(std::hypot(after.x - before.x, after.y - before.y), 2.25f, 0.001f);

    const float health = first->health;
    int frames = 0;
    while (first->health == health && frames++ < 200) Step();
    EXPECT_FLOAT_EQ(first->health, health - 15.0f);
    EXPECT_FLOAT_EQ(mage->projectile->transform.position.x, mage->transform.position.x) << "the shot restarts";
    EXPECT_EQ(mage->target, first);

    const ObjectRef<Enemy> watched = first;
    first->health = 0.0f;  // killed by someone else
    Step(2);
    EXPECT_EQ(watched, nullptr) << "a dead enemy leaves the scene for good";
    EXPECT_EQ(mage->target, second);

    second->transform.position = {30 + 600, 85};  // far out of reach: the shot chases it out
    frames = 0;
    while (mage->target && frames++ < 400) Step();
    EXPECT_EQ(mage->target, nullptr);
    ExpectShotHome(mage);

    // The end of the wave grounds a shot in flight and lets go of its target.
    AddSkeleton(1002, {90, 85});
    Step(2);
    ASSERT_NE(mage->target, nullptr);
    ASSERT_TRUE(mage->projectile->visible);
    enemiesRemaining = 0;
    Step();
    ASSERT_TRUE(betweenRounds);
    EXPECT_EQ(mage->target, nullptr);
    ExpectShotHome(mage);
}

// Two turrets aim at one enemy. The knight stands on it and kills it with its
// first shot; the nobleman's shot is still on its way. Whichever updates first,
// the nobleman must let go, and once the dead enemy is deleted neither turret
// may touch it again (the sanitizer build reports any read of the freed enemy).
TEST_F(TowerTest, TurretsSharingATargetSurviveItsDeathInEitherUpdateOrder)
{
    Tower* knight = turrets[0];
    Tower* nobleman = turrets[2];
    Place(knight, {30, 85});
    Place(nobleman, {30, 25});  // 60 away: its shot needs 40 frames
    StartRoundWithEnter();
    for (bool noblemanFirst : {false, true}) {
        SCOPED_TRACE(noblemanFirst ? "nobleman updates first" : "knight updates first");
        if (noblemanFirst) {
            objectList.remove(knight);
            objectList.push_back(knight);
        }
        Enemy* victim = AddSkeleton(1000, {30, 85});
        victim->health = 1.0f;
        Step();
        ASSERT_EQ(knight->target, victim);
        ASSERT_EQ(nobleman->target, victim);
        Step();
        ASSERT_FALSE(victim->alive);
        EXPECT_EQ(knight->target, nullptr);
        EXPECT_EQ(nobleman->target, nullptr);
        FlushDestroyQueue();  // the dead enemy is deleted now
        Step(3);
        ExpectShotHome(knight);
        ExpectShotHome(nobleman);
    }
}

}  // namespace
