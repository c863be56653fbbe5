// MainMenu: the main menu state, the first state of the game. Until the logos
// and buttons arrive it shows its deep green backdrop with an invitation to
// play; Enter or a click starts level 1.
#include "MainMenu.h"

#include <LEAudio.h>
#include <LEGameState.h>
#include <LEInput.h>
#include <src/LEFont.h>
#include <src/LEGraphicsOGL.h>

#include "main/GameStates.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
#include "objects/TextLabel.h"

static constexpr uint32_t MAIN_MENU_BACKGROUND = 0xFF014421;

static struct {
    Camera2D* camera = nullptr;
    LEFont* titleFont = nullptr;
    LEFont* promptFont = nullptr;
} menu;

void MainMenuLoad()
{
    menu.camera = new Camera2D;
    menu.titleFont = LEFontLoad("Assets/Fonts/Kingthings Exeter.ttf", 37, 1.0f);
    menu.promptFont = LEFontLoad("Assets/Fonts/Kingthings Exeter.ttf", 25, 1.0f);
}

static void AddCentredLabel(LEFont* font, float y, float scale, const char* text, uint32_t color)
{
    TextLabel* label = AddTextLabel(new TextLabel(font, TransformMakeValues(0, y, scale, scale, 0), "", 0, color));
    SetLabelText(label, text);
}

void MainMenuInit()
{
    LEGraphicsSetBackgroundColor(MAIN_MENU_BACKGROUND);
    AddCentredLabel(menu.titleFont, 120, 2.5f, "Ember Bastion", 0xFFE8C36A);
    AddCentredLabel(menu.promptFont, -80, 1.5f, "Press Enter or click to play", 0xFFF2EAD3);
}

void MainMenuUpdate()
{
    AudioUpdate();
    if (LEInputKeyTriggered(KEY_ENTER) || LEInputMouseTriggered(MOUSE_LEFT)) nextState = STATE_LEVEL_1;
    UpdateScene();
}

void MainMenuDraw() { DrawScene(menu.camera); }

void MainMenuFree()
{
    FreeAllObjects();
    FreeAllTextLabels();
}

void MainMenuUnload()
{
    LEFontFree(menu.titleFont);
    LEFontFree(menu.promptFont);
    menu.titleFont = menu.promptFont = nullptr;
    delete menu.camera;
    menu.camera = nullptr;
}
