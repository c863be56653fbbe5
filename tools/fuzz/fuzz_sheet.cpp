// fuzz_sheet: the sprite-sheet description reader against mutated and cut-short
// copies of the heroes' description files. What it accepts must be playable.
//     build-asan/fuzz/fuzz_sheet [seconds] [seed]
#include <objects/AnimationSheet.h>

#include "Mutator.h"

int main(int argc, char** argv)
{
    double seconds;
    uint32_t seed;
    fuzz::Arguments(argc, argv, &seconds, &seed);
    bool playable = true;
    fuzz::Run("sprite sheets",
              {"Assets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet",
               "Assets/Sprites/Heroes/Animations/Bard/hero_bard_spritesheet",
               "Assets/Sprites/Heroes/Animations/Thief/hero_thief_spritesheet"},
              seconds, seed, [&playable](const char* path) {
                  AnimationSheetDesc d;
                  if (!ReadAnimationSheet(path, &d)) return false;
                  playable &= d.frameCount > 0 && d.rows > 0 && d.columns > 0 &&
                              d.durations.size() == d.frameCount && d.frameCount <= d.rows * d.columns;
                  return true;
              });
    if (!playable) printf("the reader accepted a sheet that cannot be played\n");
    return playable ? 0 : 1;
}
