// Button: a clickable GameObject with a click sound. Its owner asks IsClicked once
// per frame; menus test the mouse against boxes with PointInBox and IsMouseOver.
#pragma once

#include <LEAudio.h>

#include "GameObject.h"

struct Camera2D;

struct Button : GameObject {
    uint32_t clickCount = 0;        // clicks reported by IsClicked since the last Unload
    SoundAsset* clickSound = nullptr;
    SoundChannel clickChannel;      // prepared paused for the first click

    Button();
    void Unload() override;
};

// True in the frame the left button goes down over the shown, active button
// (through levelCamera) while its screen, `layer` (null for the level's field),
// is on top; takes the press, counts the click and plays the click sound.
bool IsClicked(Button* button, const GameObject* layer = nullptr);
// The mouse, through the camera, lies in the object's box.
bool IsMouseOver(const Camera2D* camera, const GameObject* object);
// |point - position| <= |scale| / 2 on both axes, edges included.
bool PointInBox(Vector2 point, const GameObject* object);
// Two objects' boxes overlap unless one lies strictly beyond the other on an axis.
bool BoxesOverlap(const GameObject* a, const GameObject* b);
