// TestLevel: the rules of the test level (state 0): enemies placed by hand with
// the right mouse button, the test chime on L, and a Dear ImGui window with the
// camera and mouse numbers. No menu leads here; it is a developer's bench.
#include <imgui.h>

#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>

#include "Level.h"
#include "LevelState.h"
#include "Waves.h"
#include "actors/CharSel.h"
#include "actors/Enemy.h"
#include "actors/Shop.h"
#include "actors/Tower.h"
#include "main/GameStates.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
#include "objects/Screens.h"

static void PlaceOrcAtMouse()
{
    const Vector2 p = ScreenToWorld(levelCamera, LEInputMousePosition());
    Enemy* orc = new Orc;
    AddObject(objectList, orc, 1000, "Enemy", p.x, p.y, 40, 40, QUARTER_TURN, quadMesh, enemyTextures[DRAW_SKELETON]);
    orc->health = 200.0f;
}

static void RoundRules()
{
    if (LEInputMouseTriggered(MOUSE_RIGHT)) PlaceOrcAtMouse();
    if (LEInputKeyTriggered(KEY_L)) PlayTestSound();
    if (enemiesRemaining == 0) EndWave();
}

static void BetweenRoundsRules()
{
    if (FindObject("Player"))
        for (Tower* turret : turrets)
            if (turret) turret->active = turret->visible = true;
    // The controls text holds the character selection back, until Esc closes it.
    if (controlsText && TakeKey(controlsText, KEY_ESCAPE)) CloseControls();
    if (!ControlsOpen() && charSelScreen) charSelScreen->Update();
    if (waveEffectPending) RollWaveEffect();
    if (!ControlsOpen()) HowToPlayOrShop();
    if (TakeKey(nullptr, KEY_ENTER)) StartRound();
}

void TestLevelUpdate()
{
    AudioUpdate();
    if (!LevelHasFocus()) return;
    if (LEInputKeyPressed(KEY_P)) nextState = STATE_LEVEL_1;
    ApplyCheats();
    PrintDebugStats();
    if (waveIndex == 1) waveScalingOn = true;

    // A finished test level stands still until Q or R.
    if (levelLost || levelWon) {
        if (LEInputKeyPressed(KEY_Q))
            nextState = STATE_QUIT;
        else if (LEInputKeyPressed(KEY_R))
            nextState = STATE_RESTART;
        return;
    }
    if (!betweenRounds)
        RoundRules();
    else
        BetweenRoundsRules();

    if (waveIndex >= uint32_t(WAVE_COUNT)) levelWon = true;
    if (LEInputKeyPressed(KEY_R)) nextState = STATE_LEVEL_2;
    if (nexusHealth < 1) levelLost = true;
    UpdateScene();
}

// The viewport of the previous frame's draw pass, in window pixels.
static bool MouseInViewport()
{
    const Vector2 m = LEInputMousePosition();
    const float x = m.x + float(LEWindowWidth()) / 2.0f, y = m.y + float(LEWindowHeight()) / 2.0f;
    const float* v = levelCamera->viewport;
    return v[0] <= x && x <= v[2] && v[1] <= y && y <= v[3];
}

static void DebugWindow()
{
    if (ImGui::Begin("Screen debug")) {
        const Transform& cam = levelCamera->transform;
        const Vector2 mouse = ScreenToWorld(levelCamera, LEInputMousePosition());
        const Vector2 shopOnScreen = WorldToDesign(shop ? shop->transform.position : Vector2{});
        const Vector2 button = towerButtons[0] ? towerButtons[0]->transform.position : Vector2{};
        const Vector2 buttonOnScreen = WorldToDesign(button);
        ImGui::Text("Window width: %i", int(LEWindowWidth()));
        ImGui::Text("Window height: %i", int(LEWindowHeight()));
        ImGui::Text("Cam transform position: (%f,%f)", double(cam.position.x), double(cam.position.y));
        ImGui::Text("Cam transform scale: (%f,%f)", double(cam.scale.x), double(cam.scale.y));
        ImGui::Text("Mouse position: (%f,%f)", double(mouse.x), double(mouse.y));
        ImGui::Text("Shop position: (%f,%f)", double(shopOnScreen.x), double(shopOnScreen.y));
        ImGui::Text("Mage dmg: %f", turrets[1] ? double(turrets[1]->damage) : 0.0);
        ImGui::Text("%s", MouseInViewport() ? "In VP" : "Not in VP");
        ImGui::Text("Button 1: (%f,%f)", double(button.x), double(button.y));
        ImGui::Text("Button 1 in window: (%f,%f)", double(buttonOnScreen.x), double(buttonOnScreen.y));
    }
    ImGui::End();  // always, so that later windows of the frame are unaffected
}

void TestLevelDraw()
{
    DebugWindow();
    UpdateHud();
    if (LEInputKeyTriggered(KEY_F)) LEWindowSetFullscreen(!LEWindowIsFullscreen());
    if (TopScreen()) SortObjectsById();
    DrawScene(levelCamera);
}
