// LEGameState: the state manager and the frame loop (see LEGameState.h).
// The loop's steps and the Load/Init/Free/Unload order on switches, restarts and
// quits follow one fixed table; see LEGameLoopRun below.
#include "LEGameState.h"

#include "LEInput.h"
#include "LESystem.h"
#include "src/LEGraphicsOGL.h"

int32_t nextState = 0;
int32_t currentState = 0;
int32_t previousState = 0;
int32_t initialState = 0;

static void DoNothing() {}

static struct {
    GameStateEntry entries[LE_GAME_STATE_CAPACITY];
    uint8_t count = 0;
    GameStateEntry active{0, DoNothing, DoNothing, DoNothing, DoNothing, DoNothing, DoNothing};
} states;

static LEStateCallback OrNothing(LEStateCallback callback) { return callback ? callback : DoNothing; }

void LEGameStateAdd(int32_t id, LEStateCallback load, LEStateCallback init, LEStateCallback update,
                    LEStateCallback draw, LEStateCallback free, LEStateCallback unload)
{
    for (int i = 0; i < states.count; ++i)
        if (int32_t(states.entries[i].id) == id) return;
    if (states.count >= LE_GAME_STATE_CAPACITY) return;
    states.entries[states.count++] = GameStateEntry{uint32_t(id), load, init, update, draw, free, unload};
}

void LEGameStateSelect()
{
    if (currentState == STATE_QUIT || currentState == STATE_RESTART) {
        states.active = GameStateEntry{uint32_t(currentState), DoNothing, DoNothing, DoNothing,
                                       DoNothing, DoNothing, DoNothing};
        return;
    }
    for (int i = 0; i < states.count; ++i) {
        const GameStateEntry& e = states.entries[i];
        if (int32_t(e.id) != currentState) continue;
        states.active = GameStateEntry{e.id, OrNothing(e.Load), OrNothing(e.Init), OrNothing(e.Update),
                                       OrNothing(e.Draw), OrNothing(e.Free), OrNothing(e.Unload)};
        return;
    }
}

int LEGameStateCount() { return states.count; }

void LEGameStateClear()
{
    states.count = 0;
    states.active = GameStateEntry{0, DoNothing, DoNothing, DoNothing, DoNothing, DoNothing, DoNothing};
}

void LEGameLoopFrame()
{
    LESystemFrameBegin();
    LEGraphicsFrameStart();
    LEInputUpdate();
    if (!LEWindowExists()) nextState = STATE_QUIT;
    states.active.Update();
    states.active.Draw();
    LEGraphicsFrameEnd();
    LEGraphicsPresent();
    LESystemFrameEnd();
}

void LEGameLoopRun()
{
    if (nextState == STATE_QUIT) return;
    do {
        if (nextState == STATE_RESTART)
            nextState = currentState;  // a restart skips Load
        else
            states.active.Load();
        states.active.Init();

        while (currentState == nextState) LEGameLoopFrame();

        states.active.Free();
        if (nextState != STATE_RESTART) {
            states.active.Unload();
            previousState = currentState;
            currentState = nextState;
            LEGameStateSelect();
        }
    } while (nextState != STATE_QUIT);
}
