// LevelUpdate: the per-frame rules of a level: the focus freeze, cheats, the P
// statistics, the two phases, the end of the level with Q, R and N, label
// visibility and the update pass. Registered as the level states' Update.
#include <cstdio>  // Required for: printf

#include <LEGameState.h>
#include <LEInput.h>
#include <LESystem.h>

#include "Level.h"
#include "LevelData.h"
#include "LevelState.h"
#include "Waves.h"
#include "actors/Enemy.h"
#include "actors/CharSel.h"
#include "actors/Player.h"
#include "actors/Shop.h"
#include "actors/Tower.h"
#include "menus/Credits.h"
#include "main/GameStates.h"
#include "menus/Pause.h"
#include "objects/Button.h"
#include "objects/Camera2D.h"
#include "objects/GameObject.h"
#include "objects/Screens.h"
#include "objects/TextLabel.h"


// The hero in play (the scene holds hundreds of objects: no search by name each frame).
static Player* FindPlayer() { return currentPlayer.Get(); }

static bool ShopOpen() { return shop && shop->open; }
// The side panels (shop, character selection) cover the field while open.
bool SidePanelOpen() { return ShopOpen() || (charSelScreen && charSelScreen->screenOpen); }
// Esc opens the pause menu while nothing is open over the field (a screen on
// top takes Esc to close itself first); while it is open nothing of the level runs.
static bool PauseStep()
{
    if (!pauseMenu) return false;
    if (TakeKey(nullptr, KEY_ESCAPE)) pauseMenu->open = true;
    pauseMenu->Update();
    return pauseMenu->open;
}

static void ShowCharSel(bool shown)
{
    if (charSelScreen) charSelScreen->active = charSelScreen->visible = shown;
}

bool ControlsOpen() { return ScreenIsOpen(controlsText); }

void CloseControls()
{
    PopScreen(controlsText);
    if (shop) shop->panelBackground->visible = false;
}

// P opens the controls text while nothing is open over the field; otherwise the
// shop runs. P is not taken: held, it also prints the statistics.
void HowToPlayOrShop()
{
    if (controlsText && OnTopScreen(nullptr) && LEInputKeyTriggered(KEY_P)) {
        NotePressAction("show the controls");
        PushScreen(controlsText);
    }
    else if (shop)
        shop->Update();
}

void ApplyCheats()
{
    Player* hero = FindPlayer();
    if (!LEInputKeyPressed(KEY_CONTROL)) return;
    if (LEInputKeyTriggered(KEY_1)) {
        if (!hero) return;
        NotePressAction("cheat: money");
        hero->gold = cheatMoney ? 0.0f : 1000000.0f;
        cheatMoney = !cheatMoney;
    } else if (LEInputKeyTriggered(KEY_2)) {
        if (!hero) return;
        NotePressAction("cheat: damage");
        const double l = hero->damageLevel;
        hero->attackDamage = cheatDamage ? float(2.5 * l * l - 2.0 * l + l) : 1000000.0f;
        cheatDamage = !cheatDamage;
    } else if (LEInputKeyTriggered(KEY_3)) {
        NotePressAction("cheat: nexus health");
        nexusHealth = cheatNexus ? 100 : 2000000000;
        cheatNexus = !cheatNexus;
    } else if (LEInputKeyTriggered(KEY_4)) {
        NotePressAction("cheat: endless wave");
        enemiesRemaining = cheatNonStop ? 0 : 0xFFFFFFFFu;
        cheatNonStop = !cheatNonStop;
    }
}

void PrintDebugStats()
{
    const Player* hero = FindPlayer();
    if (!LEInputKeyPressed(KEY_P) || !hero) return;
    printf("Hero stats: \nDamage: %g\nAttack speed: %g\nLevel stats: \nCurrent enemies: %u\n"
           "--------------------------------------\nTower stats: \n",
           double(hero->attackDamage), double(hero->attackInterval), enemiesRemaining);
    for (const Tower* tower : towerList)
        printf("Name: %s\nDamage: %g\nRange: %g\nAttack speed%g\nTarget: %p\n", tower->name.c_str(),
               double(tower->damage), double(tower->range), double(tower->projectileSpeed),
               static_cast<const void*>(tower->target.Get()));
}

// A round hides the tower buttons and every turret still waiting to be placed.
static void RoundPhase()
{
    for (Button* button : towerButtons)
        if (button) button->active = button->visible = false;
    for (Tower* turret : turrets)
        if (turret && !turret->placed) turret->visible = false;
    ShowCharSel(false);
    // The shop's button has a click before the hero, who would strike with it.
    if (shop) shop->Update();
    SpawnStep();
}

static void BetweenRoundsPhase()
{
    for (Button* button : towerButtons)
        if (button) button->active = button->visible = true;
    ShowCharSel(true);
    if (charSelScreen) charSelScreen->Update();
    // The turrets join the field once a hero is in play; the selection's panel
    // covers them while it is open.
    const bool selecting = charSelScreen && charSelScreen->screenOpen;
    if (FindPlayer()) {
        for (Tower* turret : turrets) {
            if (!turret) continue;
            turret->active = true;
            turret->visible = !selecting;
        }
        for (uint32_t id : {10u, 11u, 12u, 13u, 14u, 15u}) SetLabelVisible(id, true);
        ShowRoundPrompts(true);
    }
    if (waveEffectPending) RollWaveEffect();
    // While the controls text is up the shop waits, until Esc closes the text.
    if (!ControlsOpen()) HowToPlayOrShop();
    // Enter belongs to the field: no round starts under an open screen.
    if (TakeKey(nullptr, KEY_ENTER)) StartRound();
}

// The last level's victory shows the first credits page over the field, under
// the win message; while it shows it is the screen on top. A right click (or
// Escape) clears it and every text away (the win message comes back).
static void CreditsOnVictory(const LevelDesc& level, bool justWon)
{
    if (level.nextState != STATE_MAIN_MENU) return;
    if (justWon) ShowCreditsPage(1, true);
    if (!CreditsPageShown(1)) return;
    bool cleared = TakeKey(credits->page1, KEY_ESCAPE);
    if (!cleared && LEInputMousePressed(MOUSE_RIGHT)) {
        NotePressAction("clear the credits");
        cleared = true;
    }
    if (!cleared) return;
    ShowCreditsPage(1, false);
    for (TextLabel* label : textList) label->visible = false;
}

static void EndOfLevel()
{
    const LevelDesc& level = CurrentLevelDesc();
    if (waveIndex >= uint32_t(WAVE_COUNT)) {
        CreditsOnVictory(level, !levelWon);
        levelWon = true;
    }
    if (LEInputKeyPressed(KEY_Q) && (levelWon || levelLost)) {
        NotePressAction("quit");
        nextState = STATE_QUIT;
    }
    if (LEInputKeyPressed(KEY_R) && levelLost) {
        NotePressAction("restart");
        waveIndex = 0;
        nextState = STATE_RESTART;
        SetLabelVisible(1236, false);
        if (shop) shop->panelBackground->visible = false;
    }
    if (LEInputKeyPressed(KEY_N) && levelWon) {
        NotePressAction("next level");
        waveIndex = 0;
        levelWon = false;
        nextState = level.nextState;
        SetLabelVisible(1235, false);
        if (shop) shop->panelBackground->visible = false;
    }
}

// An open panel covers the HUD; the gold (13) stays in view either way.
static void UpdateLabelVisibility()
{
    if (SidePanelOpen()) {
        for (uint32_t id : {11u, 10u, 12u, 14u, 15u, 16u, 17u}) SetLabelVisible(id, false);
        return;
    }
    for (uint32_t id : {11u, 10u, 12u, 14u, 15u}) SetLabelVisible(id, true);
    if (betweenRounds) ShowRoundPrompts(true);
}

// Without focus the level freezes, timers included, and its music pauses.
bool LevelHasFocus()
{
    SoundChannel music = LevelMusicChannel();
    if (!LEWindowIsActive()) {
        AudioSetPaused(music, true);
        return false;
    }
    if (music && music->paused) AudioSetPaused(music, false);
    return true;
}

void LevelUpdate()
{
    const LevelDesc& d = CurrentLevelDesc();
    AudioUpdate();
    if (d.cheatOrder == CheatOrder::First) {
        ApplyCheats();
        PrintDebugStats();
        if (waveIndex == 1) waveScalingOn = true;
    }
    if (!LevelHasFocus()) return;
    if (d.cheatOrder == CheatOrder::AfterFocus) {
        ApplyCheats();
        PrintDebugStats();
    }
    if (PauseStep()) return;
    // The controls text closes on Esc in either phase.
    if (controlsText && TakeKey(controlsText, KEY_ESCAPE)) CloseControls();
    if (d.cheatOrder == CheatOrder::AfterPause) ApplyCheats();
    if (waveIndex == 1) waveScalingOn = true;

    if (!betweenRounds)
        RoundPhase();
    else
        BetweenRoundsPhase();

    EndOfLevel();
    UpdateLabelVisibility();
    if (nexusHealth < 1) levelLost = true;
    UpdateScene();
}
