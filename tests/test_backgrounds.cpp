// The level backgrounds as the levels place them: a road under every path the
// enemies walk, and HUD labels that stand out from the picture under them.
// The pictures are decoded from Assets/ and sampled through each level's own
// background placement, its path tables and its real labels (position, scale,
// colour and the font's measure of the text).
#include <algorithm>
#include <cmath>

#include <levels/LevelData.h>

#include "LevelFixture.h"

namespace {

// A background picture placed as a level places it: the texel under a world
// point. The inverse of the object's rotation and scale gives the point in
// the unit quad's corner space, whose (x, y) carry the texture coordinates
// (y + 1/2, x + 1/2); the loader uploads the bottom row first, so the second
// coordinate counts rows from the picture's bottom.
struct PlacedPicture {
    const Picture* picture;
    Vector2 position, size;
    float rotation;

    const unsigned char* At(float x, float y) const
    {
        const float dx = x - position.x, dy = y - position.y;
        const float c = std::cos(rotation), s = std::sin(rotation);
        const float qx = (c * dx + s * dy) / size.x, qy = (-s * dx + c * dy) / size.y;
        const float u = qy + 0.5f, v = qx + 0.5f;
        const int column = std::clamp(int(u * float(picture->width)), 0, picture->width - 1);
        const int row = std::clamp(int((1.0f - v) * float(picture->height)), 0, picture->height - 1);
        return picture->rgba.data() + (size_t(row) * size_t(picture->width) + size_t(column)) * 4;
    }
};

// Road is the paving's colour family, which no ground, rock, lava, snow or
// piece of scenery meets: blue the strongest channel, a hue between 180 and
// 250 degrees (red at most a sixth of the spread above green) and a saturation
// of at least 0.08, bright enough (blue 40 or more) for the hue to mean
// anything.
bool IsRoad(const unsigned char* p)
{
    const int r = p[0], g = p[1], b = p[2];
    const int spread = b - std::min(r, g);
    return b >= r && b >= g && b >= 40 && spread * 100 >= 8 * b && 6 * (r - g) <= spread;
}

// WCAG relative luminance of an 8-bit sRGB colour.
double Luminance(int r, int g, int b)
{
    auto linear = [](int c) {
        const double s = c / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}

double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

// The level (1 to 4) a path belongs to: every path ends on its level's end point.
int LevelOfPath(EnemyPath path)
{
    int count = 0;
    const Waypoint* w = PathWaypoints(path, &count);
    for (int level = 1; level <= 4; ++level) {
        const Waypoint end = LevelEndPoint(level);
        if (w[count - 1].x == end.x && w[count - 1].y == end.y) return level;
    }
    return -1;
}

using BackgroundTest = LevelTest;

}

// Enemies walk straight from waypoint to waypoint of their level's tables; the
// road must be under them all the way (95% of the samples two world units
// apart, for the soft road edges where a path grazes a pad) and under every
// waypoint. The test level places its enemies by hand and has no path.
TEST(Backgrounds, RoadsRunUnderEveryPathTheEnemiesWalk)
{
    Picture pictures[5];
    for (int path = 0; path < PATH_COUNT; ++path) {
        const int level = LevelOfPath(EnemyPath(path));
        ASSERT_GE(level, 1) << "path " << path << " ends on no level's end point";
        const LevelDesc* desc = FindLevelDesc(level);
        ASSERT_NE(desc, nullptr);
        Picture& picture = pictures[level];
        if (picture.rgba.empty()) {
            ASSERT_TRUE(LoadPicture(desc->backgroundPath, &picture));
        }
        const PlacedPicture placed{&picture, {0, 0}, desc->backgroundSize, desc->backgroundRotation};

        int count = 0;
        const Waypoint* w = PathWaypoints(EnemyPath(path), &count);
        int samples = 0, onRoad = 0;
        for (int i = 0; i < count; ++i) {
            const unsigned char* p = placed.At(w[i].x, w[i].y);
            EXPECT_TRUE(IsRoad(p)) << "level " << level << " path " << path << ": waypoint (" << w[i].x << ", "
                                   << w[i].y << ") is off the road, on colour " << int(p[0]) << "," << int(p[1])
                                   << "," << int(p[2]);
            if (i + 1 == count) break;
            const float dx = w[i + 1].x - w[i].x, dy = w[i + 1].y - w[i].y;
            const int steps = std::max(1, int(std::hypot(dx, dy) / 2.0f));
            for (int k = 0; k < steps; ++k, ++samples) {
                const float t = float(k) / float(steps);
                onRoad += IsRoad(placed.At(w[i].x + dx * t, w[i].y + dy * t));
            }
        }
        const double coverage = samples ? double(onRoad) / samples : 1.0;
        EXPECT_GE(coverage, 0.95) << "level " << level << " path " << path << ": expected road under 95% of "
                                  << samples << " samples, got " << coverage * 100.0 << "%";
        RecordProperty("road_level" + std::to_string(level) + "_path" + std::to_string(path),
                       std::to_string(coverage));
    }
}

// Every HUD label is on the screen and reads at least 3:1 (WCAG contrast) against the picture under
// it on every map: the label's ink box, measured with its font and scale at
// its longest usual text, is mapped into the background, and the worst 5% of
// the pixels there must still give 3:1 against the label's colour.
TEST_F(BackgroundTest, HudLabelsStandOutFromTheBackgroundOnEveryMap)
{
    // The texts the changing labels show at their longest in a normal game.
    const struct {
        uint32_t id;
        const char* sample;  // null: the label's own text
    } labels[] = {
        {10, "10000"},  // nexus health
        {12, "Wave: 6/6"},
        {13, "1234"},  // gold
        {14, "Cooldown: 25"},
        {15, "Effect of the wave: Less money drop from the enemies"},
        {16, nullptr},  // "Character selector"
        {17, nullptr},  // the start prompt
    };
    for (int32_t state : {STATE_LEVEL_1, STATE_LEVEL_2, STATE_LEVEL_3, STATE_LEVEL_4}) {
        Enter(state);
        Picture picture;
        ASSERT_TRUE(LoadPicture(CurrentLevelDesc().backgroundPath, &picture));
        const Transform& t = background->transform;
        const PlacedPicture placed{&picture, t.position, t.scale, t.rotation};
        for (const auto& l : labels) {
            TextLabel* label = FindTextLabel(l.id);
            ASSERT_NE(label, nullptr) << "level " << state << " label " << l.id;
            if (l.sample) SetLabelText(label, l.sample);
            const TextBox box = MeasureText(label->font, label->text);
            const float hw = (box.maxX - box.minX) * 0.5f * label->transform.scale.x;
            const float hh = (box.maxY - box.minY) * 0.5f * label->transform.scale.y;
            ASSERT_GT(hw, 0.0f) << "label " << l.id << " has no ink";
            const Vector2 c = label->transform.position;
            EXPECT_TRUE(std::fabs(c.x) < 400.0f && std::fabs(c.y) < 300.0f) << "level " << state << " label " << l.id
                                                                             << " is off the screen";
            const double ink = Luminance(int(label->color >> 16 & 255), int(label->color >> 8 & 255),
                                         int(label->color & 255));
            std::vector<double> contrasts;
            for (float y = c.y - hh; y <= c.y + hh; y += 0.5f)
                for (float x = c.x - hw; x <= c.x + hw; x += 0.5f) {
                    const unsigned char* p = placed.At(x, y);
                    contrasts.push_back(Contrast(ink, Luminance(p[0], p[1], p[2])));
                }
            std::sort(contrasts.begin(), contrasts.end());
            const double worst5 = contrasts[contrasts.size() / 20];
            EXPECT_GE(worst5, 3.0) << "level " << state << " label " << l.id << " \"" << label->text << "\" (colour 0x"
                                   << std::hex << label->color << std::dec << ") at (" << c.x << ", " << c.y
                                   << "): expected 3:1 against 95% of the picture under it, got " << worst5 << ":1";
            RecordProperty("contrast_level" + std::to_string(state) + "_label" + std::to_string(l.id),
                           std::to_string(worst5));
        }
    }
}
