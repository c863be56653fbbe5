// LEPlatform: the one interface between the engine and the operating system.
// Window, OpenGL context, the event pump that plays the window procedure, clock and
// sleep, message boxes, the single-instance lock and game-pads. LEPlatformSDL.cpp
// implements it over SDL2; nothing outside LECore/src calls SDL directly.
#pragma once

#include <cstddef>

#include <cstdint>
#include <string>

struct LEGamepadRaw {
    uint16_t buttons = 0;  // XInput button bits
    uint8_t leftTrigger = 0, rightTrigger = 0;
    int16_t leftX = 0, leftY = 0, rightX = 0, rightY = 0;  // y up, as XInput reports
};

enum LEMessageKind { LE_MESSAGE_INFO, LE_MESSAGE_WARNING, LE_MESSAGE_ERROR };

// Video and game-controller subsystems; false (with SDL's reason on stderr) when
// there is no display to open a window on.
bool LEPlatformStart();
// Has the system hand the program `bytes` of memory for the loads to come, at a
// quiet moment (a splash screen) rather than while a level loads.
void LEPlatformPrepareLoadMemory(size_t bytes);
void LEPlatformShutdown();

// Creates the window with the given client size, shown, with or without its
// border; false on failure.
bool LEPlatformCreateWindow(const char* title, int x, int y, int width, int height, bool borderless);
bool LEPlatformHasWindow();
// Whether the window has the keyboard focus now.
bool LEPlatformWindowHasFocus();
void LEPlatformClientSize(uint32_t* width, uint32_t* height);
void LEPlatformSetClientSize(int width, int height);
void LEPlatformWindowCorner(int* x, int* y);
void LEPlatformPlaceWindow(int x, int y, bool borderless);
void LEPlatformScreenSize(int* width, int* height);
bool LEPlatformCapsLock();

// OpenGL 3.3 core, forward compatible, double buffered; false on failure.
bool LEPlatformCreateGLContext();
void LEPlatformDestroyGLContext();
void LEPlatformSwapBuffers();
// Asks for vertical sync (a swap interval of 1) or none; says on standard
// error when the driver offers no vertical sync.
void LEPlatformSetVSync(bool on);
// The context's swap interval as the driver reports it: 0 none, 1 every
// vertical blank, -1 adaptive.
int LEPlatformSwapInterval();

// Drains pending events into the raw input slots and the window-exists flag.
void LEPlatformPumpEvents();
// Cursor in client pixels, as the window's own pointer events last placed it.
void LEPlatformCursorPosition(int* x, int* y);
// Windows virtual-key number for an SDL key, or -1 when the key has none: a
// letter by the SDL keycode it types (by its scancode where it types none),
// every other key by its scancode.
int LEPlatformVirtualKey(int scancode, int keycode = 0);
// KEY_PLACE_W to KEY_PLACE_D for the keys in the places of W, A, S and D, else -1.
int LEPlatformKeyPlace(int scancode);

// The folder that holds the running program, with a trailing '/'; empty when the
// system cannot say.
std::string LEPlatformProgramFolder();

uint64_t LEPlatformCounter();
uint64_t LEPlatformCounterFrequency();
void LEPlatformSleepMs(uint32_t milliseconds);

// Always writes "title: text" to stderr; shows a dialog only when someone can
// answer it (see LEPlatformDialogsAllowed).
void LEPlatformMessageBox(LEMessageKind kind, const char* title, const char* text);
// False under CI=true or EMBER_BASTION_NO_DIALOGS=1, and without a display.
bool LEPlatformDialogsAllowed();

// Synthetic input, queued as real events for the next pump, so the engine's own
// event handling and key table see it: the tests and the soak play through these.
// Keys are SDL scancodes (physical keys), buttons SDL's button numbers, and the
// pointer moves to a window pixel.
void LEPlatformInjectKey(int scancode, bool down);
void LEPlatformInjectMouseButton(int button, bool down);
void LEPlatformWarpMouse(int x, int y);

// System-wide named lock that dies with the process. False when another process
// already holds it.
bool LEPlatformAcquireLock(const char* name);
void LEPlatformReleaseLock();

bool LEPlatformPollGamepad(int index, LEGamepadRaw* raw);
void LEPlatformRumbleGamepad(int index, float left, float right);
