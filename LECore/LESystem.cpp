// LESystem: window management and the frame-rate controller (see LESystem.h).
// Owns the system globals below; the platform layer does the actual window work.
#include "LESystem.h"

#include <algorithm>  // Required for: std::max
#include <cmath>      // Required for: std::floor

#include "src/LEPlatform.h"

double LEMaxFrameRate = 60.0;

static struct {
    uint32_t width = 1920, height = 1080;
    LEWindowExtents extents{-960.0f, 960.0f, -540.0f, 540.0f};
    bool exists = false;
    bool active = false;  // has the keyboard focus
    bool fullscreen = false;
    int savedX = 800, savedY = 600;
    uint32_t savedWidth = 800, savedHeight = 600;
    double frameStart = 0.0, frameEnd = 0.0;
    double frameRate = 60.0;
    double frameTime = 1.0 / 60.0;
    uint32_t frameCounter = 0;
    double fixedFrameTime = 0.0;
    int loadDepth = 0;
    double loadStart = 0.0;
    double loadSeconds = 0.0;  // spent loading since the frame began
} sys;

static void ComputeExtents()
{
    sys.extents = {-float(sys.width) / 2.0f, float(sys.width) / 2.0f,
                   -float(sys.height) / 2.0f, float(sys.height) / 2.0f};
}

bool LESystemStart(const char* title, int x, int y, uint32_t width, uint32_t height, bool fullscreen)
{
    sys.width = width;
    sys.height = height;
    sys.fullscreen = fullscreen;
    if (fullscreen) {
        // Opened in its full-screen place at once: moving a shown window there
        // afterwards makes the window system wait for the move.
        sys.savedX = x;
        sys.savedY = y;
        sys.savedWidth = width;
        sys.savedHeight = height;
        int screenW = 0, screenH = 0;
        LEPlatformScreenSize(&screenW, &screenH);
        sys.width = uint32_t(screenW);
        sys.height = uint32_t(screenH);
        x = y = 0;
    }
    ComputeExtents();
    if (!LEPlatformCreateWindow(title, x, y, int(sys.width), int(sys.height), fullscreen)) return false;
    sys.exists = true;
    // Read, not assumed: a window manager may leave the new window unfocused, and
    // then the level must stay frozen until the player clicks it.
    sys.active = LEPlatformWindowHasFocus();
    return true;
}

void LESystemResetFrameTiming()
{
    sys.frameCounter = 0;
    LEMaxFrameRate = 60.0;
    sys.frameRate = 60.0;
    sys.frameTime = 1.0 / 60.0;
}

uint32_t LEWindowWidth() { return sys.width; }
uint32_t LEWindowHeight() { return sys.height; }
LEWindowExtents LEWindowGetExtents() { return sys.extents; }
bool LEWindowExists() { return sys.exists; }
bool LEWindowIsActive() { return sys.exists && sys.active; }
bool LEWindowIsFullscreen() { return sys.fullscreen; }
void LESystemWindowDestroyed() { sys.exists = false; }
void LESystemWindowFocus(bool active) { sys.active = active; }

void LEWindowSetSize(uint32_t width, uint32_t height)
{
    if (width == sys.width && height == sys.height) return;
    sys.width = width;
    sys.height = height;
    LEPlatformSetClientSize(int(width), int(height));
    ComputeExtents();
}

void LEWindowSetFullscreen(bool on)
{
    if (on == sys.fullscreen) return;
    sys.fullscreen = on;
    int screenW = 0, screenH = 0;
    LEPlatformScreenSize(&screenW, &screenH);

    int x = 0, y = 0;
    if (on) {
        // Remember where the window was so that leaving full screen puts it back.
        sys.savedWidth = sys.width;
        sys.savedHeight = sys.height;
        LEPlatformWindowCorner(&sys.savedX, &sys.savedY);
        LEWindowSetSize(uint32_t(screenW), uint32_t(screenH));
    } else {
        x = sys.savedX;
        y = sys.savedY;
        LEWindowSetSize(sys.savedWidth, sys.savedHeight);
    }
    LEPlatformPlaceWindow(x, y, on);
}

void LEGraphicsSetVSync(bool on)
{
    if (on != LEGraphicsVSync()) LEPlatformSetVSync(on);
}

// What the context does, not what was asked of it.
bool LEGraphicsVSync() { return LEPlatformSwapInterval() != 0; }

double LEFrameTime() { return sys.frameTime; }
double LEFrameRate() { return sys.frameRate; }
uint32_t LEFrameCounter() { return sys.frameCounter; }

double LEClockSeconds()
{
    const uint64_t counter = LEPlatformCounter();
    const uint64_t frequency = LEPlatformCounterFrequency();
    // Whole seconds and the remainder separately keep the precision of a large counter.
    return double(counter / frequency) + double(counter % frequency) / double(frequency);
}

void LESystemFrameBegin()
{
    sys.frameStart = LEClockSeconds();
    sys.loadSeconds = 0.0;
    if (!LEPlatformHasWindow()) return;
    uint32_t w = sys.width, h = sys.height;
    LEPlatformClientSize(&w, &h);
    if (w != sys.width || h != sys.height) {
        sys.width = w;
        sys.height = h;
    }
    ComputeExtents();
}

void LESystemFrameEnd()
{
    if (sys.fixedFrameTime > 0.0) {
        sys.frameCounter += 1;
        sys.frameTime = sys.fixedFrameTime;
        sys.frameRate = 1.0 / sys.frameTime;
        return;
    }
    sys.frameEnd = LEClockSeconds();
    const double remaining = 1.0 / LEMaxFrameRate - (sys.frameEnd - sys.frameStart - sys.loadSeconds);
    if (remaining > 0.0) {
        LEPlatformSleepMs(uint32_t(std::floor(remaining * 1000.0)));
        sys.frameEnd = LEClockSeconds();
    }
    sys.frameCounter += 1;
    sys.frameTime = std::max(sys.frameEnd - sys.frameStart - sys.loadSeconds, 1e-6);
    sys.frameRate = 1.0 / sys.frameTime;
}

void LEFrameLoadBegin()
{
    if (sys.loadDepth++ == 0) sys.loadStart = LEClockSeconds();
}

void LEFrameLoadEnd()
{
    if (sys.loadDepth == 0) return;
    if (--sys.loadDepth == 0) sys.loadSeconds += LEClockSeconds() - sys.loadStart;
}

void LESystemSetFixedFrameTime(double seconds) { sys.fixedFrameTime = seconds > 0.0 ? seconds : 0.0; }
