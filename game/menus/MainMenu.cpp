// MainMenu: the main menu state. For now it shows its deep green backdrop; the
// logos and buttons build on the scene objects.
#include "MainMenu.h"

#include <src/LEGraphicsOGL.h>

static constexpr uint32_t MAIN_MENU_BACKGROUND = 0xFF014421;

void MainMenuLoad() {}
void MainMenuInit() { LEGraphicsSetBackgroundColor(MAIN_MENU_BACKGROUND); }
void MainMenuUpdate() {}
void MainMenuDraw() {}
void MainMenuFree() {}
void MainMenuUnload() {}
