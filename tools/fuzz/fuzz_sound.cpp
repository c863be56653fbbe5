// fuzz_sound: libFuzzer target for the sound loader: the sound file check, then
// SDL2_mixer's readers (SDL's WAV reader, the MP3 decoder) on each input it lets
// through as a whole sound file (LESoundBackendDecode), with the mixer open on
// SDL's disk driver. Seeded with a sound of every form the game plays.
#include <LEAudio.h>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    if (!LEAudioStart()) {
        fprintf(stderr, "fuzz_sound: SDL's disk driver did not open\n");
        exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string why;
    LESoundBackendReleaseSound(LESoundBackendDecode(data, size, &why));
    return 0;
}
