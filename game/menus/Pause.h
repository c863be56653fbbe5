// Pause: the pause menu every playable level owns ("PauseMenu"). Escape during
// play opens it: the world freezes under a dark green panel of six buttons, and
// from there the player resumes, reads how to play, changes the settings, or,
// after confirming with Enter, goes back to the main menu, quits or restarts the
// level. The level calls Update every frame and skips its own rules while `open`;
// the menu and the screens it opens over its panel take the input from the level.
#pragma once

#include <vector>

#include <src/LEFont.h>

#include "objects/GameObject.h"
#include "objects/ObjectRef.h"

struct Button;
struct HTPlay;
struct Settings;
struct TextLabel;

constexpr int PAUSE_BUTTON_COUNT = 6;

struct Pause : GameObject {
    bool open = false;
    bool quitPending = false;
    bool mainMenuPending = false;
    bool restartPending = false;
    Button* resumeButton = nullptr;
    Button* mainMenuButton = nullptr;
    Button* quitButton = nullptr;
    Button* howToPlayButton = nullptr;
    Button* restartButton = nullptr;
    Button* settingsButton = nullptr;
    GameObject* background = nullptr;
    GameObject* confirmBox = nullptr;
    LEMesh* panelMesh = nullptr;   // owned
    LEMesh* buttonMesh = nullptr;  // owned
    LEFont* labelFont = nullptr;   // owned
    LEFont* smallFont = nullptr;   // owned
    HTPlay* howToPlay = nullptr;
    Settings* settings = nullptr;
    TextLabel* confirmLabel = nullptr;
    TextLabel* buttonLabels[PAUSE_BUTTON_COUNT] = {};

    Pause();
    ~Pause() override;
    void Update() override;

private:
    // The objects the menu stopped when it opened, given back on Resume.
    std::vector<ObjectRef<GameObject>> frozen;

    void ShowPanel();
    void HideButtons();
    void AskToConfirm(bool* pending, const char* question);
    void OpenOverPanel(GameObject* screen);
    void Freeze();
    void Thaw();
    bool Hit(const Button* button) const;
};

// The level labels the menu hides while how-to-play or settings cover them.
void SetLevelLabelsShown(bool shown);
