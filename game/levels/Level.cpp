// Level: loading, building and freeing a level (see Level.h). Owns the
// level-wide globals of LevelState.h. Load acquires the resources and the
// camera, Init builds the field and resets the rules, Free deletes the scene and
// silences it, Unload releases the resources.
#include "Level.h"

#include <cmath>      // Required for: std::fabs, std::floor, std::pow
#include <cstdio>     // Required for: printf
#include <exception>

#include <LEGameState.h>
#include <LESystem.h>
#include <src/LEGraphicsOGL.h>

#include "LevelData.h"
#include "LevelState.h"
#include "actors/CharSel.h"
#include "actors/Player.h"
#include "actors/Shop.h"
#include "actors/Tower.h"
#include "menus/Credits.h"
#include "menus/Pause.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
#include "objects/TextLabel.h"

LevelRules levelRules;
WaveState waveState;
uint32_t waveKillTargets[WAVE_COUNT] = {};
ObjectRef<Player> currentPlayer;

LEMesh* quadMesh = nullptr;
LEFont* levelFont = nullptr;

GameObject* background = nullptr;
GameObject* nexus = nullptr;
GameObject* currencyIcon = nullptr;
GameObject* towerSpots[TOWER_SPOT_COUNT] = {};
GameObject* spawnPoints[3] = {};
Button* towerButtons[TOWER_BUTTON_COUNT] = {};
ObjectRef<Tower> turrets[TURRET_COUNT];
CharSel* charSelScreen = nullptr;
Shop* shop = nullptr;
GameObject* controlsText = nullptr;
Pause* pauseMenu = nullptr;

LETexture* enemyTextures[DRAW_COUNT] = {};
SoundAsset* enemySounds[DRAW_COUNT] = {};
SoundChannel enemyChannels[DRAW_COUNT];

static constexpr int LEVEL_TURRETS = 3;  // turrets[0..2]; the hero brings the other two

static struct {
    LETexture* background = nullptr;
    LETexture* nexus = nullptr;
    LETexture* towerSpot = nullptr;
    LETexture* coin = nullptr;
    LETexture* turrets[LEVEL_TURRETS] = {};
    SoundAsset* music = nullptr;
    SoundChannel musicChannel;
    SoundAsset* testSound = nullptr;  // the test level's chime
    SoundChannel testChannel;
} level;

static const char* const ENEMY_TEXTURES[DRAW_COUNT] = {
    "Assets/Sprites/Enemies/enemy_skeleton_2.png", "Assets/Sprites/Enemies/enemy_goblin_2.png",
    "Assets/Sprites/Enemies/enemy_orc_1.png", "Assets/Sprites/Enemies/enemy_wyvern_2.png"};
static const char* const ENEMY_SOUNDS[DRAW_COUNT] = {
    "Assets/Audio/SFX/sfx_skeleton.wav", "Assets/Audio/SFX/sfx_goblin.wav", "Assets/Audio/SFX/sfx_orc.wav",
    "Assets/Audio/SFX/sfx_wyvern.wav"};
// The level's own turrets: kinds 1, 2 and 3, pictured as the knight, the mage and the nobleman.
static const char* const TURRET_TEXTURES[LEVEL_TURRETS] = {"Assets/Sprites/Heroes/hero_knight_2.png",
                                                           "Assets/Sprites/Heroes/hero_mage_2.png",
                                                           "Assets/Sprites/Heroes/hero_nobleman_2.png"};

static const LevelDesc& Desc() { return CurrentLevelDesc(); }

uint32_t WaveKillTarget(int i) { return uint32_t(std::floor(std::pow(2.0, double(i + 1)))) + 30; }

// ---------------------------------------------------------------------------
// Load and Unload
// ---------------------------------------------------------------------------
void LevelLoad()
{
    quadMesh = CreateUnitQuadMesh(0xFFFFFFFF);
    level.background = LETextureLoad(Desc().backgroundPath);
    level.nexus = LETextureLoad("Assets/Sprites/Others/others_nexus.png");
    level.towerSpot = LETextureLoad("Assets/Sprites/Others/others_towerplacement.png");
    level.coin = LETextureLoad("Assets/Sprites/Others/others_currency.png");
    for (int i = 0; i < DRAW_COUNT; ++i) enemyTextures[i] = LETextureLoad(ENEMY_TEXTURES[i]);
    for (int i = 0; i < LEVEL_TURRETS; ++i) level.turrets[i] = LETextureLoad(TURRET_TEXTURES[i]);
    levelFont = LoadGameFont(PLAIN_FONT, 20, 1.0f);
    for (int i = 0; i < DRAW_COUNT; ++i) enemySounds[i] = AudioLoad(ENEMY_SOUNDS[i]);
    level.music = AudioLoad("Assets/Audio/Music/music_level.wav");
    if (Desc().testLevel) level.testSound = AudioLoad("Assets/Audio/SFX/test_audio.wav");
    levelCamera = new Camera2D;
}

void LevelUnload()
{
    LEMeshFree(quadMesh);
    quadMesh = nullptr;
    for (LETexture** t : {&level.background, &level.nexus, &level.towerSpot, &level.coin, &level.turrets[0],
                          &level.turrets[1], &level.turrets[2]}) {
        LETextureUnload(*t);
        *t = nullptr;
    }
    for (LETexture*& t : enemyTextures) {
        LETextureUnload(t);
        t = nullptr;
    }
    LEFontFree(levelFont);
    levelFont = nullptr;
    AudioUnload(level.music);
    AudioUnload(level.testSound);
    level.music = level.testSound = nullptr;
    for (SoundAsset*& s : enemySounds) {
        AudioUnload(s);
        s = nullptr;
    }
    // Each Load makes a new camera, so this one would otherwise be lost.
    delete levelCamera;
    levelCamera = nullptr;
}

// ---------------------------------------------------------------------------
// Init
// ---------------------------------------------------------------------------
static GameObject* AddPlain(uint32_t id, const char* name, Vector2 p, Vector2 size, float rotation, LEMesh* mesh,
                            LETexture* texture)
{
    return AddObject(objectList, new GameObject, id, name, p.x, p.y, size.x, size.y, rotation, mesh, texture);
}

static void BuildField(const LevelDesc& d)
{
    background = AddObject(objectList, new Backdrop, 0, "Background", 0, 0, d.backgroundSize.x, d.backgroundSize.y,
                           d.backgroundRotation, quadMesh, level.background);
    nexus = AddPlain(100, "Nexus", d.nexusPosition, {70, 70}, QUARTER_TURN, quadMesh, level.nexus);
    currencyIcon = AddPlain(d.coinId, "Currency", {270, 290}, {0, 0}, QUARTER_TURN, quadMesh, level.coin);
    pauseMenu = d.testLevel ? nullptr
                            : static_cast<Pause*>(AddObject(objectList, new Pause, 200, "PauseMenu", 0, 0, 1, 1, 0,
                                                            nullptr, nullptr));
    for (int i = 0; i < TOWER_SPOT_COUNT; ++i)
        towerSpots[i] = i < d.towerSpotCount
                            ? AddPlain(400 + uint32_t(i), "TowerPlace", d.towerSpots[i], {50, 50}, 0, quadMesh, level.towerSpot)
                            : nullptr;
    for (int i = 0; i < d.markerCount; ++i) {
        const MarkerDesc& m = d.markers[i];
        GameObject* marker = AddPlain(m.id, m.name, m.position, m.size, 0, m.drawn ? quadMesh : nullptr, nullptr);
        if (i < 3) spawnPoints[i] = marker;
    }
    int count = 0;
    for (float x = -100.0f; x < 225.0f; x += 65.0f, ++count)
        towerButtons[count] = static_cast<Button*>(
            AddObject(objectList, new Button, 255 + uint32_t(count), "Button", x, -250, 50, 50, 0, quadMesh, nullptr));
}

// The level's turrets stand on the first three tower buttons, hidden until a
// hero is in play; the player drags them onto spots from there. The character
// selection and the shop follow them.
static void BuildTurretsAndPanels(const LevelDesc& d)
{
    for (int i = 0; i < LEVEL_TURRETS; ++i) {
        const Vector2 p = towerButtons[i]->transform.position;
        turrets[i] = static_cast<Tower*>(AddObject(objectList, new Tower(i + 1), d.firstTurretId + uint32_t(i),
                                                   "Turret", p.x, p.y, 50, 50, QUARTER_TURN, quadMesh,
                                                   level.turrets[i]));
        turrets[i]->active = turrets[i]->visible = false;
    }
    charSelScreen = static_cast<CharSel*>(
        AddObject(objectList, new CharSel, 100000, "CharSelScreen", 0, 250, 100, 50, 0, quadMesh, nullptr));
    shop = static_cast<Shop*>(AddObject(objectList, new Shop, 110000, "Shop", -350, -250, 100, 50, 0, quadMesh, nullptr));
    // Nothing to draw: the text is a label; the object is its place on the screen stack.
    controlsText = AddPlain(12456, "ControlsText", {0, 0}, {0, 0}, 0, nullptr, nullptr);
    controlsText->active = controlsText->visible = false;
}

static TextLabel* AddLabel(uint32_t id, Vector2 position, float scale, uint32_t color, const char* text,
                           const char* first = "0")
{
    TextLabel* label = AddTextLabel(new TextLabel(levelFont, TransformMakeValues(position.x, position.y, scale, scale, 0),
                                                  first, id, color));
    SetLabelText(label, text);
    // The test level leaves its HUD on; the others show it through their update rules.
    label->visible = Desc().testLevel;
    return label;
}

static void BuildLabels(const LevelDesc& d)
{
    if (d.endLabelsAtInit) {
        AddLabel(1235, {0, 0}, 1, 0xFF000000, "You win! Press Q to quit or N to go to next level", " ");
        AddLabel(1236, {0, 0}, 1, 0xFF000000, "You lost! Press Q to quit or R to go to restart the level", " ");
    }

    LEGraphicsSetBackgroundColor(0xFF000000);
    LEGraphicsSetViewport(0.0f, 0.0f, float(LEWindowWidth()), float(LEWindowHeight()));

    // The HUD sits along the top edge of the field, from the background's top-left
    // corner. A mirrored background has a negative height, which must not move the
    // corner to the right edge (the HUD would leave the screen).
    const float cornerX = -std::fabs(background->transform.scale.y) * 0.5f;
    const float cornerY = std::fabs(background->transform.scale.x) * 0.5f;
    const Vector2 wave{cornerX + 45.0f, cornerY - 10.0f};
    const Vector2 charSel{0, 250};
    AddLabel(11, {-350, -250}, 1, 0xFFD4AF37, "Shop");
    AddLabel(10, {d.nexusPosition.x, d.nexusPosition.y + 50.0f}, 1, d.nexusLabelColor, "%");
    AddLabel(12, wave, 1, 0xFFFF0000, "%");
    AddLabel(13, {-(wave.x - 20.0f) - 135.0f, wave.y}, 1, 0xFFD4AF37, "%");
    AddLabel(14, {-(wave.x - 20.0f) - 40.0f, wave.y}, 1, d.cooldownLabelColor, "%");
    if (d.startPrompt) {
        AddLabel(16, charSel, 0.68f, 0xFF000000, "Character selector");
        AddLabel(17, {charSel.x, charSel.y - (50.0f * 0.5f + 10.0f)}, 1, 0xFF000000,
                 "Press \"Enter\" to start the round");
    }
    AddLabel(15, {charSel.x, charSel.y + 40.0f}, 1, d.effectLabelColor, "%");
}

static void StartSounds(const LevelDesc& d)
{
    // The enemy channels wait paused until the first spawn of their kind.
    for (int kind : {DRAW_ORC, DRAW_SKELETON, DRAW_GOBLIN, DRAW_WYVERN})
        enemyChannels[kind] = AudioPlay(enemySounds[kind], true, SOUND_GROUP_SFX);
    if (d.testLevel) level.testChannel = AudioPlay(level.testSound, true, SOUND_GROUP_SFX);
    level.musicChannel = AudioPlayLooped(level.music);  // every play starts at its group's volume
}

void LevelInit()
{
    const LevelDesc& d = Desc();
    // The level's rules start afresh; the waves' state carries over.
    levelRules = LevelRules{};
    currentPlayer = nullptr;
    BuildField(d);
    BuildTurretsAndPanels(d);
    for (int i = 0; i < WAVE_COUNT; ++i) waveKillTargets[i] = WaveKillTarget(i);
    // A restart divides the zoom back (Free) before Init multiplies it again.
    levelCamera->transform.scale.x *= d.zoom.x;
    levelCamera->transform.scale.y *= d.zoom.y;
    BuildLabels(d);
    StartSounds(d);
    LoadAllObjects();
}

// ---------------------------------------------------------------------------
// Free
// ---------------------------------------------------------------------------
static void ForgetObjects()
{
    background = nexus = currencyIcon = nullptr;
    for (GameObject*& spot : towerSpots) spot = nullptr;
    for (GameObject*& marker : spawnPoints) marker = nullptr;
    for (Button*& button : towerButtons) button = nullptr;
    for (ObjectRef<Tower>& turret : turrets) turret = nullptr;
    charSelScreen = nullptr;
    shop = nullptr;
    controlsText = nullptr;
    pauseMenu = nullptr;
    currentPlayer = nullptr;
}

void LevelFree()
{
    try {
        FreeAllObjects();
    } catch (const std::exception& e) {
        printf("%s\n", e.what());
    }
    AudioSetPaused(level.musicChannel, true);
    FreeAllObjects();
    FreeAllTextLabels();
    // The last level lets its enemies' calls ring out; a call that never sounded
    // is still paused and would hold its channel for ever, so it stops anyway.
    for (SoundChannel& channel : enemyChannels)
        if (Desc().stopEnemySoundsOnFree || (channel && channel->paused)) AudioStop(channel);
    AudioStop(level.musicChannel);
    AudioStop(level.testChannel);
    // The test level leaves nothing sounding behind it.
    if (Desc().testLevel) AudioStopAll();
    // A credits page the victory showed goes with the level.
    ShowCreditsPage(1, false);
    ForgetObjects();
    // A restart keeps the camera and runs Init again, which multiplies the zoom
    // again: it is divided back here, after the frame that asked for the
    // restart was drawn, so that no frame shows the field at the divided zoom.
    if (nextState == STATE_RESTART) {
        const Vector2 zoom = Desc().zoom;
        levelCamera->transform.scale.x /= zoom.x;
        levelCamera->transform.scale.y /= zoom.y;
    }
}

SoundChannel LevelMusicChannel() { return level.musicChannel; }

// The chime prepared paused at Init has never sounded: it does not count as playing.
void PlayTestSound()
{
    if (AudioIsPlaying(level.testChannel) && !level.testChannel->paused) return;
    AudioStop(level.testChannel);
    level.testChannel = AudioPlay(level.testSound, false, SOUND_GROUP_SFX);
}
