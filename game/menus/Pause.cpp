// Pause: the pause menu (see Pause.h).
#include "Pause.h"

#include <LEGameState.h>
#include <LEInput.h>

#include "HTPlay.h"
#include "Settings.h"
#include "levels/LevelState.h"
#include "levels/Waves.h"
#include "main/GameStates.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"

static const char* const CONFIRM_QUIT = "To confirm quit press Enter. To cancel press Esc";
static const char* const CONFIRM_RESTART = "To confirm restart press Enter. To cancel press Esc";
static const char* const CONFIRM_MAIN_MENU = "To go to the main menu press Enter. To cancel press Esc";
static constexpr Vector2 PANEL_SIZE{400, 500};
static constexpr Vector2 BUTTON_SIZE{280, 60};

// The menu's buttons, in the order they are made; ids and label ids as the
// level has always numbered them.
struct PauseButton {
    Button* Pause::*field;
    const char* name;
    uint32_t id;
    Vector2 position;
    const char* label;
    uint32_t labelId;
};
static const PauseButton BUTTONS[PAUSE_BUTTON_COUNT] = {
    {&Pause::resumeButton, "Resume", 600058, {0, 160}, "Resume", 403},
    {&Pause::mainMenuButton, "MnMenu", 600060, {0, 75}, "Main Menu", 404},
    {&Pause::quitButton, "Quit", 600060, {0, -265}, "Quit", 405},
    {&Pause::howToPlayButton, "Hwtpl", 600061, {0, -10}, "How to play", 406},
    {&Pause::restartButton, "Restart", 600062, {0, -180}, "Restart", 407},
    {&Pause::settingsButton, "Settings", 600062, {0, -95}, "Settings", 407},
};

Pause::Pause()
{
    panelMesh = CreateUnitQuadMesh(0xFF014421);
    buttonMesh = CreateUnitQuadMesh(0xFFB2BEB5);
    labelFont = LoadGameFont(GOTHIC_FONT, 30, 1.0f);
    smallFont = LoadGameFont(GOTHIC_FONT, 18, 1.0f);
    background = AddObject(objectList, new GameObject, 600057, "SetBG", 0, -50, PANEL_SIZE.x, PANEL_SIZE.y, 0,
                           panelMesh, nullptr);
    howToPlay = static_cast<HTPlay*>(
        AddObject(objectList, new HTPlay, 600058, "Setings howto", 0, 0, 1, 1, 0, nullptr, nullptr));
    settings = static_cast<Settings*>(
        AddObject(objectList, new Settings(levelCamera), 600058, "Settings", 0, 0, 1, 1, 0, nullptr, nullptr));
    for (const PauseButton& b : BUTTONS)
        this->*b.field = static_cast<Button*>(AddObject(objectList, new Button, b.id, b.name, b.position.x,
                                                        b.position.y, BUTTON_SIZE.x, BUTTON_SIZE.y, 0, buttonMesh,
                                                        nullptr));
    confirmBox = AddObject(objectList, new GameObject, 8000057, "QuitConfirmation", 0, 0, 500, 150, 0, buttonMesh,
                           nullptr);
    confirmLabel = AddTextLabel(new TextLabel(smallFont, TransformMakeValues(0, 0, 1.3f, 1.3f, 0), " ", 6, 0xFF000000));
    SetLabelText(confirmLabel, CONFIRM_QUIT);
    confirmBox->visible = confirmBox->active = false;
    confirmLabel->visible = false;
    for (int i = 0; i < PAUSE_BUTTON_COUNT; ++i) {
        const PauseButton& b = BUTTONS[i];
        buttonLabels[i] = AddTextLabel(new TextLabel(
            labelFont, TransformMakeValues(b.position.x, b.position.y, 1, 1, 0), " ", b.labelId, 0xFF000000));
        SetLabelText(buttonLabels[i], b.label);
    }
    background->visible = false;
    HideButtons();
    for (TextLabel* line : howToPlay->lines) line->transform.scale = {0.6f, 0.6f};
}

Pause::~Pause()
{
    LEMeshFree(panelMesh);
    LEMeshFree(buttonMesh);
    LEFontFree(labelFont);
    LEFontFree(smallFont);
}

void SetLevelLabelsShown(bool shown)
{
    for (uint32_t id : {11u, 10u, 12u, 14u, 15u, 13u}) SetLabelVisible(id, shown);
    ShowRoundPrompts(shown);
}

void Pause::ShowPanel()
{
    background->visible = true;
    for (const PauseButton& b : BUTTONS) (this->*b.field)->visible = (this->*b.field)->active = true;
    for (TextLabel* label : buttonLabels) label->visible = true;
}

void Pause::HideButtons()
{
    for (const PauseButton& b : BUTTONS) (this->*b.field)->visible = (this->*b.field)->active = false;
    for (TextLabel* label : buttonLabels) label->visible = false;
}

// The question says what Enter will do.
void Pause::AskToConfirm(bool* pending, const char* question)
{
    SetLabelText(confirmLabel, question);
    PushScreen(confirmBox);
    confirmBox->visible = true;
    confirmLabel->visible = true;
    background->visible = false;
    *pending = true;
    HideButtons();
}

// Everything that was running stops; the menu drives its own parts from here.
void Pause::Freeze()
{
    if (!frozen.empty()) return;
    for (GameObject* object : objectList) {
        if (!object->active) continue;
        frozen.emplace_back(object);
        object->active = false;
    }
}

// What the menu stopped runs again, and only that: objects that were idle
// before the pause (hidden turrets, closed panels) stay idle.
void Pause::Thaw()
{
    for (GameObject* object : frozen)
        if (object) object->active = true;
    frozen.clear();
}

// A shown button of the panel, with nothing open over the panel.
bool Pause::Hit(const Button* button) const { return TakeClick(button, this, levelCamera); }

void Pause::OpenOverPanel(GameObject* screen)
{
    PushScreen(screen);
    SetLevelLabelsShown(false);
    HideButtons();
}

void Pause::Update()
{
    if (!open) return;
    // The level opened the menu: it takes the input from the level (its own
    // parts are driven from here).
    if (!ScreenIsOpen(this)) PushScreen(this);
    Freeze();
    const bool howToPlayWasOpen = howToPlay->open, settingsWereOpen = settings->open;
    settings->Update();
    howToPlay->Update();
    if (!confirmBox->visible && !howToPlay->open && !settings->open) ShowPanel();

    // One press reaches one button, and only while the panel is on top.
    if (Hit(resumeButton)) {
        Thaw();
        open = false;
        PopScreen(this);
        background->visible = false;
        HideButtons();
    }
    if (Hit(mainMenuButton)) AskToConfirm(&mainMenuPending, CONFIRM_MAIN_MENU);
    if (Hit(quitButton)) AskToConfirm(&quitPending, CONFIRM_QUIT);
    if (Hit(howToPlayButton)) {
        howToPlay->open = true;
        background->transform.scale = {10000, 10000};  // the text reads on the panel's green
        OpenOverPanel(howToPlay);
    }
    if (Hit(restartButton)) AskToConfirm(&restartPending, CONFIRM_RESTART);
    if (Hit(settingsButton)) {
        settings->open = true;
        OpenOverPanel(settings);
    }

    if (confirmBox->visible) {
        if (TakeKey(confirmBox, KEY_ESCAPE)) {
            PopScreen(confirmBox);
            confirmBox->visible = confirmLabel->visible = false;
            ShowPanel();
            quitPending = mainMenuPending = restartPending = false;
        }
        if (OnTopScreen(confirmBox) && LEInputKeyPressed(KEY_ENTER)) {
            NotePressAction("confirm");
            if (mainMenuPending)
                nextState = STATE_MAIN_MENU;
            else if (quitPending)
                nextState = STATE_QUIT;
            if (restartPending) nextState = STATE_RESTART;  // the level's Free divides the zoom back
        }
    }
    if (howToPlayWasOpen && !howToPlay->open) {
        background->transform.scale = PANEL_SIZE;
        SetLevelLabelsShown(true);
    }
    if (settingsWereOpen && !settings->open) SetLevelLabelsShown(true);
}
