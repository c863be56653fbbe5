// Level 1 through the real frame loop with injected input and a fixed frame
// time: rounds, the forecast and the spawns that follow it, groups, wave
// scaling and effects, the end of a wave, the nexus, losing and restarting, the
// focus freeze, and a level that leaves nothing behind.
#include <objects/Button.h>
#include <objects/ProgBar.h>
#include <objects/Screens.h>
#include <menus/Credits.h>
#include <menus/Pause.h>
#include <LEInput.h>

#include <algorithm>
#include <cmath>

#include "LevelFixture.h"

namespace {

struct ForecastLine {
    std::string kind, side;
};

std::vector<ForecastLine> ParseForecast(const std::string& out)
{
    std::vector<ForecastLine> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        ForecastLine f;
        if (words >> f.kind >> f.side) lines.push_back(f);
    }
    return lines;
}

// Names as the forecast prints them and full health, by kind code.
const char* const KIND_NAMES[] = {"?", "?", "Wyvern", "Orc", "Skeleton", "Goblin"};
const float KIND_HEALTH[] = {0, 0, 250, 300, 100, 50};
std::string KindName(const Enemy* e) { return KIND_NAMES[int(e->kindCode)]; }

TEST_F(LevelTest, InitBuildsTheFieldInDrawOrderWithEveryLabelHidden)
{
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(objectList.front(), background);
    EXPECT_EQ(objectList.back()->name, "QuitConfirmation") << "the pause menu's parts are drawn over the field";
    EXPECT_EQ(spawnPoints[0]->mesh, nullptr) << "the start markers are never drawn";
    EXPECT_TRUE(std::is_sorted(objectList.begin(), objectList.end(),
                               [](const GameObject* a, const GameObject* b) { return a->id < b->id; }));
    for (TextLabel* label : textList) EXPECT_FALSE(label->visible) << "label " << label->id;
    EXPECT_EQ(std::vector<uint32_t>(waveKillTargets, waveKillTargets + WAVE_COUNT),
              (std::vector<uint32_t>{32, 34, 38, 46, 62, 94}));
}

// The first wave is never scaled, even with an effect drawn for it.
TEST_F(LevelTest, EnterStartsAnUnscaledRoundWhoseSpawnsFollowTheForecastFromThreeSecondsOn)
{
    waveEffect = EFFECT_LESS_GOLD;
    waveEffectPending = false;
    Step();
    const std::vector<ForecastLine> forecast = ParseForecast(StartRoundWithEnter());
    ASSERT_EQ(forecast.size(), 32u) << "one line per kill of the first wave";
    EXPECT_FALSE(betweenRounds);
    EXPECT_EQ(enemiesRemaining, 32u);

    for (size_t event = 0; event < 3; ++event) {
        const size_t before = enemyList.size();
        const int frames = StepUntilSpawn();
        ASSERT_GT(frames, 0) << "spawn event " << event;
        const std::vector<Enemy*> all = Enemies();
        const Enemy* leader = all[before];
        EXPECT_EQ(KindName(leader), forecast[event].kind) << "event " << event;
        if (event == 0) {
            // The frame Enter was released in was the round's first; the timer sums frame
            // times in single precision, so the event may come a frame late.
            EXPECT_NEAR((frames + 1) * FRAME, 3.0, 2.0 * FRAME);
            EXPECT_FLOAT_EQ(leader->health, KIND_HEALTH[int(leader->kindCode)]);
            EXPECT_FALSE(waveScalingOn);
        }
        const float markerY = forecast[event].side == "Up" ? 165.0f : -183.0f;
        // The group starts on the marker, followers 0, 15, 30... units towards the
        // nexus, and has taken one step by the end of the frame.
        const size_t members = all.size() - before;
        EXPECT_EQ(members, size_t(1 + leader->kindCode));
        EXPECT_NEAR(leader->transform.position.x, 350.0f - leader->speed, 0.05f);
        for (size_t i = 0; i < members; ++i) {
            const Enemy* e = all[before + i];
            EXPECT_EQ(KindName(e), KindName(leader));
            EXPECT_NEAR(e->transform.position.y, markerY, 0.1f) << "member " << i;
            const float offset = i == 0 ? 0.0f : 15.0f * float(i - 1);
            EXPECT_NEAR(leader->transform.position.x - e->transform.position.x, offset, 0.05f) << "member " << i;
        }
        KillAll();  // the next group starts on a clear field
        Step();
    }
}

TEST_F(LevelTest, WaveEndsAtItsKillTargetAndTheNextOneIsScaled)
{
    // Tenth-of-a-second frames: a spawn event every 30 frames keeps the test short.
    LESystemSetFixedFrameTime(0.1);
    StartRoundWithEnter();
    int frames = 0;
    while (!betweenRounds && frames++ < 20000) {
        KillAll();
        Step();
    }
    ASSERT_TRUE(betweenRounds) << "the first wave never ended";
    EXPECT_EQ(waveIndex, 1u);
    EXPECT_EQ(enemiesRemaining, 0u);
    EXPECT_TRUE(FindTextLabel(17)->visible);

    // Wave 2: scaling is on, the health factor at w = 1 is 1, the speed grows by k.
    Step();
    EXPECT_TRUE(waveScalingOn);
    const uint32_t effect = waveEffect;
    StartRoundWithEnter();
    const size_t before = enemyList.size();
    ASSERT_GT(StepUntilSpawn(), 0);
    const Enemy* leader = Enemies()[before];
    const float k = leader->kindCode == KIND_ORC ? 0.05f : leader->kindCode == KIND_GOBLIN ? 0.15f : 0.1f;
    const float baseSpeed = leader->kindCode == KIND_ORC ? 0.5f : leader->kindCode == KIND_GOBLIN ? 2.0f : 1.0f;
    EXPECT_NEAR(leader->speed, baseSpeed + k + (effect == EFFECT_FASTER ? 0.2f : 0.0f), 1e-5f);
}

TEST_F(LevelTest, ScalingMultipliesHealthByTheWaveAndEffectsChangeHealthSpeedAndGoldNeverBelowZero)
{
    Skeleton* skeleton = AddEnemy<Skeleton>(1000);  // health 100 after its bar
    waveScalingOn = true;
    waveIndex = 3;
    ScaleEnemyForWave(skeleton);
    EXPECT_NEAR(skeleton->health, 100.0f * 4.2958369f, 1e-3f);
    EXPECT_NEAR(skeleton->speed, 1.3f, 1e-6f);
    waveIndex = 0;

    Skeleton *a = AddEnemy<Skeleton>(1000), *b = AddEnemy<Skeleton>(1000), *c = AddEnemy<Skeleton>(1000);
    waveEffect = EFFECT_MORE_HEALTH;
    ApplyWaveEffect(a);
    EXPECT_FLOAT_EQ(a->health, 200.0f);
    waveEffect = EFFECT_FASTER;
    ApplyWaveEffect(b);
    EXPECT_FLOAT_EQ(b->speed, 1.2f);
    waveEffect = EFFECT_LESS_GOLD;
    ApplyWaveEffect(c);
    EXPECT_FLOAT_EQ(c->goldDrop, 0.0f) << "a skeleton's 1 gold less 2 stops at 0";
}

TEST(WaveRules, RollingNeverRepeatsTheLastEffectAndNeverWaits)
{
    testing::internal::CaptureStdout();
    const double start = LEClockSeconds();
    for (int i = 0; i < 50; ++i) {
        const uint32_t before = previousWaveEffect;
        waveEffectPending = true;
        RollWaveEffect();
        EXPECT_NE(waveEffect, before);
        EXPECT_LT(waveEffect, 3u);
        EXPECT_FALSE(waveEffectPending);
    }
    testing::internal::GetCapturedStdout();
    // Fifty rolls within the same second would each have waited for the clock.
    EXPECT_LT(LEClockSeconds() - start, 0.5);
}

TEST_F(LevelTest, EnemyAtTheNexusStrikesAfterItsDelayAndTheLevelIsLostBelowOne)
{
    const ObjectRef<Enemy> watched = AddEnemy<Skeleton>(1000, nexus->transform.position, QUARTER_TURN);
    nexusStrikeTimer = 0.0f;
    Step(59);
    EXPECT_EQ(nexusHealth, 10000) << "the skeleton waits one second";
    Step(2);
    EXPECT_EQ(nexusHealth, 10000 - 20);
    EXPECT_EQ(watched, nullptr) << "an enemy that struck leaves the scene for good";
    EXPECT_EQ(enemiesRemaining, 0u) << "a strike is not a kill";

    nexusHealth = 15;
    AddEnemy<Orc>(1001, nexus->transform.position, QUARTER_TURN);
    Step(60);
    EXPECT_EQ(nexusHealth, -35);
    EXPECT_TRUE(levelLost);
    Step();
    EXPECT_TRUE(FindTextLabel(1236)->visible);
    EXPECT_NE(FindObject("LoseBG"), nullptr);
}

TEST_F(LevelTest, FocusLossFreezesTheRound)
{
    StartRoundWithEnter();
    const float before = spawnTimer;
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Step(30);
    EXPECT_FLOAT_EQ(spawnTimer, before);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Step(30);
    EXPECT_NEAR(spawnTimer, before + 30 * FRAME, 1e-3);
}

// Kills pay the hero, the thief one more; two in the frame that reaches the
// wave's target still end the wave.
TEST_F(LevelTest, KillsPayTheHeroAndTheThiefItsBonusAndTwoInTheLastFrameStillEndTheWave)
{
    Player* hero = AddHeroStandIn();
    hero->heroKind = HERO_THIEF;
    hero->kindBonus = 1.0f;
    StartRoundWithEnter();
    enemiesRemaining = 1;
    for (uint32_t id : {1000u, 1001u}) AddEnemy<Wyvern>(id)->health = 0.0f;  // exactly 0 is death
    Step();
    EXPECT_FLOAT_EQ(hero->gold, 16.0f);
    EXPECT_EQ(enemiesRemaining, 0u);
    Step();
    EXPECT_TRUE(betweenRounds);
    EXPECT_EQ(waveIndex, 1u);
    hero->heroKind = HERO_HUNTER;
    AddEnemy<Wyvern>(1002)->health = 0.0f;
    Step();
    EXPECT_FLOAT_EQ(hero->gold, 23.0f);
    EXPECT_TRUE(FindTextLabel(13)->visible);
    EXPECT_FLOAT_EQ(currencyIcon->transform.scale.x, 25.0f);
}

TEST_F(LevelTest, ButtonsReportClicksInsideTheirBoxThroughTheLevelCamera)
{
    // Puts the real pointer over a world point and clicks there: did every button given see it?
    const auto ClickAtWorld = [](Vector2 world, Button* a, Button* b = nullptr) {
        const Vector2 v = Matrix3TransformPoint(CameraViewMatrix(levelCamera), world);  // design pixels
        SDL_WarpMouseInWindow(SDL_GL_GetCurrentWindow(), int(960.0f + v.x), int(540.0f - v.y));
        PushMouseButtonEvent(SDL_BUTTON_LEFT, true);
        LEInputUpdate();
        const bool clicked = IsClicked(a) && (!b || IsClicked(b));
        PushMouseButtonEvent(SDL_BUTTON_LEFT, false);
        LEInputUpdate();
        return clicked;
    };
    Step();  // the camera's viewport is set by the first draw
    Button* first = towerButtons[0];  // 50 x 50 at (-100, -250)
    EXPECT_TRUE(ClickAtWorld({-100, -250}, first));
    EXPECT_EQ(first->clickCount, 1u);
    EXPECT_FALSE(ClickAtWorld({-40, -250}, first)) << "outside the box";
    Button* twin = static_cast<Button*>(AddObject(objectList, new Button, 999, "Button", -100, -250, 60, 60, 0,
                                                  quadMesh, nullptr));
    EXPECT_FALSE(ClickAtWorld({-100, -250}, first, twin)) << "one press, one button";
    EXPECT_EQ(twin->clickCount, 0u) << "the first button to see the press takes it";
    first->visible = false;
    EXPECT_FALSE(ClickAtWorld({-100, -250}, first)) << "a hidden button is never clicked";
    first->visible = true;
    first->active = false;
    EXPECT_FALSE(ClickAtWorld({-100, -250}, first)) << "an inactive button is never clicked";
    EXPECT_TRUE(PointInBox({-75, -225}, first)) << "edges count";
    EXPECT_FALSE(PointInBox({-74.9f, -225}, first));
}

// ---------------------------------------------------------------------------
// Enemies on their own
// ---------------------------------------------------------------------------
// A goblin on the start-1 marker, and a tall skeleton on both markers, which walks both routes.
TEST_F(LevelTest, EnemiesWalkTheirSpeedPerFrameAndTurnAtWaypointsOnEveryRouteTheyTouch)
{
    Goblin* goblin = AddEnemy<Goblin>(1000, {350, 165}, QUARTER_TURN);
    auto* skeleton = static_cast<Skeleton*>(
        AddObject(objectList, new Skeleton, 1001, "Enemy", 350, -9, 40, 400, QUARTER_TURN, quadMesh, nullptr));
    Step();
    EXPECT_TRUE(goblin->touchedStart1);
    EXPECT_NEAR(goblin->transform.position.x, 348, 1e-4f) << "2 units a frame towards (180, 165)";
    EXPECT_FLOAT_EQ(goblin->transform.position.y, 165);
    EXPECT_TRUE(skeleton->touchedStart0 && skeleton->touchedStart1);
    // One unit towards (180, 165) on the start-1 route, then one towards (190, -180).
    const auto towards = [](Vector2 p, Vector2 w) {
        const float dx = p.x - w.x, dy = p.y - w.y, len = std::sqrt(dx * dx + dy * dy);
        return Vector2{p.x - dx / len, p.y - dy / len};
    };
    EXPECT_TRUE(Near(skeleton->transform.position, towards(towards({350, -9}, {180, 165}), {190, -180}), 1e-3f));
    Step(100);
    EXPECT_GE(goblin->pathCursor[PATH_L1_START1], 1) << "turned at (180, 165)";
    EXPECT_LT(goblin->transform.position.y, 165.0f) << "now heading for (-170, -200)";
}

TEST_F(LevelTest, EnemiesAtTheNexusShareOneStrikeTimer)
{
    Goblin* slow = AddEnemy<Goblin>(1000, nexus->transform.position);               // 2 s delay
    const ObjectRef<Enemy> fastRef = AddEnemy<Wyvern>(1001, nexus->transform.position);  // 0.5 s delay
    nexusStrikeTimer = 0.0f;
    // Both add the frame time: the wyvern strikes after a quarter of a second.
    Step(15);
    EXPECT_EQ(fastRef, nullptr);
    EXPECT_TRUE(slow->alive);
    EXPECT_EQ(nexusHealth, 10000 - 100);
}

// ---------------------------------------------------------------------------
// Health bars
// ---------------------------------------------------------------------------
// The orc is away from the markers: on level 1 it stands still.
TEST_F(LevelTest, HealthBarsFollowTheirEnemyAndShrinkWithItsHealth)
{
    Orc* orc = AddEnemy<Orc>(1000, {0, 0}, QUARTER_TURN);
    GameObject* bar = orc->healthBar->bar;
    EXPECT_EQ(bar->name, "healthBar");
    EXPECT_FLOAT_EQ(orc->health, 300.0f) << "the bar takes 100 off";
    EXPECT_FLOAT_EQ(bar->transform.scale.x, HEALTH_BAR_FULL_WIDTH);
    Step();
    EXPECT_FLOAT_EQ(bar->transform.position.y, 25.0f) << "the bar floats above its enemy";
    orc->health = 75.0f;
    Step();
    EXPECT_FLOAT_EQ(bar->transform.scale.x, HEALTH_BAR_FULL_WIDTH / 4.0f);
    EXPECT_TRUE(Near(orc->transform.position, {0, 0})) << "away from the markers it stands still";
    const int meshes = LEMeshCount();
    orc->health = 0.0f;
    Step();
    EXPECT_FALSE(bar->alive) << "a dead enemy's bar leaves the scene";
    EXPECT_EQ(LEMeshCount(), meshes - 1) << "and its green quad is freed";
}

// ---------------------------------------------------------------------------
// The other levels
// ---------------------------------------------------------------------------
using LevelVariantTest = LevelTest;

TEST_F(LevelVariantTest, LevelTwoSendsEveryEnemyAlongItsOneRoad)
{
    Enter(STATE_LEVEL_2);
    EXPECT_FLOAT_EQ(background->transform.scale.y, -800.0f);
    EXPECT_EQ(FindTextLabel(1235), nullptr) << "the end labels are made when needed";
    StartRoundWithEnter();
    ASSERT_GT(StepUntilSpawn(), 0);
    for (Enemy* e : enemyList) {
        EXPECT_FALSE(e->touchedStart0 || e->touchedStart1);
        EXPECT_NEAR(e->transform.position.y, -262.5f, 3.0f) << "near the bottom-right entry";
    }
    Step(120);
    // Up the road towards its first bend at (320, -125).
    for (Enemy* e : enemyList) EXPECT_GT(e->transform.position.y, -250.0f) << "walking the jungle road";
}

TEST_F(LevelVariantTest, LevelThreeUsesThreeLanesOnTheRightEdge)
{
    Enter(STATE_LEVEL_3);
    StartRoundWithEnter();
    for (int event = 0; event < 4; ++event) {
        const size_t before = enemyList.size();
        ASSERT_GT(StepUntilSpawn(), 0);
        const Enemy* leader = Enemies()[before];
        const float y = leader->transform.position.y;
        const bool onLane = std::fabs(y - 250) < 3 || std::fabs(y + 170) < 3 || std::fabs(y - 10) < 3 ||
                            std::fabs(y + 10) < 3;
        EXPECT_TRUE(onLane) << "leader at y " << y;
        KillAll();
        Step();
    }
}

// Level 4's victory shows the first credits page over the field and under the
// win message; the page takes the presses until a right click or Escape clears
// it, and only then does Escape pause.
TEST_F(LevelVariantTest, NoRoundStartsAfterTheSixthWaveAndWinningLevelFourLeadsBackToTheMainMenu)
{
    CreateCredits();
    Enter(STATE_LEVEL_4);
    waveIndex = 6;
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_TRUE(betweenRounds) << "no round starts after the sixth wave";
    EXPECT_TRUE(levelWon);
    ASSERT_TRUE(CreditsPageShown(1));
    EXPECT_EQ(TopScreen(), credits->page1);
    EXPECT_TRUE(FindTextLabel(1235)->visible) << "the win message stands over the page";
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(CreditsPageShown(1) || pauseMenu->open) << "Escape clears the page first";
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(pauseMenu->open);
    EXPECT_FALSE(FindTextLabel(1235)->visible) << "the win message is drawn over the pause panel";
    ClickAt({0, 160});  // Resume
    EXPECT_TRUE(FindTextLabel(1235)->visible) << "the win message comes back with the field";
    FreeCredits();
    PushKeyEvent(SDL_SCANCODE_N, true);
    Step();
    EXPECT_EQ(nextState, STATE_MAIN_MENU);
    PushKeyEvent(SDL_SCANCODE_N, false);
    nextState = currentState;
}

TEST_F(LevelVariantTest, CheatsToggleCountingDownNeverWrapsAndRulesAndCheatsStartAfreshInEveryLevel)
{
    CtrlTap(SDL_SCANCODE_3);
    EXPECT_EQ(nexusHealth, 2000000000);
    AddEnemy<Skeleton>(1000, nexus->transform.position, QUARTER_TURN);
    nexusStrikeTimer = 0.0f;
    Step(61);
    EXPECT_EQ(nexusHealth, 2000000000 - 20) << "a strike takes exactly its damage";
    CtrlTap(SDL_SCANCODE_3);
    EXPECT_EQ(nexusHealth, 100);

    StartRoundWithEnter();
    CtrlTap(SDL_SCANCODE_4);
    EXPECT_EQ(enemiesRemaining, 0xFFFFFFFFu);
    CtrlTap(SDL_SCANCODE_4);
    EXPECT_TRUE(betweenRounds) << "the wave ends at the next round update";
    // Two enemies dying between rounds, with nothing left to count.
    AddEnemy<Goblin>(1000)->health = 0.0f;
    AddEnemy<Goblin>(1001)->health = 0.0f;
    Step();
    EXPECT_EQ(enemiesRemaining, 0u);

    CtrlTap(SDL_SCANCODE_3);
    enemiesRemaining = 7;
    waveIndex = 3;
    const WaveState waves{2.0f, 77, EFFECT_MORE_HEALTH, EFFECT_MORE_HEALTH, false};
    waveState = waves;
    Enter(STATE_LEVEL_2);
    EXPECT_TRUE(enemiesRemaining == 0 && waveIndex == 0) << "a level starts its rules afresh";
    EXPECT_TRUE(spawnTimer == waves.spawnTimer && enemySerial == waves.enemySerial &&
                waveEffect == waves.waveEffect && previousWaveEffect == waves.previousWaveEffect &&
                waveEffectPending == waves.waveEffectPending)
        << "the waves' state carries over: the first wave here may have more health";
    CtrlTap(SDL_SCANCODE_3);
    EXPECT_EQ(nexusHealth, 2000000000) << "the first Ctrl+3 of a level switches the cheat on";
}

TEST_F(LevelVariantTest, TestLevelPlacesOrcsWithTheRightButtonRestartsAtItsZoomAndPLeadsToLevelOne)
{
    Enter(STATE_LEVEL_0);
    EXPECT_FLOAT_EQ(levelCamera->transform.scale.x, 0.5f);
    EXPECT_TRUE(FindTextLabel(10)->visible) << "the test level leaves its HUD on";
    EXPECT_EQ(FindTextLabel(17), nullptr);
    StartRoundWithEnter();
    SDL_WarpMouseInWindow(SDL_GL_GetCurrentWindow(), 960, 540);
    Click(SDL_BUTTON_RIGHT);
    ASSERT_EQ(enemyList.size(), 1u);
    EXPECT_FLOAT_EQ(enemyList.front()->health, 200.0f);
    EXPECT_NEAR(enemyList.front()->transform.position.x, 0.0f, 1.0f);
    // R on an end screen restarts at the level's own zoom, again and again.
    for (int restart = 0; restart < 2; ++restart) {
        levelLost = true;
        Tap(SDL_SCANCODE_R);
        ASSERT_EQ(nextState, STATE_RESTART);
        EXPECT_FLOAT_EQ(levelCamera->transform.scale.x, 0.5f) << "the frame of the R is drawn at the zoom";
        LevelFree();  // the restart, as the state manager runs it
        LevelInit();
        nextState = currentState;
        EXPECT_FLOAT_EQ(levelCamera->transform.scale.x, 0.5f) << "restart " << restart;
        EXPECT_FLOAT_EQ(levelCamera->transform.scale.y, 0.6666667f) << "restart " << restart;
    }
    PushKeyEvent(SDL_SCANCODE_P, true);
    Step();
    PushKeyEvent(SDL_SCANCODE_P, false);
    EXPECT_EQ(nextState, STATE_LEVEL_1);
    nextState = currentState;
}

}  // namespace
