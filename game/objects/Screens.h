// Screens: the screens open over a state (the pause menu and its settings,
// how-to-play and confirmation boxes, the main menu's, the shop, the character
// selection, a level's controls text) in the order they opened, and the press
// tests every clickable thing shares. The screen on top owns the pointer and
// the keys it uses; the state's own field (layer null) has them only while no
// screen is open; and a press is taken by the one thing that acts on it.
// Every action on a press is noted for the frame it happens in, so that a
// press acted on twice can be seen.
// Screens are pushed by whoever opens them and popped when they close; one
// that leaves the scene leaves the stack by itself.
#pragma once

#include <string>
#include <vector>

#include "GameObject.h"

struct Camera2D;

// Puts the screen on top (once, wherever it stood before).
void PushScreen(GameObject* screen);
// Takes the screen off the stack, wherever it stands.
void PopScreen(const GameObject* screen);
bool ScreenIsOpen(const GameObject* screen);
// The open screens, bottom first.
std::vector<GameObject*> OpenScreens();
// The screen on top, or null while none is open.
GameObject* TopScreen();
// The things of `layer` (a screen, or null for the state's field) have the input.
bool OnTopScreen(const GameObject* layer);

// The left button went down this frame over `object` (its box, through the
// camera), which is shown and acts, on the screen on top. Takes the press.
bool TakeClick(const GameObject* object, const GameObject* layer, const Camera2D* camera);
// The left button went down this frame, not yet taken, on the screen on top, at
// an object that is shown and acts. The caller tests where, and takes the press.
bool ClickReaches(const GameObject* object, const GameObject* layer);
// The key went down this frame and `layer` is on top. Takes the press.
bool TakeKey(const GameObject* layer, int key);

// One action a press caused: what was done, and the object whose box took the
// click (null for keys, and for presses acted on wherever the pointer is).
struct PressAction {
    std::string what;
    const GameObject* taker = nullptr;  // compared, never followed
};
// The press tests note their own actions; handlers that act on a press
// directly (a strike, a drop, a cheat, an end-screen key) note theirs.
void NotePressAction(std::string what, const GameObject* taker = nullptr);
// The actions noted in the current frame (the list starts afresh every frame).
const std::vector<PressAction>& PressActionsThisFrame();
