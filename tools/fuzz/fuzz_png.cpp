// fuzz_png: libFuzzer target for the picture loader's work short of the GPU:
// stb_image decoding each input as a PNG file, then the flip to bottom row first
// (LETextureDecode).
#include <src/LETexture.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
    LETextureDecode(data, size, &width, &height, &rgba);
    return 0;
}
