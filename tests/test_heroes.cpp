// The three heroes on level 1 through the real frame loop, played with injected
// keys and the real pointer: walking and mirroring, the attack that hits the
// first enemy in reach, the ability placed with E and the left button, its four
// seconds of effect and the 25-second cooldown on the label; and heroes that
// leave the field taking their bonuses back and pointing at nothing gone.
#include <gtest/gtest.h>

#include <actors/Bard.h>
#include <actors/Hunter.h>
#include <actors/Shop.h>
#include <actors/Thief.h>
#include <objects/ObjectRef.h>
#include <objects/AnimationSheet.h>

#include <functional>

#include "LevelFixture.h"

namespace {

class HeroTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        // The kinds' state outlives heroes and levels: each test starts it afresh.
        hunterAttackReady = hunterAbilityReady = bardAttackReady = bardAbilityReady = thiefAbilityReady = true;
        hunterAttackTimer = hunterAbilityTimer = bardAttackTimer = thiefAbilityTimer = 0.0f;
        bardAuraApplied = false;
        LoadHeroSheets();
    }

    void TearDown() override
    {
        FreeAnimationSheets();
        LevelTest::TearDown();
    }

    template <class Kind>
    static Kind* Spawn(int kind)
    {
        Kind* hero = static_cast<Kind*>(SpawnHero(kind, quadMesh, nullptr));
        Step();
        return hero;
    }

    // 300 health; stands still away from the markers.
    static Enemy* AddOrc(uint32_t id, Vector2 at) { return AddEnemy<Orc>(id, at, QUARTER_TURN); }
    static Tower* PlaceKnight(Vector2 at) { return Place(turrets[0], at); }

    // E held and the left button pressed over a world point: the ability lands there.
    static void PlaceAbilityAt(Vector2 world)
    {
        PushKeyEvent(SDL_SCANCODE_E, true);
        PointAtWorld(world);
        PushMouseButtonEvent(SDL_BUTTON_LEFT, true);
        Step();
        PushKeyEvent(SDL_SCANCODE_E, false);
        PushMouseButtonEvent(SDL_BUTTON_LEFT, false);
        Step();
    }

    // Runs out the cooldown in quarter-second frames, checking that the label counts down.
    static void RunOutTheCooldown(const Player* hero, const bool* ready)
    {
        LESystemSetFixedFrameTime(0.25);
        Step(2);
        EXPECT_GT(hero->abilityCooldown, 24.0f);
        EXPECT_EQ(FindTextLabel(14)->text, "Cooldown: 24");
        for (int frames = 0; !*ready && frames < 120; ++frames) Step();
        EXPECT_TRUE(*ready);
        EXPECT_EQ(FindTextLabel(14)->text, "Cooldown: 0");
        LESystemSetFixedFrameTime(FRAME);
    }
};

TEST_F(HeroTest, HunterWalksStrikesTheFirstEnemyInReachAndStrengthensTurrets)
{
    Hunter* hunter = Spawn<Hunter>(HERO_HUNTER);
    ASSERT_EQ(currentPlayer, hunter);
    ASSERT_NE(hunter->sheet, nullptr);
    EXPECT_EQ(hunter->texture, HunterSheet->texture);

    Hold({SDL_SCANCODE_D, SDL_SCANCODE_W});
    EXPECT_TRUE(Near(hunter->transform.position, {4, 4}));
    EXPECT_FLOAT_EQ(hunter->transform.scale.y, -50.0f) << "facing right";
    EXPECT_NEAR(hunter->attackPoint.position.x, 14.0f, 0.001f) << "the sword is in front";
    Hold({SDL_SCANCODE_A, SDL_SCANCODE_D});
    EXPECT_FLOAT_EQ(hunter->transform.position.x, 4.0f) << "A and D cancel out";
    EXPECT_FLOAT_EQ(hunter->transform.scale.y, 50.0f) << "and leave the hero facing left";
    EXPECT_NEAR(hunter->attackPoint.position.x, -6.0f, 0.001f);

    // Between rounds the bow is quiet; in a round it hits the first enemy within 100.
    Enemy* far = AddOrc(1000, {-6.0f - 99.0f, 4.0f});
    Enemy* near = AddOrc(1001, {-6.0f - 50.0f, 4.0f});
    Click(SDL_BUTTON_LEFT);
    EXPECT_FLOAT_EQ(far->health, 300.0f);
    StartRoundWithEnter();
    Click(SDL_BUTTON_LEFT);
    EXPECT_TRUE(Near({far->health, near->health}, {300.0f - 78.75f, 300.0f})) << "one enemy per strike";
    EXPECT_EQ(hunter->lastTarget, far);
    EXPECT_TRUE(hunter->playing) << "the strike animates";

    // The area strengthens the turrets in it for four seconds, then gives back
    // exactly what it added: an upgrade bought meanwhile stays.
    Tower* knight = PlaceKnight({200, 100});
    PlaceAbilityAt({210, 90});
    EXPECT_TRUE(hunter->abilityArea->visible);
    EXPECT_FLOAT_EQ(knight->damage, 43.0f);
    knight->damage += 10.0f;
    Step(250);
    EXPECT_FALSE(hunter->abilityArea->visible);
    EXPECT_FLOAT_EQ(knight->damage, 50.0f);
    EXPECT_FALSE(hunterAbilityReady);
    RunOutTheCooldown(hunter, &hunterAbilityReady);
}

TEST_F(HeroTest, BardQuickensTurretsOnArrivalStrikesNearbyAndStrengthensTheChosenTurret)
{
    Tower* knight = PlaceKnight({200, 100});
    Bard* bard = Spawn<Bard>(HERO_BARD);
    EXPECT_FLOAT_EQ(knight->projectileSpeed, 2.0f) << "the arrival bonus, once";
    EXPECT_FLOAT_EQ(turrets[1]->projectileSpeed, 3.25f);
    Step();
    EXPECT_FLOAT_EQ(knight->projectileSpeed, 2.0f);

    Hold({SDL_SCANCODE_S});
    EXPECT_FLOAT_EQ(bard->transform.position.y, -3.0f);

    StartRoundWithEnter();
    Enemy* first = AddOrc(1000, {40, -3});
    Enemy* second = AddOrc(1001, {0, 42});
    Click(SDL_BUTTON_LEFT);
    EXPECT_TRUE(Near({first->health, second->health}, {300.0f - 90.0f, 300.0f}));

    // In quarter-second frames the ability ends on four seconds exactly: the
    // turret gets its bonus back once, and the cooldown follows.
    LESystemSetFixedFrameTime(0.25);
    PlaceAbilityAt({200, 100});
    EXPECT_EQ(bard->auraTower, knight);
    EXPECT_TRUE(Near({knight->damage, knight->projectileSpeed}, {41, 3}));
    Step(14);
    EXPECT_TRUE(Near({knight->damage, knight->projectileSpeed}, {40, 2}));
    EXPECT_FALSE(bard->abilityArea->visible);
    EXPECT_GT(bard->abilityCooldown, 0.0f);
    LESystemSetFixedFrameTime(FRAME);
    bardAbilityReady = false;  // nothing else clears it: the Bard's ability waits for its timer
    RunOutTheCooldown(bard, &bardAbilityReady);
    EXPECT_FLOAT_EQ(bard->abilityTimer, 0.0f) << "ready again";
}

TEST_F(HeroTest, ThiefStrikesOnEveryClickWithTheBladeInFrontAndPoisonsForFourSeconds)
{
    Thief* thief = Spawn<Thief>(HERO_THIEF);
    Hold({SDL_SCANCODE_D});
    EXPECT_FLOAT_EQ(thief->transform.position.x, 5.0f);
    const Vector2 blade = thief->attackPoint.position;
    EXPECT_NEAR(blade.x, 15.0f, 0.001f) << "the blade is in front";

    // Boxes touch 20 above the blade, facing right as facing left.
    StartRoundWithEnter();
    Enemy* first = AddOrc(1000, {blade.x + 10.0f, blade.y + 20.0f});
    Enemy* second = AddOrc(1001, {blade.x, blade.y});
    Click(SDL_BUTTON_LEFT);
    Click(SDL_BUTTON_LEFT);
    EXPECT_TRUE(Near({first->health, second->health}, {300.0f - 80.0f, 300.0f}))
        << "every click strikes, only the first enemy touched";

    Enemy* victim = AddOrc(1002, {-150, 60});
    PlaceAbilityAt({-150, 60});
    Step(250);
    EXPECT_NEAR(victim->health, 300.0f - 240.0f, 3.0f);
    EXPECT_EQ(thief->lastPoisoned, victim);
    EXPECT_FALSE(thief->abilityArea->visible);
    const float drained = victim->health;
    Step(10);
    EXPECT_FLOAT_EQ(victim->health, drained) << "four seconds, no more";
    RunOutTheCooldown(thief, &thiefAbilityReady);
}

// A hero replaced while its ability runs: the turrets it strengthened get back
// what it added, its area leaves with it, and turrets or enemies deleted under
// it are never touched again (the sanitizer build reports any such read).
TEST_F(HeroTest, LeavingHeroesTakeBackTheirBonusAndLetGoOfWhatIsGone)
{
    Tower* knight = PlaceKnight({200, 100});
    Tower* mage = turrets[1];
    mage->transform.position = {220, 100};
    for (int kind : {HERO_HUNTER, HERO_BARD, HERO_THIEF}) {
        SCOPED_TRACE(kind);
        const float damage = knight->damage, speed = knight->projectileSpeed;
        Player* hero = Spawn<Player>(kind);
        const float arrivalSpeed = knight->projectileSpeed - speed;  // the Bard's lasting welcome
        Enemy* orc = AddOrc(1000 + uint32_t(kind), {200, 100});
        PlaceAbilityAt({200, 100});
        Step(3);
        if (kind != HERO_THIEF) {
            EXPECT_GT(knight->damage, damage);
        }
        if (kind == HERO_HUNTER) {
            DestroyObject(mage);  // strengthened too, then gone
            mage = nullptr;
        }
        DestroyObject(orc);
        Step();
        if (kind == HERO_THIEF) {
            EXPECT_EQ(static_cast<Thief*>(hero)->lastPoisoned, nullptr);
        }
        const ObjectRef<GameObject> area = hero->abilityArea;
        DestroyObject(hero);
        Step();
        EXPECT_EQ(currentPlayer, nullptr) << "the level lets go of it too";
        EXPECT_TRUE(Near({knight->damage, knight->projectileSpeed}, {damage, speed + arrivalSpeed}));
        EXPECT_EQ(area, nullptr) << "the area leaves with its hero";
        Step(3);
    }
}

// Every effect plays in the effects group at the effects' volume, the first time
// and every time after: the hero's clicks, purchases, enemies' calls and ability.
class HeroSoundTest : public HeroTest {
protected:
    void SetUp() override
    {
        StartDiskAudio();
        HeroTest::SetUp();
    }

    void TearDown() override
    {
        HeroTest::TearDown();
        AudioSetGroupVolume(SOUND_GROUP_SFX, 1.0f);
        StopDiskAudio();
    }
};

constexpr Vector2 SHOP{-350, -250}, HERO_STATS{-125, 150};

TEST_F(HeroSoundTest, EveryEffectPlaysAtTheEffectsVolume)
{
    AudioSetGroupVolume(SOUND_GROUP_SFX, 0.5f);
    Thief* thief = Spawn<Thief>(HERO_THIEF);
    thief->gold = 100.0f;
    Step();
    const auto heardCall = [] {
        for (SoundChannel call : enemyChannels)
            if (call && !call->paused) return call;
        return SoundChannel{};
    };
    struct Effect {
        const char* what;
        std::function<void()> act;
        std::function<SoundChannel()> play;
    };
    const Effect effects[] = {
        {"a click", [] { ClickAt(SHOP); }, [] { return shop->clickChannel; }},
        {"a purchase", [] { ClickAt(HERO_STATS); }, [] { return shop->shopButtons[0]->clickChannel; }},
        {"a second purchase", [] { ClickAt(HERO_STATS); }, [] { return shop->shopButtons[0]->clickChannel; }},
        {"an enemy's call", [] {
             Tap(SDL_SCANCODE_ESCAPE);
             StartRoundWithEnter();
             StepUntilSpawn();
         }, heardCall},
        {"an ability", [] { PlaceAbilityAt({0, 100}); }, [thief] { return thief->abilityChannel; }},
        {"the ability again", [thief] {
             Step(250);  // four seconds of poison
             RunOutTheCooldown(thief, &thiefAbilityReady);
             PlaceAbilityAt({0, 100});
         }, [thief] { return thief->abilityChannel; }},
    };
    for (const Effect& e : effects) {
        e.act();
        const SoundChannel play = e.play();
        ASSERT_TRUE(play) << e.what;
        EXPECT_EQ(play->group, SOUND_GROUP_SFX) << e.what;
        EXPECT_FLOAT_EQ(play->volume, 0.5f) << e.what;
    }
}

}  // namespace
