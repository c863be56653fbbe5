// The state manager and frame loop: call orders for start, switch, restart and
// quit, driven through the real loop with a real window and a fixed frame time.
#include <gtest/gtest.h>

#include <LEGameState.h>
#include <LESystem.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestEngine.h"

namespace {

std::vector<std::string> calls;
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

void LoadA() { Log("Load(A)"); }
void InitA()
{
    Log("Init(A)");
    framesInState = 0;
    if (initAWriteOnce) {
        initAWriteOnce = false;
        nextState = initAWrites;
    }
}
void UpdateA()
{
    Log("Update(A)");
    if (framesInState++ != planA.atFrame) return;
    if (planA.closeWindow) PushWindowCloseEvent();
    else nextState = planA.write;
    planA.atFrame = -1;
}
void DrawA() { Log("Draw(A)"); }
void FreeA() { Log("Free(A)"); }
void UnloadA() { Log("Unload(A)"); }

void LoadB() { Log("Load(B)"); }
void InitB()
{
    Log("Init(B)");
    framesInState = 0;
}
void UpdateB()
{
    Log("Update(B)");
    if (framesInState++ == planB.atFrame) nextState = planB.write;
}
void DrawB() { Log("Draw(B)"); }
void FreeB() { Log("Free(B)"); }
void UnloadB() { Log("Unload(B)"); }

constexpr int32_t A = 7, B = 8;

class GameStateTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ENGINE(320, 240);
        LESystemSetFixedFrameTime(1.0 / 60.0);
        calls.clear();
        planA = planB = Plan{};
        LEGameStateClear();
        LEGameStateAdd(A, LoadA, InitA, UpdateA, DrawA, FreeA, UnloadA);
        LEGameStateAdd(B, LoadB, InitB, UpdateB, DrawB, FreeB, UnloadB);
        initialState = nextState = previousState = currentState = A;
        LEGameStateSelect();
    }
    void TearDown() override { StopTestEngine(); }

    // Calls from the first entry that is not a per-frame Update or Draw.
    static std::vector<std::string> Lifecycle()
    {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.rfind("Update", 0) != 0 && c.rfind("Draw", 0) != 0) out.push_back(c);
        return out;
    }
};

using Calls = std::vector<std::string>;

TEST_F(GameStateTest, SwitchRunsFreeUnloadLoadInitAfterTheFrameEnds)
{
    planA = {1, B};
    planB = {0, STATE_QUIT};
    LEGameLoopRun();
    EXPECT_EQ(calls, (Calls{"Load(A)", "Init(A)", "Update(A)", "Draw(A)", "Update(A)", "Draw(A)", "Free(A)",
                            "Unload(A)", "Load(B)", "Init(B)", "Update(B)", "Draw(B)", "Free(B)", "Unload(B)"}));
    EXPECT_EQ(previousState, B);
    EXPECT_EQ(currentState, STATE_QUIT);
}

TEST_F(GameStateTest, FrameOfTheSwitchIsPresentedAndTimed)
{
    planA = {0, STATE_QUIT};
    const uint32_t before = LEFrameCounter();
    LEGameLoopRun();
    EXPECT_EQ(LEFrameCounter(), before + 1);
}

TEST_F(GameStateTest, RestartRunsFreeAndInitOnlyAndKeepsTheIds)
{
    static int32_t currentAtSecondInit = 0, previousAtSecondInit = 0;
    LEGameStateClear();
    LEGameStateAdd(A, LoadA, [] {
        Log("Init(A)");
        currentAtSecondInit = currentState;
        previousAtSecondInit = previousState;
    }, [] {
        const bool restarted = std::count(calls.begin(), calls.end(), "Init(A)") > 1;
        nextState = restarted ? STATE_QUIT : STATE_RESTART;
    }, DrawA, FreeA, UnloadA);
    LEGameStateSelect();
    previousState = 42;
    LEGameLoopRun();
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Init(A)", "Free(A)", "Unload(A)"}));
    EXPECT_EQ(currentAtSecondInit, A);
    EXPECT_EQ(previousAtSecondInit, 42);
}

TEST_F(GameStateTest, QuitFreesAndUnloadsOnceThenTheLoopReturns)
{
    planA = {2, STATE_QUIT};
    LEGameLoopRun();
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Unload(A)"}));
    EXPECT_EQ(currentState, STATE_QUIT);
}

TEST_F(GameStateTest, WritingTheCurrentIdChangesNothing)
{
    LEGameStateClear();
    LEGameStateAdd(A, LoadA, InitA, [] {
        Log("Update(A)");
        const int frame = framesInState++;
        if (frame == 0) nextState = A;
        if (frame == 3) nextState = STATE_QUIT;
    }, DrawA, FreeA, UnloadA);
    LEGameStateSelect();
    LEGameLoopRun();
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Unload(A)"}));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Update(A)"), 4);
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

TEST_F(GameStateTest, AddingAnIdTwiceKeepsTheFirstEntry)
{
    const int before = LEGameStateCount();
    LEGameStateAdd(A, LoadB, InitB, UpdateB, DrawB, FreeB, UnloadB);
    EXPECT_EQ(LEGameStateCount(), before);
    planA = {0, STATE_QUIT};
    LEGameLoopRun();
    EXPECT_EQ(calls.front(), "Load(A)");
}

TEST_F(GameStateTest, StateWithoutCallbacksRunsSafely)
{
    // A switches to 9, which has no callbacks at all; the closed window ends it.
    LEGameStateClear();
    LEGameStateAdd(A, LoadA, InitA, [] {
        nextState = 9;
        PushWindowCloseEvent();
    }, DrawA, FreeA, UnloadA);
    LEGameStateAdd(9, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    LEGameStateSelect();
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
    PushWindowCloseEvent();
    LEGameStateClear();
    LEGameStateAdd(A, LoadA, InitA, [] {
        Log("Update(A)");
        if (framesInState++ == 0) {
            EXPECT_EQ(nextState, STATE_QUIT);
            nextState = B;
        }
    }, DrawA, FreeA, UnloadA);
    LEGameStateAdd(B, LoadB, InitB, UpdateB, DrawB, FreeB, UnloadB);
    LEGameStateSelect();
    LEGameLoopRun();
    // B runs one frame, in which the closed window quits the game.
    EXPECT_EQ(Lifecycle(), (Calls{"Load(A)", "Init(A)", "Free(A)", "Unload(A)", "Load(B)", "Init(B)", "Free(B)",
                                  "Unload(B)"}));
}

TEST_F(GameStateTest, UnknownIdKeepsThePreviousCallbacks)
{
    currentState = 55;
    LEGameStateSelect();
    planA = {0, STATE_QUIT};
    nextState = 55;
    LEGameLoopRun();
    EXPECT_EQ(calls.front(), "Load(A)");
}

TEST(GameStateLoop, QuitBeforeTheLoopReturnsAtOnce)
{
    calls.clear();
    LEGameStateClear();
    LEGameStateAdd(A, LoadA, InitA, UpdateA, DrawA, FreeA, UnloadA);
    currentState = A;
    LEGameStateSelect();
    nextState = STATE_QUIT;
    LEGameLoopRun();
    EXPECT_TRUE(calls.empty());
}

}  // namespace
