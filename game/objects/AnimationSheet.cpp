// AnimationSheet: reading descriptions, the registry and playback (see AnimationSheet.h).
#include "AnimationSheet.h"

#include <cctype>  // Required for: isdigit
#include <cmath>   // Required for: std::isfinite
#include <cstdio>  // Required for: fopen, getc
#include <cstdlib> // Required for: strtol, atof

#include <LELoadReport.h>
#include <LESystem.h>

#include "GameObject.h"

std::vector<AnimationSheet*> AnimationSheets;
AnimationSheet* HunterSheet = nullptr;
AnimationSheet* BardSheet = nullptr;
AnimationSheet* ThiefSheet = nullptr;

// ---------------------------------------------------------------------------
// Reading a description
// ---------------------------------------------------------------------------
namespace {

// Reads the description a character at a time, as text: carriage returns are dropped.
struct SheetReader {
    const char* at;
    const char* end;
    int Next()
    {
        while (at < end && *at == '\r') ++at;
        return at < end ? static_cast<unsigned char>(*at++) : EOF;
    }
};

enum class LineRead { Ok, Missing, TooLong };

}  // namespace

// An integer token: '-' and digits are collected, the first other character
// ends it and is consumed (so each header value stands on a line of its own).
// An empty token reads as 0. False when the token is longer than the limit.
static bool ReadToken(SheetReader& in, long* value)
{
    char text[SHEET_TOKEN_MAX + 1];
    int length = 0;
    for (int c = in.Next(); c != EOF && (c == '-' || isdigit(c)); c = in.Next()) {
        if (length == SHEET_TOKEN_MAX) return false;
        text[length++] = char(c);
    }
    text[length] = '\0';
    *value = strtol(text, nullptr, 10);  // 12 characters always fit a long
    return true;
}

// A line up to a line feed (consumed, not kept) or the end of the file.
static LineRead ReadLine(SheetReader& in, std::string* line)
{
    line->clear();
    int c = in.Next();
    if (c == EOF) return LineRead::Missing;
    for (; c != EOF && c != '\n'; c = in.Next()) {
        if (line->size() == size_t(SHEET_LINE_MAX)) return LineRead::TooLong;
        line->push_back(char(c));
    }
    return LineRead::Ok;
}

// The duration is the text after the last colon, or the whole line without one.
static float DurationOf(const std::string& line)
{
    const size_t colon = line.rfind(':');
    return float(atof(line.c_str() + (colon == std::string::npos ? 0 : colon + 1)));
}

static bool Refuse(const char* path, const char* why)
{
    LEReportLoadFailure("Cannot load the animation sheet %s: %s", path, why);
    return false;
}

static bool InRange(long value, long low, long high) { return low <= value && value <= high; }

static bool ReadDescription(const char* path, SheetReader& in, AnimationSheetDesc* desc)
{
    long frames = 0, rows = 0, columns = 0;
    if (!ReadToken(in, &frames) || !ReadToken(in, &rows) || !ReadToken(in, &columns))
        return Refuse(path, "a header value is longer than 12 characters");
    if (!InRange(frames, 1, SHEET_FRAMES_MAX)) return Refuse(path, "the frame count is not between 1 and 1024");
    if (!InRange(rows, 1, SHEET_GRID_MAX) || !InRange(columns, 1, SHEET_GRID_MAX))
        return Refuse(path, "the grid needs between 1 and 1024 rows and columns");
    if (frames > rows * columns) return Refuse(path, "more frames than cells in the grid");
    desc->frameCount = uint32_t(frames);
    desc->rows = uint32_t(rows);
    desc->columns = uint32_t(columns);

    std::string line;
    switch (ReadLine(in, &desc->texturePath)) {
    case LineRead::Missing: return Refuse(path, "the texture path is missing");
    case LineRead::TooLong: return Refuse(path, "the texture path is longer than 255 characters");
    case LineRead::Ok: break;
    }
    desc->durations.clear();
    desc->durations.reserve(desc->frameCount);
    for (uint32_t i = 0; i < desc->frameCount; ++i) {
        switch (ReadLine(in, &line)) {
        case LineRead::Missing: return Refuse(path, "fewer duration lines than frames");
        case LineRead::TooLong: return Refuse(path, "a duration line is longer than 255 characters");
        case LineRead::Ok: break;
        }
        const float seconds = DurationOf(line);
        if (!std::isfinite(seconds) || seconds < 0.0f) return Refuse(path, "a duration is negative or not a number");
        desc->durations.push_back(seconds);
    }
    return true;
}

bool ReadAnimationSheet(const char* path, AnimationSheetDesc* desc)
{
    if (!path) return false;
    FILE* file = fopen(path, "rb");
    if (!file) return Refuse(path, "cannot open the file");
    // A description is a few lines; a file far larger cannot be one.
    std::string text(SHEET_FILE_MAX + 1, '\0');
    text.resize(fread(text.data(), 1, text.size(), file));
    fclose(file);
    if (text.size() > SHEET_FILE_MAX) return Refuse(path, "it is far too large to be a description");
    return ParseAnimationSheet(path, text, desc);
}

bool ParseAnimationSheet(const char* name, const std::string& text, AnimationSheetDesc* desc)
{
    SheetReader in{text.data(), text.data() + text.size()};
    return ReadDescription(name, in, desc);
}

// ---------------------------------------------------------------------------
// The registry
// ---------------------------------------------------------------------------
AnimationSheet* LoadAnimationSheet(const char* path)
{
    AnimationSheetDesc desc;
    if (!ReadAnimationSheet(path, &desc)) return nullptr;
    LETexture* texture = LETextureLoad(desc.texturePath.c_str());
    if (!texture) {
        Refuse(path, "its texture cannot be loaded");
        return nullptr;
    }
    AnimationSheet* sheet = new AnimationSheet;
    sheet->path = path;
    sheet->texture = texture;
    sheet->frameCount = desc.frameCount;
    sheet->rows = desc.rows;
    sheet->columns = desc.columns;
    sheet->durations = std::move(desc.durations);
    for (float seconds : sheet->durations) sheet->totalDuration += seconds;
    AnimationSheets.push_back(sheet);
    return sheet;
}

void LoadHeroSheets()
{
    HunterSheet = LoadAnimationSheet("Assets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet");
    BardSheet = LoadAnimationSheet("Assets/Sprites/Heroes/Animations/Bard/hero_bard_spritesheet");
    ThiefSheet = LoadAnimationSheet("Assets/Sprites/Heroes/Animations/Thief/hero_thief_spritesheet");
}

void FreeAnimationSheets()
{
    while (!AnimationSheets.empty()) {
        AnimationSheet* sheet = AnimationSheets.back();
        AnimationSheets.pop_back();
        LETextureUnload(sheet->texture);
        delete sheet;
    }
    HunterSheet = BardSheet = ThiefSheet = nullptr;
}

// ---------------------------------------------------------------------------
// Playback
// ---------------------------------------------------------------------------
// Frames run along the columns first, then up the rows: texture coordinate (u, v)
// of the quad becomes ((u + column) / columns, (v + row) / rows).
void SetSheetFrame(Sprite* sprite)
{
    const AnimationSheet* sheet = sprite->sheet;
    if (!sheet) return;
    const uint32_t column = sprite->frame % sheet->columns, row = sprite->frame / sheet->columns;
    const float columns = float(sheet->columns), rows = float(sheet->rows);
    sprite->textureMatrix = Matrix3Multiply(Matrix3Translate(float(column) / columns, float(row) / rows),
                                            Matrix3Scale(1.0f / columns, 1.0f / rows));
}

void PlayAnimation(Sprite* sprite)
{
    if (!sprite->sheet || sprite->sheet->frameCount == 0) return;
    sprite->frame = 0;
    SetSheetFrame(sprite);
    sprite->frameElapsed = 0.0f;
}

void AdvanceAnimation(Sprite* sprite)
{
    const AnimationSheet* sheet = sprite->sheet;
    if (!sheet) return;
    // `finished` lasts one draw, whether the animation loops or stops at its end.
    sprite->finished = false;
    if (!sprite->playing) return;
    if (sprite->frame >= sheet->frameCount) sprite->frame = 0;  // a sheet swapped under a running frame
    sprite->frameElapsed += float(LEFrameTime()) * sprite->playSpeed;
    const float duration = sheet->durations[sprite->frame];
    if (sprite->frameElapsed < duration) return;
    // At most one frame per draw: a long frame leaves its excess for the next draws.
    sprite->frameElapsed -= duration;
    sprite->frame += 1;
    if (sprite->frame == sheet->frameCount) {
        sprite->finished = true;
        if (sprite->loop) {
            sprite->frame = 0;
        } else {
            sprite->playing = false;
            sprite->frame = sheet->frameCount - 1;
        }
    }
    SetSheetFrame(sprite);
}
