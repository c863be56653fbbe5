// Credits: the two full-screen credit pages, made once at start-up and kept for
// the whole run. The pages are overlays (drawn over every object, under the
// labels, in every state) rather than members of objectList, so no state's Free
// deletes them. A shown page is the screen on top: nothing under it takes a
// press. The main menu shows them in turn; winning the last level shows page 1.
// A page's picture is loaded when the page is shown and freed when it is hidden:
// the pages are seen for seconds at a time, and loading both up front would
// hold up the first frame of the game.
#pragma once

#include "objects/GameObject.h"

struct Credits {
    LETexture* page1Texture = nullptr;  // null while the page is hidden
    LETexture* page2Texture = nullptr;
    LEMesh* mesh = nullptr;
    GameObject* page1 = nullptr;
    GameObject* page2 = nullptr;
};

// Null before start-up makes them and after shutdown frees them.
extern Credits* credits;

void CreateCredits();
void FreeCredits();
// Shows or hides a page, loading or freeing its picture and opening or closing
// it as a screen; nothing happens without credits.
void ShowCreditsPage(int page, bool shown);
bool CreditsPageShown(int page);
