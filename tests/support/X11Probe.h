// X11Probe: looks at the real program's window from outside, the way a window
// manager would: find it by title, read its geometry and pixels, ask it to close.
#pragma once

#include <cstdint>
#include <string>

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
