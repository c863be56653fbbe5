// GameStates: the table of the game's six states and their callbacks. One level
// module serves all five level states; the test level has its own Update and Draw.
#include "GameStates.h"

#include "levels/Level.h"
#include "menus/MainMenu.h"

void RegisterGameStates()
{
    LEGameStateAdd(STATE_LEVEL_0, LevelLoad, LevelInit, TestLevelUpdate, TestLevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, MainMenuUpdate, MainMenuDraw, MainMenuFree,
                   MainMenuUnload);
    LEGameStateAdd(STATE_LEVEL_1, LevelLoad, LevelInit, LevelUpdate, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_2, LevelLoad, LevelInit, LevelUpdate, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_3, LevelLoad, LevelInit, LevelUpdate, LevelDraw, LevelFree, LevelUnload);
    LEGameStateAdd(STATE_LEVEL_4, LevelLoad, LevelInit, LevelUpdate, LevelDraw, LevelFree, LevelUnload);
}
