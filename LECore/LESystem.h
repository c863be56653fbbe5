// LESystem: the window, full screen and client size, vertical sync and the
// frame-rate controller. Owns the window size and extents, the full-screen and
// swap-interval flags, the frame clock readings, frame time, rate and counter.
// Called by start-up, the frame loop, the settings screen and everything that reads
// the frame time as its time step.
#pragma once

#include <cstdint>

extern double LEMaxFrameRate;

struct LEWindowExtents {
    float left, right, bottom, top;
};

// Creates the window at (x, y) with the given client size; false on failure.
// In full screen the window opens borderless over the whole display instead,
// and leaving full screen later puts it at (x, y) with the given size.
bool LESystemStart(const char* title, int x, int y, uint32_t width, uint32_t height, bool fullscreen = false);
// Frame counter 0, cap 60, rate 60, frame time 1/60.
void LESystemResetFrameTiming();

uint32_t LEWindowWidth();
uint32_t LEWindowHeight();
LEWindowExtents LEWindowGetExtents();
bool LEWindowExists();
bool LEWindowIsActive();
void LEWindowSetFullscreen(bool on);
bool LEWindowIsFullscreen();
void LEWindowSetSize(uint32_t width, uint32_t height);
// Asks the GL context for vertical sync: one vertical blank a frame.
void LEGraphicsSetVSync(bool on);
// Whether the context syncs now: what took effect, read from the driver.
bool LEGraphicsVSync();

double LEFrameTime();
double LEFrameRate();
uint32_t LEFrameCounter();

// Seconds of the high-resolution clock.
double LEClockSeconds();

// The frame-rate controller around one frame of the loop: FrameBegin reads the
// clock and the client size; FrameEnd sleeps to the 1/LEMaxFrameRate boundary
// and measures the frame, less the time it spent loading.
void LESystemFrameBegin();
void LESystemFrameEnd();

// Loading inside a frame (a picture, a font, a sound, the driver's warm-up):
// the time from Begin to End is left out of the frame's time step, and the
// rest of the frame is paced as any frame is, so the game's timers go on from
// where they were instead of jumping by the load. Nested loads count once.
void LEFrameLoadBegin();
void LEFrameLoadEnd();
// The loaders' guard: the time of the scope it lives in is loading.
struct LEFrameLoadScope {
    LEFrameLoadScope() { LEFrameLoadBegin(); }
    ~LEFrameLoadScope() { LEFrameLoadEnd(); }
    LEFrameLoadScope(const LEFrameLoadScope&) = delete;
    LEFrameLoadScope& operator=(const LEFrameLoadScope&) = delete;
};

// Deterministic stepping for tests and tools: with a positive value every frame
// lasts exactly that long and the controller never sleeps; 0 restores the clock.
void LESystemSetFixedFrameTime(double seconds);

// Called by the event pump when the window is closed or destroyed.
void LESystemWindowDestroyed();
// Called by the event pump when the window gains or loses the keyboard focus.
void LESystemWindowFocus(bool active);
