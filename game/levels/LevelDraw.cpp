// LevelDraw: the heads-up display, the win and lose screens, and the draw pass
// of a level. Registered as the level states' Draw.
#include <cmath>  // Required for: std::floor
#include <string>

#include "Level.h"
#include "LevelState.h"
#include "Waves.h"
#include "actors/Player.h"
#include "menus/Credits.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"

static void SetLabel(uint32_t id, const std::string& text)
{
    if (TextLabel* label = FindTextLabel(id)) SetLabelText(label, text);
}

void UpdateNexusText() { SetLabel(10, std::to_string(nexusHealth)); }
void UpdateWaveText() { SetLabel(12, "Wave: " + std::to_string(waveIndex) + "/6"); }

void UpdateGoldText()
{
    if (!currentPlayer) return;
    currencyIcon->transform.scale = {25, 25};
    SetLabel(13, std::to_string(long(std::floor(currentPlayer->gold))));
}

void UpdateCooldownText()
{
    const Player* hero = currentPlayer.Get();
    if (hero) SetLabel(14, "Cooldown: " + std::to_string(long(std::floor(hero->abilityCooldown))));
}

void UpdateWaveEffectText()
{
    static const char* const SENTENCES[] = {"Effect of the wave: The enemies have more health",
                                            "Effect of the wave: The enemies will move faster",
                                            "Effect of the wave: Less money drop from the enemies"};
    if (waveEffect < 3) SetLabel(15, SENTENCES[waveEffect]);
}

// The message label and its backdrop are made once per level and shown for as
// long as the level stays won or lost, except under a screen opened over the
// field (the credits page lets the message stand over it).
static void ShowEndScreen(uint32_t labelId, const char* message, uint32_t backdropId, const char* backdropName)
{
    TextLabel* label = FindTextLabel(labelId);
    if (!label) {
        label = AddTextLabel(new TextLabel(levelFont, Transform{}, " ", labelId, 0xFF000000));
        SetLabelText(label, message);
    }
    GameObject* backdrop = FindObject(backdropName);
    if (!backdrop) {
        backdrop = AddObject(objectList, new GameObject, backdropId, backdropName, 0, 0, 400, 50, 0, quadMesh, nullptr);
        SortObjectsById();  // under the turrets, as its id lays it: a turret on a spot there stays in sight
    }
    const GameObject* top = TopScreen();
    label->visible = backdrop->visible = !top || (credits && top == credits->page1);
}

void ShowWinScreen()
{
    ShowEndScreen(1235, "You win! Press Q to quit or N to go to next level", 3455, "WinBG");
}

void ShowLoseScreen()
{
    ShowEndScreen(1236, "You lost! Press Q to quit or R to go to restart the level", 3456, "LoseBG");
}

static const char* const HOW_TO_PLAY_TEXT =
    " - WASD: Move \n - Left Click : Attack \n - E: Active Ability. Defeat all the enemies in each wave to win. \n"
    "If the nexus' health reaches 0, you lose.You can buy upgrades in the shop\nwith gold dropped by enemies\n "
    "Gold is displayed in the top - right.Press CTRL and a number from 1\n to 4 to activate cheats\n\n - 1: "
    "Infinite money\n - 2: Maximum hero damage\n - 3: Infinite nexus health\n - 4: Non - stop enemiesPress ESC "
    "to close this menu\n and press P in - between rounds\n to open it. To place a tower, left click the\nbuttons "
    "below and place them in\none of the marked spots";
static constexpr uint32_t HOW_TO_PLAY_LABEL = 12456;

// P between rounds shows the how-to-play text in every level; Esc hides it.
void CreateHowToPlayText()
{
    TextLabel* label = FindTextLabel(HOW_TO_PLAY_LABEL);
    if (!ControlsOpen()) {
        if (label) label->visible = false;
        return;
    }
    if (!shop) return;
    if (!label) {
        label = AddTextLabel(new TextLabel(levelFont, Transform{}, "", HOW_TO_PLAY_LABEL, 0xFF000000));
        SetLabelText(label, HOW_TO_PLAY_TEXT);
    }
    label->visible = true;
}

void UpdateHud()
{
    UpdateNexusText();
    UpdateWaveText();
    UpdateGoldText();
    CreateHowToPlayText();
    if (levelLost) ShowLoseScreen();
    if (levelWon) ShowWinScreen();
    UpdateWaveEffectText();
    UpdateCooldownText();
}

void LevelDraw()
{
    UpdateHud();
    // An open screen covers the field: enemies spawned since the last sort take
    // their place under it instead of showing through it.
    if (TopScreen()) SortObjectsById();
    DrawScene(levelCamera);
}
