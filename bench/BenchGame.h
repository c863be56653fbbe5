// BenchGame: the real game brought up and down for the benchmarks that play it
// (the soak, the time steps), in the order the program's own start-up keeps:
// sound on SDL's disk driver unless one is named (a real mixer without a sound
// card), the window, graphics, input, sound, the check of the game's files and
// the credits. Each bench registers its own driven states between the two calls.
#pragma once

#include <cstdio>
#include <cstdlib>

#include <LEAudio.h>
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <main/AssetCheck.h>
#include <main/GameStates.h>
#include <menus/Credits.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

// False, with a line on standard error, without a display that gives OpenGL 3.3.
inline bool BenchGameStart(const char* title, bool fullscreen)
{
    if (!getenv("SDL_AUDIODRIVER")) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    if (!LEPlatformStart() || !LESystemStart(title, 0, 0, 1920, 1080, fullscreen) || !LEGraphicsStart()) {
        fprintf(stderr, "%s: no display with OpenGL 3.3\n", title);
        return false;
    }
    LEInputReset();
    LEGamepadReset();
    LESystemResetFrameTiming();
    LEAudioStart();
    ReportBadAssetFiles(CheckAssetFiles(GAME_ASSETS, GAME_ASSET_COUNT));
    CreateCredits();
    return true;
}

// Runs the frame loop from the main menu until a state asks to quit, then
// takes the game down.
inline void BenchGamePlayFromMainMenu()
{
    initialState = previousState = currentState = nextState = STATE_MAIN_MENU;
    LEGameStateSelect();
    LEGameLoopRun();
    FreeCredits();
    LEAudioShutdown();
    LEGraphicsShutdown();
    LEPlatformShutdown();
}
