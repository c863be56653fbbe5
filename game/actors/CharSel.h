// CharSel: the character selection, the level's "CharSelScreen" button at the
// top of the field. It opens by itself on a level's first update and on every
// click of its button between rounds, shows three portraits, and creates the
// chosen hero with its two companion turrets (turrets[3] and turrets[4]). Owns
// the hero sheets, the portrait and hero pictures and selectionFont for the
// level. Created by the level's Init; the level's Update runs it between rounds.
#pragma once

#include <src/LEFont.h>

#include "objects/Button.h"

constexpr int CHOICE_COUNT = 3;

extern LEFont* selectionFont;

struct CharSel : Button {
    bool choiceMade = false;                 // a portrait was chosen since the screen opened
    GameObject* screenBackground = nullptr;  // the backdrop, owned by objectList
    bool screenOpen = false;
    LEMesh* screenMesh = nullptr;            // backdrop, portraits, hero and companions
    LETexture* portraitTextures[CHOICE_COUNT] = {};
    LETexture* heroTextures[CHOICE_COUNT] = {};
    Button* portraits[CHOICE_COUNT] = {};    // owned by objectList
    Button* currentChoice = nullptr;         // the portrait of the hero in play
    uint32_t choiceIndex = 0;

    void Load() override;
    void Unload() override;
    // Acts once per frame, however often the level calls it.
    void Update() override;

private:
    uint32_t lastUpdateFrame = UINT32_MAX;

    void OpenScreen();
    void CloseScreen();
    void SetPartyAlive(bool alive);
    void ReplaceParty();
    void CreateParty();
};
