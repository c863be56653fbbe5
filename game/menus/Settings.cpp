// Settings: the settings screen and the program-wide settings (see Settings.h).
#include "Settings.h"

#include <utility>  // Required for: std::pair

#include <LEAudio.h>
#include <LEInput.h>
#include <LESystem.h>

#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"

bool fullscreenWanted = true;
bool vsyncWanted = true;
int32_t resolutionIndex = 2;
Vector2 chosenResolution = RESOLUTIONS[2];

float StepVolume(float volume, float step)
{
    const float v = volume + step;
    return v > 1.0f ? 1.0f : v < 0.0f ? 0.0f : v;
}

std::string VolumeText(const char* caption, float volume)
{
    return caption + std::to_string(int(volume * 100.0f));
}

int32_t StepResolution(int32_t index, int step)
{
    return ((index + step) % RESOLUTION_COUNT + RESOLUTION_COUNT) % RESOLUTION_COUNT;
}

static std::string SizeText(Vector2 size) { return std::to_string(int(size.x)) + "x" + std::to_string(int(size.y)); }

std::string ResolutionText(bool fullscreen, Vector2 window, Vector2 windowed)
{
    if (!fullscreen) return "Current Resolution: " + SizeText(window);
    return "Full screen: " + SizeText(window) + " (windowed " + SizeText(windowed) + ")";
}

static std::string CurrentResolutionText()
{
    return ResolutionText(LEWindowIsFullscreen(), {float(LEWindowWidth()), float(LEWindowHeight())},
                          chosenResolution);
}

static const char* VsyncText() { return LEGraphicsVSync() ? "VSync: On" : "VSync: Off"; }

// The screen's buttons: where each stands and what its label says.
struct SettingsButton {
    Button* Settings::*field;
    const char* name;
    uint32_t id;
    Vector2 position;
    uint32_t labelId;
    const char* label;
};
static const SettingsButton BUTTONS[SETTINGS_BUTTON_COUNT] = {
    {&Settings::incMusicButton, "IncMusic", 6480000, {150, -150}, 503, "Increase Music"},
    {&Settings::decMusicButton, "DecMusic", 6490000, {-150, -150}, 503, "Decrease Music"},
    {&Settings::incSfxButton, "IncSFx", 6510000, {150, -270}, 503, "Increase SFX"},
    {&Settings::decSfxButton, "DecSFx", 6520000, {-150, -270}, 503, "Decrease SFX"},
    {&Settings::vsyncButton, "VSync", 6530000, {150, 190}, 502, nullptr},  // tells the truth, see VsyncText
    {&Settings::incResButton, "IncRes", 6540000, {-150, 210}, 501, "Increase Res"},
    {&Settings::decResButton, "DecRes", 6550000, {-150, 90}, 504, "Decrease Res"},
    {&Settings::fullscreenButton, "IsFull", 6560000, {-150, -30}, 505, "Set Fullscreen"},
};
static constexpr Vector2 BUTTON_SIZE{150, 100};

static TextLabel* AddSettingsLabel(LEFont* font, Vector2 at, float scale, uint32_t id, const std::string& text)
{
    TextLabel* label = AddTextLabel(new TextLabel(font, TransformMakeValues(at.x, at.y, scale, scale, 0), " ", id,
                                                  0xFF000000));
    SetLabelText(label, text);
    return label;
}

// The labels say what holds now: the player's volumes and window size last for
// the whole run, whichever screen shows them.
Settings::Settings(Camera2D* camera) : camera(camera)
{
    panelMesh = CreateUnitQuadMesh(0xFF014421);
    buttonMesh = CreateUnitQuadMesh(0xFFB2BEB5);
    // The panel covers the design view, whatever the window's size.
    panel = AddObject(objectList, new GameObject, 6470000, "SetBG", 0, 0, DESIGN_WIDTH, DESIGN_HEIGHT, 0, panelMesh,
                      nullptr);
    for (const SettingsButton& b : BUTTONS)
        this->*b.field = static_cast<Button*>(AddObject(objectList, new Button, b.id, b.name, b.position.x,
                                                        b.position.y, BUTTON_SIZE.x, BUTTON_SIZE.y, 0, buttonMesh,
                                                        nullptr));
    font = LoadGameFont(GOTHIC_FONT, 20, 1.0f);
    for (int i = 0; i < SETTINGS_BUTTON_COUNT; ++i) {
        const SettingsButton& b = BUTTONS[i];
        buttonLabels[i] = AddSettingsLabel(font, b.position, 1.0f, b.labelId, b.label ? b.label : VsyncText());
    }
    resolutionLabel = AddSettingsLabel(font, {60, 0}, 1.0f, 500, CurrentResolutionText());
    musicLabel = AddSettingsLabel(font, {0, -150}, 1.0f, 503, VolumeText("Music:", musicVolume));
    sfxLabel = AddSettingsLabel(font, {0, -270}, 0.9f, 503, VolumeText("Sound Effects:", sfxVolume));
    SetShown(false);
}

Settings::~Settings()
{
    LEMeshFree(panelMesh);
    LEMeshFree(buttonMesh);
    LEFontFree(font);
}

void Settings::SetShown(bool shown)
{
    panel->visible = shown;
    for (const SettingsButton& b : BUTTONS) (this->*b.field)->active = (this->*b.field)->visible = shown;
    for (TextLabel* label : buttonLabels) label->visible = shown;
    for (TextLabel* label : {resolutionLabel, musicLabel, sfxLabel}) label->visible = shown;
}

// A button of this screen, while the screen is on top.
bool Settings::Hit(const Button* button) const { return TakeClick(button, this, camera); }

// While the screen is open the window follows the settings every frame, so a
// size chosen in full screen takes effect once full screen is left.
void Settings::ApplyWindow() const
{
    if (fullscreenWanted != LEWindowIsFullscreen()) LEWindowSetFullscreen(!LEWindowIsFullscreen());
    if (!fullscreenWanted) LEWindowSetSize(uint32_t(chosenResolution.x), uint32_t(chosenResolution.y));
}

void Settings::Update()
{
    if (!open) return;
    if (!ScreenIsOpen(this)) PushScreen(this);  // opened by its owner's flag alone
    SetShown(true);
    // What the window and the GL context do now, whatever was asked of them.
    SetLabelText(buttonLabels[4], VsyncText());
    SetLabelText(resolutionLabel, CurrentResolutionText());
    struct VolumeStep {
        const Button* button;
        const float* volume;  // the sound module's setting for the group
        float step;
        TextLabel* label;
        const char* caption;
        int32_t group;
    };
    const VolumeStep volumeSteps[] = {
        {incMusicButton, &musicVolume, 0.1f, musicLabel, "Music:", SOUND_GROUP_MUSIC},
        {decMusicButton, &musicVolume, -0.1f, musicLabel, "Music:", SOUND_GROUP_MUSIC},
        {incSfxButton, &sfxVolume, 0.1f, sfxLabel, "Sound Effects:", SOUND_GROUP_SFX},
        {decSfxButton, &sfxVolume, -0.1f, sfxLabel, "Sound Effects:", SOUND_GROUP_SFX},
    };
    for (const VolumeStep& v : volumeSteps) {
        if (!Hit(v.button)) continue;
        AudioSetGroupVolume(v.group, StepVolume(*v.volume, v.step));
        SetLabelText(v.label, VolumeText(v.caption, *v.volume));
    }
    if (Hit(vsyncButton)) {
        vsyncWanted = !LEGraphicsVSync();
        LEGraphicsSetVSync(vsyncWanted);
    }
    for (const auto& [button, step] : {std::pair{incResButton, 1}, std::pair{decResButton, -1}}) {
        if (!Hit(button)) continue;
        resolutionIndex = StepResolution(resolutionIndex, step);
        chosenResolution = RESOLUTIONS[resolutionIndex];
        if (camera) UpdateCameraViewport(camera);
    }
    if (Hit(fullscreenButton)) {
        fullscreenWanted = !fullscreenWanted;
        LEWindowSetFullscreen(fullscreenWanted);
    }
    if (TakeKey(this, KEY_ESCAPE)) {
        open = false;
        PopScreen(this);
        SetShown(false);
    }
    ApplyWindow();
}
