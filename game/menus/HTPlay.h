// HTPlay: the how-to-play screen, sixteen lines of text that its owner (the main
// menu, or a level's pause menu) opens over its own screen by setting `open`
// and pushing it on the screen stack, and that close again with Escape. The owner sees `open` fall and shows its own
// screen again.
#pragma once

#include <src/LEFont.h>

#include "objects/GameObject.h"

struct TextLabel;

constexpr int HOW_TO_PLAY_LINES = 16;

struct HTPlay : GameObject {
    bool open = false;
    LEFont* font = nullptr;  // owned
    TextLabel* lines[HOW_TO_PLAY_LINES] = {};

    HTPlay();
    ~HTPlay() override;
    void Update() override;

    void SetLinesVisible(bool visible);
};
