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

// Kills needed to end wave i + 1: floor(2^(i+1)) + 30.
uint32_t WaveKillTarget(int waveNumberIndex);
