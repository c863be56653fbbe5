// TextLabel: on-screen text, drawn after every object. Owns textList and each
// label's text mesh. States add labels in Init, change them with SetLabelText and
// free them all in Free.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include <LEMath.h>
#include <src/LEFont.h>

struct TextLabel {
    LEFont* font = nullptr;   // not owned
    LEMesh* mesh = nullptr;   // owned; null until the text is set
    Transform transform;
    std::string text;         // "\n" starts a new line
    uint32_t color = 0xFFFFFFFF;
    uint32_t id = 0;
    bool visible = true;

    TextLabel(LEFont* font, const Transform& transform, std::string text, uint32_t id, uint32_t color);
};

extern std::list<TextLabel*> textList;

// The game's two bundled fonts.
constexpr const char* PLAIN_FONT = "Assets/Fonts/arial.ttf";
constexpr const char* GOTHIC_FONT = "Assets/Fonts/Kingthings Exeter.ttf";
// Loads one of them, or the other one when it cannot be loaded (after a line on
// standard error), so that no text that tells the player what to do vanishes.
LEFont* LoadGameFont(const char* path, uint32_t size, float scale);

TextLabel* AddTextLabel(TextLabel* label);
// Replaces the text and rebuilds the mesh; the same text again keeps the mesh.
void SetLabelText(TextLabel* label, const std::string& text);
TextLabel* FindTextLabel(uint32_t id);
// Shows or hides the label with this id; nothing happens when there is none.
void SetLabelVisible(uint32_t id, bool visible);
void FreeAllTextLabels();
// Draws the label centred on its position, coloured by its colour.
void DrawTextLabel(const TextLabel* label, const Matrix3* parent);

struct TextBox {
    float minX, minY, maxX, maxY;
};
// The glyph boxes of the text in font pixels (all 0 without glyph data).
TextBox MeasureText(const LEFont* font, const std::string& text);
