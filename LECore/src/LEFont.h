// LEFont: TrueType fonts baked into a 256 x 256 atlas and strings turned into
// meshes. Owns the font registry and each font's glyph and kerning tables. States
// and objects load fonts in Load or their constructors and free them in Unload or
// their destructors; text labels build their meshes with LETextMesh.
#pragma once

#include <cstdint>
#include <vector>

#include "LEMesh.h"
#include "LETexture.h"

constexpr uint32_t LE_FONT_FIRST_CHAR = 32;
constexpr uint32_t LE_FONT_LAST_CHAR = 197;  // one past the last glyph
constexpr int LE_FONT_GLYPHS = int(LE_FONT_LAST_CHAR - LE_FONT_FIRST_CHAR);

struct LEGlyph {
    uint32_t code;
    float x0, y0, x1, y1;  // box in pixels, y up from the pen on the baseline
    float s0, t0, s1, t1;  // atlas coordinates
    float advance;
};

struct LEGlyphTable {
    float pixelHeight = 0.0f;
    float lineHeight = 0.0f;
    LEGlyph glyphs[LE_FONT_GLYPHS] = {};
    float kerning[LE_FONT_GLYPHS][LE_FONT_GLYPHS] = {};
};

struct LEFont {
    char name[512] = {};
    uint32_t size = 0;
    LEGlyphTable* glyphInfo = nullptr;
    LETexture* texture = nullptr;
};

// Null, with one line on stderr naming the file, when the path is 512 characters
// or longer or the file is missing or not a TrueType font.
LEFont* LEFontLoad(const char* path, uint32_t size, float scale);

// What a font file bakes into before its atlas goes to the GPU: the glyph
// table and the atlas's coverage, side x side bytes, top row first.
struct LEFontBaked {
    LEGlyphTable glyphs;
    std::vector<unsigned char> coverage;
    int side = 0;
};
// The loader's work short of the GPU, on a font file in memory: the checks
// stb_truetype needs, then the packing and rasterising. Null when all went
// well, else what is wrong with the font. Needs no window (the fuzzer drives it).
const char* LEFontBake(std::vector<unsigned char> file, uint32_t size, float scale, LEFontBaked* out);
// The start-up check's look at a font file: the checks the loader makes before
// it bakes, and no baking. False after one refusal line in the load's words
// (see LELoadReport.h); creates nothing.
bool LEFontCheckFile(const char* path);
void LEFontFree(LEFont* font);
LETexture* LEFontTexture(const LEFont* font);
// A white mesh of the text with its origin at the left end of the first baseline.
// Characters outside 32..196 are skipped; newline starts the next line.
LEMesh* LETextMesh(const LEFont* font, const char* text);

// True for the characters the atlas holds (32 to 196).
inline bool LEFontHasGlyph(unsigned char c) { return c >= LE_FONT_FIRST_CHAR && c < LE_FONT_LAST_CHAR; }

int LEFontCount();
void LEFontFreeAll();
