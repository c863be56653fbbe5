// LEInput: the per-frame input update and its queries (see LEInput.h).
// Owns every input global; the platform pump writes raw values, the frame loop
// calls LEInputUpdate once per frame before the state's Update.
#include "LEInput.h"

#include <algorithm>  // Required for: std::min
#include <cmath>      // Required for: std::sqrt
#include <cstring>    // Required for: memset
#include <iterator>   // Required for: std::begin, std::end

#include "LESystem.h"
#include "src/LEPlatform.h"

uint8_t LEKeys[KEY_COUNT];
uint8_t LEMouseButtons[MOUSE_BUTTON_COUNT];

static struct {
    uint8_t previousKeys[KEY_COUNT];
    uint8_t previousButtons[MOUSE_BUTTON_COUNT];
    Vector2 position, previousPosition, delta;
    float wheel = 0.0f, pendingWheel = 0.0f;
    bool inWindow = false;
    LEGamepad pads[LE_GAMEPAD_COUNT], previousPads[LE_GAMEPAD_COUNT];
    double padPollTimer = 0.0;
} input;

bool LEInputKeyTriggered(int key) { return key >= 0 && key < KEY_COUNT && LEKeys[key] == 2; }
bool LEInputKeyPressed(int key) { return key >= 0 && key < KEY_COUNT && LEKeys[key] > 0; }

bool LEInputMouseTriggered(int button)
{
    return button >= 0 && button < MOUSE_BUTTON_COUNT && LEMouseButtons[button] == 2;
}

bool LEInputMousePressed(int button)
{
    return button >= 0 && button < MOUSE_BUTTON_COUNT && LEMouseButtons[button] > 0;
}

// A taken press reads as up now and after the next update too (its previous
// state is up as well); releasing it and pressing again triggers afresh.
void LEInputKeyConsume(int key)
{
    if (key < 0 || key >= KEY_COUNT) return;
    LEKeys[key] = input.previousKeys[key] = 0;
}

void LEInputMouseConsume(int button)
{
    if (button < 0 || button >= MOUSE_BUTTON_COUNT) return;
    LEMouseButtons[button] = input.previousButtons[button] = 0;
}

Vector2 LEInputMousePosition() { return input.position; }
Vector2 LEInputMouseDelta() { return input.delta; }
float LEInputMouseWheel() { return input.wheel; }
bool LEInputMouseInWindow() { return input.inWindow; }

const LEGamepad& LEGamepadState(int index)
{
    return input.pads[std::clamp(index, 0, LE_GAMEPAD_COUNT - 1)];
}

void LEInputReset()
{
    memset(LEKeys, 0, sizeof LEKeys);
    memset(input.previousKeys, 0, sizeof input.previousKeys);
    memset(LEMouseButtons, 0, sizeof LEMouseButtons);
    memset(input.previousButtons, 0, sizeof input.previousButtons);
    input.pendingWheel = input.wheel = 0.0f;
}

void LEInputRawKey(int virtualKey, bool down)
{
    if (virtualKey == KEY_ALT) virtualKey = KEY_ALT_SLOT;
    if (virtualKey < 0 || virtualKey >= KEY_COUNT) return;
    LEKeys[virtualKey] = down ? 1 : 0;
}

void LEInputRawMouseButton(int button, bool down)
{
    if (button < 0 || button >= MOUSE_BUTTON_COUNT) return;
    LEMouseButtons[button] = down ? 1 : 0;
}

void LEInputRawWheel(float notches) { input.pendingWheel = notches; }

Vector2 LEInputMapCursor(int cursorX, int cursorY, uint32_t width, uint32_t height)
{
    return {float(cursorX) - float(width) / 2.0f, float(height) / 2.0f - float(cursorY)};
}

// A raw down value becomes 2 on its first update and 1 while it stays down.
static void UpdateThreeValued(uint8_t* current, uint8_t* previous, int count)
{
    for (int i = 0; i < count; ++i) {
        if (current[i]) current[i] = previous[i] ? 1 : 2;
        previous[i] = current[i];
    }
}

void LEInputUpdate()
{
    LEPlatformPumpEvents();

    int cx = 0, cy = 0;
    LEPlatformCursorPosition(&cx, &cy);
    const uint32_t w = LEWindowWidth(), h = LEWindowHeight();
    input.inWindow = cx >= 0 && cy >= 0 && uint32_t(cx) <= w && uint32_t(cy) <= h;

    input.wheel = input.pendingWheel;
    input.pendingWheel = 0.0f;

    input.position = LEInputMapCursor(cx, cy, w, h);
    input.delta = Vector2Sub(input.position, input.previousPosition);
    input.previousPosition = input.position;

    UpdateThreeValued(LEKeys, input.previousKeys, KEY_COUNT);
    UpdateThreeValued(LEMouseButtons, input.previousButtons, MOUSE_BUTTON_COUNT);

    LEGamepadUpdate(LEFrameTime());
}

Vector2 LEGamepadNormalise(float x, float y, float deadZone)
{
    const float m = std::sqrt(x * x + y * y);
    if (m <= deadZone) return {0.0f, 0.0f};
    const Vector2 direction = (m > -0.00001f && m < 0.00001f) ? Vector2{0.0f, 0.0f} : Vector2{x / m, y / m};
    const float scale = (std::min(m, 32767.0f) - deadZone) / (32767.0f - deadZone);
    return {direction.x * scale, direction.y * scale};
}

static float NormaliseTrigger(uint8_t raw)
{
    return raw >= LE_GAMEPAD_TRIGGER_THRESHOLD
               ? float(raw - LE_GAMEPAD_TRIGGER_THRESHOLD) / float(255 - LE_GAMEPAD_TRIGGER_THRESHOLD)
               : 0.0f;
}

// Polls one pad; a pad that no longer answers is marked disconnected.
static void PollPad(int index)
{
    LEGamepad& pad = input.pads[index];
    LEGamepadRaw raw;
    pad.connected = LEPlatformPollGamepad(index, &raw) ? 1 : 0;
    if (!pad.connected) return;
    pad.buttons = raw.buttons;
    pad.rawLeftTrigger = raw.leftTrigger;
    pad.rawRightTrigger = raw.rightTrigger;
    pad.rawLeftX = raw.leftX;
    pad.rawLeftY = raw.leftY;
    pad.rawRightX = raw.rightX;
    pad.rawRightY = raw.rightY;
}

void LEGamepadUpdate(double frameTime)
{
    std::copy(std::begin(input.pads), std::end(input.pads), std::begin(input.previousPads));

    // Disconnected pads are looked for again only every two seconds.
    input.padPollTimer += frameTime;
    const bool pollAll = input.padPollTimer >= 2.0;
    if (pollAll) input.padPollTimer -= 2.0;
    for (int i = 0; i < LE_GAMEPAD_COUNT; ++i)
        if (pollAll || input.pads[i].connected) PollPad(i);

    for (LEGamepad& pad : input.pads) {
        if (!pad.connected) continue;
        pad.leftStick = LEGamepadNormalise(pad.rawLeftX, pad.rawLeftY, LE_GAMEPAD_LEFT_DEADZONE);
        pad.rightStick = LEGamepadNormalise(pad.rawRightX, pad.rawRightY, LE_GAMEPAD_RIGHT_DEADZONE);
        pad.leftTrigger = NormaliseTrigger(pad.rawLeftTrigger);
        pad.rightTrigger = NormaliseTrigger(pad.rawRightTrigger);
    }
}

void LEGamepadReset()
{
    for (int i = 0; i < LE_GAMEPAD_COUNT; ++i)
        if (input.pads[i].connected) LEPlatformRumbleGamepad(i, 0.0f, 0.0f);
    for (int i = 0; i < LE_GAMEPAD_COUNT; ++i) input.pads[i] = input.previousPads[i] = LEGamepad{};
    for (int i = 0; i < LE_GAMEPAD_COUNT; ++i) PollPad(i);
    input.padPollTimer = 0.0;
}
