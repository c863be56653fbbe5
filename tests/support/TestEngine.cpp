// TestEngine: engine bring-up and real-event input injection for tests.
#include "TestEngine.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <tuple>

#include <LEAudio.h>
#include <LEInput.h>
#include <LESystem.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEFont.h>
#include <src/LEMesh.h>
#include <src/LEPlatform.h>
#include <src/LETexture.h>

bool StartTestEngine(uint32_t width, uint32_t height)
{
    if (!LEPlatformStart()) return false;
    if (!LESystemStart("Ember Bastion test", 0, 0, width, height) || !LEGraphicsStart()) {
        LEPlatformShutdown();
        return false;
    }
    LEInputReset();
    LEGamepadReset();
    LESystemResetFrameTiming();
    // Let the window appear, settle and take the keyboard focus before the test
    // looks at it: the engine reads the focus from the window, and the X server
    // hands it over a few events after the window shows (two seconds at most).
    for (int i = 0; i < 200 && (i < 3 || !LEWindowIsActive()); ++i) {
        SDL_Delay(10);
        LEPlatformPumpEvents();
    }
    LEInputReset();
    return true;
}

void StopTestEngine()
{
    LEGraphicsShutdown();
    LEPlatformShutdown();
}

void StartDiskAudio(const char* output)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output, 1);
    ASSERT_TRUE(LEAudioStart()) << "SDL's disk audio driver should always open";
}

void StopDiskAudio()
{
    LEAudioShutdown();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
}

void PushKeyEvent(int scancode, bool down) { LEPlatformInjectKey(scancode, down); }

void PushMouseButtonEvent(int sdlButton, bool down) { LEPlatformInjectMouseButton(sdlButton, down); }

void PushWheelEvent(float notches)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = int(notches);
    e.wheel.preciseY = notches;
    SDL_PushEvent(&e);
}

void PushWindowEvent(int windowEvent)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = uint8_t(windowEvent);
    SDL_PushEvent(&e);
}

uint32_t ReadPixelRGBA(int x, int y)
{
    uint8_t p[4] = {};
    LEGraphicsFlush();  // quads still waiting in the batch belong in the picture
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

testing::AssertionResult Near(Vector2 actual, Vector2 expected, float tolerance)
{
    const auto close = [tolerance](float a, float e) {
        using F = testing::internal::FloatingPoint<float>;
        return tolerance > 0.0f ? std::fabs(a - e) <= tolerance : F(a).AlmostEquals(F(e));
    };
    if (close(actual.x, expected.x) && close(actual.y, expected.y))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ") is not within " << tolerance
                                       << " of (" << expected.x << ", " << expected.y << ")";
}

testing::AssertionResult LoadPicture(const std::string& path, Picture* pic)
{
    unsigned char* data = stbi_load(path.c_str(), &pic->width, &pic->height, &pic->fileChannels, 4);
    if (!data) return testing::AssertionFailure() << path << ": " << stbi_failure_reason();
    pic->rgba.assign(data, data + size_t(pic->width) * size_t(pic->height) * 4);
    stbi_image_free(data);
    return testing::AssertionSuccess();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string LeftOver(int meshes, int textures, int fonts)
{
    std::string out;
    for (const auto& [what, alive, expected] : {std::tuple{" meshes", LEMeshCount(), meshes},
                                                std::tuple{" textures", LETextureCount(), textures},
                                                std::tuple{" fonts", LEFontCount(), fonts}})
        if (alive != expected) out += (out.empty() ? "" : ", ") + std::to_string(alive - expected) + what;
    return out;
}
