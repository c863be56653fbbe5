// The state manager and frame loop: call orders for start, switch, restart and
// quit, driven through the real loop with a real window and a fixed frame time.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <LEGameState.h>
#include <LESystem.h>

#include <chrono>
#include <functional>
#include <thread>

#include "TestEngine.h"

namespace {

constexpr int32_t A = 7, B = 8;
std::string calls;  // "Load(A) Init(A) Update(A) ..."
int framesInState = 0, initsOfA = 0;
// What the states do besides logging: A's Init, and each Update given its frame in the state.
std::function<void()> initA;
std::function<void(int frame)> updateA, updateB;

void Log(const char* what, char name) { calls += std::string(calls.empty() ? "" : " ") + what + "(" + name + ")"; }

template <char name> void Load() { Log("Load", name); }
template <char name> void Draw() { Log("Draw", name); }
template <char name> void Free() { Log("Free", name); }
template <char name> void Unload() { Log("Unload", name); }
template <char name>
void Init()
{
    Log("Init", name);
    framesInState = 0;
    if (name != 'A') return;
    ++initsOfA;
    if (initA) initA();
}
template <char name>
void Update()
{
    Log("Update", name);
    const auto& update = name == 'A' ? updateA : updateB;
    if (update) update(framesInState);
    ++framesInState;
}

// An Update that writes `id` into nextState on frame `at`.
std::function<void(int)> WriteAt(int at, int32_t id)
{
    return [at, id](int frame) {
        if (frame == at) nextState = id;
    };
}

TEST(GameState, StatesLoadInitUpdateDrawFreeAndUnloadInOrderWhateverTheyDo)
{
    struct Case {
        const char* what;
        std::function<void()> initA;
        std::function<void(int)> updateA, updateB;
        std::string calls;
        std::function<void()> before = nullptr, after = nullptr;  // set-up and further checks around the run
    };
    static int32_t currentAtRestart = 0, previousAtRestart = 0;
    static uint32_t framesBefore = 0;
    const Case cases[] = {
        {"a switch runs after the frame ends, which is presented and timed", nullptr, WriteAt(1, B),
         WriteAt(0, STATE_QUIT),
         "Load(A) Init(A) Update(A) Draw(A) Update(A) Draw(A) Free(A) Unload(A) "
         "Load(B) Init(B) Update(B) Draw(B) Free(B) Unload(B)",
         [] { framesBefore = LEFrameCounter(); },
         [] {
             EXPECT_EQ(LEFrameCounter(), framesBefore + 3) << "every frame, the ones that switch included";
             EXPECT_EQ(previousState, B);
             EXPECT_EQ(currentState, STATE_QUIT);
         }},
        {"a restart runs Free and Init only and keeps the ids",
         [] {
             currentAtRestart = currentState;
             previousAtRestart = previousState;
         },
         [](int) { nextState = initsOfA > 1 ? STATE_QUIT : STATE_RESTART; }, nullptr,
         "Load(A) Init(A) Update(A) Draw(A) Free(A) Init(A) Update(A) Draw(A) Free(A) Unload(A)",
         [] { previousState = 42; },
         [] { EXPECT_TRUE(currentAtRestart == A && previousAtRestart == 42); }},
        {"writing the current id changes nothing; quit frees and unloads once", nullptr,
         [](int frame) { nextState = frame == 0 ? A : frame == 3 ? STATE_QUIT : nextState; }, nullptr,
         "Load(A) Init(A) Update(A) Draw(A) Update(A) Draw(A) Update(A) Draw(A) Update(A) Draw(A) Free(A) Unload(A)"},
        {"an Init that switches at once runs no frame", [] { nextState = B; }, nullptr, WriteAt(0, STATE_QUIT),
         "Load(A) Init(A) Free(A) Unload(A) Load(B) Init(B) Update(B) Draw(B) Free(B) Unload(B)"},
        {"neither a second entry for an id nor an unknown id replaces the callbacks", nullptr,
         WriteAt(0, STATE_QUIT), nullptr, "Load(A) Init(A) Update(A) Draw(A) Free(A) Unload(A)",
         [] {
             const int before = LEGameStateCount();
             LEGameStateAdd(A, Load<'B'>, Init<'B'>, Update<'B'>, Draw<'B'>, Free<'B'>, Unload<'B'>);
             EXPECT_EQ(LEGameStateCount(), before);
             currentState = 55;
             LEGameStateSelect();
             nextState = 55;
         }},
        {"a state without callbacks runs safely", nullptr,
         [](int) {
             nextState = 9;
             PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
         },
         nullptr, "Load(A) Init(A) Update(A) Draw(A) Free(A) Unload(A)",
         [] { LEGameStateAdd(9, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
         [] { EXPECT_TRUE(previousState == 9 && currentState == STATE_QUIT); }},
        // Frame 1 closes the window; frame 2 pumps the close and quits before Update
        // runs, but Update still runs in that frame and could override it.
        {"closing the window during Update quits before the next Update", nullptr,
         [](int frame) {
             if (frame == 1) PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
         },
         nullptr,
         "Load(A) Init(A) Update(A) Draw(A) Update(A) Draw(A) Update(A) Draw(A) Free(A) Unload(A)", nullptr,
         [] { EXPECT_FALSE(LEWindowExists()); }},
        // B then runs one frame, in which the closed window quits the game.
        {"Update may override the quit of a closed window", nullptr,
         [](int frame) {
             if (frame > 0) return;
             EXPECT_EQ(nextState, STATE_QUIT);
             nextState = B;
         },
         nullptr,
         "Load(A) Init(A) Update(A) Draw(A) Free(A) Unload(A) Load(B) Init(B) Update(B) Draw(B) Free(B) Unload(B)",
         [] { PushWindowEvent(SDL_WINDOWEVENT_CLOSE); }},
        {"a quit before the loop returns at once", nullptr, nullptr, nullptr, "",
         [] { nextState = STATE_QUIT; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        REQUIRE_ENGINE(320, 240);
        LESystemSetFixedFrameTime(1.0 / 60.0);
        calls.clear();
        initsOfA = 0;
        initA = c.initA;
        updateA = c.updateA;
        updateB = c.updateB;
        LEGameStateClear();
        LEGameStateAdd(A, Load<'A'>, Init<'A'>, Update<'A'>, Draw<'A'>, Free<'A'>, Unload<'A'>);
        LEGameStateAdd(B, Load<'B'>, Init<'B'>, Update<'B'>, Draw<'B'>, Free<'B'>, Unload<'B'>);
        initialState = nextState = previousState = currentState = A;
        LEGameStateSelect();
        if (c.before) c.before();
        LEGameLoopRun();
        EXPECT_EQ(calls, c.calls);
        if (c.after) c.after();
        StopTestEngine();
    }
}

}  // namespace

// A frame that loads (a picture, a sound, the driver's warm-up) hands the game's
// timers only the rest of its time, paced as any frame is: the load itself,
// nested loads counted once, is left out of its time step.
TEST(FrameTime, AFrameLeavesItsLoadsOutOfItsTimeStep)
{
    LESystemSetFixedFrameTime(0.0);
    LESystemResetFrameTiming();
    const double before = LEClockSeconds();
    LESystemFrameBegin();
    {
        const LEFrameLoadScope loading;
        const LEFrameLoadScope nested;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    LESystemFrameEnd();
    const double wall = LEClockSeconds() - before;
    EXPECT_LE(LEFrameTime(), wall - 0.1) << "the load is in the time step";
    EXPECT_GE(LEFrameTime(), 1.0 / 60.0 - 0.0011) << "the rest of the frame is not paced";
}
