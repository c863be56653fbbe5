// MainMenu: the callbacks of the main menu state (id 100), the first state of the game.
#pragma once

void MainMenuLoad();
void MainMenuInit();
void MainMenuUpdate();
void MainMenuDraw();
void MainMenuFree();
void MainMenuUnload();

// Where the menu stands, for tests and tools.
bool MainMenuSplashRunning();
bool MainMenuCreditsRunning();
// The menu's camera while the menu is loaded (clicks and pictures go through it).
struct Camera2D* MainMenuCamera();
