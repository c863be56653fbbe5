// LevelDraw: the heads-up display, the win and lose screens, and the draw pass
// of a level. Registered as the level states' Draw.
#include <cmath>  // Required for: std::floor
#include <string>

#include "Level.h"
#include "LevelState.h"
#include "Waves.h"
#include "actors/Player.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
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
    const Player* hero = static_cast<const Player*>(FindObject("Player"));
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
// long as the level stays won or lost.
static void ShowEndScreen(uint32_t labelId, const char* message, uint32_t backdropId, const char* backdropName)
{
    TextLabel* label = FindTextLabel(labelId);
    if (!label) {
        label = AddTextLabel(new TextLabel(levelFont, Transform{}, " ", labelId, 0xFF000000));
        SetLabelText(label, message);
    }
    label->visible = true;
    if (!FindObject(backdropName))
        AddObject(objectList, new GameObject, backdropId, backdropName, 0, 0, 400, 50, 0, quadMesh, nullptr);
}

void ShowWinScreen()
{
    ShowEndScreen(1235, "You win! Press Q to quit or N to go to next level", 3455, "WinBG");
}

void ShowLoseScreen()
{
    ShowEndScreen(1236, "You lost! Press Q to quit or R to go to restart the level", 3456, "LoseBG");
}

void UpdateHud()
{
    UpdateNexusText();
    UpdateWaveText();
    UpdateGoldText();
    if (levelLost) ShowLoseScreen();
    if (levelWon) ShowWinScreen();
    UpdateWaveEffectText();
    UpdateCooldownText();
}

void LevelDraw()
{
    UpdateHud();
    // An open panel covers the field: enemies spawned since the last sort take
    // their place under it instead of walking across it.
    if (SidePanelOpen()) SortObjectsById();
    DrawScene(levelCamera);
}
