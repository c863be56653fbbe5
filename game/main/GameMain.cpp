// GameMain: brings the engine up in a fixed order (window in full screen,
// graphics, input and timer, single-instance lock, sound, the search for the
// game's files and their check, game states), runs the frame loop and tears the
// engine down when it returns. It holds no game logic of its own.
#include "GameMain.h"

#include <cstdio>  // Required for: fprintf, setvbuf

#include <LEAudio.h>
#include <LEDataRoot.h>
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

#include "AssetCheck.h"
#include "GameStates.h"
#include "menus/Credits.h"

static constexpr float DESIGN_WIDTH = 1920.0f;
static constexpr float DESIGN_HEIGHT = 1080.0f;

static bool StartEngine()
{
    if (!LEPlatformStart()) return false;
    // The game starts in full screen; leaving it gives a window of the design size.
    if (!LESystemStart("Ember Bastion", 100, 100, uint32_t(DESIGN_WIDTH), uint32_t(DESIGN_HEIGHT), true))
        return false;
    if (!LEGraphicsStart()) return false;
    LEInputReset();
    LEGamepadReset();
    LESystemResetFrameTiming();
    return true;
}

// The game's files sit below the working directory when it is started from the
// source tree, and in the installed data folder when it is started from a
// desktop menu (EB_DATA_FROM_PROGRAM and EB_DATA_DIR come from the build's
// install layout). Either way the folder found becomes the working directory.
static void FindGameFiles()
{
    const std::string root = LEDataRootSelect({.marker = "Assets",
                                               .fromProgram = {EB_DATA_FROM_PROGRAM, EB_DATA_FROM_GAMES},
                                               .installed = EB_DATA_DIR,
                                               .source = EB_SOURCE_DATA_DIR});
    if (root.empty())
        fprintf(stderr, "Ember Bastion cannot find its files: there is no Assets folder in the working "
                        "directory, beside the program or in %s\n", EB_DATA_DIR);
    else
        fprintf(stderr, "Using the game's files in %s\n", root.c_str());
}

static void StopEngine()
{
    LEAudioShutdown();
    LEGraphicsShutdown();
    LEGamepadReset();
    LEPlatformReleaseLock();
    LEPlatformShutdown();
}

int GameMain()
{
    // The main menu traces the pointer on standard output every frame. Line by
    // line, so that whoever reads it through a file or a pipe sees each line when
    // it is written, in step with the messages on standard error.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!StartEngine()) {
        LEPlatformShutdown();
        return EXIT_NO_DISPLAY;
    }
    if (!LEPlatformAcquireLock("EmberBastion")) {
        // Another copy is running: leave at once, without the usual clean-up.
        fprintf(stderr, "Ember Bastion is already running: another copy holds its single-instance lock\n");
        return EXIT_ALREADY_RUNNING;
    }
    // Without an audio device the game runs silently; LEAudioStart says so once.
    LEAudioStart();
    FindGameFiles();
    ReportBadAssetFiles(CheckAssetFiles(GAME_ASSETS, GAME_ASSET_COUNT));

    RegisterGameStates();
    CreateCredits();
    initialState = nextState = previousState = currentState = STATE_MAIN_MENU;
    LEGameStateSelect();
    LEGameLoopRun();

    FreeCredits();
    StopEngine();
    return 0;
}
