// The state manager and frame loop: call orders for start, switch, restart and
// quit, driven through the real loop with a real window and a fixed frame time.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <LEGameState.h>
#include <LESystem.h>

#include <algorithm>

#include "TestEngine.h"

namespace {

using Calls = std::vector<std::string>;
Calls calls;
int framesInState = 0;
// What each test state does in its Update: the frame it acts on and the id it writes.
struct Plan {
    int atFrame = -1;
    int32_t write = 0;
    bool closeWindow = false;
} planA, planB;
int32_t initAWrites = 0;
bool initAWriteOnce = false;

void Log(const std::string& s) { calls.push_back(s); }

// The logging callbacks of state `name` ('A' or 'B').
template <char name>
void Logged(const char* what)
{
    Log(std::string(what) + "(" + name + ")");
}
template <char name> void Load() { Logged<name>("Load"); }
template <char name> void Draw() { Logged<name>("Draw"); }
template <char name> void Free() { Logged<name>("Free"); }
template <char name> void Unload() { Logged<name>("Unload"); }
template <char name>
void Init()
{
    Logged<name>("Init");
    framesInState = 0;
    if (name == 'A' && initAWriteOnce) {
        initAWriteOnce = false;
        nextState = initAWrites;
    }
}
template <char name>
void Update()
{
    Logged<name>("Update");
    Plan& plan = name == 'A' ? planA : planB;
    if (framesInState++ != plan.atFrame) return;
    if (plan.closeWindow) PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    else nextState = plan.write;
    plan.atFrame = -1;
}

constexpr int32_t A = 7, B = 8;

void AddA(LEStateCallback init, LEStateCallback update) { LEGameStateAdd(A, Load<'A'>, init, update, Draw<'A'>, Free<'A'>, Unload<'A'>); }
void AddB() { LEGameStateAdd(B, Load<'B'>, Init<'B'>, Update<'B'>, Draw<'B'>, Free<'B'>, Unload<'B'>); }

class GameStateTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ENGINE(320, 240);
        LESystemSetFixedFrameTime(1.0 / 60.0);
        calls.clear();
        planA = planB = Plan{};
        // Tests that give A another Init or Update clear and add again.
        LEGameStateClear();
        AddA(Init<'A'>, Update<'A'>);
        AddB();
        initialState = nextState = previousState = currentState = A;
        LEGameStateSelect();
    }
    void TearDown() override { StopTestEngine(); }

    static void Replace(LEStateCallback init, LEStateCallback update)
    {
        LEGameStateClear();
        AddA(init, update);
        AddB();
        LEGameStateSelect();
    }

    // Calls from the first entry that is not a per-frame Update or Draw.
    static Calls Lifecycle()
    {
        Calls out;
        for (const std::string& c : calls)
            if (c.rfind("Update", 0) != 0 && c.rfind("Draw", 0) != 0) out.push_back(c);
        return out;
    }
};

TEST_F(GameStateTest, SwitchRunsFreeUnloadLoadInitAfterTheFrameEndsWhichIsPresentedAndTimed)
{
    planA = {1, B};
    planB = {0, STATE_QUIT};
    const uint32_t before = LEFrameCounter();
    LEGameLoopRun();
    EXPECT_EQ(calls, (Calls{"Load(A)", "Init(A)", "Update(A)", "Draw(A)", "Update(A)", "Draw(A)", "Free(A)",
                            "Unload(A)", "Load(B)", "Init(B)", "Update(B)", "Draw(B)", "Free(B)", "Unload(B)"}));
    EXPECT_EQ(previousState, B);
    EXPECT_EQ(currentState, STATE_QUIT);
    EXPECT_EQ(LEFrameCounter(), before + 3) << "every frame, the ones that switch included";
}

TEST_F(GameStateTest, RestartRunsFreeAndInitOnlyAndKeepsTheIds)
{
    static int32_t currentAtSecondInit = 0, previousAtSecondInit = 0;
    Replace([] {
        Log("Init(A)");
        currentAtSecondInit = currentState;
        previousAtSecondInit = previousState;
    }, [] {
        const bool restarted = std::count(calls.begin(), calls.end(), "Init(A)") > 1;
        nextState = restarted ? STATE_QUIT : STATE_RESTART;
    });
    previousState = 42;
    LEGameLoopRun();
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Init(A)", "Free(A)", "Unload(A)"}));
    EXPECT_EQ(currentAtSecondInit, A);
    EXPECT_EQ(previousAtSecondInit, 42);
}

TEST_F(GameStateTest, WritingTheCurrentIdChangesNothingAndQuitFreesAndUnloadsOnce)
{
    Replace(Init<'A'>, [] {
        Log("Update(A)");
        const int frame = framesInState++;
        if (frame == 0) nextState = A;
        if (frame == 3) nextState = STATE_QUIT;
    });
    LEGameLoopRun();
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Unload(A)"}));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Update(A)"), 4);
    EXPECT_EQ(currentState, STATE_QUIT);
}

TEST_F(GameStateTest, InitThatSwitchesAtOnceRunsNoFrame)
{
    initAWriteOnce = true;
    initAWrites = B;
    planB = {0, STATE_QUIT};
    LEGameLoopRun();
    EXPECT_EQ(calls, (Calls{"Load(A)", "Init(A)", "Free(A)", "Unload(A)", "Load(B)", "Init(B)", "Update(B)",
                            "Draw(B)", "Free(B)", "Unload(B)"}));
}

// Neither a second entry for an id nor a switch to an unknown id replaces A's callbacks.
TEST_F(GameStateTest, AddingAnIdTwiceOrSelectingAnUnknownIdKeepsTheCallbacks)
{
    const int before = LEGameStateCount();
    LEGameStateAdd(A, Load<'B'>, Init<'B'>, Update<'B'>, Draw<'B'>, Free<'B'>, Unload<'B'>);
    EXPECT_EQ(LEGameStateCount(), before);
    currentState = 55;
    LEGameStateSelect();
    planA = {0, STATE_QUIT};
    nextState = 55;
    LEGameLoopRun();
    EXPECT_EQ(calls.front(), "Load(A)");
}

TEST_F(GameStateTest, StateWithoutCallbacksRunsSafely)
{
    // A switches to 9, which has no callbacks at all; the closed window ends it.
    Replace(Init<'A'>, [] {
        nextState = 9;
        PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    });
    LEGameStateAdd(9, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    LEGameLoopRun();
    EXPECT_EQ(previousState, 9);
    EXPECT_EQ(currentState, STATE_QUIT);
}

TEST_F(GameStateTest, ClosingTheWindowDuringUpdateQuitsBeforeTheNextUpdate)
{
    planA.atFrame = 1;
    planA.closeWindow = true;
    LEGameLoopRun();
    // Frame 1 closes the window; frame 2 pumps the close and quits before Update
    // runs, but Update still runs in that frame and could override it.
    EXPECT_EQ(calls, (Calls{"Load(A)", "Init(A)", "Update(A)", "Draw(A)", "Update(A)", "Draw(A)", "Update(A)",
                            "Draw(A)", "Free(A)", "Unload(A)"}));
    EXPECT_FALSE(LEWindowExists());
}

TEST_F(GameStateTest, UpdateMayOverrideTheQuitOfAClosedWindow)
{
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Replace(Init<'A'>, [] {
        Log("Update(A)");
        if (framesInState++ == 0) {
            EXPECT_EQ(nextState, STATE_QUIT);
            nextState = B;
        }
    });
    LEGameLoopRun();
    // B runs one frame, in which the closed window quits the game.
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Unload(A)", "Load(B)", "Init(B)", "Free(B)",
                                  "Unload(B)"}));
}

TEST_F(GameStateTest, QuitBeforeTheLoopReturnsAtOnce)
{
    nextState = STATE_QUIT;
    LEGameLoopRun();
    EXPECT_TRUE(calls.empty());
}

}  // namespace
