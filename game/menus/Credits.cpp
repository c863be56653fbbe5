// Credits: the pages and their lifetime (see Credits.h).
#include "Credits.h"

#include "objects/Screens.h"

Credits* credits = nullptr;

static const char* const PAGE_FILES[2] = {"Assets/Credits/Credits1.png", "Assets/Credits/Credits2.png"};

static GameObject* MakePage(LEMesh* mesh)
{
    GameObject* page = new GameObject;
    // AddObject places the page; it then leaves objectList for the overlays.
    AddObject(objectList, page, 0xFFFFFF, "Credits", 0, 20, 950, -1000, QUARTER_TURN, mesh, nullptr);
    objectList.remove(page);
    overlayList.push_back(page);
    page->visible = false;
    return page;
}

void CreateCredits()
{
    if (credits) return;
    credits = new Credits;
    credits->mesh = CreateUnitQuadMesh(0xFFFFFFFF);
    credits->page1 = MakePage(credits->mesh);
    credits->page2 = MakePage(credits->mesh);
}

void FreeCredits()
{
    if (!credits) return;
    for (int page : {1, 2}) ShowCreditsPage(page, false);
    for (GameObject* page : {credits->page1, credits->page2}) {
        overlayList.remove(page);
        delete page;
    }
    LEMeshFree(credits->mesh);
    delete credits;
    credits = nullptr;
}

void ShowCreditsPage(int page, bool shown)
{
    if (!credits) return;
    GameObject* object = page == 1 ? credits->page1 : credits->page2;
    LETexture*& texture = page == 1 ? credits->page1Texture : credits->page2Texture;
    if (shown && !object->visible) {
        texture = LETextureLoad(PAGE_FILES[page == 1 ? 0 : 1]);
        object->texture = texture;
        PushScreen(object);
    } else if (!shown && object->visible) {
        object->texture = nullptr;
        LETextureUnload(texture);
        texture = nullptr;
        PopScreen(object);
    }
    object->visible = shown;
}

bool CreditsPageShown(int page)
{
    return credits && (page == 1 ? credits->page1 : credits->page2)->visible;
}
