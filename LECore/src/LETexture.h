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
};

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
void LETextureUnload(LETexture* texture);

int LETextureCount();
void LETextureUnloadAll();
