// Time steps: the game on the real clock from its start through the splash, the
// main menu, Play and a level's first second, as a player meets them, in a
// 1920 x 1080 full-screen window. Every frame hands the game's timers the time
// step of the frame before it; a frame that loads (the menu's music, the later
// logos, the driver's warm-up) must not hand on its load. Prints the largest
// step outside the state switch (a new state's first frame draws its pictures
// for the first time) beside its goal, 2 x 1/60 s, the largest at the switch,
// and the five largest with where they fell.
#include <SDL2/SDL_mouse.h>  // Required for: SDL_BUTTON_LEFT

#include "BenchGame.h"

#include <LEInputScript.h>
#include <levels/Level.h>
#include <menus/MainMenu.h>

#include <algorithm>
#include <vector>

namespace {

constexpr double GOAL_SECONDS = 2.0 / 60.0;
constexpr double LEVEL_SECONDS = 1.0;

struct Step {
    double seconds;        // the step this frame's update was handed
    const char* where;     // "splash", "menu" or "level"
    int frameInState;      // 0 for a state's first update
};

std::vector<Step> steps;
int32_t stepState = -1;
int framesInState = 0;
double levelStart = 0.0;

template <void (*Update)()>
void Measured()
{
    if (currentState != stepState) stepState = currentState, framesInState = 0;
    const char* where = currentState == STATE_LEVEL_1 ? "level" : MainMenuSplashRunning() ? "splash" : "menu";
    // The first update of the program has no frame before it.
    if (LEFrameCounter() > 0) steps.push_back({LEFrameTime(), where, framesInState});
    ++framesInState;
    LEScriptRun();
    Update();
}

// A step measured over a state's first frame reaches the state's second update.
bool AtSwitch(const Step& step) { return step.frameInState <= 1; }

void Play()
{
    LEScriptWaitFor("the splash ends", [] { return !MainMenuSplashRunning(); }, 1200);
    LEScriptIdle(30);
    // Play, at its place on the menu (world -350, -100 through the menu's zoom).
    LEScriptClick(int(960.0f + -350.0f / 0.5f), int(540.0f + 100.0f / 0.8888889f), SDL_BUTTON_LEFT);
    LEScriptWaitFor("level 1 begins", [] {
        if (currentState == STATE_LEVEL_1 && levelStart == 0.0) levelStart = LEClockSeconds();
        return currentState == STATE_LEVEL_1;
    });
    LEScriptWaitFor("a second of level 1", [] { return LEClockSeconds() - levelStart >= LEVEL_SECONDS; }, 600);
    LEScriptAdd("quit", [] { nextState = STATE_QUIT; });
}

}  // namespace

int main()
{
    if (!BenchGameStart("Ember Bastion time steps", true)) return 2;
    LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, Measured<MainMenuUpdate>, MainMenuDraw, MainMenuFree,
                   MainMenuUnload);
    LEGameStateAdd(STATE_LEVEL_1, LevelLoad, LevelInit, Measured<LevelUpdate>, LevelDraw, LevelFree, LevelUnload);
    Play();
    BenchGamePlayFromMainMenu();

    if (!LEScriptFailure().empty()) {
        fprintf(stderr, "time steps: the script stopped at \"%s\"\n", LEScriptFailure().c_str());
        return 1;
    }
    std::vector<Step> sorted = steps;
    std::sort(sorted.begin(), sorted.end(), [](const Step& a, const Step& b) { return a.seconds > b.seconds; });
    const auto largest = [&](bool atSwitch) {
        const auto found = std::find_if(sorted.begin(), sorted.end(),
                                        [&](const Step& step) { return AtSwitch(step) == atSwitch; });
        return found == sorted.end() ? Step{0.0, "-", 0} : *found;
    };
    const Step outside = largest(false), atSwitch = largest(true);
    printf("time steps from start-up to a level's first second: %zu frames\n", steps.size());
    printf("largest step outside a state switch: %.1f ms (%s, frame %d); goal at most %.1f ms: %s\n",
           outside.seconds * 1000.0, outside.where, outside.frameInState, GOAL_SECONDS * 1000.0,
           outside.seconds <= GOAL_SECONDS ? "met" : "NOT met");
    printf("largest step at a state switch: %.1f ms (%s)\n", atSwitch.seconds * 1000.0, atSwitch.where);
    printf("the five largest:");
    for (size_t i = 0; i < std::min<size_t>(5, sorted.size()); ++i)
        printf(" %.1f ms (%s, frame %d)", sorted[i].seconds * 1000.0, sorted[i].where, sorted[i].frameInState);
    printf("\n");
    return 0;
}
