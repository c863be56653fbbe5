// AnimationSheet: sprite-sheet animations. Owns the registry AnimationSheets
// (every sheet loaded, in load order) and the three hero sheets. The character
// selection loads the sheets when a level starts and frees them when it ends;
// a Sprite plays one through SetSheetFrame, PlayAnimation and its Draw.
//
// A sheet's description is a small text file:
//     8                      frame count (an integer token on its own line)
//     2                      rows of the grid
//     4                      columns of the grid
//     path/to/sheet.png      the texture
//     ready:0.08             one line per frame; the duration follows the last colon
// Carriage returns are dropped. A file that breaks the format, or whose numbers
// cannot describe an animation, is refused with one line on standard error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <src/LETexture.h>

struct Sprite;

constexpr int SHEET_TOKEN_MAX = 12;      // characters of a header value
constexpr int SHEET_LINE_MAX = 255;      // characters of the path line and of a duration line
constexpr uint32_t SHEET_FRAMES_MAX = 1024;
constexpr uint32_t SHEET_GRID_MAX = 1024; // rows or columns
constexpr size_t SHEET_FILE_MAX = size_t(1) << 20;  // bytes: the longest description is far shorter

// A sheet's description as read from its file.
struct AnimationSheetDesc {
    uint32_t frameCount = 0;
    uint32_t rows = 0;
    uint32_t columns = 0;
    std::string texturePath;
    std::vector<float> durations;  // seconds, one per frame
};

struct AnimationSheet {
    std::string path;               // the description file
    LETexture* texture = nullptr;   // owned; released with the sheet
    float totalDuration = 0.0f;     // seconds
    uint32_t frameCount = 0;
    uint32_t rows = 0;
    uint32_t columns = 0;
    std::vector<float> durations;   // seconds, one per frame
};

extern std::vector<AnimationSheet*> AnimationSheets;
extern AnimationSheet* HunterSheet;
extern AnimationSheet* BardSheet;
extern AnimationSheet* ThiefSheet;

// Reads a description file. False, after one line on standard error naming the
// file and what is wrong with it, when it cannot be opened or breaks the format.
bool ReadAnimationSheet(const char* path, AnimationSheetDesc* desc);
// The same for a description already in memory, named `name` in the refusal
// (the fuzzer drives it).
bool ParseAnimationSheet(const char* name, const std::string& text, AnimationSheetDesc* desc);
// Reads the description, loads its texture and adds the sheet to AnimationSheets.
// Null when the description is refused or its texture cannot be loaded.
AnimationSheet* LoadAnimationSheet(const char* path);
// Loads HunterSheet, BardSheet and ThiefSheet.
void LoadHeroSheets();
// Releases every sheet, newest first, and clears the three hero sheets.
void FreeAnimationSheets();

// Points the sprite's texture matrix at the cell of its current frame.
void SetSheetFrame(Sprite* sprite);
// Restarts the sprite's animation at frame 0 (the caller sets loop and playing).
void PlayAnimation(Sprite* sprite);
// Once per draw: advances a playing animation by at most one frame.
void AdvanceAnimation(Sprite* sprite);
