// GameStates: the table of the game's six states and their callbacks. Level states
// join here as their modules land; a missing callback does nothing.
#include "GameStates.h"

#include "levels/Level.h"
#include "menus/MainMenu.h"

void RegisterGameStates()
{
    LEGameStateAdd(STATE_LEVEL_0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, MainMenuUpdate, MainMenuDraw, MainMenuFree,
                   MainMenuUnload);
    LEGameStateAdd(STATE_LEVEL_1, LevelLoad, LevelInit, LevelUpdate, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    LEGameStateAdd(STATE_LEVEL_3, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    LEGameStateAdd(STATE_LEVEL_4, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}
