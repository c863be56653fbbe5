// HTPlay: the how-to-play lines (see HTPlay.h).
#include "HTPlay.h"

#include <LEInput.h>

#include "objects/Screens.h"
#include "objects/TextLabel.h"

struct HowToPlayLine {
    uint32_t id;
    Vector2 position;  // the centre of the line
    const char* text;
};
static constexpr HowToPlayLine LINES[HOW_TO_PLAY_LINES] = {
    {300, {-300, 300}, "How to play:"},
    {301, {-200, 280}, "Move with WASD keys."},
    {303, {-125, 240}, "Attack with Left Click on the mouse."},
    {304, {-5, 215}, "Use active ability with E and Left Click to confirm placement."},
    {305, {-150, 150}, "Press Esc to open pause menu"},
    {306, {-150, 100}, "Defeat all the enemies to win."},
    {307, {250, 110}, "If the nexus' health reaches 0, you lose."},
    {308, {-100, 60}, "You can buy upgrades in the shop with gold dropped by enemies"},
    {309, {-100, 20}, "Gold is displayed in the top - right."},
    {310, {-150, -20}, "Press CTRL and a number from 1 to 4 to activate cheats"},
    {311, {100, -60}, "1: Infinite money"},
    {312, {100, -80}, "2 : Maximum hero damage"},
    {313, {100, -110}, "3 : Infinite nexus health"},
    {314, {100, -130}, "4 : Non - stop enemies"},
    {315, {-100, -180}, "Press ESC to close this menu and press P in - between rounds to open it."},
    {315, {0, -220}, "To place a tower left click the buttons at button and place them in one of the marked spots"},
};

HTPlay::HTPlay()
{
    font = LoadGameFont(GOTHIC_FONT, 30, 1.0f);
    for (int i = 0; i < HOW_TO_PLAY_LINES; ++i) {
        const HowToPlayLine& line = LINES[i];
        lines[i] = AddTextLabel(new TextLabel(
            font, TransformMakeValues(line.position.x, line.position.y, 1, 1, 0), " ", line.id, 0xFF000000));
        SetLabelText(lines[i], line.text);
    }
    SetLinesVisible(false);
}

// The lines themselves are freed with textList.
HTPlay::~HTPlay() { LEFontFree(font); }

void HTPlay::SetLinesVisible(bool visible)
{
    for (TextLabel* line : lines) line->visible = visible;
}

void HTPlay::Update()
{
    if (!open) return;
    if (!ScreenIsOpen(this)) PushScreen(this);  // opened by its owner's flag alone
    SetLinesVisible(true);
    if (TakeKey(this, KEY_ESCAPE)) {
        SetLinesVisible(false);
        open = false;
        PopScreen(this);
    }
}
