// LevelFixture: level 1 loaded and initialised in a real 1920 x 1080 window,
// stepped through the real frame loop with a fixed frame time, with helpers that
// inject keys and mouse clicks as real events. Shared by the level and actor tests.
#pragma once

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <LEGameState.h>
#include <LESystem.h>
#include <actors/Enemy.h>
#include <actors/CharSel.h>
#include <actors/Player.h>
#include <actors/Tower.h>
#include <levels/Level.h>
#include <levels/LevelState.h>
#include <levels/Waves.h>
#include <main/GameStates.h>
#include <objects/Camera2D.h>
#include <objects/TextLabel.h>
#include <src/LEFont.h>
#include <src/LEMesh.h>
#include <src/LETexture.h>

#include <string>
#include <vector>

#include "TestEngine.h"

constexpr double FRAME = 1.0 / 60.0;

class LevelTest : public testing::Test {
protected:
    bool loaded = false;

    void SetUp() override
    {
        REQUIRE_ENGINE(1920, 1080);
        LESystemSetFixedFrameTime(FRAME);
        LEGameStateClear();
        RegisterGameStates();
        waveState = WaveState{};  // no level resets it: each test starts as the program does
        Enter(STATE_LEVEL_1);
    }

    // The character selection opens by itself on a level's first update and holds
    // the round back until a hero is chosen; tests that bring their own hero, or
    // need none, keep it closed.
    static void KeepSelectorClosed() { charSelScreen->clickCount = 1; }

    // Enters a level state as the state table would, leaving the level in play first.
    void Enter(int32_t state)
    {
        if (loaded) {
            LevelFree();
            LevelUnload();
        }
        previousState = currentState = nextState = state;
        LEGameStateSelect();
        LevelLoad();
        LevelInit();
        KeepSelectorClosed();
        loaded = true;
    }

    void TearDown() override
    {
        if (loaded) {
            LevelFree();
            LevelUnload();
            EXPECT_EQ(LeftOver(), "");
            EXPECT_TRUE(objectList.empty() && textList.empty() && enemyList.empty() && !levelCamera)
                << objectList.size() << " objects, " << textList.size() << " labels, " << enemyList.size()
                << " enemies";
        }
        StopTestEngine();
    }

    static void Step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i) LEGameLoopFrame();
    }

    static void Tap(int scancode)
    {
        PushKeyEvent(scancode, true);
        Step();
        PushKeyEvent(scancode, false);
        Step();
    }

    static void CtrlTap(int scancode)
    {
        PushKeyEvent(SDL_SCANCODE_LCTRL, true);
        Tap(scancode);
        PushKeyEvent(SDL_SCANCODE_LCTRL, false);
        Step();
    }

    // Presses Enter and returns what the round start printed.
    static std::string StartRoundWithEnter()
    {
        testing::internal::CaptureStdout();
        Tap(SDL_SCANCODE_RETURN);
        return testing::internal::GetCapturedStdout();
    }

    static std::vector<Enemy*> Enemies() { return std::vector<Enemy*>(enemyList.begin(), enemyList.end()); }

    // Steps until more enemies are on the field, at most `limit` frames.
    static int StepUntilSpawn(int limit = 400)
    {
        const size_t before = enemyList.size();
        for (int i = 1; i <= limit; ++i) {
            Step();
            if (enemyList.size() > before) return i;
        }
        return -1;
    }

    // Kills every enemy on the field (their next update finds them dead).
    static void KillAll()
    {
        for (Enemy* e : enemyList) e->health = 0.0f;
    }

    // An enemy of the given kind; on level 1 it stands still unless it touches a start marker.
    template <class Kind>
    static Kind* AddEnemy(uint32_t id, Vector2 at = {0, 0}, float rotation = 0.0f)
    {
        Kind* enemy = new Kind;
        AddObject(objectList, enemy, id, "Enemy", at.x, at.y, 40, 40, rotation, quadMesh, nullptr);
        return enemy;
    }

    // Puts a turret on a point as if the player had dropped it there.
    static Tower* Place(Tower* tower, Vector2 at)
    {
        tower->transform.position = tower->homePosition = at;
        tower->placed = tower->active = tower->visible = true;
        return tower;
    }

    // A hero object named "Player", which is what the level looks for.
    static Player* AddHeroStandIn()
    {
        Player* hero = new Player;
        AddObject(objectList, hero, 5000, "Player", 0, -400, 50, 50, 0, nullptr, nullptr);
        currentPlayer = hero;
        return hero;
    }

    // Moves the real pointer over a world point of the level, then steps a frame.
    static void PointAtWorld(Vector2 world)
    {
        const Vector2 v = Matrix3TransformPoint(CameraViewMatrix(levelCamera), world);  // design pixels
        SDL_WarpMouseInWindow(SDL_GL_GetCurrentWindow(), int(960.0f + v.x), int(540.0f - v.y));
        Step();
    }

    // Holds keys (SDL scancodes) down together for `frames` frames.
    static void Hold(std::initializer_list<int> keys, int frames = 1)
    {
        for (int key : keys) PushKeyEvent(key, true);
        Step(frames);
        for (int key : keys) PushKeyEvent(key, false);
        Step();
    }

    // Presses and releases a mouse button, a frame each.
    static void Click(int sdlButton)
    {
        PushMouseButtonEvent(sdlButton, true);
        Step();
        PushMouseButtonEvent(sdlButton, false);
        Step();
    }

    static void ClickAt(Vector2 world, int sdlButton = SDL_BUTTON_LEFT)
    {
        PointAtWorld(world);
        Click(sdlButton);
    }
};
