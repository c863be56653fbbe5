// fuzz_font: libFuzzer target for the font loader's work short of the GPU: the
// checks made before stb_truetype reads a font, then its packing and
// rasterising of the atlas (LEFontBake), on each input as a whole font file.
#include <src/LEFont.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static LEFontBaked* baked = new LEFontBaked;  // the 256 x 256 atlas, reused
    LEFontBake(std::vector<unsigned char>(data, data + size), 20, 1.0f, baked);
    return 0;
}
