// LEInput: keyboard, mouse-button, mouse-position, wheel and game-pad state.
// Owns the key and button arrays (current and previous), the mouse globals and the
// four game-pad records. The platform's event pump writes raw down/up values into
// the current arrays through the LEInputRaw* functions; LEInputUpdate, called once
// per frame by the frame loop, turns them into 0 up / 2 triggered / 1 held.
// Key codes are the Windows virtual-key numbers, letters by what the key types
// on the player's layout; Alt is stored in slot 10.
#pragma once

#include <cstdint>

#include "LEMath.h"

enum : int {
    KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_ALT_SLOT = 10, KEY_ENTER = 13,
    KEY_SHIFT = 16, KEY_CONTROL = 17, KEY_ALT = 18, KEY_ESCAPE = 27, KEY_SPACE = 32,
    KEY_PAGE_UP = 33, KEY_PAGE_DOWN = 34, KEY_END = 35, KEY_HOME = 36,
    KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40, KEY_DELETE = 46,
    KEY_0 = 48, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_A = 65, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K,
    KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V,
    KEY_W, KEY_X, KEY_Y, KEY_Z,
    // The four keys in the places of W, A, S and D on a US keyboard, whatever
    // their labels (Z, Q, S, D on a French one): the hero walks by place. They
    // take four slots Windows leaves unassigned; the letter a key types is set
    // beside its place.
    KEY_PLACE_W = 0x88, KEY_PLACE_A, KEY_PLACE_S, KEY_PLACE_D,
    KEY_COUNT = 256,
};

enum : int { MOUSE_LEFT = 0, MOUSE_RIGHT = 1, MOUSE_MIDDLE = 2, MOUSE_BUTTON_COUNT = 3 };

enum : int { LE_GAMEPAD_COUNT = 4 };

// One game-pad on the XInput scale (raw values as XInput would report them).
struct LEGamepad {
    uint8_t connected = 0;
    uint16_t buttons = 0;
    uint8_t rawLeftTrigger = 0, rawRightTrigger = 0;
    int16_t rawLeftX = 0, rawLeftY = 0, rawRightX = 0, rawRightY = 0;
    Vector2 leftStick, rightStick;
    float leftTrigger = 0.0f, rightTrigger = 0.0f;
    float leftMotor = 0.0f, rightMotor = 0.0f;
};

// XInput's default dead zones and trigger threshold.
constexpr int LE_GAMEPAD_LEFT_DEADZONE = 7849;
constexpr int LE_GAMEPAD_RIGHT_DEADZONE = 8689;
constexpr int LE_GAMEPAD_TRIGGER_THRESHOLD = 30;

// Current key and button states; game code may read them directly.
extern uint8_t LEKeys[KEY_COUNT];
extern uint8_t LEMouseButtons[MOUSE_BUTTON_COUNT];

bool LEInputKeyTriggered(int key);
bool LEInputKeyPressed(int key);
bool LEInputMouseTriggered(int button);
bool LEInputMousePressed(int button);
// Takes the current press of a key or button: from now until it is released and
// pressed again, it reads as up, so one press does one thing however long it is
// held. Whoever acts on a press takes it.
void LEInputKeyConsume(int key);
void LEInputMouseConsume(int button);
Vector2 LEInputMousePosition();
Vector2 LEInputMouseDelta();
float LEInputMouseWheel();
bool LEInputMouseInWindow();
const LEGamepad& LEGamepadState(int index);

// Clears both key arrays and both button arrays (start-up).
void LEInputReset();
// The per-frame update: pump events, read the cursor, then the three-valued states.
void LEInputUpdate();
// Stops vibration, clears all pad records and polls the four pads again.
void LEGamepadReset();
void LEGamepadUpdate(double frameTime);

// Maps a cursor position in client pixels to the centred, y-up mouse position.
Vector2 LEInputMapCursor(int cursorX, int cursorY, uint32_t width, uint32_t height);
// Dead-zone normalisation of a raw stick on the XInput scale.
Vector2 LEGamepadNormalise(float x, float y, float deadZone);

// Raw writers for the event pump (the window procedure of the engine).
// Alt (18) goes to slot 10; codes outside 0..255 are ignored.
void LEInputRawKey(int virtualKey, bool down);
void LEInputRawMouseButton(int button, bool down);
// A later wheel event before the next update replaces the pending value.
void LEInputRawWheel(float notches);
