// Level 1 under load: a running round with 9 placed turrets shooting at 100, 250
// and 500 enemies walking their roads, through the real frame loop in a
// 1920 x 1080 window. Prints, per frame and for each count:
// - the process CPU milliseconds of the level's Update;
// - the main thread's CPU milliseconds of Update, the draw pass and handing the
//   frame to the driver, and whatever the main thread then does until the frame
//   is drawn: with the driver on a thread of its own it only waits, which costs
//   it nothing; without, the driver's submission work is counted here too;
// - the process CPU milliseconds of the whole draw (the draw pass and the
//   driver's work to the end, GL finished).
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <actors/Enemy.h>
#include <actors/Tower.h>
#include <levels/Level.h>
#include <levels/LevelState.h>
#include <main/GameStates.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchClock.h"

static constexpr int FRAMES = 300, WARMUP = 30;

static struct {
    int enemies = 0;
    int frame = 0;
    std::vector<double> updateMs, mainThreadMs, drawMs;
    BenchInstant updateStart{};
} bench;

static void AddWalkers(int count)
{
    // Orcs and skeletons on both roads, spread out behind the markers, so that
    // none reaches the nexus during the run.
    for (int i = 0; i < count; ++i) {
        Enemy* enemy = (i % 2) ? static_cast<Enemy*>(new Orc) : static_cast<Enemy*>(new Skeleton);
        const GameObject* marker = spawnPoints[i % 2];
        AddObject(objectList, enemy, 1000 + uint32_t(i), "Enemy", marker->transform.position.x + float(i / 2 % 20),
                  marker->transform.position.y, 40, 40, QUARTER_TURN, quadMesh, enemyTextures[i % DRAW_COUNT]);
    }
}

// The level's three turrets and six more (every kind), one on each of the eight
// spots and the ninth sharing the first, in a round that never runs out of kills.
static void PlaceTurrets()
{
    static const int EXTRA_KINDS[] = {0, 4, 5, 1, 2, 3};
    int added = 0;
    for (int kind : EXTRA_KINDS) {
        Tower* tower = new Tower(kind);
        LETexture* picture = turrets[added % 3]->texture;
        AddObject(objectList, tower, 4400 + uint32_t(added++), "Turret", 0, 0, 50, 50, QUARTER_TURN, quadMesh, picture);
        tower->Load();
    }
    int spot = 0;
    for (Tower* tower : towerList) {
        const GameObject* s = towerSpots[spot++ % 8];
        tower->transform.position = tower->homePosition = s->transform.position;
        tower->placed = tower->active = tower->visible = true;
    }
    betweenRounds = false;
    enemiesRemaining = 0xFFFFFFFFu;
}

static void Init()
{
    LevelInit();
    PlaceTurrets();
    AddWalkers(bench.enemies);
}

static void Update()
{
    const BenchInstant start = BenchNow();
    bench.updateStart = start;
    LevelUpdate();
    const BenchSpan update = BenchSince(start);
    if (bench.frame >= WARMUP) bench.updateMs.push_back(update.cpuMs);
    if (++bench.frame >= FRAMES + WARMUP) nextState = STATE_QUIT;
}

static void Draw()
{
    const BenchInstant start = BenchNow();
    LevelDraw();
    FinishFrame();
    if (bench.frame > WARMUP) {
        bench.drawMs.push_back(BenchSince(start).cpuMs);
        bench.mainThreadMs.push_back(BenchSince(bench.updateStart).threadCpuMs);
    }
}

int main(int argc, char** argv)
{
    if (!LEPlatformStart() || !LESystemStart("Ember Bastion level bench", 0, 0, 1920, 1080) || !LEGraphicsStart()) {
        fprintf(stderr, "level bench: no display with OpenGL 3.3\n");
        return 2;
    }
    LEInputReset();
    LESystemResetFrameTiming();
    LESystemSetFixedFrameTime(1.0 / 60.0);  // measure the work, not the frame cap
    printf("enemies   update ms   main thread ms   whole draw ms   (CPU, median per frame)\n");
    std::vector<int> counts = {100, 250, 500};  // or the counts given on the command line
    if (argc > 1) counts.clear();
    for (int i = 1; i < argc; ++i) counts.push_back(atoi(argv[i]));
    for (int count : counts) {
        bench = {};
        bench.enemies = count;
        LEGameStateClear();
        LEGameStateAdd(STATE_LEVEL_1, LevelLoad, Init, Update, Draw, LevelFree, LevelUnload);
        initialState = previousState = currentState = nextState = STATE_LEVEL_1;
        LEGameStateSelect();
        LEGameLoopRun();
        printf("%7d   %9.3f   %14.3f   %13.3f\n", count, BenchMedian(bench.updateMs), BenchMedian(bench.mainThreadMs),
               BenchMedian(bench.drawMs));
    }
    printf("target at 500 enemies: main thread (update and submission) under 1.5 ms\n");
    LEGraphicsShutdown();
    LEPlatformShutdown();
    return 0;
}
