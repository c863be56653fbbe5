// MainMenu: the main menu state (id 100), the first state of the game. Owns
// the menu's resources, its objects and its flow: three logo cards fading in
// one after another (any key of Space, Enter, Escape or a click skips them),
// then the title and five buttons: Play starts level 1, Settings and How to play
// open their screens over the menu, Quit asks for Enter, Credits shows the two
// credit pages for ten seconds. The music starts once the first frame is shown,
// loops, and pauses without the focus.
#include "MainMenu.h"

#include <cstdio>  // Required for: printf

#include <LEAudio.h>
#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>
#include <src/LEFont.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>

#include "Credits.h"
#include "HTPlay.h"
#include "Settings.h"
#include "main/GameStates.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"

static constexpr int MENU_BUTTON_COUNT = 5;
enum MenuButton { PLAY, SETTINGS, HOW_TO_PLAY, QUIT, CREDITS };
static const char* const BUTTON_TEXTS[MENU_BUTTON_COUNT] = {"Play", "Settings", "How to play", "Quit", "Credits"};
static constexpr uint32_t MENU_BACKGROUND = 0xFF014421;
static constexpr float LOGO_FADE = 1.0f;   // seconds to fade a logo in
static constexpr float LOGO_HOLD = 2.0f;   // seconds a logo stays
static constexpr float CREDITS_PAGE_2 = 6.0f, CREDITS_END = 10.0f;

static struct {
    // Resources (Load to Unload).
    LEMesh* menuQuadMesh = nullptr;
    LEFont* menuFont = nullptr;
    LEFont* titleFont = nullptr;
    LETexture* schoolLogoTexture = nullptr;
    LETexture* teamLogoTexture = nullptr;
    LETexture* fmodLogoTexture = nullptr;
    Camera2D* menuCamera = nullptr;
    SoundAsset* menuMusic = nullptr;  // loaded by the first Update after a frame was shown
    SoundChannel menuMusicChannel;
    // The scene (Init to Free; owned by objectList and textList).
    Button* menuButtons[MENU_BUTTON_COUNT] = {};
    TextLabel* menuButtonLabels[MENU_BUTTON_COUNT] = {};
    TextLabel* titleLabel = nullptr;
    GameObject* schoolLogo = nullptr;
    GameObject* teamLogo = nullptr;
    GameObject* fmodLogo = nullptr;
    HTPlay* menuHowToPlay = nullptr;
    Settings* menuSettings = nullptr;
    GameObject* menuConfirmBox = nullptr;
    TextLabel* menuConfirmLabel = nullptr;
    // Flow.
    bool splashRunning = false, firstLogoPhase = false, secondLogoPhase = false;
    bool menuInteractive = false, creditsRunning = false;
    float splashFade = 0.0f, firstLogoHold = 0.0f, secondLogoHold = 0.0f, thirdLogoHold = 0.0f;
    float creditsTime = 0.0f;
    bool shown = false;     // a frame of the menu has been drawn
    bool musicDue = false;  // Init asked for the music, which is not playing yet
} menu;

void MainMenuLoad()
{
    menu.menuQuadMesh = CreateUnitQuadMesh(0xFFB2BEB5);
    menu.menuFont = LoadGameFont(GOTHIC_FONT, 25, 1.0f);
    menu.titleFont = LoadGameFont(GOTHIC_FONT, 37, 1.0f);
    menu.schoolLogoTexture = LETextureLoad("Assets/Logos/bw_logo.png");
    menu.menuCamera = new Camera2D;
}

// ---------------------------------------------------------------------------
// Init
// ---------------------------------------------------------------------------
static TextLabel* AddMenuLabel(LEFont* font, Vector2 at, float scale, uint32_t id, const char* text)
{
    TextLabel* label = AddTextLabel(new TextLabel(font, TransformMakeValues(at.x, at.y, scale, scale, 0), " ", id,
                                                  0xFF000000));
    SetLabelText(label, text);
    return label;
}

// The second and third logos are loaded when their turn comes, seconds into the
// splash, so that the menu's first frame waits for one picture only; a splash
// skipped early never loads them.
static void ShowLogo(GameObject* logo, LETexture** texture, const char* path)
{
    if (!*texture) *texture = LETextureLoad(path);
    logo->texture = *texture;
    logo->visible = true;
}

static GameObject* AddLogo(uint32_t id, const char* name, Vector2 size, LETexture* texture)
{
    GameObject* logo = AddObject(objectList, new GameObject, id, name, 0, 0, size.x, size.y, QUARTER_TURN,
                                 menu.menuQuadMesh, texture);
    logo->useModColor = true;
    logo->modColor = 0x00FFFFFF;  // white, fully transparent: the fade brings it in
    return logo;
}

void MainMenuInit()
{
    for (int i = 0; i < MENU_BUTTON_COUNT; ++i) {
        const Vector2 at{-350.0f + 170.0f * float(i), -100.0f};
        menu.menuButtons[i] = static_cast<Button*>(
            AddObject(objectList, new Button, 9009 + uint32_t(i), "Button", at.x, at.y, 100, 50, 0, menu.menuQuadMesh,
                      nullptr));
        menu.menuButtonLabels[i] = AddMenuLabel(menu.menuFont, at, 0.8f, uint32_t(i), BUTTON_TEXTS[i]);
        menu.menuButtons[i]->visible = menu.menuButtonLabels[i]->visible = false;
    }
    menu.titleLabel = AddMenuLabel(menu.titleFont, {0, 70}, 1.4f, 5, "Ember Bastion");
    menu.titleLabel->visible = false;

    menu.splashRunning = menu.firstLogoPhase = true;
    menu.secondLogoPhase = false;
    menu.splashFade = menu.firstLogoHold = menu.secondLogoHold = menu.thirdLogoHold = 0.0f;
    menu.menuInteractive = menu.creditsRunning = false;

    menu.menuHowToPlay = static_cast<HTPlay*>(
        AddObject(objectList, new HTPlay, 855, "Settings", 0, 0, 1, 1, 0, nullptr, nullptr));
    menu.schoolLogo = AddLogo(1249708, "Brightwell Logo", {300, -533.3333f}, menu.schoolLogoTexture);
    menu.teamLogo = AddLogo(1249709, "Team Logo", {533.3333f, -300}, menu.teamLogoTexture);
    menu.fmodLogo = AddLogo(1249710, "FMOD Logo", {300, -533.3333f}, menu.fmodLogoTexture);
    menu.teamLogo->visible = menu.fmodLogo->visible = false;

    menu.musicDue = true;

    menu.menuSettings = static_cast<Settings*>(
        AddObject(objectList, new Settings(menu.menuCamera), 856, "Settings", 0, 0, 1, 1, 0, nullptr, nullptr));
    menu.menuConfirmBox = AddObject(objectList, new GameObject, 857, "QuitConfirmation", 0, 0, 500, 150, 0,
                                    menu.menuQuadMesh, nullptr);
    menu.menuConfirmLabel =
        AddMenuLabel(menu.menuFont, {0, 0}, 1.3f, 6, "To confirm quit press Enter. To cancel press Esc");
    menu.menuConfirmBox->visible = menu.menuConfirmBox->active = false;
    menu.menuConfirmLabel->visible = false;

    menu.menuCamera->transform.scale.x *= 0.5f;
    menu.menuCamera->transform.scale.y *= 0.8888889f;
    LEGraphicsSetBackgroundColor(MENU_BACKGROUND);
    LEGraphicsSetViewport(0.0f, 0.0f, float(LEWindowWidth()), float(LEWindowHeight()));
    SortObjectsById();
}

// ---------------------------------------------------------------------------
// Update
// ---------------------------------------------------------------------------
static void SetButtonsShown(bool shown)
{
    for (int i = 0; i < MENU_BUTTON_COUNT; ++i) {
        menu.menuButtons[i]->active = menu.menuButtons[i]->visible = shown;
        menu.menuButtonLabels[i]->visible = shown;
    }
}

static void EndSplash()
{
    for (GameObject* logo : {menu.schoolLogo, menu.teamLogo, menu.fmodLogo}) logo->visible = false;
    SetButtonsShown(true);
    menu.titleLabel->visible = true;
    menu.splashRunning = false;
    menu.menuInteractive = true;
}

// White, its alpha following the fade over one second.
static uint32_t FadeColor()
{
    menu.splashFade = menu.splashFade < 0.0f ? 0.0f : menu.splashFade > 2.0f ? 2.0f : menu.splashFade;
    const float alpha = menu.splashFade > LOGO_FADE ? 1.0f : menu.splashFade;
    return uint32_t(alpha * 255.0f) << 24 | 0xFFFFFF;
}

static bool FadedIn(const GameObject* logo) { return logo->modColor == 0xFFFFFFFF; }

// Each logo fades in over a second and stays for two; the next starts from nothing.
static void RunSplash(float dt)
{
    if (!FadedIn(menu.schoolLogo)) {
        menu.schoolLogo->modColor = FadeColor();
    } else if (menu.firstLogoPhase) {
        menu.firstLogoHold += dt;
        if (menu.firstLogoHold >= LOGO_HOLD) {
            menu.firstLogoPhase = false;
            menu.schoolLogo->visible = false;
            menu.secondLogoPhase = true;
            menu.splashFade = 0.0f;
            ShowLogo(menu.teamLogo, &menu.teamLogoTexture, "Assets/Logos/team_logo.png");
            menu.firstLogoHold = 0.0f;
        }
    }
    if (!menu.firstLogoPhase && !FadedIn(menu.teamLogo)) menu.teamLogo->modColor = FadeColor();
    if (FadedIn(menu.teamLogo) && menu.secondLogoPhase) {
        menu.secondLogoHold += dt;
        if (menu.secondLogoHold >= LOGO_HOLD) {
            menu.secondLogoPhase = false;
            menu.teamLogo->visible = false;
            menu.splashFade = 0.0f;
            ShowLogo(menu.fmodLogo, &menu.fmodLogoTexture, "Assets/Logos/fmod_logo.png");
            menu.secondLogoHold = 0.0f;
        }
    }
    if (!menu.firstLogoPhase && !menu.secondLogoPhase && !FadedIn(menu.fmodLogo))
        menu.fmodLogo->modColor = FadeColor();
    if (FadedIn(menu.fmodLogo)) {
        const float held = menu.thirdLogoHold;
        menu.thirdLogoHold += dt;
        if (held > LOGO_HOLD) EndSplash();
    }
    menu.splashFade += dt;
    // The press that skips the splash does only that: held on, it reaches no
    // button of the menu that appears under it.
    bool skipped = false;
    for (int key : {KEY_SPACE, KEY_ENTER, KEY_ESCAPE}) {
        if (!LEInputKeyTriggered(key)) continue;
        LEInputKeyConsume(key);
        NotePressAction("skip the splash");
        skipped = true;
    }
    for (int button : {MOUSE_LEFT, MOUSE_RIGHT}) {
        if (!LEInputMouseTriggered(button)) continue;
        LEInputMouseConsume(button);
        NotePressAction("skip the splash");
        skipped = true;
    }
    if (skipped) EndSplash();
}

static void ReturnToButtons()
{
    SetButtonsShown(true);
    menu.creditsRunning = false;
    menu.titleLabel->visible = true;
}

// Page 1 for six seconds, page 2 until ten.
static void RunCredits(float dt)
{
    menu.creditsTime += dt;
    if (menu.creditsTime >= CREDITS_PAGE_2 && menu.creditsTime <= CREDITS_END) {
        ShowCreditsPage(1, false);
        ShowCreditsPage(2, true);
    }
    if (menu.creditsTime >= CREDITS_END) {
        ShowCreditsPage(2, false);
        ReturnToButtons();
    }
}

// A button acts while the menu is live and nothing is open over it (a credits
// page is a screen too).
static bool Pressed(int button)
{
    return menu.menuInteractive && TakeClick(menu.menuButtons[button], nullptr, menu.menuCamera);
}

static void OpenOverMenu(GameObject* screen)
{
    PushScreen(screen);
    menu.titleLabel->visible = false;
}

static void MenuButtons()
{
    const Vector2 mouse = ScreenToWorld(menu.menuCamera, LEInputMousePosition());
    printf("%g %g\n", double(mouse.x), double(mouse.y));
    if (Pressed(PLAY)) nextState = STATE_LEVEL_1;
    if (Pressed(HOW_TO_PLAY)) {
        menu.menuHowToPlay->open = true;
        menu.menuInteractive = false;
        SetButtonsShown(false);
        OpenOverMenu(menu.menuHowToPlay);
    }
    if (Pressed(CREDITS)) {
        menu.titleLabel->visible = false;
        SetButtonsShown(false);  // the labels are drawn over the page otherwise
        ShowCreditsPage(1, true);
        menu.creditsTime = 0.0f;
        menu.creditsRunning = true;
    }
    if (CreditsPageShown(1) && TakeKey(credits->page1, KEY_ESCAPE)) {
        ShowCreditsPage(1, false);
        for (TextLabel* label : textList) label->visible = false;
        ReturnToButtons();
    }
    if (Pressed(SETTINGS)) {
        menu.menuSettings->open = true;
        OpenOverMenu(menu.menuSettings);
        for (int i = 0; i < MENU_BUTTON_COUNT; ++i) {
            menu.menuButtons[i]->alive = false;
            menu.menuButtonLabels[i]->visible = false;
        }
        menu.menuInteractive = false;
    }
    // Back from settings or how to play: the buttons come back whole, acting
    // again as well as shown (how to play made them inactive).
    if (!menu.menuSettings->open && !menu.menuHowToPlay->open && !menu.menuInteractive) {
        menu.menuInteractive = true;
        menu.titleLabel->visible = true;
        for (Button* button : menu.menuButtons) button->alive = true;
        SetButtonsShown(true);
    }
    if (Pressed(QUIT)) {
        SetButtonsShown(false);
        OpenOverMenu(menu.menuConfirmBox);
        menu.menuConfirmBox->visible = menu.menuConfirmLabel->visible = true;
    }
    if (menu.menuConfirmBox->visible) {
        if (TakeKey(menu.menuConfirmBox, KEY_ESCAPE)) {
            PopScreen(menu.menuConfirmBox);
            menu.menuConfirmBox->visible = menu.menuConfirmLabel->visible = false;
            ReturnToButtons();
        }
        if (OnTopScreen(menu.menuConfirmBox) && LEInputKeyPressed(KEY_ENTER)) {
            NotePressAction("quit");
            nextState = STATE_QUIT;
        }
    }
}

// Once the menu's first frame is on screen, the driver's first-use work for
// every kind of draw, and the memory a level's pictures are decoded into, are
// had during the splash rather than in the first level (a frame after the music
// starts, so that the pauses do not add up).
static void WarmUpOnce()
{
    static int updates = 0;
    if (++updates == 3) LEGraphicsWarmUp();
    if (updates == 4) LEPlatformPrepareLoadMemory(32 << 20);
}

// The music starts once the menu is on the screen: its file is converted to the
// mixer's format as it loads, which takes longer than everything else the
// first frame waits for.
static void StartMusicOnceShown()
{
    if (!menu.musicDue || !menu.shown) return;
    menu.musicDue = false;
    if (!menu.menuMusic) menu.menuMusic = AudioLoad("Assets/Audio/Music/music_mainmenu.wav");
    menu.menuMusicChannel = AudioPlayLooped(menu.menuMusic);
}

void MainMenuUpdate()
{
    StartMusicOnceShown();
    WarmUpOnce();
    if (!LEWindowIsActive()) {
        AudioSetPaused(menu.menuMusicChannel, true);
        return;
    }
    if (menu.menuMusicChannel && menu.menuMusicChannel->paused) AudioSetPaused(menu.menuMusicChannel, false);
    const float dt = float(LEFrameTime());
    if (menu.creditsRunning) RunCredits(dt);
    if (menu.splashRunning) {
        RunSplash(dt);
        AudioUpdate();
        return;
    }
    MenuButtons();
    UpdateScene();
    AudioUpdate();
}

void MainMenuDraw()
{
    DrawScene(menu.menuCamera);
    menu.shown = true;
}

void MainMenuFree()
{
    FreeAllObjects();
    FreeAllTextLabels();
    ShowCreditsPage(1, false);
    ShowCreditsPage(2, false);
    menu.creditsRunning = false;
}

void MainMenuUnload()
{
    LEMeshFree(menu.menuQuadMesh);
    LEFontFree(menu.menuFont);
    LEFontFree(menu.titleFont);
    for (LETexture* texture : {menu.schoolLogoTexture, menu.teamLogoTexture, menu.fmodLogoTexture})
        LETextureUnload(texture);
    AudioUnload(menu.menuMusic);
    delete menu.menuCamera;
    menu = {};
}

bool MainMenuSplashRunning() { return menu.splashRunning; }
bool MainMenuCreditsRunning() { return menu.creditsRunning; }
Camera2D* MainMenuCamera() { return menu.menuCamera; }
