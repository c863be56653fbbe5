// X11Probe: looks at the real program's window from outside, the way a window
// manager would: find it by title, read its geometry and pixels, ask it to close.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "TestEngine.h"

struct X11Window {
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

// Searches the X server's window tree for a viewable window with this exact title.
bool X11FindWindow(const std::string& title, X11Window* out);
// RGB (0xRRGGBB) of one pixel of the window.
uint32_t X11WindowPixel(const X11Window& window, int x, int y);
// Sends WM_DELETE_WINDOW, as the close button of a window manager does.
bool X11CloseWindow(const X11Window& window);
// Polls for a viewable window with this title until `ready` holds for it: false
// when `seconds` pass first or the program `pid` ends. The window last found is in `out`.
bool X11WaitForWindow(pid_t pid, const std::string& title, const std::function<bool(const X11Window&)>& ready,
                      int seconds, X11Window* out);

// The game as a child process, started in `folder` with its standard output and
// error written to files (one file when the paths are equal), optionally
// without any display, or with its dialogs shown even where the environment
// (CI) would keep them to standard error.
pid_t StartProgram(const std::string& program, const std::string& folder, const std::string& outPath,
                   const std::string& errPath, bool withoutDisplay = false, bool dialogs = false);
// Waits for a child to end: its exit code, 128 when a signal ended it, -1 when it
// still runs after `seconds`.
int WaitExit(pid_t pid, int seconds);
// Kills a child that still runs and reaps it; pid becomes -1.
void KillProgram(pid_t& pid);

// Process tests skip without a display, and fail without one when EB_REQUIRE_DISPLAY is set.
#define REQUIRE_DISPLAY()                                                     \
    do {                                                                      \
        if (!getenv("DISPLAY")) {                                             \
            if (getenv("EB_REQUIRE_DISPLAY")) FAIL() << "no display";         \
            GTEST_SKIP() << "no display";                                     \
        }                                                                     \
    } while (0)
