// LEGameState: the game-state table, the active callbacks and the one frame loop.
// Owns the 64-entry table, the six active callback slots and the four state ids.
// Start-up registers the states and runs LEGameLoopRun; any callback may write
// nextState to ask for a switch, which happens after the frame.
#pragma once

#include <cstdint>

using LEStateCallback = void (*)();

constexpr int32_t STATE_QUIT = -1;
constexpr int32_t STATE_RESTART = -2;
constexpr int LE_GAME_STATE_CAPACITY = 64;

struct GameStateEntry {
    uint32_t id = 0;
    LEStateCallback Load = nullptr;
    LEStateCallback Init = nullptr;
    LEStateCallback Update = nullptr;
    LEStateCallback Draw = nullptr;
    LEStateCallback Free = nullptr;
    LEStateCallback Unload = nullptr;
};

extern int32_t nextState;
extern int32_t currentState;
extern int32_t previousState;
extern int32_t initialState;

// Adds an entry unless the id is already registered (the first one stays).
void LEGameStateAdd(int32_t id, LEStateCallback load, LEStateCallback init, LEStateCallback update,
                    LEStateCallback draw, LEStateCallback free, LEStateCallback unload);
// Makes the callbacks of currentState active. Quit and restart select the
// do-nothing callbacks; an unknown id keeps the previous ones.
void LEGameStateSelect();
// Runs frames until nextState is STATE_QUIT.
void LEGameLoopRun();
// One frame of the active state: clock, graphics frame, input, Update, Draw,
// present, frame-rate control. The loop runs it; tests step it directly.
void LEGameLoopFrame();
// Number of registered states.
int LEGameStateCount();
// Empties the table and the active slots (for tests that register their own states).
void LEGameStateClear();
