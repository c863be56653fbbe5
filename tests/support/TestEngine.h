// TestEngine: brings the real engine up for a test (platform, window, GL device,
// input) and down again, and injects input as real SDL events so that the
// engine's own event pump and key table handle it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Starts the engine with a window of the given client size; false without a display.
bool StartTestEngine(uint32_t width = 1280, uint32_t height = 720);
void StopTestEngine();

// Skips the current test when there is no display and EB_REQUIRE_DISPLAY is unset;
// fails it when the variable is set (CI always has Xvfb).
#define REQUIRE_ENGINE(w, h)                                                         \
    do {                                                                             \
        if (!StartTestEngine(w, h)) {                                                \
            if (getenv("EB_REQUIRE_DISPLAY")) FAIL() << "no display for the engine"; \
            GTEST_SKIP() << "no display";                                            \
        }                                                                            \
    } while (0)

// Sound on SDL's disk driver: a real pool of sound channels without a sound card,
// its output written to a file.
void StartDiskAudio(const char* output = "/dev/null");
void StopDiskAudio();

void PushKeyEvent(int scancode, bool down);
void PushMouseButtonEvent(int sdlButton, bool down);
void PushWheelEvent(float notches);
void PushWindowCloseEvent();

// RGBA of one pixel of the back buffer, bottom-left origin.
uint32_t ReadPixelRGBA(int x, int y);

// Runs a command with stdout captured; returns what it printed.
std::string CaptureStdout(void (*fn)());
