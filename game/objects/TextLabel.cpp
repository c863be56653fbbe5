// TextLabel: labels, their meshes and centred drawing (see TextLabel.h).
#include "TextLabel.h"

#include <cstdio>   // Required for: fprintf
#include <cstring>  // Required for: strcmp

#include <algorithm>  // Required for: std::min, std::max
#include <limits>

#include <src/LEGraphicsOGL.h>

std::list<TextLabel*> textList;

TextLabel::TextLabel(LEFont* font, const Transform& transform, std::string text, uint32_t id, uint32_t color)
    : font(font), transform(transform), text(std::move(text)), color(color), id(id)
{
}

TextLabel* AddTextLabel(TextLabel* label)
{
    if (label) textList.push_back(label);
    return label;
}

void SetLabelText(TextLabel* label, const std::string& text)
{
    // Counters set their text every frame; only a real change rebuilds the mesh.
    if (label->mesh && label->text == text) return;
    label->text = text;
    LEMeshFree(label->mesh);
    label->mesh = LETextMesh(label->font, label->text.c_str());
}

TextLabel* FindTextLabel(uint32_t id)
{
    for (TextLabel* label : textList)
        if (label->id == id) return label;
    return nullptr;
}

void SetLabelVisible(uint32_t id, bool visible)
{
    if (TextLabel* label = FindTextLabel(id)) label->visible = visible;
}

void FreeAllTextLabels()
{
    for (TextLabel* label : textList) {
        LEMeshFree(label->mesh);
        delete label;
    }
    textList.clear();
}


TextBox MeasureText(const LEFont* font, const std::string& text)
{
    if (!font || !font->glyphInfo || text.empty()) return {0, 0, 0, 0};
    const LEGlyphTable& table = *font->glyphInfo;
    const float big = std::numeric_limits<float>::max();
    TextBox box{big, big, -big, -big};
    float x = 0.0f, y = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            y -= table.lineHeight;
            x = 0.0f;
            continue;
        }
        if (!LEFontHasGlyph(c)) continue;  // the text mesh skips these too
        const LEGlyph& g = table.glyphs[c - LE_FONT_FIRST_CHAR];
        box.minX = std::min({box.minX, x + g.x0, x + g.x1});
        box.maxX = std::max({box.maxX, x + g.x0, x + g.x1});
        box.minY = std::min({box.minY, y + g.y0, y + g.y1});
        box.maxY = std::max({box.maxY, y + g.y0, y + g.y1});
        x += g.advance;
        const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (LEFontHasGlyph(next)) x += table.kerning[c - LE_FONT_FIRST_CHAR][next - LE_FONT_FIRST_CHAR];
    }
    if (box.minX > box.maxX) return {0, 0, 0, 0};  // nothing but newlines
    return box;
}

void DrawTextLabel(const TextLabel* label, const Matrix3* parent)
{
    if (!label->mesh) return;
    const TextBox box = MeasureText(label->font, label->text);
    // Move the centre of the ink box onto the label's position.
    const float hw = (box.maxX - box.minX) * 0.5f, hh = (box.maxY - box.minY) * 0.5f;
    const Matrix3 offset = Matrix3Translate(-box.minX - hw, -box.minY - hh);
    Matrix3 m = Matrix3Multiply(TransformObjectMatrix(label->transform), offset);
    if (parent) Matrix3MultiplyInto(m, *parent, m);
    LEGraphicsSetTransform(m);
    LEGraphicsSetTintEnabled(true);
    LEGraphicsSetTint(label->color);
    LEGraphicsSetTexture(LEFontTexture(label->font));
    LEMeshDraw(label->mesh);
    LEGraphicsSetTintEnabled(false);
}

LEFont* LoadGameFont(const char* path, uint32_t size, float scale)
{
    if (LEFont* font = LEFontLoad(path, size, scale)) return font;
    const char* other = strcmp(path, PLAIN_FONT) == 0 ? GOTHIC_FONT : PLAIN_FONT;
    fprintf(stderr, "Using %s in its place\n", other);
    return LEFontLoad(other, size, scale);
}
