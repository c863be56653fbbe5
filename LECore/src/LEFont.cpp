// LEFont: font baking with stb_truetype's packer and text meshes (see LEFont.h).
#include "LEFont.h"

// stb_truetype (with stb_rect_pack, its packer) is compiled into this file,
// static, from Debian's headers rather than taken from its shared libstb: the
// sanitizer build instruments it, and it cannot clash with the copy Debian's
// Dear ImGui links.
#define STBRP_STATIC
#define STB_RECT_PACK_IMPLEMENTATION
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_rect_pack.h>
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop

#include <algorithm>  // Required for: std::find
#include <cerrno>     // Required for: errno
#include <cstdio>     // Required for: fopen, fread, fprintf
#include <cstring>    // Required for: strnlen, memcpy, memcmp, strerror
#include <vector>

static std::vector<LEFont*> fontRegistry;

// The whole file; *opened is false (with errno set) when it cannot be opened.
static std::vector<unsigned char> ReadFile(const char* path, bool* opened)
{
    std::vector<unsigned char> data;
    FILE* file = fopen(path, "rb");
    *opened = file != nullptr;
    if (!file) return data;
    unsigned char chunk[65536];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;) data.insert(data.end(), chunk, chunk + n);
    fclose(file);
    return data;
}

static uint16_t Read16(const unsigned char* p) { return uint16_t(p[0] << 8 | p[1]); }
static uint32_t Read32(const unsigned char* p) { return uint32_t(Read16(p)) << 16 | Read16(p + 2); }
static int16_t ReadS16(const unsigned char* p) { return int16_t(Read16(p)); }

// Kerning from the first subtable of the "kern" table when it is a horizontal
// format-0 table; 0 otherwise. The pairs are sorted, so a binary search finds one.
static int KernPair(const stbtt_fontinfo& info, size_t fileSize, int glyph1, int glyph2)
{
    if (!info.kern || size_t(info.kern) + 18 > fileSize) return 0;
    const unsigned char* table = info.data + info.kern;
    if (Read16(table + 2) < 1) return 0;            // no subtables
    if (Read16(table + 8) != 1) return 0;           // coverage: horizontal, format 0
    const int pairs = Read16(table + 10);
    if (size_t(info.kern) + 18 + size_t(pairs) * 6 > fileSize) return 0;
    const uint32_t needle = uint32_t(glyph1) << 16 | uint32_t(glyph2);
    int lo = 0, hi = pairs - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const unsigned char* pair = table + 18 + mid * 6;
        const uint32_t key = uint32_t(Read16(pair)) << 16 | Read16(pair + 2);
        if (key == needle) return ReadS16(pair + 4);
        if (key < needle) lo = mid + 1; else hi = mid - 1;
    }
    return 0;
}

static void FillGlyphTable(LEGlyphTable& table, const stbtt_fontinfo& info, size_t fileSize,
                           const stbtt_packedchar* packed, float pixelHeight, int side)
{
    const float scale = stbtt_ScaleForPixelHeight(&info, pixelHeight);
    int ascent = 0, descent = 0, lineGap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
    table.pixelHeight = pixelHeight;
    table.lineHeight = float(ascent - descent + lineGap) * scale;

    int glyphIndex[LE_FONT_GLYPHS];
    for (int i = 0; i < LE_FONT_GLYPHS; ++i) {
        const int code = int(LE_FONT_FIRST_CHAR) + i;
        glyphIndex[i] = stbtt_FindGlyphIndex(&info, code);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0, advance = 0, bearing = 0;
        stbtt_GetGlyphBox(&info, glyphIndex[i], &x0, &y0, &x1, &y1);
        stbtt_GetGlyphHMetrics(&info, glyphIndex[i], &advance, &bearing);
        const stbtt_packedchar& p = packed[i];
        table.glyphs[i] = {uint32_t(code),
                           float(x0) * scale, float(y0) * scale, float(x1) * scale, float(y1) * scale,
                           float(p.x0) / float(side), 1.0f - float(p.y1) / float(side),
                           float(p.x1) / float(side), 1.0f - float(p.y0) / float(side),
                           float(advance) * scale};
    }
    for (int a = 0; a < LE_FONT_GLYPHS; ++a)
        for (int b = 0; b < LE_FONT_GLYPHS; ++b)
            table.kerning[a][b] = float(KernPair(info, fileSize, glyphIndex[a], glyphIndex[b])) * scale;
}

// White RGBA atlas with alpha = coverage, bottom row first.
static LETexture* MakeAtlas(const std::vector<unsigned char>& coverage, int side)
{
    std::vector<uint8_t> rgba(size_t(side) * size_t(side) * 4);
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col) {
            const uint8_t c = coverage[size_t(row) * size_t(side) + size_t(col)];
            uint8_t* px = &rgba[(size_t(side - 1 - row) * size_t(side) + size_t(col)) * 4];
            px[0] = px[1] = px[2] = px[3] = c;
        }
    return LETextureCreate(uint32_t(side), uint32_t(side), rgba.data());
}

// stb_truetype trusts a font's table directory: a table it reads past the end
// of the file is read past the end of the buffer. So the directory is checked
// first: every table inside the file, and the tables the loader reads present.
// Returns null for a directory that holds up, or what is wrong with it.
static const char* CheckTableDirectory(const std::vector<unsigned char>& data)
{
    const size_t size = data.size();
    if (size < 12) return "too short to be a font";
    const uint32_t version = Read32(data.data());
    if (version != 0x00010000u && version != 0x4F54544Fu /* OTTO */ && version != 0x74727565u /* true */)
        return "not a TrueType or OpenType font";
    const size_t tables = Read16(data.data() + 4);
    if (12 + 16 * tables > size) return "its table directory runs past the end of the file";
    bool has[7] = {};
    static const char* const NEEDED[7] = {"cmap", "head", "hhea", "hmtx", "maxp", "loca", "glyf"};
    bool cff = false;
    for (size_t i = 0; i < tables; ++i) {
        const unsigned char* record = data.data() + 12 + 16 * i;
        const uint64_t offset = Read32(record + 8), length = Read32(record + 12);
        if (offset + length > size) return "a table runs past the end of the file";
        for (int n = 0; n < 7; ++n) has[n] |= memcmp(record, NEEDED[n], 4) == 0;
        cff |= memcmp(record, "CFF ", 4) == 0;
    }
    for (int n = 0; n < 5; ++n)
        if (!has[n]) return "a table the game needs is missing";
    if (!cff && !(has[5] && has[6])) return "it has no glyph outlines";
    return nullptr;
}

LEFont* LEFontLoad(const char* path, uint32_t size, float scale)
{
    if (!path || strnlen(path, 512) >= 512) {
        fprintf(stderr, "Font path refused: 512 characters or longer\n");
        return nullptr;
    }
    bool opened = false;
    const std::vector<unsigned char> data = ReadFile(path, &opened);
    if (!opened) {
        fprintf(stderr, "Cannot open %s: %s\n", path, strerror(errno));
        return nullptr;
    }
    if (const char* why = CheckTableDirectory(data)) {
        fprintf(stderr, "Cannot load the font %s: %s\n", path, why);
        return nullptr;
    }
    stbtt_fontinfo info;
    if (!stbtt_InitFont(&info, data.data(), 0)) {
        fprintf(stderr, "Cannot load the font %s: stb_truetype refuses it\n", path);
        return nullptr;
    }

    const int side = int(scale * 256.0f);
    std::vector<unsigned char> coverage(size_t(side) * size_t(side), 0);
    stbtt_packedchar packed[LE_FONT_GLYPHS] = {};
    stbtt_pack_context pack;
    if (side <= 0 || !stbtt_PackBegin(&pack, coverage.data(), side, side, 0, 1, nullptr)) {
        fprintf(stderr, "Cannot load font \"%s\": atlas of %d pixels\n", path, side);
        return nullptr;
    }
    stbtt_PackSetOversampling(&pack, 1, 1);
    // Glyphs that do not fit keep an empty rectangle and still advance the pen.
    stbtt_PackFontRange(&pack, data.data(), 0, float(size), int(LE_FONT_FIRST_CHAR), LE_FONT_GLYPHS, packed);
    stbtt_PackEnd(&pack);

    LEFont* font = new LEFont;
    font->size = size;
    font->glyphInfo = new LEGlyphTable;
    FillGlyphTable(*font->glyphInfo, info, data.size(), packed, float(size), side);
    font->texture = MakeAtlas(coverage, side);
    memcpy(font->name, path, strlen(path) + 1);
    memcpy(font->texture->name, path, strlen(path) + 1);
    fontRegistry.push_back(font);
    return font;
}

void LEFontFree(LEFont* font)
{
    if (!font) return;
    const auto it = std::find(fontRegistry.begin(), fontRegistry.end(), font);
    if (it == fontRegistry.end()) return;
    fontRegistry.erase(it);
    LETextureUnload(font->texture);
    delete font->glyphInfo;
    delete font;
}

LETexture* LEFontTexture(const LEFont* font) { return font ? font->texture : nullptr; }


LEMesh* LETextMesh(const LEFont* font, const char* text)
{
    if (!font || !font->glyphInfo || !text || !*text) return nullptr;
    const LEGlyphTable& table = *font->glyphInfo;
    LEMeshBegin();
    float x = 0.0f, y = 0.0f;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p == '\n') {
            y -= table.lineHeight;
            x = 0.0f;
            continue;
        }
        if (!LEFontHasGlyph(*p)) continue;
        const LEGlyph& g = table.glyphs[*p - LE_FONT_FIRST_CHAR];
        const uint32_t white = 0xFFFFFFFF;
        LEMeshAddTriangle(x + g.x0, y + g.y1, white, g.s0, g.t1, x + g.x0, y + g.y0, white, g.s0, g.t0,
                          x + g.x1, y + g.y0, white, g.s1, g.t0);
        LEMeshAddTriangle(x + g.x0, y + g.y1, white, g.s0, g.t1, x + g.x1, y + g.y0, white, g.s1, g.t0,
                          x + g.x1, y + g.y1, white, g.s1, g.t1);
        x += g.advance;
        if (LEFontHasGlyph(p[1])) x += table.kerning[*p - LE_FONT_FIRST_CHAR][p[1] - LE_FONT_FIRST_CHAR];
    }
    return LEMeshEnd();
}

int LEFontCount() { return int(fontRegistry.size()); }

void LEFontFreeAll()
{
    while (!fontRegistry.empty()) LEFontFree(fontRegistry.back());
}
