// Screens: the stack of open screens and the shared press tests (see Screens.h).
#include "Screens.h"

#include <algorithm>  // Required for: std::erase_if
#include <vector>

#include <LEInput.h>

#include "Button.h"
#include "Camera2D.h"
#include "ObjectRef.h"

// Bottom first. A reference turns null when its screen leaves the scene.
static std::vector<ObjectRef<GameObject>> screens;

static void ForgetClosed()
{
    std::erase_if(screens, [](const ObjectRef<GameObject>& screen) { return screen == nullptr; });
}

void PushScreen(GameObject* screen)
{
    if (!screen) return;
    PopScreen(screen);
    screens.emplace_back(screen);
}

void PopScreen(const GameObject* screen)
{
    std::erase_if(screens, [screen](const ObjectRef<GameObject>& open) { return open == screen; });
    ForgetClosed();
}

bool ScreenIsOpen(const GameObject* screen)
{
    return screen && std::find(screens.begin(), screens.end(), screen) != screens.end();
}

GameObject* TopScreen()
{
    ForgetClosed();
    return screens.empty() ? nullptr : screens.back().Get();
}

bool OnTopScreen(const GameObject* layer) { return TopScreen() == layer; }

bool ClickReaches(const GameObject* object, const GameObject* layer)
{
    return object && object->alive && object->visible && object->active && LEInputMouseTriggered(MOUSE_LEFT) &&
           OnTopScreen(layer);
}

bool TakeClick(const GameObject* object, const GameObject* layer, const Camera2D* camera)
{
    if (!camera || !ClickReaches(object, layer)) return false;
    if (!PointInBox(ScreenToWorld(camera, LEInputMousePosition()), object)) return false;
    LEInputMouseConsume(MOUSE_LEFT);
    return true;
}

bool TakeKey(const GameObject* layer, int key)
{
    if (!LEInputKeyTriggered(key) || !OnTopScreen(layer)) return false;
    LEInputKeyConsume(key);
    return true;
}
