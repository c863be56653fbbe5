// fuzz_font: the font loader (the table-directory check, then stb_truetype's
// packer and the atlas upload) against mutated and cut-short copies of the
// game's two fonts. Needs a display (Xvfb will do).
//     build-asan/fuzz/fuzz_font [seconds] [seed]
#include <src/LEFont.h>

#include "Mutator.h"
#include "TestEngine.h"

int main(int argc, char** argv)
{
    double seconds;
    uint32_t seed;
    fuzz::Arguments(argc, argv, &seconds, &seed);
    if (!StartTestEngine(64, 64)) return printf("fuzz_font needs a display\n"), 2;
    fuzz::Run("fonts", {"Assets/Fonts/arial.ttf", "Assets/Fonts/Kingthings Exeter.ttf"}, seconds, seed,
              [](const char* path) {
                  LEFont* font = LEFontLoad(path, 20, 1.0f);
                  LEFontFree(font);
                  return font != nullptr;
              });
    StopTestEngine();
    return 0;
}
