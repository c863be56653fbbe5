// GameStates: the ids of the game's states. The state manager in LECore knows only
// STATE_QUIT and STATE_RESTART; these are the game's own.
#pragma once

#include <LEGameState.h>

constexpr int32_t STATE_LEVEL_0 = 0;
constexpr int32_t STATE_LEVEL_1 = 1;
constexpr int32_t STATE_LEVEL_2 = 2;
constexpr int32_t STATE_LEVEL_3 = 3;
constexpr int32_t STATE_LEVEL_4 = 4;
constexpr int32_t STATE_MAIN_MENU = 100;

// Registers the six states in the order 0, 100, 1, 2, 3, 4.
void RegisterGameStates();
