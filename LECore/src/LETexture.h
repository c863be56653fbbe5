// LETexture: GL textures from PNG files or pixel memory. Owns the registry of live
// textures. States load textures in Load and unload them in Unload; fonts make
// their atlas here; shutdown frees and reports what is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct LETexture {
    uint32_t glName = 0;
    uint32_t width = 0, height = 0;
    char name[512] = {};
    bool opaque = false;  // every texel's alpha is 255: drawing it needs no blending
    uint64_t serial = 0;  // unique to this texture: a later one at the same address differs
    // Small pictures that share their size with another also sit in a texture
    // array (a shelf), one layer each, so that the quad batch draws them together.
    uint32_t shelf = 0;  // GL name of the shelf, 0 when the picture has none
    int layer = 0;       // its layer on the shelf
};

constexpr uint32_t LE_SHELF_MAX_SIDE = 256;  // pictures up to this wide and tall are shelved
constexpr int LE_SHELF_MAX_LAYERS = 64;

// Decodes an image file to RGBA; null (with one line on stderr) when the path is
// 512 characters or longer, or the file is missing or not an image.
LETexture* LETextureLoad(const char* path);
// RGBA8 pixels given bottom row first.
LETexture* LETextureCreate(uint32_t width, uint32_t height, const uint8_t* rgba);
// The loader's work short of the GPU: a PNG file in memory decoded to RGBA8,
// bottom row first. Null when all went well, else what is wrong with the file.
// Needs no window (the fuzzer drives it).
const char* LETextureDecode(const unsigned char* file, size_t size, uint32_t* width, uint32_t* height,
                            std::vector<uint8_t>* rgba);
// The start-up check's look at a PNG file in memory, short of decoding its
// pixels: its header, every chunk whole with the right checksum, image data
// and the end chunk. Null when the file holds up, else what is wrong, in the
// words LETextureDecode uses. A file that passes can still fail to decode
// (image data that checks out but does not inflate); the load says so then.
const char* LETextureCheck(const unsigned char* file, size_t size);
// Reads the file and checks it as above; false after one refusal line in the
// load's words (see LELoadReport.h). Creates nothing.
bool LETextureCheckFile(const char* path);
void LETextureUnload(LETexture* texture);

int LETextureCount();
void LETextureUnloadAll();
