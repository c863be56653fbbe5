// The menus through the real frame loop, played with injected keys and the real
// pointer: the splash, the main menu and its screens, the pause menu in the
// levels, settings that last for the whole run, the credits on time, and
// restarts and round trips that leave nothing behind.
#include <LEAudio.h>
#include <LEInputScript.h>
#include <menus/Credits.h>
#include <menus/HTPlay.h>
#include <menus/MainMenu.h>
#include <menus/Pause.h>
#include <menus/Settings.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <tuple>

#include <unistd.h>

#include "LevelFixture.h"

namespace {

TEST(SettingsArithmetic, VolumesStepInTenthsAndResolutionsWrapRound)
{
    struct Run {
        float start, step;
        std::vector<int> shown;
    };
    const Run runs[] = {
        {1.0f, -0.1f, {90, 79, 69, 59, 49, 39, 29, 19, 9, 0, 0}},
        {0.0f, 0.1f, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 100}},
    };
    for (const Run& run : runs) {
        float volume = run.start;
        for (int expected : run.shown) {
            volume = StepVolume(volume, run.step);
            EXPECT_EQ(VolumeText("Music:", volume), "Music:" + std::to_string(expected));
        }
    }
    const char* const up[] = {"3840x2160", "1280x720", "1600x900", "1920x1080"};
    const char* const down[] = {"1600x900", "1280x720", "3840x2160", "1920x1080"};
    for (int step : {1, -1}) {
        int32_t index = 2;
        for (const char* size : step > 0 ? up : down) {
            index = StepResolution(index, step);
            EXPECT_EQ(ResolutionText(false, RESOLUTIONS[index], {}), std::string("Current Resolution: ") + size);
        }
    }
    EXPECT_EQ(ResolutionText(true, {1920, 1080}, RESOLUTIONS[0]), "Full screen: 1920x1080 (windowed 1280x720)")
        << "full screen has the desktop's size";
}

// ---------------------------------------------------------------------------
// A script of player actions, run one step a frame from inside the frame loop
// ---------------------------------------------------------------------------
bool scriptRanOut = false;
int levelInits = 0;
// What SDL's disk audio driver writes: 16-bit samples, as the mixer made them.
const std::string audioOutput = testing::TempDir() + "eb_menus_" + std::to_string(getpid()) + "_output.raw";
uintmax_t menuSoundFrom = 0, menuSoundTo = 0;  // bytes of the output heard in the menu

// A game that outlives its script, or a step that fails, quits.
template <void (*Update)()>
void Scripted()
{
    if (!LEScriptRun()) {
        scriptRanOut = LEScriptFailure().empty();
        nextState = STATE_QUIT;
    }
    Update();
}

void CountedLevelInit()
{
    ++levelInits;
    LevelInit();
}

void Tap(int scancode) { LEScriptKeys({scancode}); }
void CtrlTap(int scancode) { LEScriptKeys({SDL_SCANCODE_LCTRL, scancode}); }

// A click at a world point through a camera zoom, in the 1920 x 1080 window.
void ClickAt(Vector2 world, Vector2 zoom, int heldFrames = 1)
{
    LEScriptClick(int(960.0f + world.x / zoom.x), int(540.0f - world.y / zoom.y), SDL_BUTTON_LEFT, heldFrames);
}

constexpr Vector2 MENU_ZOOM{0.5f, 0.8888889f}, LEVEL_ZOOM{0.41666666f, 0.57347673f};

// Every frame of a level is drawn at the level's zoom, the frame that asks for
// a restart included.
int framesOffZoom = 0;
void ZoomCheckedLevelDraw()
{
    if (!Near(levelCamera->transform.scale, LEVEL_ZOOM, 1e-6f)) ++framesOffZoom;
    LevelDraw();
}

void ClickMenuButton(int i, int heldFrames = 1)
{
    ClickAt({-350.0f + 170.0f * float(i), -100.0f}, MENU_ZOOM, heldFrames);
}
void ClickLevel(Vector2 world) { ClickAt(world, LEVEL_ZOOM); }

void ChooseHunter()
{
    LEScriptWaitFor("the selector opens", [] { return charSelScreen && charSelScreen->screenOpen; });
    ClickLevel({-100, 0});
    LEScriptWaitFor("a hero is chosen", [] { return currentPlayer != nullptr; });
}

void PauseAndClick(Vector2 button, const char* what, std::function<bool()> done)
{
    Tap(SDL_SCANCODE_ESCAPE);
    LEScriptWaitFor("the pause menu opens", [] { return pauseMenu && pauseMenu->open; });
    ClickLevel(button);
    LEScriptWaitFor(what, std::move(done));
}

class MenuJourney : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ENGINE(1920, 1080);
        StartDiskAudio(audioOutput.c_str());
        LESystemSetFixedFrameTime(1.0 / 60.0);
        LEScriptClear();
        scriptRanOut = false;
        levelInits = framesOffZoom = 0;
        musicVolume = sfxVolume = 1.0f;
        LEGameStateClear();
        LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, Scripted<MainMenuUpdate>, MainMenuDraw,
                       MainMenuFree, MainMenuUnload);
        for (int32_t level : {STATE_LEVEL_1, STATE_LEVEL_2, STATE_LEVEL_3, STATE_LEVEL_4})
            LEGameStateAdd(level, LevelLoad, CountedLevelInit, Scripted<LevelUpdate>, ZoomCheckedLevelDraw,
                           LevelFree, LevelUnload);
        CreateCredits();
    }

    void TearDown() override
    {
        FreeCredits();
        StopDiskAudio();
        std::remove(audioOutput.c_str());
        StopTestEngine();
    }

    static void RunFrom(int32_t state)
    {
        initialState = previousState = currentState = nextState = state;
        LEGameStateSelect();
        testing::internal::CaptureStdout();  // the menu writes the pointer's position every frame
        LEGameLoopRun();
        testing::internal::GetCapturedStdout();
    }

    static void ExpectNothingLeft(int meshes, int textures, int fonts)
    {
        EXPECT_EQ(LeftOver(meshes, textures, fonts), "");
        EXPECT_TRUE(objectList.empty() && textList.empty())
            << objectList.size() << " objects, " << textList.size() << " labels";
        AudioUpdate();
        EXPECT_EQ(LEAudioFreeCount(), LEAudioPoolSize()) << "every sound channel is back in the pool";
    }
};

TEST_F(MenuJourney, SplashMenuLevelsPauseSettingsCreditsAndQuit)
{
    const int meshes = LEMeshCount(), textures = LETextureCount(), fonts = LEFontCount();

    // The splash runs until a click skips it, and the click does nothing more:
    // held over Play as a player's tenth of a second, it starts no level.
    LEScriptIdle(30);
    LEScriptWaitFor("the splash is still running", [] { return MainMenuSplashRunning(); }, 1);
    ClickMenuButton(0, 6);
    LEScriptWaitFor("a click skips the splash", [] { return !MainMenuSplashRunning(); });
    LEScriptIdle(8);
    LEScriptWaitFor("the same click starts no level", [] { return currentState == STATE_MAIN_MENU; }, 1);
    // How to play and back: the buttons act again.
    ClickMenuButton(2);
    LEScriptIdle(2);
    Tap(SDL_SCANCODE_ESCAPE);
    LEScriptIdle(2);
    ClickMenuButton(0);
    LEScriptWaitFor("Play leads to level 1", [] { return currentState == STATE_LEVEL_1; });
    ChooseHunter();

    // The settings chosen in the pause menu last for the whole run.
    PauseAndClick({0, -95}, "the settings open", [] { return pauseMenu->settings->open; });
    LEScriptIdle(2);
    for (int step = 0; step < 10; ++step) ClickLevel({-150, -150});
    for (int step = 0; step < 5; ++step) ClickLevel({-150, -270});
    LEScriptWaitFor("the music is turned down to nothing, the effects to half",
                    [] { return musicVolume == 0.0f && std::fabs(sfxVolume - 0.5f) < 1e-5f; });
    Tap(SDL_SCANCODE_ESCAPE);
    LEScriptWaitFor("Escape closes the settings", [] { return !pauseMenu->settings->open; });

    // Restart, confirmed with Enter.
    ClickLevel({0, -180});
    LEScriptWaitFor("restart asks first", [] { return pauseMenu->confirmBox->visible; });
    Tap(SDL_SCANCODE_RETURN);
    LEScriptWaitFor("Enter restarts the level", [] { return levelInits == 2; });
    LEScriptWaitFor("the music stays down after the restart", [] { return musicVolume == 0.0f; }, 1);

    // Lost, then R: the level starts again as it began.
    LEScriptAdd("the nexus falls", [] { nexusHealth = 0; }, [] { return levelLost; });
    Tap(SDL_SCANCODE_R);
    LEScriptWaitFor("R restarts the lost level", [] { return levelInits == 3; });
    LEScriptWaitFor("at its own zoom with a whole nexus", [] {
        return Near(levelCamera->transform.scale, LEVEL_ZOOM) && nexusHealth == 10000 && !levelLost && waveIndex == 0;
    }, 1);
    ChooseHunter();

    // Six waves with the endless-wave cheat switched on and off, then N.
    for (int wave = 0; wave < 6; ++wave) {
        Tap(SDL_SCANCODE_RETURN);
        LEScriptWaitFor("Enter starts a round", [] { return !betweenRounds; });
        CtrlTap(SDL_SCANCODE_4);
        CtrlTap(SDL_SCANCODE_4);
        LEScriptWaitFor("the wave ends", [] { return betweenRounds; });
    }
    LEScriptWaitFor("six waves win the level", [] { return levelWon; });
    LEScriptIdle(2);
    LEScriptWaitFor("the win screen offers no round", [] { return !FindTextLabel(17)->visible; }, 1);
    Tap(SDL_SCANCODE_N);
    LEScriptWaitFor("N leads to level 2", [] { return currentState == STATE_LEVEL_2; });
    LEScriptWaitFor("the music stays down in level 2", [] { return musicVolume == 0.0f; }, 1);
    ChooseHunter();
    PauseAndClick({0, 75}, "Main Menu asks first, in its own words", [] {
        return pauseMenu->confirmBox->visible && pauseMenu->confirmLabel->text.find("main menu") != std::string::npos;
    });
    Tap(SDL_SCANCODE_RETURN);
    LEScriptWaitFor("Enter goes back to the main menu", [] { return currentState == STATE_MAIN_MENU; });
    LEScriptWaitFor("the music stays down in the menu", [] { return musicVolume == 0.0f; }, 1);
    LEScriptAdd("the menu plays for a third of a second", [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // what was mixed before
        menuSoundFrom = std::filesystem::file_size(audioOutput);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        menuSoundTo = std::filesystem::file_size(audioOutput);
    });

    // The credits: page 1 for six seconds, page 2 until ten.
    Tap(SDL_SCANCODE_RETURN);
    LEScriptWaitFor("Enter skips the splash", [] { return !MainMenuSplashRunning(); });
    ClickMenuButton(4);
    LEScriptWaitFor("the first page shows", [] { return CreditsPageShown(1); }, 2);
    LEScriptIdle(340);
    LEScriptWaitFor("page 1 still shows before six seconds",
                    [] { return CreditsPageShown(1) && !CreditsPageShown(2); }, 1);
    LEScriptWaitFor("page 2 follows at six seconds", [] { return CreditsPageShown(2); }, 30);
    LEScriptIdle(220);
    LEScriptWaitFor("page 2 still shows before ten seconds", [] { return CreditsPageShown(2); }, 1);
    LEScriptWaitFor("the credits end at ten seconds", [] { return !MainMenuCreditsRunning(); }, 30);

    // Quit, confirmed with Enter.
    ClickMenuButton(3);
    LEScriptIdle(2);
    Tap(SDL_SCANCODE_RETURN);  // the loop ends on this, the last step

    RunFrom(STATE_MAIN_MENU);
    EXPECT_EQ(LEScriptFailure(), "") << "with " << LEScriptStepsLeft() << " steps left";
    EXPECT_FALSE(scriptRanOut) << "Enter quit the game on the last step";
    EXPECT_EQ(framesOffZoom, 0) << "frames of a level drawn at another zoom (restarts by R and by the pause menu)";
    EXPECT_EQ(LEScriptStepsLeft(), 0u);
    EXPECT_EQ(musicVolume, 0.0f);
    EXPECT_NEAR(sfxVolume, 0.5f, 1e-5f);
    ExpectNothingLeft(meshes, textures, fonts);

    // The music chosen silent in a level is silent in the menu too.
    const std::string output = ReadFile(audioOutput);
    ASSERT_GT(menuSoundTo, menuSoundFrom + 20000) << "the disk driver wrote too little";
    const auto* samples = reinterpret_cast<const int16_t*>(output.data() + menuSoundFrom);
    const size_t count = (menuSoundTo - menuSoundFrom) / 2;
    EXPECT_EQ(std::count_if(samples, samples + count, [](int16_t s) { return s != 0; }), 0)
        << "the menu's music plays through a volume of 0";
}

// Every screen over the pause panel takes its own clicks: the panel's buttons,
// hidden under it, never hear them, and Enter then confirms nothing.
using PauseScreens = LevelTest;

TEST_F(PauseScreens, ScreensOverThePanelTakeTheirClicksAndNothingUnderThemActs)
{
    constexpr Vector2 RESUME{0, 160}, HOW_TO_PLAY{0, -10}, SETTINGS{0, -95}, RESTART{0, -180};
    const float sfx = sfxVolume;
    const int32_t resolution = resolutionIndex;
    const bool vsync = LEGraphicsVSync();
    sfxVolume = 0.5f;
    struct Case {
        const char* what;
        Vector2 opener, click;
        bool asks;  // the screen is the restart question
    };
    const Case cases[] = {
        {"Increase SFX over the hidden Quit", SETTINGS, {100, -270}, false},
        {"VSync over the hidden Resume", SETTINGS, {100, 170}, false},
        {"Decrease Res over the hidden Main Menu", SETTINGS, {-100, 75}, false},
        {"how to play over the hidden Quit", HOW_TO_PLAY, {0, -265}, false},
        {"the restart question over the hidden Resume", RESTART, RESUME, true},
    };
    for (const Case& c : cases) {
        Tap(SDL_SCANCODE_ESCAPE);
        ClickAt(c.opener);
        ClickAt(c.click);
        EXPECT_TRUE(pauseMenu->open) << c.what;
        EXPECT_FALSE(pauseMenu->quitPending || pauseMenu->mainMenuPending) << c.what;
        EXPECT_EQ(pauseMenu->confirmBox->visible, c.asks) << c.what;
        if (pauseMenu->settings->open) {
            EXPECT_EQ(pauseMenu->settings->buttonLabels[4]->text,
                      SDL_GL_GetSwapInterval() != 0 ? "VSync: On" : "VSync: Off")
                << c.what << ": the label says what the GL context does";
            EXPECT_NE(SDL_GL_GetSwapInterval(), -1) << c.what << ": on is one blank a frame, never adaptive";
        }
        if (!c.asks) {
            Tap(SDL_SCANCODE_RETURN);
            EXPECT_EQ(nextState, STATE_LEVEL_1) << c.what << ": Enter did something";
        }
        Tap(SDL_SCANCODE_ESCAPE);
        EXPECT_TRUE(pauseMenu->background->visible) << c.what << ": Escape leads back to the panel";
        ClickAt(RESUME);
        ASSERT_FALSE(pauseMenu->open) << c.what;
    }
    EXPECT_NEAR(sfxVolume, 0.6f, 1e-5f) << "the effects went up once";
    EXPECT_EQ(resolutionIndex, StepResolution(resolution, -1));
    sfxVolume = sfx;
    resolutionIndex = resolution;
    chosenResolution = RESOLUTIONS[resolution];
    LEGraphicsSetVSync(vsync);
}

// The same point of a state's life, entered again and again, holds the same:
// the objects, the mesh, texture and font registries and the free sound channels.
using Snapshot = std::tuple<size_t, int, int, int, uint32_t>;
std::vector<Snapshot> levelSnapshots, menuSnapshots;
int restartsLeft = 0, roundTripsLeft = 0, framesInState = 0;

Snapshot Take()
{
    AudioUpdate();
    return {objectList.size(), LEMeshCount(), LETextureCount(), LEFontCount(), LEAudioFreeCount()};
}

// Level 4 restarts on its third frame until the restarts run out, then goes to
// the main menu; the menu and level 1 then send each other back and forth.
void CyclingLevelUpdate()
{
    LevelUpdate();
    if (++framesInState < 3) return;
    framesInState = 0;
    nextState = STATE_MAIN_MENU;
    if (currentState == STATE_LEVEL_4 && restartsLeft-- > 0) {
        levelSnapshots.push_back(Take());
        nextState = STATE_RESTART;
    }
}

void CyclingMenuUpdate()
{
    MainMenuUpdate();
    if (++framesInState < 3) return;
    framesInState = 0;
    menuSnapshots.push_back(Take());
    nextState = roundTripsLeft-- > 0 ? STATE_LEVEL_1 : STATE_QUIT;
}

TEST_F(MenuJourney, RestartsAndRoundTripsLeaveNothingBehind)
{
    const int meshes = LEMeshCount(), textures = LETextureCount(), fonts = LEFontCount();
    LEGameStateClear();
    LEGameStateAdd(STATE_MAIN_MENU, MainMenuLoad, MainMenuInit, CyclingMenuUpdate, MainMenuDraw, MainMenuFree,
                   MainMenuUnload);
    for (int32_t level : {STATE_LEVEL_1, STATE_LEVEL_4})
        LEGameStateAdd(level, LevelLoad, LevelInit, CyclingLevelUpdate, LevelDraw, LevelFree, LevelUnload);
    restartsLeft = 50;
    roundTripsLeft = 20;
    levelSnapshots.clear();
    menuSnapshots.clear();
    RunFrom(STATE_LEVEL_4);
    ASSERT_EQ(levelSnapshots.size(), 50u);
    ASSERT_EQ(menuSnapshots.size(), 21u);
    for (const auto* snapshots : {&levelSnapshots, &menuSnapshots})
        for (const Snapshot& s : *snapshots)
            EXPECT_EQ(s, snapshots->front()) << "objects, meshes, textures, fonts, free sound channels";
    ExpectNothingLeft(meshes, textures, fonts);
}

}  // namespace
