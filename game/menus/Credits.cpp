// Credits: the pages and their lifetime (see Credits.h).
#include "Credits.h"

Credits* credits = nullptr;

static GameObject* MakePage(LEMesh* mesh, LETexture* texture)
{
    GameObject* page = new GameObject;
    // AddObject places the page; it then leaves objectList for the overlays.
    AddObject(objectList, page, 0xFFFFFF, "Credits", 0, 20, 950, -1000, QUARTER_TURN, mesh, texture);
    objectList.remove(page);
    overlayList.push_back(page);
    page->visible = false;
    return page;
}

void CreateCredits()
{
    if (credits) return;
    credits = new Credits;
    credits->page1Texture = LETextureLoad("Assets/Credits/Credits1.png");
    credits->page2Texture = LETextureLoad("Assets/Credits/Credits2.png");
    credits->mesh = CreateUnitQuadMesh(0xFFFFFFFF);
    credits->page1 = MakePage(credits->mesh, credits->page1Texture);
    credits->page2 = MakePage(credits->mesh, credits->page2Texture);
}

void FreeCredits()
{
    if (!credits) return;
    for (GameObject* page : {credits->page1, credits->page2}) {
        overlayList.remove(page);
        delete page;
    }
    LETextureUnload(credits->page1Texture);
    LETextureUnload(credits->page2Texture);
    LEMeshFree(credits->mesh);
    delete credits;
    credits = nullptr;
}

void ShowCreditsPage(int page, bool shown)
{
    if (!credits) return;
    (page == 1 ? credits->page1 : credits->page2)->visible = shown;
}

bool CreditsPageShown(int page)
{
    return credits && (page == 1 ? credits->page1 : credits->page2)->visible;
}
