// soak: long play in one process, for the sanitizer build. A scripted player
// drives the real frame loop with injected keys and clicks: the splash and the
// main menu, the four levels in order with hero choice, turrets, the shop and the
// cheats, a lost level and its restart, the pause menu and its settings, the
// credits and back to the menu, again and again; then one stretch of an endless
// wave. The game steps 1/60 s per frame whatever the machine's speed, so every
// run plays the same game; only the figures are read off the real clock.
//
//     bench_soak [minutes] [endless minutes]     (defaults: 60 and a quarter)
//
// Every 10 seconds it samples the resident memory. It fails (exit 1) when the
// median of a cycle's samples grows more than 5 MB from the second full cycle
// to the last (a single sample swings by ten megabytes as the allocator hands
// pages back), or when the endless wave's median frame time grows more than 20%
// from its first minute to its last, once the field has filled. The frame time
// judged is the processor time the process spends on a frame (its own thread
// and the software renderer's), so another program sharing the machine does not
// pass for a slower game; the wall time is printed beside it. Sanitizer reports
// end the process on their own.
#include <SDL2/SDL_mouse.h>     // Required for: SDL_BUTTON_LEFT
#include <SDL2/SDL_scancode.h>  // Required for: SDL_SCANCODE_*

#include "BenchGame.h"

#include <LEAudio.h>
#include <LEGameState.h>
#include <LEInput.h>
#include <LEInputScript.h>
#include <LESystem.h>
#include <actors/CharSel.h>
#include <actors/Enemy.h>
#include <actors/Player.h>
#include <actors/Shop.h>
#include <actors/Tower.h>
#include <levels/Level.h>
#include <levels/LevelState.h>
#include <main/AssetCheck.h>
#include <main/GameStates.h>
#include <menus/Credits.h>
#include <menus/MainMenu.h>
#include <menus/Pause.h>
#include <menus/Settings.h>
#include <objects/Camera2D.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double FRAME = 1.0 / 60.0;
constexpr double SAMPLE_SECONDS = 10.0;
constexpr double MEMORY_GROWTH_LIMIT_MB = 5.0;
constexpr double FRAME_TIME_GROWTH_LIMIT = 0.20;
constexpr int WAVE_PLAY_FRAMES = 150;     // frames of a round before the cheat ends it
constexpr int LOSS_FRAME_LIMIT = 20000;   // a nexus of 100 falls well before this
// The endless wave starts on an empty field that fills for about a minute of
// game time (a spawn every 3 s, each enemy walking for a minute or so before
// it falls or reaches the nexus); its minutes are compared from then on.
constexpr int ENDLESS_SETTLE_FRAMES = 3600;
constexpr Vector2 MENU_ZOOM{0.5f, 0.8888889f}, LEVEL_ZOOM{0.41666666f, 0.57347673f};
constexpr Vector2 HERO_PORTRAITS[3] = {{100, 0}, {0, 0}, {-100, 0}};  // thief, bard, hunter

double ResidentMegabytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Processor seconds of the whole process, all its threads together.
double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The median of a minute's frames: a level of enemies that swells and ebbs, or a
// moment when another program takes the processor, moves it far less than the mean.
double Median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// One minute of the endless wave.
struct EndlessMinute {
    std::vector<double> wall, cpu;  // seconds per frame
    double enemySum = 0.0;          // enemies on the field, summed over the frames

    double MedianWallMs() const { return Median(wall) * 1000.0; }
    double MedianCpuMs() const { return Median(cpu) * 1000.0; }
    double MeanEnemies() const { return wall.empty() ? 0.0 : enemySum / double(wall.size()); }
};

// ---------------------------------------------------------------------------
// Injected input, queued as script steps: one action per frame, read by the frame after
// ---------------------------------------------------------------------------
void Press(int scancode) { LEScriptKeys({scancode}); }
void CtrlPress(int scancode) { LEScriptKeys({SDL_SCANCODE_LCTRL, scancode}); }

void ClickAt(Vector2 world, Vector2 zoom)
{
    LEScriptClick(int(960.0f + world.x / zoom.x), int(540.0f - world.y / zoom.y), SDL_BUTTON_LEFT);
}

void ClickLevel(Vector2 world) { ClickAt(world, LEVEL_ZOOM); }

// ---------------------------------------------------------------------------
// The player: what to do next, decided whenever the queued input has run out
// ---------------------------------------------------------------------------
enum class Goal { Menu, ChooseHero, Prepare, StartWave, PlayWave, EndWave, Lose, Endless, Quit };

struct Run {
    double endlessStart = 0.0;      // wall-clock second at which the endless wave begins, then
                                    // the second from which its minutes are measured
    int endlessFrames = 0;          // frames of the endless wave so far
    double endSeconds = 0.0;        // wall-clock second at which the run stops
    double endlessSeconds = 0.0;    // how long the endless wave lasts
    Goal goal = Goal::Menu;
    int cycle = 0;                  // full cycles done
    int heroChoice = 0;
    int waveFrames = 0;
    bool losingRun = false;         // level 1 of each cycle is lost once, then restarted
    bool lostThisCycle = false;
    bool endlessBegun = false;
    std::vector<double> cycleSamples;  // resident MB every 10 seconds of the cycle under way
    std::vector<double> cycleMemory;   // each full cycle's median resident MB
    std::vector<EndlessMinute> endlessMinutes;
    double lastSample = 0.0, lastFrame = 0.0, lastFrameCpu = 0.0, begun = 0.0;
    int32_t watchedState = 0;
    int framesInState = 0;
    std::string failure;
} run;

bool InLevel() { return currentState >= STATE_LEVEL_1 && currentState <= STATE_LEVEL_4; }

void Fail(std::string why)
{
    if (run.failure.empty()) run.failure = std::move(why);
    nextState = STATE_QUIT;
}

void PlaceTurrets()
{
    for (int i = 0; i < TURRET_COUNT; ++i) {
        Tower* turret = turrets[i];
        const GameObject* spot = towerSpots[i];
        if (!turret || turret->placed || !spot) continue;
        ClickLevel(turret->transform.position);
        ClickLevel(spot->transform.position);
    }
}

void VisitShop()
{
    ClickLevel(shop->transform.position);
    ClickLevel({-125, 150});  // Hero stats
    ClickLevel({-125, 50});   // Tower 1
    Press(SDL_SCANCODE_ESCAPE);
}

void VisitPauseAndSettings()
{
    Press(SDL_SCANCODE_ESCAPE);
    LEScriptIdle(2);
    ClickLevel({0, -95});     // Settings
    LEScriptIdle(2);
    ClickLevel({-150, -150});  // music down
    ClickLevel({150, -150});   // and up again
    Press(SDL_SCANCODE_ESCAPE);
    LEScriptIdle(2);
    ClickLevel({0, 160});     // Resume
}

// The hero strikes at the first enemy on the field and steps about.
void Fight()
{
    if (!enemyList.empty()) ClickLevel(enemyList.front()->transform.position);
    const int keys[] = {SDL_SCANCODE_W, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D};
    const int key = keys[(run.waveFrames / 20) % 4];
    LEScriptKeys({key}, 9);
}

void DecideInLevel(double now)
{
    switch (run.goal) {
    case Goal::ChooseHero:
        if (currentPlayer) {
            run.goal = Goal::Prepare;
        } else if (charSelScreen && charSelScreen->screenOpen) {
            ClickLevel(HERO_PORTRAITS[run.heroChoice++ % 3]);
            LEScriptIdle(2);
        }
        return;
    case Goal::Prepare:
        run.losingRun = currentState == STATE_LEVEL_1 && !run.lostThisCycle && now < run.endlessStart;
        if (run.losingRun) {
            CtrlPress(SDL_SCANCODE_3);  // two billion...
            CtrlPress(SDL_SCANCODE_3);  // ...and back down to 100
        } else {
            if (!cheatMoney) CtrlPress(SDL_SCANCODE_1);
            if (!cheatDamage) CtrlPress(SDL_SCANCODE_2);
            if (!cheatNexus) CtrlPress(SDL_SCANCODE_3);
            PlaceTurrets();
            VisitShop();
            if (currentState == STATE_LEVEL_1) VisitPauseAndSettings();
        }
        run.goal = Goal::StartWave;
        return;
    case Goal::StartWave:
        if (waveIndex >= uint32_t(WAVE_COUNT)) {
            if (!levelWon) return;  // the win shows on the next update
            Press(SDL_SCANCODE_N);
            LEScriptIdle(3);
            run.goal = currentState == STATE_LEVEL_4 ? Goal::Menu : Goal::ChooseHero;
            return;
        }
        if (now >= run.endlessStart) {
            run.goal = Goal::Endless;
            return;
        }
        Press(SDL_SCANCODE_RETURN);
        LEScriptIdle(2);
        run.waveFrames = 0;
        run.goal = run.losingRun ? Goal::Lose : Goal::PlayWave;
        return;
    case Goal::PlayWave:
        if (betweenRounds) {
            run.goal = Goal::StartWave;
        } else if (run.waveFrames >= WAVE_PLAY_FRAMES) {
            CtrlPress(SDL_SCANCODE_4);  // non-stop on and off again: the round ends
            CtrlPress(SDL_SCANCODE_4);
            run.goal = Goal::EndWave;
        } else {
            Fight();
        }
        return;
    case Goal::EndWave:
        if (betweenRounds) run.goal = Goal::StartWave;
        else if (run.waveFrames > WAVE_PLAY_FRAMES + 600) Fail("a round did not end with the non-stop cheat");
        return;
    case Goal::Lose:
        if (levelLost) {
            Press(SDL_SCANCODE_R);
            LEScriptIdle(3);
            run.lostThisCycle = true;
            run.goal = Goal::ChooseHero;
        } else if (run.waveFrames > LOSS_FRAME_LIMIT) {
            Fail("the nexus of 100 did not fall");
        }
        return;
    case Goal::Endless:
        // The round starts first: its start sets the wave's kill count, which the
        // non-stop cheat then lifts out of reach.
        if (!run.endlessBegun && betweenRounds) {
            if (!cheatNexus) CtrlPress(SDL_SCANCODE_3);
            Press(SDL_SCANCODE_RETURN);
            LEScriptIdle(2);
        } else if (!run.endlessBegun && !cheatNonStop) {
            CtrlPress(SDL_SCANCODE_4);
        } else if (!run.endlessBegun) {
            run.endlessBegun = true;
            run.endlessStart = now;
            run.endSeconds = now + run.endlessSeconds;  // a full stretch, however late it began
        } else if (betweenRounds) {
            Fail("the endless wave ended");
        } else if (now >= run.endSeconds) {
            run.goal = Goal::Quit;
            nextState = STATE_QUIT;
        } else {
            Fight();
        }
        return;
    default: return;
    }
}

void DecideInMenu(double now)
{
    if (MainMenuSplashRunning()) {
        Press(SDL_SCANCODE_SPACE);
        LEScriptIdle(2);
        return;
    }
    if (run.goal == Goal::Menu && run.framesInState > 5) {
        // Back in the menu after level 4: a full cycle is done.
        if (run.cycle > 0) {
            run.cycleMemory.push_back(Median(run.cycleSamples));
            fprintf(stderr, "cycle %zu done at %.0f s: %.1f MB resident, median %.1f MB over the cycle\n",
                    run.cycleMemory.size(), now - run.begun, ResidentMegabytes(), run.cycleMemory.back());
        }
        run.cycle += 1;
        run.cycleSamples.clear();
        run.lostThisCycle = false;
        if (run.cycle % 2 == 0 && now < run.endlessStart) {
            ClickAt({-350.0f + 170.0f * 4.0f, -100.0f}, MENU_ZOOM);  // Credits, every other cycle
            LEScriptIdle(700);
        }
        ClickAt({-350.0f, -100.0f}, MENU_ZOOM);  // Play
        LEScriptIdle(3);
        run.goal = Goal::ChooseHero;
    }
}

// Called at the top of every frame's Update, before the game reads its input.
void Drive()
{
    const double now = LEClockSeconds(), cpuNow = ProcessSeconds();
    if (run.endlessBegun && run.goal == Goal::Endless && ++run.endlessFrames == ENDLESS_SETTLE_FRAMES)
        run.endlessStart = now;
    if (run.lastFrame > 0.0 && run.endlessFrames > ENDLESS_SETTLE_FRAMES && run.goal == Goal::Endless) {
        const size_t minute = size_t((now - run.endlessStart) / 60.0);
        if (run.endlessMinutes.size() <= minute) {
            if (!run.endlessMinutes.empty()) {
                const EndlessMinute& done = run.endlessMinutes.back();
                fprintf(stderr, "endless minute %zu: median frame %.2f ms processor, %.2f ms wall, %.1f enemies\n",
                        run.endlessMinutes.size(), done.MedianCpuMs(), done.MedianWallMs(), done.MeanEnemies());
            }
            run.endlessMinutes.resize(minute + 1);
        }
        EndlessMinute& current = run.endlessMinutes[minute];
        current.wall.push_back(now - run.lastFrame);
        current.cpu.push_back(cpuNow - run.lastFrameCpu);
        current.enemySum += double(enemyList.size());
    }
    run.lastFrame = now;
    run.lastFrameCpu = cpuNow;
    if (now > run.endSeconds + 600.0) Fail("the player got stuck: the run is ten minutes over its time");
    if (now - run.lastSample >= SAMPLE_SECONDS) {
        run.lastSample = now;
        const double resident = ResidentMegabytes();
        run.cycleSamples.push_back(resident);
        fprintf(stderr, "%6.0f s  %7.1f MB  state %d  enemies %zu  objects %zu\n", now - run.begun, resident,
                currentState, enemyList.size(), objectList.size());
    }
    if (currentState != run.watchedState) {
        run.watchedState = currentState;
        run.framesInState = 0;
    }
    ++run.framesInState;
    ++run.waveFrames;
    if (LEScriptRun()) return;
    if (InLevel()) {
        DecideInLevel(now);
    } else if (currentState == STATE_MAIN_MENU) {
        DecideInMenu(now);
    }
}

template <LEStateCallback Update>
void Driven()
{
    Drive();
    Update();
}

void RegisterDrivenStates()
{
    LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, Driven<MainMenuUpdate>, MainMenuDraw, MainMenuFree,
                   MainMenuUnload);
    LEGameStateAdd(STATE_LEVEL_1, LevelLoad, LevelInit, Driven<LevelUpdate>, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_2, LevelLoad, LevelInit, Driven<LevelUpdate>, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_3, LevelLoad, LevelInit, Driven<LevelUpdate>, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_4, LevelLoad, LevelInit, Driven<LevelUpdate>, LevelDraw, LevelFree, LevelUnload);
}

// The figures, and whether they hold.
bool Judge()
{
    bool ok = run.failure.empty();
    if (!ok) fprintf(stderr, "FAILED: %s\n", run.failure.c_str());
    const size_t cycles = run.cycleMemory.size();
    fprintf(stderr, "full cycles: %zu\n", cycles);
    if (cycles >= 3) {
        const double growth = run.cycleMemory.back() - run.cycleMemory[1];
        fprintf(stderr, "memory: median %.1f MB over cycle 2, %.1f MB over cycle %zu: %+.1f MB\n", run.cycleMemory[1],
                run.cycleMemory.back(), cycles, growth);
        if (growth > MEMORY_GROWTH_LIMIT_MB) {
            fprintf(stderr, "FAILED: memory grew more than %.0f MB\n", MEMORY_GROWTH_LIMIT_MB);
            ok = false;
        }
    } else {
        fprintf(stderr, "memory: too few cycles to compare (give the soak more minutes)\n");
    }
    // The last minute is often cut short by the end of the run: use the last whole one.
    const size_t minutes = run.endlessMinutes.size() >= 3 ? run.endlessMinutes.size() - 1 : run.endlessMinutes.size();
    if (minutes >= 2) {
        const EndlessMinute &firstMinute = run.endlessMinutes[0], &lastMinute = run.endlessMinutes[minutes - 1];
        const double first = firstMinute.MedianCpuMs(), last = lastMinute.MedianCpuMs();
        fprintf(stderr,
                "endless wave: %zu whole minutes, median frame %.2f ms processor (%.2f wall, %.1f enemies) in the "
                "first, %.2f ms (%.2f wall, %.1f enemies) in the last: %+.0f%%\n",
                minutes, first, firstMinute.MedianWallMs(), firstMinute.MeanEnemies(), last,
                lastMinute.MedianWallMs(), lastMinute.MeanEnemies(), (last / first - 1.0) * 100.0);
        if (last > first * (1.0 + FRAME_TIME_GROWTH_LIMIT)) {
            fprintf(stderr, "FAILED: the endless wave's frame time grew more than %.0f%%\n",
                    FRAME_TIME_GROWTH_LIMIT * 100.0);
            ok = false;
        }
    } else {
        fprintf(stderr, "endless wave: too short to compare\n");
    }
    fprintf(stderr, "%s\n", ok ? "soak passed" : "soak FAILED");
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? atof(argv[1]) : 60.0;
    const double endlessMinutes = argc > 2 ? atof(argv[2]) : minutes / 4.0;
    if (!BenchGameStart("Ember Bastion soak", false)) return 2;
    LESystemSetFixedFrameTime(FRAME);
    RegisterDrivenStates();

    run.begun = run.lastSample = LEClockSeconds();
    run.endSeconds = run.begun + minutes * 60.0;
    run.endlessSeconds = endlessMinutes * 60.0;
    run.endlessStart = run.endSeconds - run.endlessSeconds;
    fprintf(stderr, "soak: %g minutes, the last %g of them one endless wave\n", minutes, endlessMinutes);
    BenchGamePlayFromMainMenu();
    return Judge() ? 0 : 1;
}
