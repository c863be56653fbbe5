// LETexture: texture loading through stb_image and the texture registry (see LETexture.h).
#include "LETexture.h"

#include <GL/glew.h>

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

static std::vector<LETexture*> textureRegistry;

// A texture array holding pictures of one size, one per layer. It starts with
// room for four and doubles when full; the last picture to leave deletes it.
struct Shelf {
    GLuint name = 0;
    uint32_t width = 0, height = 0;
    std::vector<const LETexture*> layers;  // null where a layer is free
    int members = 0;
};
static std::vector<Shelf> shelves;

static void AllocateShelf(Shelf& shelf, int layers, const std::vector<uint8_t>& keep)
{
    glGenTextures(1, &shelf.name);
    glBindTexture(GL_TEXTURE_2D_ARRAY, shelf.name);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, GLsizei(shelf.width), GLsizei(shelf.height), layers, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    if (!keep.empty())
        glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, 0, GLsizei(shelf.width), GLsizei(shelf.height),
                        GLsizei(shelf.layers.size()), GL_RGBA, GL_UNSIGNED_BYTE, keep.data());
    // Sampled exactly as each picture's own texture is.
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    shelf.layers.resize(size_t(layers), nullptr);
}

// Doubles a full shelf, keeping what is on it.
static bool GrowShelf(Shelf& shelf)
{
    const int layers = int(shelf.layers.size());
    if (layers * 2 > LE_SHELF_MAX_LAYERS) return false;
    std::vector<uint8_t> keep(size_t(shelf.width) * shelf.height * 4 * size_t(layers));
    glBindTexture(GL_TEXTURE_2D_ARRAY, shelf.name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA, GL_UNSIGNED_BYTE, keep.data());
    glDeleteTextures(1, &shelf.name);
    AllocateShelf(shelf, layers * 2, keep);
    for (const LETexture* member : shelf.layers)
        if (member) const_cast<LETexture*>(member)->shelf = shelf.name;
    return true;
}

static void PutOnShelf(LETexture* texture, const uint8_t* rgba)
{
    if (texture->width > LE_SHELF_MAX_SIDE || texture->height > LE_SHELF_MAX_SIDE) return;
    Shelf* shelf = nullptr;
    for (Shelf& s : shelves)
        if (s.width == texture->width && s.height == texture->height) shelf = &s;
    if (!shelf) {
        shelf = &shelves.emplace_back();
        shelf->width = texture->width, shelf->height = texture->height;
        AllocateShelf(*shelf, 4, {});
    }
    auto free = std::find(shelf->layers.begin(), shelf->layers.end(), nullptr);
    if (free == shelf->layers.end()) {
        if (!GrowShelf(*shelf)) return;  // a full shelf: the picture is drawn on its own
        free = std::find(shelf->layers.begin(), shelf->layers.end(), nullptr);
    }
    *free = texture;
    shelf->members += 1;
    texture->shelf = shelf->name;
    texture->layer = int(free - shelf->layers.begin());
    glBindTexture(GL_TEXTURE_2D_ARRAY, shelf->name);
    glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, texture->layer, GLsizei(texture->width), GLsizei(texture->height), 1,
                    GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

static void TakeOffShelf(LETexture* texture)
{
    for (auto s = shelves.begin(); s != shelves.end(); ++s) {
        if (s->name != texture->shelf) continue;
        s->layers[size_t(texture->layer)] = nullptr;
        if (--s->members == 0) {
            if (LEGraphicsStarted()) glDeleteTextures(1, &s->name);
            shelves.erase(s);
        }
        break;
    }
    texture->shelf = 0;
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
    const LETexture* bound = LEGraphicsBoundTexture();
    glBindTexture(GL_TEXTURE_2D, bound ? bound->glName : 0);  // the next draw's picture stays bound
    LEGraphicsCheckErrors(40);
    textureRegistry.push_back(texture);
}

LETexture* LETextureLoad(const char* path)
{
    if (!path || strnlen(path, 512) >= 512) {
        LEReportLoadFailure("Cannot load a picture: its path is 512 characters or longer");
        return nullptr;
    }
    FILE* file = fopen(path, "rb");
    if (!file) {
        LEReportLoadFailure("Cannot open %s: %s", path, strerror(errno));
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(file);
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
static constexpr uint64_t PICTURE_MAX_PIXELS = 4096 * 4096;

static uint32_t Big32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

static const char* CheckPngChunks(const unsigned char* file, size_t size)
{
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || memcmp(file, SIGNATURE, 8) != 0) return nullptr;  // stb_image says what it is not
    bool imageData = false;
    for (size_t at = 8; at + 8 <= size;) {
        const uint32_t length = Big32(file + at);
        const unsigned char* type = file + at + 4;
        if (length > size - at - 8) return "a chunk claims more bytes than the file holds";
        if (memcmp(type, "IHDR", 4) == 0 && length >= 8 &&
            uint64_t(Big32(file + at + 8)) * Big32(file + at + 12) > PICTURE_MAX_PIXELS)
            return "its size is far beyond any picture of the game";
        if (memcmp(type, "IDAT", 4) == 0) {
            if (length == 0 && !imageData) return "its first image data chunk is empty";
            imageData = true;
        }
        if (memcmp(type, "IEND", 4) == 0) break;
        at += 12 + size_t(length);
    }
    return nullptr;
}

const char* LETextureDecode(const unsigned char* file, size_t size, uint32_t* width, uint32_t* height,
                            std::vector<uint8_t>* rgba)
{
    static std::string why;
    if (const char* damage = CheckPngChunks(file, size)) {
        why = std::string("it is not a PNG image the game can read (") + damage + ")";
        return why.c_str();
    }
    int w = 0, h = 0, channels = 0;
    const bool sized = size <= size_t(INT32_MAX);
    stbi_uc* pixels = sized ? stbi_load_from_memory(file, int(size), &w, &h, &channels, 4) : nullptr;
    if (!pixels) {
        why = std::string("it is not a PNG image the game can read (") +
              (sized ? stbi_failure_reason() : "too large") + ")";
        return why.c_str();
    }
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
    if (texture->shelf) TakeOffShelf(texture);
    if (LEGraphicsStarted()) glDeleteTextures(1, &texture->glName);
    delete texture;
}

int LETextureCount() { return int(textureRegistry.size()); }

void LETextureUnloadAll()
{
    while (!textureRegistry.empty()) LETextureUnload(textureRegistry.back());
}
