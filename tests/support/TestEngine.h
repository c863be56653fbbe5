// TestEngine: brings the real engine up for a test (platform, window, GL device,
// input) and down again, and injects input as real SDL events so that the
// engine's own event pump and key table handle it.
#pragma once

#include <gtest/gtest.h>

#include <LEMath.h>

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

// A test with the engine up in a window of the given size from SetUp to TearDown.
template <uint32_t W, uint32_t H>
class EngineTest : public testing::Test {
protected:
    void SetUp() override { REQUIRE_ENGINE(W, H); }
    void TearDown() override { StopTestEngine(); }
};

// Both coordinates within the tolerance, or with none given, equal as EXPECT_FLOAT_EQ
// has it: EXPECT_TRUE(Near(actual, {x, y})).
testing::AssertionResult Near(Vector2 actual, Vector2 expected, float tolerance = 0.0f);

// Sound on SDL's disk driver: a real pool of sound channels without a sound card,
// its output written to a file.
void StartDiskAudio(const char* output = "/dev/null");
void StopDiskAudio();

void PushKeyEvent(int scancode, bool down);
void PushMouseButtonEvent(int sdlButton, bool down);
void PushWheelEvent(float notches);
// An SDL_WINDOWEVENT of the given kind (SDL_WINDOWEVENT_CLOSE, _FOCUS_LOST...).
void PushWindowEvent(int windowEvent);

// RGBA of one pixel of the back buffer, bottom-left origin.
uint32_t ReadPixelRGBA(int x, int y);

// The meshes, textures and fonts alive beyond the given counts, in words; empty
// when there are none: EXPECT_EQ(LeftOver(), "").
std::string LeftOver(int meshes = 0, int textures = 0, int fonts = 0);

// A picture file decoded to RGBA, its top row first.
struct Picture {
    int width = 0, height = 0, fileChannels = 0;
    std::vector<unsigned char> rgba;
};
testing::AssertionResult LoadPicture(const std::string& path, Picture* picture);

// A whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
