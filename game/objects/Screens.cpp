// Screens: the stack of open screens and the shared press tests (see Screens.h).
#include "Screens.h"

#include <algorithm>  // Required for: std::erase_if
#include <vector>

#include <LEInput.h>
#include <LESystem.h>

#include "Button.h"
#include "Camera2D.h"
#include "ObjectRef.h"

// Bottom first. A reference turns null when its screen leaves the scene.
static std::vector<ObjectRef<GameObject>> screens;

static struct {
    std::vector<PressAction> actions;
    uint32_t frame = UINT32_MAX;  // the frame the actions belong to
} pressLog;

const std::vector<PressAction>& PressActionsThisFrame()
{
    if (pressLog.frame != LEFrameCounter()) {
        pressLog.actions.clear();
        pressLog.frame = LEFrameCounter();
    }
    return pressLog.actions;
}

void NotePressAction(std::string what, const GameObject* taker)
{
    PressActionsThisFrame();  // a new frame starts a new list
    pressLog.actions.push_back({std::move(what), taker});
}

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

std::vector<GameObject*> OpenScreens()
{
    ForgetClosed();
    std::vector<GameObject*> open;
    for (const ObjectRef<GameObject>& screen : screens) open.push_back(screen.Get());
    return open;
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
    NotePressAction(object->name, object);
    return true;
}

bool TakeKey(const GameObject* layer, int key)
{
    if (!LEInputKeyTriggered(key) || !OnTopScreen(layer)) return false;
    LEInputKeyConsume(key);
    NotePressAction("key " + std::to_string(key));
    return true;
}
