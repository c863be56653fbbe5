// CharSel: the character selection screen and the making of heroes (see CharSel.h).
#include "CharSel.h"

#include <LESystem.h>

#include "Player.h"
#include "Tower.h"
#include "levels/LevelState.h"
#include "objects/AnimationSheet.h"
#include "objects/Camera2D.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"

LEFont* selectionFont = nullptr;

// One portrait of the screen: what it shows and what choosing it makes. The
// companions are the two heroes not chosen, as turrets with their kind's numbers.
struct Choice {
    const char* buttonName;
    Vector2 position;
    uint32_t labelId;
    const char* label;
    int heroKind;
    int companionKinds[2];  // turrets[3] and turrets[4]
};
static constexpr Choice CHOICES[CHOICE_COUNT] = {
    {.buttonName = "Hunter", .position = {100, 0}, .labelId = 751, .label = "Thief", .heroKind = HERO_THIEF,
     .companionKinds = {4, 0}},
    {.buttonName = "Bard", .position = {0, 0}, .labelId = 752, .label = "Bard", .heroKind = HERO_BARD,
     .companionKinds = {0, 5}},
    {.buttonName = "Thief", .position = {-100, 0}, .labelId = 753, .label = "Hunter", .heroKind = HERO_HUNTER,
     .companionKinds = {5, 4}},
};
// Pictures in choice order: thief, bard, hunter.
static const char* const PORTRAIT_FILES[CHOICE_COUNT] = {"Assets/Sprites/Heroes/hero_thief_1.png",
                                                         "Assets/Sprites/Heroes/hero_bard_1.png",
                                                         "Assets/Sprites/Heroes/hero_hunter_1.png"};
static const char* const HERO_FILES[CHOICE_COUNT] = {"Assets/Sprites/Heroes/hero_thief_2.png",
                                                     "Assets/Sprites/Heroes/hero_bard_2.png",
                                                     "Assets/Sprites/Heroes/hero_hunter_2.png"};
static constexpr uint32_t COMPANION_ID = 65535;
static constexpr Vector2 COMPANION_POSITIONS[2] = {{95, -250}, {160, -250}};

// The picture a companion of this tower kind wears: hunter 0, bard 4, thief 5.
static int PictureOfKind(int towerKind) { return towerKind == 0 ? 2 : towerKind == 4 ? 1 : 0; }

void CharSel::Load()
{
    screenOpen = choiceMade = false;
    screenMesh = CreateUnitQuadMesh(0xFFFFFFFF);
    // The backdrop covers half the design view, whatever the window's size.
    screenBackground = AddObject(objectList, new GameObject, 750, "CharScreen", 0, 0, DESIGN_WIDTH / 2,
                                 DESIGN_HEIGHT / 2, 0, screenMesh, nullptr);
    screenBackground->visible = screenBackground->active = false;
    currentPlayer = nullptr;
    LoadHeroSheets();
    for (int i = 0; i < CHOICE_COUNT; ++i) portraitTextures[i] = LETextureLoad(PORTRAIT_FILES[i]);
    for (int i = 0; i < CHOICE_COUNT; ++i) heroTextures[i] = LETextureLoad(HERO_FILES[i]);
    for (int i = 0; i < CHOICE_COUNT; ++i) {
        const Choice& c = CHOICES[i];
        portraits[i] = static_cast<Button*>(AddObject(objectList, new Button, 4095, c.buttonName, c.position.x,
                                                      c.position.y, 100, 100, QUARTER_TURN, screenMesh,
                                                      portraitTextures[i]));
    }
    selectionFont = LoadGameFont(PLAIN_FONT, 20, 1.0f);
    for (int i = 0; i < CHOICE_COUNT; ++i) {
        const Choice& c = CHOICES[i];
        const Transform at = TransformMakeValues(c.position.x, c.position.y - 100.0f, 1, 1, 0);
        SetLabelText(AddTextLabel(new TextLabel(selectionFont, at, " ", c.labelId, 0xFF000000)), c.label);
    }
    for (Button* portrait : portraits) portrait->active = portrait->alive = portrait->visible = false;
    for (const Choice& c : CHOICES) SetLabelVisible(c.labelId, false);
}

void CharSel::Unload()
{
    Button::Unload();
    FreeAnimationSheets();
    LEMeshFree(screenMesh);
    screenMesh = nullptr;
    for (LETexture** set : {portraitTextures, heroTextures}) {
        for (int i = 0; i < CHOICE_COUNT; ++i) {
            LETextureUnload(set[i]);
            set[i] = nullptr;
        }
    }
    LEFontFree(selectionFont);
    selectionFont = nullptr;
}

// The hero and its companions freeze and vanish while the screen is open.
void CharSel::SetPartyAlive(bool alive)
{
    if (currentPlayer) currentPlayer->alive = alive;
    for (int i : {3, 4})
        if (turrets[i]) turrets[i]->alive = alive;
}

void CharSel::OpenScreen()
{
    SetPartyAlive(false);
    screenOpen = true;
    PushScreen(this);
    screenBackground->active = screenBackground->visible = true;
    choiceMade = false;
    for (Button* portrait : portraits) portrait->active = portrait->alive = portrait->visible = true;
    for (const Choice& c : CHOICES) SetLabelVisible(c.labelId, true);
}

void CharSel::CloseScreen()
{
    for (Button* portrait : portraits) portrait->active = portrait->alive = portrait->visible = false;
    for (const Choice& c : CHOICES) SetLabelVisible(c.labelId, false);
    screenOpen = false;
    PopScreen(this);
    screenBackground->active = screenBackground->visible = false;
}

void CharSel::Update()
{
    // The level calls this itself and the update pass calls it again: one click
    // must make one choice.
    if (lastUpdateFrame == LEFrameCounter()) return;
    lastUpdateFrame = LEFrameCounter();

    // It opens by itself on a level's first update, unless something covers the field.
    if (IsClicked(this) || (clickCount == 0 && OnTopScreen(nullptr))) OpenScreen();
    if (!screenOpen || choiceMade) return;
    for (int i = 0; i < CHOICE_COUNT; ++i) {
        if (!IsClicked(portraits[i], this)) continue;
        if (portraits[i] == currentChoice) {
            SetPartyAlive(true);
            CloseScreen();
            return;
        }
        ReplaceParty();
        clickCount += 1;
        currentChoice = portraits[i];
        choiceIndex = uint32_t(i);
        choiceMade = true;
        CloseScreen();
        CreateParty();
        return;
    }
}

// The old hero and companions leave the field (they were frozen while the
// screen was open; they come back to life first so that they can be destroyed).
void CharSel::ReplaceParty()
{
    if (!currentPlayer) return;
    SetPartyAlive(true);
    DestroyObject(currentPlayer);
    for (int i : {3, 4}) DestroyObject(turrets[i]);
    for (int i : {3, 4})
        if (towerButtons[i]) towerButtons[i]->clickCount = 0;
}

void CharSel::CreateParty()
{
    const Choice& c = CHOICES[choiceIndex];
    SpawnHero(c.heroKind, screenMesh, heroTextures[choiceIndex]);
    for (int slot = 0; slot < 2; ++slot) {
        const int kind = c.companionKinds[slot];
        const Vector2 p = COMPANION_POSITIONS[slot];
        Tower* companion = new Tower(kind);
        AddObject(objectList, companion, COMPANION_ID, "Turret", p.x, p.y, 50, 50, QUARTER_TURN, screenMesh,
                  heroTextures[PictureOfKind(kind)]);
        companion->Load();
        companion->active = false;  // the level decides when turrets act
        turrets[3 + slot] = companion;
    }
    SortObjectsById();
}
