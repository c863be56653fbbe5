// fuzz_sound: the sound loader (SDL2_mixer's WAV and MP3 decoders) against
// mutated and cut-short copies of the game's sounds, on SDL's disk driver.
//     build-asan/fuzz/fuzz_sound [seconds] [seed]
#include <LEAudio.h>

#include <cstdlib>

#include "Mutator.h"

int main(int argc, char** argv)
{
    double seconds;
    uint32_t seed;
    fuzz::Arguments(argc, argv, &seconds, &seed);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    if (!LEAudioStart()) return printf("fuzz_sound: SDL's disk driver did not open\n"), 2;
    fuzz::Run("sounds", {"Assets/Audio/SFX/sfx_click.wav", "Assets/Audio/SFX/sfx_goblin.wav", "Assets/Audio/SFX/sfx_hunter.mp3"},
              seconds, seed, [](const char* path) {
                  SoundAsset* sound = AudioLoad(path);
                  AudioUnload(sound);
                  return sound != nullptr;
              });
    LEAudioShutdown();
    return 0;
}
