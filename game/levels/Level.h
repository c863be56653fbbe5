// Level: the callbacks of the level states. One module serves every level; the
// current state's LevelDesc supplies what differs. Registered by GameStates.
#pragma once

#include <cstdint>

#include <LEAudio.h>

void LevelLoad();
void LevelInit();
void LevelUpdate();
void LevelDraw();
void LevelFree();
void LevelUnload();

// The level music's channel (the update rules pause it while the window is inactive).
SoundChannel LevelMusicChannel();
// The test level's chime, unless it is already playing.
void PlayTestSound();

// The test level's own Update and Draw (manual spawning, the debug window).
void TestLevelUpdate();
void TestLevelDraw();
// The HUD texts and end screens that every level's Draw refreshes.
void UpdateHud();
// Shared update rules.
bool LevelHasFocus();
// The shop or the character selection covers the field.
bool SidePanelOpen();
// The controls text P shows between rounds: a screen of its own, so that Enter
// starts no round under it and Escape closes it before anything else.
bool ControlsOpen();
void CloseControls();
// P opens the controls text while nothing is open over the field; otherwise the shop runs.
void HowToPlayOrShop();
void ApplyCheats();
void PrintDebugStats();

// Kills needed to end wave i + 1: floor(2^(i+1)) + 30.
uint32_t WaveKillTarget(int waveNumberIndex);
