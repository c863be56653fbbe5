// Settings: the screen that changes the music and effect volumes in tenths,
// switches vertical sync, picks one of four window sizes and switches full
// screen. Owns the program-wide settings, which outlive every screen. The main
// menu and each level's pause menu own one screen and open it by setting `open`
// and pushing it on the screen stack; it closes itself on Escape.
#pragma once

#include <cstdint>
#include <string>

#include <src/LEFont.h>

#include "objects/GameObject.h"

struct Button;
struct Camera2D;
struct TextLabel;

constexpr int RESOLUTION_COUNT = 4;
constexpr Vector2 RESOLUTIONS[RESOLUTION_COUNT] = {{1280, 720}, {1600, 900}, {1920, 1080}, {3840, 2160}};

// Program-wide settings (the volumes are LEAudio's musicVolume and sfxVolume).
extern bool fullscreenWanted;
extern bool vsyncWanted;
extern int32_t resolutionIndex;
extern Vector2 chosenResolution;

// A volume one tenth up or down (f32), kept within 0 to 1.
float StepVolume(float volume, float step);
// "Music:" and the like followed by the volume in percent, truncated.
std::string VolumeText(const char* caption, float volume);
// The next or previous entry of RESOLUTIONS, wrapping round.
int32_t StepResolution(int32_t index, int step);
// The window's real size; in full screen, which is the desktop's size, the size
// the window will take when full screen is left as well.
std::string ResolutionText(bool fullscreen, Vector2 window, Vector2 windowed);

constexpr int SETTINGS_BUTTON_COUNT = 8;

struct Settings : GameObject {
    bool open = false;
    Button* incMusicButton = nullptr;
    Button* decMusicButton = nullptr;
    Button* incSfxButton = nullptr;
    Button* decSfxButton = nullptr;
    Button* vsyncButton = nullptr;
    Button* incResButton = nullptr;
    Button* decResButton = nullptr;
    Button* fullscreenButton = nullptr;
    GameObject* panel = nullptr;
    LEMesh* panelMesh = nullptr;  // owned
    LEMesh* buttonMesh = nullptr; // owned
    LEFont* font = nullptr;       // owned
    TextLabel* buttonLabels[SETTINGS_BUTTON_COUNT] = {};
    TextLabel* resolutionLabel = nullptr;
    TextLabel* musicLabel = nullptr;
    TextLabel* sfxLabel = nullptr;

    // `camera` is the owner's, through which the mouse is read.
    explicit Settings(Camera2D* camera);
    ~Settings() override;
    void Update() override;

private:
    Camera2D* camera;

    void SetShown(bool shown);
    bool Hit(const Button* button) const;
    void ApplyWindow() const;
};
