// fuzz_png: the texture loader (stb_image, then the GL upload) against mutated
// and cut-short copies of the game's pictures. Needs a display (Xvfb will do).
//     build-asan/fuzz/fuzz_png [seconds] [seed]
#include <src/LETexture.h>

#include "Mutator.h"
#include "TestEngine.h"

int main(int argc, char** argv)
{
    double seconds;
    uint32_t seed;
    fuzz::Arguments(argc, argv, &seconds, &seed);
    if (!StartTestEngine(64, 64)) return printf("fuzz_png needs a display\n"), 2;
    fuzz::Run("pictures",
              {"Assets/Sprites/Others/others_nexus.png", "Assets/Sprites/Particles/particles_tower_1.png",
               "Assets/Sprites/Heroes/hero_mage_2.png", "Assets/Logos/team_logo.png"},
              seconds, seed, [](const char* path) {
                  LETexture* texture = LETextureLoad(path);
                  LETextureUnload(texture);
                  return texture != nullptr;
              });
    StopTestEngine();
    return 0;
}
