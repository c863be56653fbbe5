// LETexture: texture loading through stb_image and the texture registry (see LETexture.h).
#include "LETexture.h"

#include <GL/glew.h>
#include <zlib.h>  // Required for: crc32

// stb_image is compiled into this file, static, from Debian's header rather
// than taken from its shared libstb: the sanitizer build instruments it, and it
// cannot clash with the copy Debian's Dear ImGui links. PNG only, and no picture
// wider or taller than 16384 pixels.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>

#include <algorithm>  // Required for: std::find
#include <cerrno>     // Required for: errno
#include <cstdio>     // Required for: fopen, fread
#include <cstring>    // Required for: strnlen, memcpy, memcmp, strerror
#include <string>
#include <vector>

#include "LEGraphicsOGL.h"
#include "LELoadReport.h"
#include "../LESystem.h"

static std::vector<LETexture*> textureRegistry;

// Pictures of one size, one per layer of a texture array. The array is made when
// a second picture of the size arrives (a picture alone in its size gains
// nothing from it), with room for four, and doubles when full. Each picture's
// pixels are kept here too, so that making or growing the array reads nothing
// back from GL. The last picture to leave deletes the shelf.
struct Shelf {
    GLuint name = 0;  // 0 while only one picture of the size exists
    size_t capacity = 0;  // layers of the array
    uint32_t width = 0, height = 0;
    std::vector<LETexture*> layers;  // null where a layer is free
    std::vector<std::vector<uint8_t>> pixels;
    int members = 0;
};
static std::vector<Shelf> shelves;

static Shelf* ShelfOfSize(uint32_t width, uint32_t height)
{
    for (Shelf& s : shelves)
        if (s.width == width && s.height == height) return &s;
    return nullptr;
}

static void UploadLayer(const Shelf& shelf, size_t layer)
{
    glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, GLint(layer), GLsizei(shelf.width), GLsizei(shelf.height), 1,
                    GL_RGBA, GL_UNSIGNED_BYTE, shelf.pixels[layer].data());
}

// A new array with room for every layer of the shelf and as many again, holding
// every picture on it.
static void MakeShelfArray(Shelf& shelf)
{
    if (shelf.name) glDeleteTextures(1, &shelf.name);
    shelf.capacity = std::min(std::max<size_t>(4, shelf.layers.size() * 2), size_t(LE_SHELF_MAX_LAYERS));
    glGenTextures(1, &shelf.name);
    glBindTexture(GL_TEXTURE_2D_ARRAY, shelf.name);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, GLsizei(shelf.width), GLsizei(shelf.height),
                 GLsizei(shelf.capacity), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // Sampled exactly as each picture's own texture is.
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    for (size_t layer = 0; layer < shelf.layers.size(); ++layer) {
        if (!shelf.layers[layer]) continue;
        shelf.layers[layer]->shelf = shelf.name;
        shelf.layers[layer]->layer = int(layer);
        UploadLayer(shelf, layer);
    }
}

static void PutOnShelf(LETexture* texture, const uint8_t* rgba)
{
    if (texture->width > LE_SHELF_MAX_SIDE || texture->height > LE_SHELF_MAX_SIDE) return;
    Shelf* shelf = ShelfOfSize(texture->width, texture->height);
    if (!shelf) {
        shelf = &shelves.emplace_back();
        shelf->width = texture->width, shelf->height = texture->height;
    }
    auto free = std::find(shelf->layers.begin(), shelf->layers.end(), nullptr);
    if (free == shelf->layers.end()) {
        if (shelf->layers.size() >= size_t(LE_SHELF_MAX_LAYERS)) return;  // full: the picture is drawn on its own
        shelf->layers.push_back(nullptr);
        shelf->pixels.emplace_back();
        free = shelf->layers.end() - 1;
    }
    const size_t layer = size_t(free - shelf->layers.begin());
    *free = texture;
    shelf->pixels[layer].assign(rgba, rgba + size_t(texture->width) * texture->height * 4);
    shelf->members += 1;
    if (shelf->members < 2) return;  // alone in its size so far
    if (!shelf->name || layer >= shelf->capacity) {
        MakeShelfArray(*shelf);
    } else {
        texture->shelf = shelf->name;
        texture->layer = int(layer);
        glBindTexture(GL_TEXTURE_2D_ARRAY, shelf->name);
        UploadLayer(*shelf, layer);
    }
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

static void TakeOffShelf(LETexture* texture)
{
    Shelf* shelf = ShelfOfSize(texture->width, texture->height);
    if (!shelf) return;
    const auto at = std::find(shelf->layers.begin(), shelf->layers.end(), texture);
    if (at == shelf->layers.end()) return;
    *at = nullptr;
    shelf->pixels[size_t(at - shelf->layers.begin())] = {};
    texture->shelf = 0;
    if (--shelf->members > 0) return;
    if (shelf->name && LEGraphicsStarted()) glDeleteTextures(1, &shelf->name);
    shelves.erase(shelves.begin() + (shelf - shelves.data()));
}

static bool AllOpaque(const uint8_t* rgba, size_t texels)
{
    for (size_t i = 0; i < texels; ++i)
        if (rgba[i * 4 + 3] != 255) return false;
    return true;
}

static void Upload(LETexture* texture, const uint8_t* rgba)
{
    LEGraphicsFlush();  // waiting quads name their shelf, which may grow
    static uint64_t uploads = 0;
    texture->serial = ++uploads;
    texture->opaque = AllOpaque(rgba, size_t(texture->width) * texture->height);
    glGenTextures(1, &texture->glName);
    glBindTexture(GL_TEXTURE_2D, texture->glName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(texture->width), GLsizei(texture->height), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    PutOnShelf(texture, rgba);
    LEGraphicsRebindTexture();  // the next draw's picture stays bound
    LEGraphicsCheckErrors(40);
    textureRegistry.push_back(texture);
}

// The whole file in *bytes; false after a refusal line when the path is too
// long or the file cannot be opened.
static bool ReadPicture(const char* path, std::vector<unsigned char>* bytes)
{
    if (!path || strnlen(path, 512) >= 512) {
        LEReportLoadFailure("Cannot load a picture: its path is 512 characters or longer");
        return false;
    }
    FILE* file = fopen(path, "rb");
    if (!file) {
        LEReportLoadFailure("Cannot open %s: %s", path, strerror(errno));
        return false;
    }
    // Room for the whole file at once: a background is a megabyte or more.
    if (fseek(file, 0, SEEK_END) == 0) {
        const long length = ftell(file);
        if (length > 0) bytes->reserve(size_t(length));
        rewind(file);
    }
    unsigned char chunk[65536];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;) bytes->insert(bytes->end(), chunk, chunk + n);
    fclose(file);
    return true;
}

bool LETextureCheckFile(const char* path)
{
    std::vector<unsigned char> bytes;
    if (!ReadPicture(path, &bytes)) return false;
    if (const char* why = LETextureCheck(bytes.data(), bytes.size())) {
        LEReportLoadFailure("Cannot load the picture %s: %s", path, why);
        return false;
    }
    return true;
}

LETexture* LETextureLoad(const char* path)
{
    const LEFrameLoadScope loading;
    std::vector<unsigned char> bytes;
    if (!ReadPicture(path, &bytes)) return nullptr;
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> rgba;
    if (const char* why = LETextureDecode(bytes.data(), bytes.size(), &w, &h, &rgba)) {
        LEReportLoadFailure("Cannot load the picture %s: %s", path, why);
        return nullptr;
    }
    LETexture* texture = new LETexture;
    memcpy(texture->name, path, strlen(path) + 1);
    texture->width = w;
    texture->height = h;
    Upload(texture, rgba.data());
    return texture;
}

// stb_image believes a PNG's header: it reserves room for each image-data
// chunk by the length the chunk declares, and for the picture by the size the
// header gives, before it reads a byte of either; and it copies an empty first
// image-data chunk into a buffer not made yet. So the chunks are measured
// first: each must fit in the file, the first image data must not be empty,
// and the picture must be of a size a game picture can have.
//
// The start-up check walks the same chunks more strictly, as it decodes no
// pixels: the file must begin as a PNG does, open with a valid header, keep
// every chunk whole with its checksum right (which catches any changed byte),
// hold image data and end with the end chunk (which catches a file cut short).
// The decoder is not held to checksums, so the fuzzer can reach stb_image.
static constexpr uint64_t PICTURE_MAX_PIXELS = 4096 * 4096;

static uint32_t Big32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The bit depths PNG allows for each colour type (bit n: depth n is allowed).
static bool DepthAllowed(unsigned colourType, unsigned depth)
{
    const uint32_t all = 1u << 1 | 1u << 2 | 1u << 4 | 1u << 8 | 1u << 16;
    const uint32_t allowed = colourType == 0   ? all
                             : colourType == 3 ? all & ~(1u << 16)
                             : colourType == 2 || colourType == 4 || colourType == 6 ? 1u << 8 | 1u << 16
                                                                                     : 0;
    return depth <= 16 && (allowed >> depth & 1) != 0;
}

static const char* CheckHeader(const unsigned char* data, uint32_t length)
{
    if (length != 13) return "its header chunk is damaged";
    const uint32_t width = Big32(data), height = Big32(data + 4);
    if (width > STBI_MAX_DIMENSIONS || height > STBI_MAX_DIMENSIONS)
        return "its size is far beyond any picture of the game";
    if (width == 0 || height == 0 || !DepthAllowed(data[9], data[8]) || data[10] != 0 || data[11] != 0 ||
        data[12] > 1)
        return "its header chunk is damaged";
    return nullptr;
}

static const char* CheckPngChunks(const unsigned char* file, size_t size, bool whole)
{
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || memcmp(file, SIGNATURE, 8) != 0)
        return whole ? "it does not begin as a PNG file does" : nullptr;  // stb_image says what it is not
    bool imageData = false, palette = false, colourMap = false;
    for (size_t at = 8; at + 8 <= size;) {
        const uint32_t length = Big32(file + at);
        const unsigned char* type = file + at + 4;
        const unsigned char* data = type + 4;
        if (length > size - at - 8 || (whole && size - at - 8 - length < 4))
            return "a chunk claims more bytes than the file holds";
        const bool header = memcmp(type, "IHDR", 4) == 0;
        if (header && length >= 8 && uint64_t(Big32(data)) * Big32(data + 4) > PICTURE_MAX_PIXELS)
            return "its size is far beyond any picture of the game";
        if (whole) {
            if (uint32_t(crc32(0, type, 4 + length)) != Big32(data + length))
                return "a chunk's checksum is wrong, so the file is damaged";
            if ((at == 8) != header) return "its header chunk is missing or out of place";
            if (header) {
                if (const char* why = CheckHeader(data, length)) return why;
                colourMap = data[9] == 3;
            }
            palette = palette || memcmp(type, "PLTE", 4) == 0;
            // A critical chunk (upper-case first letter) that stb_image does not know stops it.
            const bool known = header || memcmp(type, "PLTE", 4) == 0 || memcmp(type, "IDAT", 4) == 0 ||
                               memcmp(type, "IEND", 4) == 0;
            if (!known && !(type[0] & 0x20)) return "it holds a part the game cannot read";
        }
        if (memcmp(type, "IDAT", 4) == 0) {
            if (length == 0 && !imageData) return "its first image data chunk is empty";
            if (whole && colourMap && !palette) return "its palette is missing";
            imageData = true;
        }
        if (memcmp(type, "IEND", 4) == 0) {
            if (whole && !imageData) return "it holds no image data";
            return nullptr;
        }
        at += 12 + size_t(length);
    }
    return whole ? "the file stops before its end, so it was cut short" : nullptr;
}

static const char* NotAPicture(const char* damage)
{
    static std::string why;
    why = std::string("it is not a PNG image the game can read (") + damage + ")";
    return why.c_str();
}

const char* LETextureCheck(const unsigned char* file, size_t size)
{
    const char* damage = CheckPngChunks(file, size, true);
    return damage ? NotAPicture(damage) : nullptr;
}

const char* LETextureDecode(const unsigned char* file, size_t size, uint32_t* width, uint32_t* height,
                            std::vector<uint8_t>* rgba)
{
    if (const char* damage = CheckPngChunks(file, size, false)) return NotAPicture(damage);
    int w = 0, h = 0, channels = 0;
    const bool sized = size <= size_t(INT32_MAX);
    stbi_uc* pixels = sized ? stbi_load_from_memory(file, int(size), &w, &h, &channels, 4) : nullptr;
    if (!pixels) return NotAPicture(sized ? stbi_failure_reason() : "too large");
    // GL wants the bottom row first, so v = 0 is the bottom of the image.
    const size_t rowBytes = size_t(w) * 4;
    rgba->resize(rowBytes * size_t(h));
    for (int row = 0; row < h; ++row)
        memcpy(&(*rgba)[size_t(h - 1 - row) * rowBytes], pixels + size_t(row) * rowBytes, rowBytes);
    stbi_image_free(pixels);
    *width = uint32_t(w);
    *height = uint32_t(h);
    return nullptr;
}

LETexture* LETextureCreate(uint32_t width, uint32_t height, const uint8_t* rgba)
{
    LETexture* texture = new LETexture;
    snprintf(texture->name, sizeof texture->name, "Texture%i", int(textureRegistry.size()));
    texture->width = width;
    texture->height = height;
    Upload(texture, rgba);
    return texture;
}

void LETextureUnload(LETexture* texture)
{
    if (!texture) return;
    const auto it = std::find(textureRegistry.begin(), textureRegistry.end(), texture);
    if (it == textureRegistry.end()) return;
    textureRegistry.erase(it);
    // Quads waiting to be drawn with it are drawn first, and a texture still
    // bound for the next draw must not outlive its record.
    LEGraphicsFlush();
    if (LEGraphicsBoundTexture() == texture) LEGraphicsSetTexture(nullptr);
    TakeOffShelf(texture);
    if (LEGraphicsStarted()) glDeleteTextures(1, &texture->glName);
    delete texture;
}

int LETextureCount() { return int(textureRegistry.size()); }

void LETextureUnloadAll()
{
    while (!textureRegistry.empty()) LETextureUnload(textureRegistry.back());
}
