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
#include <stb/stb_rect_pack.h>
#include <stb/stb_truetype.h>

#include <algorithm>  // Required for: std::find
#include <cerrno>     // Required for: errno
#include <cstdio>     // Required for: fopen, fread
#include <cstring>    // Required for: strnlen, memcpy, memcmp, strerror
#include <memory>     // Required for: std::make_unique
#include <utility>    // Required for: std::pair
#include <vector>

#include "LELoadReport.h"
#include "../LESystem.h"

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

// stb_truetype trusts the font it reads: a table, a glyph offset or a glyph
// component that points past the end of the file is read past the end of the
// buffer. So the font is checked first: every table of its directory inside the
// file, the tables the loader reads present, and, for TrueType outlines, every
// glyph inside the glyph table and every compound glyph built of real glyphs,
// at most a few levels deep. Reads that stay near a checked offset are covered
// by the zeros LEFontLoad adds after the file. Returns null for a font that
// holds up, or what is wrong with it.
namespace {
struct Table {
    uint32_t offset = 0, length = 0;
    bool present = false;
};
struct FontTables {
    Table cmap, head, hhea, hmtx, maxp, loca, glyf, cff;
};
}  // namespace

static constexpr int MAX_COMPOUND_DEPTH = 8;

// A simple glyph's contours as stb_truetype walks them: it sizes its points by
// the last contour's end and steps through the contours by their ends, so every
// end must come after the one before; and it looks one point past the start of
// the last contour, so that contour needs two points at least.
static bool SimpleGlyphHoldsUp(const unsigned char* glyph, uint32_t length, int contours)
{
    if (contours == 0) return true;
    if (10 + 2 * uint32_t(contours) + 2 > length) return false;
    int before = -1, beforeThat = -1;
    for (int i = 0; i < contours; ++i) {
        const int end = Read16(glyph + 10 + 2 * i);
        if (end <= before) return false;
        beforeThat = before;
        before = end;
    }
    return before - beforeThat >= 2;
}

// How many levels of compound glyphs lie under each glyph, worked out once per
// glyph: a glyph that is damaged, lies outside the glyph table, or is built of
// itself (at any depth) gets BAD_GLYPH.
namespace {
constexpr int BAD_GLYPH = -1, UNKNOWN_DEPTH = -2, IN_PROGRESS = -3;
struct GlyphWalk {
    const unsigned char* glyf;
    const std::vector<uint32_t>& offsets;
    std::vector<int> depth;  // per glyph: its levels, or one of the markers above
};
}  // namespace

// `nesting` bounds the recursion: a chain deeper than the limit is refused
// whatever its glyphs would be on their own, as the whole font is then.
static int GlyphDepth(GlyphWalk& walk, uint32_t glyph, int nesting)
{
    if (nesting > MAX_COMPOUND_DEPTH) return BAD_GLYPH;
    int& known = walk.depth[glyph];
    if (known == IN_PROGRESS) return BAD_GLYPH;  // built of itself
    if (known != UNKNOWN_DEPTH) return known;
    known = IN_PROGRESS;
    const uint32_t start = walk.offsets[glyph], end = walk.offsets[glyph + 1];
    const unsigned char* glyf = walk.glyf;
    int levels = 0;
    if (end - start >= 10) {  // shorter is empty
        const int contours = int16_t(Read16(glyf + start));
        if (contours >= 0) {
            levels = SimpleGlyphHoldsUp(glyf + start, end - start, contours) ? 0 : BAD_GLYPH;
        } else {
            uint32_t at = start + 10;
            for (bool more = true; more && levels != BAD_GLYPH;) {
                if (at + 4 > end) {
                    levels = BAD_GLYPH;
                    break;
                }
                const uint16_t flags = Read16(glyf + at), component = Read16(glyf + at + 2);
                const int below = component + 1u < walk.offsets.size() ? GlyphDepth(walk, component, nesting + 1) : BAD_GLYPH;
                levels = below == BAD_GLYPH || below + 1 > MAX_COMPOUND_DEPTH ? BAD_GLYPH : std::max(levels, below + 1);
                at += 4 + ((flags & 1) ? 4 : 2) + ((flags & 8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0);
                more = (flags & 0x20) != 0;
            }
            if (at > end) levels = BAD_GLYPH;
        }
    }
    walk.depth[glyph] = levels;
    return levels;
}

static const char* CheckTrueTypeOutlines(const unsigned char* data, const FontTables& t)
{
    if (t.head.length < 54 || t.maxp.length < 6) return "its head or maxp table is too short";
    const int16_t format = int16_t(Read16(data + t.head.offset + 50));
    if (format != 0 && format != 1) return "its glyph index is of an unknown format";
    const uint32_t glyphs = Read16(data + t.maxp.offset + 4);
    const uint32_t entry = format ? 4 : 2;
    if (uint64_t(glyphs + 1) * entry > t.loca.length) return "its glyph index is shorter than its glyph count";
    std::vector<uint32_t> offsets(glyphs + 1);
    for (uint32_t g = 0; g <= glyphs; ++g) {
        const unsigned char* p = data + t.loca.offset + g * entry;
        offsets[g] = format ? Read32(p) : uint32_t(Read16(p)) * 2;
        if (offsets[g] > t.glyf.length || (g > 0 && offsets[g] < offsets[g - 1]))
            return "its glyph index points outside the glyph table";
    }
    GlyphWalk walk{data + t.glyf.offset, offsets, std::vector<int>(glyphs, UNKNOWN_DEPTH)};
    for (uint32_t g = 0; g < glyphs; ++g)
        if (GlyphDepth(walk, g, 0) == BAD_GLYPH)
            return "a glyph's outline is damaged or built of itself";
    return nullptr;
}

// CFF outlines (OpenType fonts): stb_truetype reads them through offsets it
// takes from the table without measuring them against it. Each structure it
// follows must lie inside the table: the INDEXes of names, top dictionaries,
// strings, global subroutines and charstrings, and the private dictionaries
// with their subroutines, for the font and for each font dictionary of a CID font.
namespace {
struct CffIndex {
    size_t end = 0;
    std::vector<std::pair<size_t, size_t>> items;  // [start, end) of each element
};
}  // namespace

static bool ReadCffIndex(const unsigned char* cff, size_t size, size_t at, CffIndex* index)
{
    if (at + 2 > size) return false;
    const size_t count = Read16(cff + at);
    index->items.clear();
    if (count == 0) {
        index->end = at + 2;
        return true;
    }
    if (at + 3 > size) return false;
    const size_t offsize = cff[at + 2];
    if (offsize < 1 || offsize > 4 || at + 3 + (count + 1) * offsize > size) return false;
    const size_t base = at + 3 + (count + 1) * offsize - 1;
    size_t previous = 0;
    for (size_t i = 0; i <= count; ++i) {
        size_t offset = 0;
        for (size_t k = 0; k < offsize; ++k) offset = offset << 8 | cff[at + 3 + i * offsize + k];
        if (offset < 1 || base + offset > size || (i > 0 && offset < previous)) return false;
        if (i > 0) index->items.push_back({base + previous, base + offset});
        previous = offset;
    }
    index->end = base + previous;
    return true;
}

// The integer operands of `key` in a DICT, read the way stb_truetype reads them.
static std::vector<uint32_t> CffDictGet(const unsigned char* d, size_t n, int key)
{
    size_t at = 0;
    while (at < n) {
        std::vector<uint32_t> operands;
        while (at < n && d[at] >= 28) {
            const int b0 = d[at++];
            if (b0 == 30) {
                while (at < n && (d[at] & 0xF) != 0xF && (d[at] >> 4) != 0xF) ++at;
                ++at;
            } else if (b0 >= 32 && b0 <= 246) {
                operands.push_back(uint32_t(b0 - 139));
            } else if (b0 >= 247 && b0 <= 254) {
                const int b1 = at < n ? d[at] : 0;
                ++at;
                operands.push_back(uint32_t(b0 <= 250 ? (b0 - 247) * 256 + b1 + 108 : -(b0 - 251) * 256 - b1 - 108));
            } else if (b0 == 28 || b0 == 29) {
                uint32_t v = 0;
                for (int k = 0; k < (b0 == 28 ? 2 : 4); ++k, ++at) v = v << 8 | (at < n ? d[at] : 0);
                operands.push_back(v);
            }
        }
        if (at >= n) break;
        int op = d[at++];
        if (op == 12) op = 0x100 | (at < n ? d[at++] : 0);
        if (op == key) return operands;
    }
    return {};
}

// A private dictionary (size, offset) inside the table, and its subroutines.
static bool CffPrivateHoldsUp(const unsigned char* cff, size_t size, const unsigned char* dict, size_t n)
{
    const std::vector<uint32_t> priv = CffDictGet(dict, n, 18);
    if (priv.size() < 2) return true;  // no private dictionary: no subroutines
    const size_t length = priv[0], offset = priv[1];
    if (offset > size || length > size - offset) return false;
    const std::vector<uint32_t> subrs = CffDictGet(cff + offset, length, 19);
    CffIndex index;
    return subrs.empty() || ReadCffIndex(cff, size, offset + subrs[0], &index);
}

static const char* CheckCffOutlines(const unsigned char* cff, size_t size)
{
    if (size < 4) return "its CFF outlines are too short";
    CffIndex names, topDicts, strings, globalSubrs, charStrings, fontDicts;
    if (!ReadCffIndex(cff, size, cff[2], &names) || !ReadCffIndex(cff, size, names.end, &topDicts) ||
        topDicts.items.empty() || !ReadCffIndex(cff, size, topDicts.end, &strings) ||
        !ReadCffIndex(cff, size, strings.end, &globalSubrs))
        return "its CFF outlines are damaged";
    const unsigned char* top = cff + topDicts.items[0].first;
    const size_t topSize = topDicts.items[0].second - topDicts.items[0].first;
    const std::vector<uint32_t> charStringsAt = CffDictGet(top, topSize, 17);
    if (charStringsAt.empty() || !ReadCffIndex(cff, size, charStringsAt[0], &charStrings))
        return "its CFF outlines have no glyphs";
    if (!CffPrivateHoldsUp(cff, size, top, topSize)) return "its CFF private dictionary is damaged";
    const std::vector<uint32_t> fdArray = CffDictGet(top, topSize, 0x100 | 36);
    const std::vector<uint32_t> fdSelect = CffDictGet(top, topSize, 0x100 | 37);
    if (!fdArray.empty()) {
        if (fdSelect.empty() || fdSelect[0] >= size || !ReadCffIndex(cff, size, fdArray[0], &fontDicts))
            return "its CFF font dictionaries are damaged";
        for (const auto& [start, end] : fontDicts.items)
            if (!CffPrivateHoldsUp(cff, size, cff + start, end - start)) return "its CFF private dictionary is damaged";
    }
    return nullptr;
}

// The sizes stb_truetype divides by: an em of zero or absurd size, or a line
// whose ascent does not rise above its descent, would scale every glyph by an
// infinite or meaningless factor (and its text would vanish). The horizontal
// metrics must hold the long entries the header counts.
static const char* CheckMetrics(const unsigned char* data, const FontTables& t)
{
    if (t.head.length < 54 || t.hhea.length < 36) return "its head or hhea table is too short";
    const uint32_t unitsPerEm = Read16(data + t.head.offset + 18);
    if (unitsPerEm < 16 || unitsPerEm > 16384) return "its em size is zero or absurd";
    const int ascent = ReadS16(data + t.hhea.offset + 4), descent = ReadS16(data + t.hhea.offset + 6);
    if (ascent <= descent) return "its ascent does not rise above its descent";
    const uint32_t longMetrics = Read16(data + t.hhea.offset + 34);
    if (longMetrics == 0 || 4 * uint64_t(longMetrics) > t.hmtx.length)
        return "its horizontal metrics are shorter than its header says";
    return nullptr;
}

// Each subtable of the character map lies inside it, with the lengths its format
// declares: stb_truetype searches segments (format 4) and groups (formats 12
// and 13) by the counts the subtable gives, without measuring them.
static const char* CheckCharacterMap(const unsigned char* data, const Table& cmap)
{
    if (cmap.length < 4) return "its character map is too short";
    const unsigned char* map = data + cmap.offset;
    const uint32_t maps = Read16(map + 2);
    if (4 + 8 * uint64_t(maps) > cmap.length) return "its character map runs past its end";
    for (uint32_t i = 0; i < maps; ++i) {
        const uint32_t at = Read32(map + 4 + 8 * i + 4);
        if (uint64_t(at) + 4 > cmap.length) return "its character map points outside itself";
        const uint32_t room = cmap.length - at;
        const unsigned char* sub = map + at;
        const uint16_t format = Read16(sub);
        uint64_t length = 0, needed = 0;
        if (format == 0 || format == 4 || format == 6) {
            length = Read16(sub + 2);
            if (room < 10) return "a character map subtable runs past its end";
            needed = format == 0 ? 262 : format == 6 ? 10 + 2 * uint64_t(Read16(sub + 8)) : 16 + 4 * uint64_t(Read16(sub + 6));
        } else if (format == 12 || format == 13) {
            if (room < 16) return "a character map subtable runs past its end";
            length = Read32(sub + 4);
            needed = 16 + 12 * uint64_t(Read32(sub + 12));
        } else {
            continue;  // a format stb_truetype never reads
        }
        if (needed > length || length > room) return "a character map subtable runs past its end";
    }
    return nullptr;
}

static const char* CheckFont(const std::vector<unsigned char>& file)
{
    const size_t size = file.size();
    const unsigned char* data = file.data();
    if (size < 12) return "too short to be a font";
    const uint32_t version = Read32(data);
    if (version != 0x00010000u && version != 0x4F54544Fu /* OTTO */ && version != 0x74727565u /* true */)
        return "not a TrueType or OpenType font";
    const size_t count = Read16(data + 4);
    if (12 + 16 * count > size) return "its table directory runs past the end of the file";
    FontTables t;
    const std::pair<const char*, Table*> wanted[] = {{"cmap", &t.cmap}, {"head", &t.head}, {"hhea", &t.hhea},
                                                     {"hmtx", &t.hmtx}, {"maxp", &t.maxp}, {"loca", &t.loca},
                                                     {"glyf", &t.glyf}, {"CFF ", &t.cff}};
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* record = data + 12 + 16 * i;
        const uint32_t offset = Read32(record + 8), length = Read32(record + 12);
        if (uint64_t(offset) + length > size) return "a table runs past the end of the file";
        for (const auto& [tag, table] : wanted)
            if (!table->present && memcmp(record, tag, 4) == 0) *table = {offset, length, true};  // the first wins, as in stb
    }
    if (!t.cmap.present || !t.head.present || !t.hhea.present || !t.hmtx.present || !t.maxp.present)
        return "a table the game needs is missing";
    if (const char* why = CheckMetrics(data, t)) return why;
    if (const char* why = CheckCharacterMap(data, t.cmap)) return why;
    // stb_truetype reads glyf outlines when the font has a glyph table, CFF otherwise.
    if (t.glyf.present) return t.loca.present ? CheckTrueTypeOutlines(data, t) : "it has no glyph index";
    if (!t.cff.present) return "it has no glyph outlines";
    return CheckCffOutlines(data + t.cff.offset, t.cff.length);
}

// Zeros after the file, so that a read that runs a little past a checked offset
// (a glyph's points, a character map's segments) stays inside the buffer.
static constexpr size_t FONT_PADDING = 1 << 20;

// The checks above, then stb_truetype's own reading of the tables; data gets
// its padding. Null when the font can be baked.
static const char* OpenFont(std::vector<unsigned char>& data, stbtt_fontinfo* info)
{
    if (const char* why = CheckFont(data)) return why;
    data.resize(data.size() + FONT_PADDING, 0);
    if (!stbtt_InitFont(info, data.data(), 0)) return "its tables make no sense";
    return nullptr;
}

const char* LEFontBake(std::vector<unsigned char> data, uint32_t size, float scale, LEFontBaked* out)
{
    const size_t fileSize = data.size();
    stbtt_fontinfo info;
    if (const char* why = OpenFont(data, &info)) return why;

    const int side = int(scale * 256.0f);
    if (side <= 0 || side > 4096) return "no atlas of that size can be made";
    std::vector<unsigned char>& coverage = out->coverage;
    coverage.assign(size_t(side) * size_t(side), 0);
    out->side = side;
    stbtt_packedchar packed[LE_FONT_GLYPHS] = {};
    stbtt_pack_context pack;
    if (!stbtt_PackBegin(&pack, coverage.data(), side, side, 0, 1, nullptr)) return "no atlas can be made";
    stbtt_PackSetOversampling(&pack, 1, 1);
    stbtt_pack_range range{};
    range.font_size = float(size);
    range.first_unicode_codepoint_in_range = int(LE_FONT_FIRST_CHAR);
    range.num_chars = LE_FONT_GLYPHS;
    range.chardata_for_range = packed;
    stbrp_rect rects[LE_FONT_GLYPHS] = {};
    const int count = stbtt_PackFontRangesGatherRects(&pack, &info, &range, 1, rects);
    // A damaged glyph can claim a box of negative or absurd size, which the
    // packer would walk off its skyline with: such a glyph gets no pixels.
    for (int i = 0; i < count; ++i)
        if (rects[i].w <= 0 || rects[i].h <= 0 || rects[i].w > side || rects[i].h > side) rects[i].w = rects[i].h = 0;
    // Glyphs that do not fit keep an empty rectangle and still advance the pen.
    stbtt_PackFontRangesPackRects(&pack, rects, count);
    stbtt_PackFontRangesRenderIntoRects(&pack, &info, &range, 1, rects);
    stbtt_PackEnd(&pack);
    FillGlyphTable(out->glyphs, info, fileSize, packed, float(size), side);
    return nullptr;
}

// The whole file in *data; false after a refusal line when the path is too
// long or the file cannot be opened.
static bool ReadFontFile(const char* path, std::vector<unsigned char>* data)
{
    if (!path || strnlen(path, 512) >= 512) {
        LEReportLoadFailure("Cannot load a font: its path is 512 characters or longer");
        return false;
    }
    bool opened = false;
    *data = ReadFile(path, &opened);
    if (!opened) {
        LEReportLoadFailure("Cannot open %s: %s", path, strerror(errno));
        return false;
    }
    return true;
}

bool LEFontCheckFile(const char* path)
{
    std::vector<unsigned char> data;
    if (!ReadFontFile(path, &data)) return false;
    stbtt_fontinfo info;
    if (const char* why = OpenFont(data, &info)) {
        LEReportLoadFailure("Cannot load the font %s: %s", path, why);
        return false;
    }
    return true;
}

LEFont* LEFontLoad(const char* path, uint32_t size, float scale)
{
    const LEFrameLoadScope loading;
    std::vector<unsigned char> data;
    if (!ReadFontFile(path, &data)) return nullptr;
    auto baked = std::make_unique<LEFontBaked>();
    if (const char* why = LEFontBake(std::move(data), size, scale, baked.get())) {
        LEReportLoadFailure("Cannot load the font %s: %s", path, why);
        return nullptr;
    }
    LEFont* font = new LEFont;
    font->size = size;
    font->glyphInfo = new LEGlyphTable(baked->glyphs);
    font->texture = MakeAtlas(baked->coverage, baked->side);
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
