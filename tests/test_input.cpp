// Input: real SDL events through the engine's pump and key table, then the
// per-frame three-valued update, mouse mapping, wheel and game-pads.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <LEInput.h>
#include <LESystem.h>
#include <src/LEPlatform.h>

#include "TestEngine.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <functional>
#include <string>
#include <utility>

#include <X11/Xlib.h>  // last: its macros (None, Bool) must not reach the headers above
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using InputTest = EngineTest<1920, 1080>;

// Each update gives a key 2 (triggered), 1 (held) or 0 (up) from the events since the last.
TEST_F(InputTest, KeysAreTriggeredOnceThenHeldAndOnlyTheLastEventOfAnUpdateCounts)
{
    const struct {
        const char* what;
        int scancode, key;
        std::vector<std::vector<bool>> updates;  // the key events before each update
        std::vector<int> states;                 // LEKeys[key] after each update
    } cases[] = {
        {"held through auto-repeat", SDL_SCANCODE_W, KEY_W, {{true}, {true}, {false}}, {2, 1, 0}},
        {"pressed and released within one update", SDL_SCANCODE_E, KEY_E, {{true, false}}, {0}},
        {"released and pressed again within one update", SDL_SCANCODE_RETURN, KEY_ENTER, {{true}, {false, true}}, {2, 1}},
    };
    for (const auto& c : cases)
        for (size_t i = 0; i < c.updates.size(); ++i) {
            for (bool down : c.updates[i]) PushKeyEvent(c.scancode, down);
            LEInputUpdate();
            EXPECT_EQ(LEKeys[c.key], c.states[i]) << c.what << ", update " << i;
            EXPECT_EQ(LEInputKeyTriggered(c.key), c.states[i] == 2) << c.what << ", update " << i;
            EXPECT_EQ(LEInputKeyPressed(c.key), c.states[i] > 0) << c.what << ", update " << i;
        }
}

TEST_F(InputTest, KeyTableGivesWindowsVirtualKeys)
{
    const struct { int scancode, vk; } cases[] = {
        {SDL_SCANCODE_A, KEY_A}, {SDL_SCANCODE_Z, KEY_Z}, {SDL_SCANCODE_0, KEY_0}, {SDL_SCANCODE_9, KEY_9},
        {SDL_SCANCODE_ESCAPE, KEY_ESCAPE}, {SDL_SCANCODE_SPACE, KEY_SPACE}, {SDL_SCANCODE_KP_ENTER, KEY_ENTER},
        {SDL_SCANCODE_RSHIFT, KEY_SHIFT}, {SDL_SCANCODE_LCTRL, KEY_CONTROL}, {SDL_SCANCODE_LEFT, KEY_LEFT},
    };
    for (const auto& c : cases) EXPECT_EQ(LEPlatformVirtualKey(c.scancode), c.vk) << "scancode " << c.scancode;
    EXPECT_EQ(LEPlatformVirtualKey(SDL_SCANCODE_AUDIOPLAY), -1);
}

// An X server of the test's own: the layouts it sets and the keys it types
// reach no other test's window.
class PrivateDisplay {
public:
    bool Start()
    {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            // -noreset: a server that resets when its last client leaves writes
            // its number again, to a pipe long closed, and dies of it.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char number[16] = {};
        const ssize_t length = pid > 0 ? read(fds[0], number, sizeof number - 1) : -1;
        close(fds[0]);
        if (length <= 0) return false;
        name = ":" + std::string(number, strcspn(number, "\n"));
        return true;
    }
    ~PrivateDisplay()
    {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    std::string name;

private:
    pid_t pid = -1;
};

// Types a key on the X server by its keycode (its place) and pumps the
// engine's events until `seen` holds, then lets it go; false when it never did.
bool TypedAndSeen(Display* x, unsigned keycode, const std::function<bool()>& seen)
{
    XTestFakeKeyEvent(x, keycode, True, CurrentTime);
    XFlush(x);
    bool held = false;
    for (int i = 0; i < 200 && !held; ++i) {
        SDL_Delay(10);
        LEPlatformPumpEvents();
        LEInputUpdate();
        held = seen();
    }
    XTestFakeKeyEvent(x, keycode, False, CurrentTime);
    XFlush(x);
    for (int i = 0; i < 20; ++i) {
        SDL_Delay(10);
        LEPlatformPumpEvents();
        LEInputUpdate();
    }
    return held;
}

// A layout's letter rows laid on the keys of the X server, as a desktop's
// layout switch lays them: the keys labelled on the top, home and bottom rows,
// from their left (X keycodes 24, 38 and 52 on).
struct LayoutRows {
    const char* name;
    const char *top, *home, *bottom;
};

void LayRows(Display* x, const LayoutRows& layout)
{
    const auto keysym = [](char c) {
        const char* names[][2] = {{",", "comma"}, {".", "period"}, {";", "semicolon"}, {"'", "apostrophe"},
                                  {"/", "slash"}, {"=", "equal"}, {"-", "minus"}, {":", "colon"},
                                  {"!", "exclam"}, {"[", "bracketleft"}, {"]", "bracketright"}};
        for (const auto& [text, name] : names)
            if (text[0] == c) return XStringToKeysym(name);
        return XStringToKeysym(std::string(1, c).c_str());
    };
    const std::pair<int, const char*> rows[] = {{24, layout.top}, {38, layout.home}, {52, layout.bottom}};
    for (const auto& [first, keys] : rows)
        for (int i = 0; keys[i]; ++i) {
            KeySym both[2] = {keysym(keys[i]), keysym(char(toupper(keys[i])))};
            XChangeKeyboardMapping(x, first + i, 2, both, 1);
        }
    XSync(x, False);
}

// On any layout a letter is read by what the key types (Q quits where Q is
// printed: at the place of A on a French keyboard), and the walking keys and
// the digits by their places, where every layout keeps them.
TEST(KeyboardLayouts, LettersFollowTheLayoutAndTheHeroWalksByPlace)
{
    if (!getenv("DISPLAY") && !getenv("EB_REQUIRE_DISPLAY")) GTEST_SKIP() << "no display";
    const LayoutRows layouts[] = {{"US", "qwertyuiop[]", "asdfghjkl;'", "zxcvbnm,./"},
                                  {"French AZERTY", "azertyuiop", "qsdfghjklm", "wxcvbn,;:!"},
                                  {"US Dvorak", "',.pyfgcrl/=", "aoeuidhtns-", ";qjkxbmwvz"}};
    const struct { KeySym label; int key; } letters[] = {
        {XK_q, KEY_Q}, {XK_r, KEY_R}, {XK_n, KEY_N}, {XK_p, KEY_P}, {XK_e, KEY_E}, {XK_f, KEY_F}, {XK_a, KEY_A}};
    // X keycodes of the keys labelled W, A, S, D and 1 on a US keyboard.
    const struct { unsigned keycode; int key; } places[] = {
        {25, KEY_PLACE_W}, {38, KEY_PLACE_A}, {39, KEY_PLACE_S}, {40, KEY_PLACE_D}, {10, KEY_1}};
    PrivateDisplay server;
    ASSERT_TRUE(server.Start()) << "Xvfb did not start";
    const std::string shared = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    setenv("DISPLAY", server.name.c_str(), 1);
    for (const LayoutRows& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Display* x = XOpenDisplay(server.name.c_str());
        ASSERT_NE(x, nullptr);
        LayRows(x, layout);
        ASSERT_TRUE(StartTestEngine(640, 480));
        for (const auto& [label, key] : letters) {
            int lettersHeld = 0;
            EXPECT_TRUE(TypedAndSeen(x, XKeysymToKeycode(x, label), [&, key = key] {
                lettersHeld = 0;
                for (int k = KEY_A; k <= KEY_Z; ++k) lettersHeld += LEInputKeyPressed(k);
                return LEInputKeyPressed(key);
            })) << "the key labelled " << XKeysymToString(label);
            EXPECT_EQ(lettersHeld, 1) << "the key labelled " << XKeysymToString(label) << " reads as one letter";
        }
        for (const auto& [keycode, key] : places)
            EXPECT_TRUE(TypedAndSeen(x, keycode, [key = key] { return LEInputKeyPressed(key); }))
                << "the key at X keycode " << keycode;
        XCloseDisplay(x);
        StopTestEngine();
    }
    setenv("DISPLAY", shared.c_str(), 1);
}

TEST_F(InputTest, AltIsStoredInSlotTenNeverEighteenAndKeyCodesOutsideTheTableAreIgnored)
{
    PushKeyEvent(SDL_SCANCODE_LALT, true);
    LEInputRawKey(256, true);
    LEInputRawKey(70000, true);
    LEInputRawKey(-1, true);
    LEInputUpdate();
    for (int k = 0; k < KEY_COUNT; ++k) EXPECT_EQ(LEKeys[k], k == KEY_ALT_SLOT ? 2 : 0) << "key " << k;
    EXPECT_FALSE(LEInputKeyPressed(256));
}

TEST_F(InputTest, MouseButtonsFollowTheKeyRuleAndTheLastWheelEventOfAnUpdateCounts)
{
    PushMouseButtonEvent(SDL_BUTTON_LEFT, true);
    PushMouseButtonEvent(SDL_BUTTON_RIGHT, true);
    PushWheelEvent(2.0f);
    PushWheelEvent(-1.0f);
    LEInputUpdate();
    EXPECT_TRUE(LEInputMouseTriggered(MOUSE_LEFT) && LEInputMouseTriggered(MOUSE_RIGHT));
    EXPECT_FALSE(LEInputMousePressed(MOUSE_MIDDLE) || LEInputMouseTriggered(3));
    EXPECT_FLOAT_EQ(LEInputMouseWheel(), -1.0f);
    PushMouseButtonEvent(SDL_BUTTON_LEFT, false);
    LEInputUpdate();
    EXPECT_FALSE(LEInputMousePressed(MOUSE_LEFT));
    EXPECT_EQ(LEMouseButtons[MOUSE_RIGHT], 1);
    EXPECT_FLOAT_EQ(LEInputMouseWheel(), 0.0f);
}

TEST_F(InputTest, CursorMapsToCentredYUpPixels)
{
    EXPECT_TRUE(Near(LEInputMapCursor(0, 0, 1920, 1080), {-960, 540}));
    EXPECT_TRUE(Near(LEInputMapCursor(1920, 1080, 1920, 1080), {960, -540}));

    // The real pointer, moved on the X server, read back through the engine.
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    SDL_WarpMouseInWindow(window, 0, 0);
    LEInputUpdate();
    EXPECT_TRUE(Near(LEInputMousePosition(), {-960, 540}));
    EXPECT_TRUE(LEInputMouseInWindow());

    SDL_WarpMouseInWindow(window, 1000, 500);
    LEInputUpdate();
    EXPECT_TRUE(Near(LEInputMousePosition(), {40, 40}));
    EXPECT_TRUE(Near(LEInputMouseDelta(), {1000, -500}));

    // Another program moves the pointer, as xdotool does, with no button held:
    // the position follows the window's own events.
    int left = 0, top = 0;
    SDL_GetWindowPosition(window, &left, &top);
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, left + 300, top + 200);
    XSync(display, False);
    XCloseDisplay(display);
    for (int tries = 0; tries < 50 && !Near(LEInputMousePosition(), {-660, 340}); ++tries) {
        SDL_Delay(10);
        LEInputUpdate();
    }
    EXPECT_TRUE(Near(LEInputMousePosition(), {-660, 340}));
}

TEST(GamepadMath, SticksLoseTheirDeadZoneAndReachOneAtFullTilt)
{
    EXPECT_FLOAT_EQ(LEGamepadNormalise(7849, 0, 7849).x, 0.0f);
    EXPECT_FLOAT_EQ(LEGamepadNormalise(32767, 0, 7849).x, 1.0f);
    EXPECT_FLOAT_EQ(LEGamepadNormalise(0, -32768, 7849).y, -1.0f);
    EXPECT_NEAR(LEGamepadNormalise(0, (32767 + 7849) / 2.0f, 7849).y, 0.5f, 1e-4f);
}

// A virtual game controller from SDL stands in for a real pad being plugged in,
// moved and pulled out.
TEST_F(InputTest, VirtualPadIsFoundWithinTwoSecondsAndDroppedWhenItDisappears)
{
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);

    // The frame time stays at its start value of 1/60 s: 121 updates are two seconds.
    int frames = 0;
    while (!LEGamepadState(0).connected && frames < 121) {
        LEInputUpdate();
        ++frames;
    }
    ASSERT_TRUE(LEGamepadState(0).connected) << "pad not noticed within two seconds of frames";
    LEInputUpdate();
    EXPECT_FLOAT_EQ(LEGamepadState(0).leftStick.x, 1.0f);
    EXPECT_FLOAT_EQ(LEGamepadState(0).rightTrigger, 1.0f);
    EXPECT_EQ(LEGamepadState(0).buttons & 0x1000, 0x1000);

    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    LEInputUpdate();
    EXPECT_FALSE(LEGamepadState(0).connected);
}
