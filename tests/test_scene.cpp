// Scene objects, text labels and the camera: list ordering and lifetimes, the
// update and draw passes, letterboxing and mouse conversions, and what a real
// frame shows (orientation of textured quads, tints, centred labels, bars).
#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <LESystem.h>
#include <objects/Camera2D.h>
#include <objects/GameObject.h>
#include <objects/TextLabel.h>
#include <src/LEBackdrop.h>
#include <src/LEFont.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEPlatform.h>
#include <src/LEQuadBatch.h>

#include "TestEngine.h"

namespace {

std::vector<std::string> events;

struct Probe : GameObject {
    std::string tag;
    explicit Probe(std::string t) : tag(std::move(t)) {}
    ~Probe() override { events.push_back("delete " + tag); }
    void Load() override { events.push_back("load " + tag); }
    void Unload() override { events.push_back("unload " + tag); }
    void Update() override { events.push_back("update " + tag); }
    void Draw(const Matrix3*) override { events.push_back("draw " + tag); }
};

Probe* Add(const std::string& tag, uint32_t id)
{
    return static_cast<Probe*>(AddObject(objectList, new Probe(tag), id, tag.c_str(), 0, 0, 1, 1, 0, nullptr, nullptr));
}

std::vector<std::string> Order()
{
    std::vector<std::string> out;
    for (GameObject* o : objectList) out.push_back(o->name);
    return out;
}

using Names = std::vector<std::string>;

class SceneListTest : public testing::Test {
protected:
    void SetUp() override { events.clear(); }
    void TearDown() override { FreeAllObjects(); }
};

struct Spawner : Probe {
    using Probe::Probe;
    void Load() override
    {
        Probe::Load();
        Add("child", 1);
    }
};

TEST_F(SceneListTest, LoadingLoadsWhatItAddsAndSortsByIdStablyAndALaterObjectGoesLast)
{
    Add("c", 30);
    Probe* a1 = Add("a1", 10);
    Add("b", 20);
    Add("a2", 10);
    AddObject(objectList, new Spawner("parent"), 15, "parent", 0, 0, 1, 1, 0, nullptr, nullptr);
    LoadAllObjects();
    EXPECT_EQ(Order(), (Names{"child", "a1", "a2", "parent", "b", "c"}));
    EXPECT_EQ(events, (Names{"load c", "load a1", "load b", "load a2", "load parent", "load child"}));
    Add("late", 0);
    EXPECT_EQ(Order().back(), "late") << "drawn last whatever its id";
    // Added again, an object keeps one entry, at the end, with its new values.
    AddObject(objectList, a1, 3, "a1", 5, 6, 7, 8, 0.5f, nullptr, nullptr);
    EXPECT_EQ(Order(), (Names{"child", "a2", "parent", "b", "c", "late", "a1"}));
    EXPECT_TRUE(a1->id == 3u && a1->transform.scale.y == 8.0f);
    EXPECT_EQ(AddObject(objectList, nullptr, 1, "x", 0, 0, 1, 1, 0, nullptr, nullptr), nullptr);
}

struct Killer : Probe {
    GameObject* victim = nullptr;
    using Probe::Probe;
    void Update() override
    {
        Probe::Update();
        DestroyObject(victim);
    }
};

// An object destroyed during a pass unloads at once, is skipped, stays listed, and
// is deleted at the next pass; destroying it again does nothing.
TEST_F(SceneListTest, DestroyedObjectsUnloadAtOnceAndAreDeletedOnceAndLeaveTheIndices)
{
    static SceneIndex<Probe> probeIndex;
    auto* killer = static_cast<Killer*>(
        AddObject(objectList, new Killer("killer"), 1, "killer", 0, 0, 1, 1, 0, nullptr, nullptr));
    Probe* victim = Add("victim", 2);
    Probe* other = Add("other", 3);
    for (Probe* p : {victim, other}) probeIndex.push_back(p);
    killer->victim = victim;
    UpdateScene();
    EXPECT_EQ(events, (Names{"update killer", "unload victim", "update other"}));
    EXPECT_EQ(objectList.size(), 3u);
    DestroyObject(victim);
    DestroyObject(nullptr);
    killer->victim = nullptr;
    UpdateScene();
    EXPECT_EQ(events, (Names{"update killer", "unload victim", "update other", "delete victim", "update killer",
                             "update other"}));
    EXPECT_EQ(static_cast<const std::list<Probe*>&>(probeIndex), (std::list<Probe*>{other}));
    // Freeing everything deletes from the back, unloading only what is still loaded.
    events.clear();
    DestroyObject(other);
    FreeAllObjects();
    EXPECT_EQ(events, (Names{"unload other", "delete other", "unload killer", "delete killer"}));
    EXPECT_TRUE(probeIndex.empty());
}

TEST_F(SceneListTest, HiddenObjectsUpdateAndFrozenObjectsDraw)
{
    Probe* hidden = Add("hidden", 1);
    Probe* frozen = Add("frozen", 2);
    hidden->visible = false;
    frozen->active = false;
    UpdateScene();
    Camera2D camera;
    DrawScene(&camera);
    EXPECT_EQ(events, (Names{"update hidden", "draw frozen"}));
}

// ---------------------------------------------------------------------------
// Camera
// ---------------------------------------------------------------------------
class CameraTest : public testing::Test {
protected:
    void TearDown() override { StopTestEngine(); }
};

TEST_F(CameraTest, SixteenByNineFillsTheWindowOtherShapesGetBarsAndTheMouseMapsThroughThem)
{
    const struct {
        uint32_t width, height;
        float viewport[4];
    } cases[] = {
        {1280, 720, {0, 0, 1280, 720}},
        {1000, 360, {180, 0, 820, 360}},  // wider: bars left and right
        {640, 600, {0, 120, 640, 480}},   // taller: bars above and below
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        REQUIRE_ENGINE(c.width, c.height);
        Camera2D camera;
        camera.transform.scale = {0.5f, 0.5f};
        UpdateCameraViewport(&camera);
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(camera.viewport[i], c.viewport[i]);
        // The right edge of the picture is half its width right of the centre: half
        // the design width in the world, halved again by the zoom.
        const float edge = (c.viewport[2] - c.viewport[0]) / 2.0f;
        EXPECT_TRUE(Near(ScreenToWorld(&camera, {0, 0}), {0, 0}));
        EXPECT_FLOAT_EQ(ScreenToViewport(&camera, {edge, 0}).x, 0.5f);
        EXPECT_FLOAT_EQ(ScreenToWorld(&camera, {edge, 0}).x, 480);
        EXPECT_GT(ScreenToViewport(&camera, {edge + 10, 0}).x, 0.5f) << "beyond the picture, beyond the world";
        StopTestEngine();
    }
}

TEST_F(CameraTest, WorldToWindowAndDesignGiveViewPointsInTheDesignWindow)
{
    REQUIRE_ENGINE(1920, 1080);
    Camera2D camera;
    camera.transform.scale = {0.5f, 0.5f};
    UpdateCameraViewport(&camera);
    levelCamera = &camera;
    const Vector2 window = WorldToWindow({240, -100});
    const Vector2 design = WorldToDesign({240, -100});
    levelCamera = nullptr;
    EXPECT_TRUE(Near(window, {480, -200}, 1e-3f));
    EXPECT_TRUE(Near(design, {480, -200}, 1e-3f));
}

// A camera with zero zoom: test_math (the view matrix never divides by zero).

// ---------------------------------------------------------------------------
// What a frame shows
// ---------------------------------------------------------------------------
class SceneFrameTest : public testing::Test {
protected:
    LEMesh* quad = nullptr;
    Camera2D* camera = nullptr;
    void SetUp() override
    {
        REQUIRE_ENGINE(1920, 1080);
        LEGraphicsSetBackgroundColor(0xFF000000);
        camera = new Camera2D;
        quad = CreateUnitQuadMesh(0xFFFFFFFF);
    }
    void TearDown() override
    {
        FreeAllObjects();
        FreeAllTextLabels();
        delete camera;
        LEMeshFree(quad);
        if (LEGraphicsStarted()) {
            LEFontFreeAll();
            LETextureUnloadAll();
            EXPECT_EQ(LEMeshCount(), 0);
        }
        StopTestEngine();
    }
    void Frame()
    {
        LESystemFrameBegin();
        LEGraphicsFrameStart();
        DrawScene(camera);
        LEGraphicsFrameEnd();
    }
    // Design pixel (x, y), origin at the centre, y up, read from the back buffer.
    uint32_t At(float x, float y)
    {
        const float* v = camera->viewport;
        const float s = (v[2] - v[0]) / DESIGN_WIDTH;
        return ReadPixelRGBA(int(v[0] + (x + 960) * s), int(v[1] + (y + 540) * s));
    }
};

// A 2 x 2 picture: red top-left, green top-right, blue bottom-left, white bottom-right.
LETexture* QuadrantTexture()
{
    const uint8_t rgba[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    const std::string path = testing::TempDir() + "quadrants.png";
    stbi_write_png(path.c_str(), 2, 2, 4, rgba, 8);
    return LETextureLoad(path.c_str());
}

constexpr uint32_t RED = 0xFF0000FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, WHITE = 0xFFFFFFFF;

// Linear filtering of a tiny picture blurs its texels a little at pixel centres.
testing::AssertionResult ColourNear(uint32_t actual, uint32_t expected)
{
    for (int shift = 8; shift < 32; shift += 8) {
        const int a = int(actual >> shift & 255), e = int(expected >> shift & 255);
        if (std::abs(a - e) > 8)
            return testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
    }
    return testing::AssertionSuccess();
}

TEST_F(SceneFrameTest, SpritesAndBackgroundsFaceTheWayTheirPicturesAreStored)
{
    const struct {
        const char* what;
        float height, rotation;
        uint32_t topLeft, topRight, bottomLeft, bottomRight;
    } cases[] = {
        // Sprites turned +pi/2: the picture's top is up and its left half lands on
        // the right, so sprite pictures are drawn facing left.
        {"sprite", 400, QUARTER_TURN, GREEN, RED, WHITE, BLUE},
        // Backgrounds turned -pi/2: left stays left and the top goes down, so
        // background pictures are stored upside down.
        {"background", 400, -QUARTER_TURN, BLUE, WHITE, RED, GREEN},
        // Some levels turn the background by +pi/2 with a negative height instead.
        {"mirrored background", -400, QUARTER_TURN, RED, GREEN, BLUE, WHITE},
    };
    LETexture* texture = QuadrantTexture();
    ASSERT_NE(texture, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameObject* object = AddObject(objectList, new GameObject, 1, c.what, 0, 0, 400, c.height, c.rotation, quad, texture);
        Frame();
        EXPECT_TRUE(ColourNear(At(-100, 100), c.topLeft));
        EXPECT_TRUE(ColourNear(At(100, 100), c.topRight));
        EXPECT_TRUE(ColourNear(At(-100, -100), c.bottomLeft));
        EXPECT_TRUE(ColourNear(At(100, -100), c.bottomRight));
        DestroyObject(object);
        FlushDestroyQueue();
    }
}

// Tinted white quads: green at -200, a transparent tint at 200, and a red front
// quad (id 9) over a larger white one (id 1, added later) at the centre.
TEST_F(SceneFrameTest, TintsColourATransparentTintHidesAndLowerIdsAreDrawnBehind)
{
    const struct {
        uint32_t id;
        float x, size;
        uint32_t tint;  // 0: none
    } quads[] = {{2, -200, 100, 0xFF00FF00}, {3, 200, 100, 0x00FFFFFF}, {9, 0, 100, 0xFFFF0000}, {1, 0, 300, 0}};
    for (const auto& q : quads) {
        GameObject* o = AddObject(objectList, new GameObject, q.id, "quad", q.x, 0, q.size, q.size, 0, quad, nullptr);
        o->useModColor = q.tint != 0;
        o->modColor = q.tint;
    }
    LoadAllObjects();
    Frame();
    EXPECT_TRUE(ColourNear(At(-200, 0), GREEN));
    EXPECT_EQ(At(200, 0), 0x000000FFu);
    EXPECT_TRUE(ColourNear(At(0, 0), RED));
    EXPECT_TRUE(ColourNear(At(120, 0), WHITE));
}

// Draws one cell of its picture, as a sprite-sheet frame does.
struct CellObject : GameObject {
    Matrix3 cell = Matrix3Multiply(Matrix3Translate(0.5f, 0.0f), Matrix3Scale(0.5f, 0.5f));
    void Draw(const Matrix3* parent) override
    {
        LEGraphicsSetTextureTransform(cell);
        GameObject::Draw(parent);
        LEGraphicsSetTextureTransform(Matrix3Identity());
    }
};

std::vector<uint8_t> ReadFrame()
{
    std::vector<uint8_t> pixels(size_t(1920) * 1080 * 4);
    glReadPixels(0, 0, 1920, 1080, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Pictures of one size (drawn from one shelf), a larger one, plain colours, tints,
// a picture cell, overlapping quads and labels, their ids interleaved, over a
// kept backdrop: the batch and the kept frame must give the very pixels of one
// draw per quad, in the frames that draw, keep or copy the backdrop, and once it
// has moved.
TEST_F(SceneFrameTest, BatchedAndOneByOneDrawingGiveTheSamePixels)
{
    LETexture* quadrants = QuadrantTexture();
    const uint8_t stripes[16] = {255, 255, 0, 255, 0, 255, 255, 128, 255, 0, 255, 255, 30, 30, 30, 200};
    LETexture* other = LETextureCreate(2, 2, stripes);
    std::vector<uint8_t> ramp(300 * 4);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(i * 7);
    LETexture* wide = LETextureCreate(300, 1, ramp.data());
    // Three more of the same size: the shelf, made for four, grows and keeps them all.
    LETexture* more[3];
    for (int i = 0; i < 3; ++i) {
        uint8_t shades[16];
        for (int b = 0; b < 16; ++b) shades[b] = uint8_t(b % 4 == 3 ? 255 : 40 * (i + 1) + 13 * b);
        more[i] = LETextureCreate(2, 2, shades);
    }
    LEMesh* green = CreateUnitQuadMesh(0x8000FF00);
    LEFont* font = LEFontLoad("Assets/Fonts/arial.ttf", 20, 1.0f);
    ASSERT_TRUE(quadrants && other && wide && more[2] && green && font);
    EXPECT_TRUE(quadrants->shelf && quadrants->shelf == other->shelf && other->shelf == more[2]->shelf);
    EXPECT_EQ(wide->shelf, 0u) << "too wide for a shelf";
    GameObject* backdrop = AddObject(objectList, new Backdrop, 0, "backdrop", 0, 0, 1600, 900, 0.2f, quad, wide);
    // Runs of 48 quads between the wide picture's: each run is sent to the driver
    // in more than one piece.
    for (int i = 0; i < 120; ++i) {
        const float x = -900.0f + 15.0f * float(i), y = -300.0f + 15.0f * float(i % 7);
        LETexture* const pictures[] = {quadrants, other, nullptr, wide};
        GameObject* object = i % 5 == 4 ? new CellObject : new GameObject;
        AddObject(objectList, object, uint32_t(i * 2 + 2), "quad", x, y, 120, 90, 0.3f * float(i),
                  i % 4 ? quad : green, i % 4 == 1 && i / 16 % 4 < 2 ? more[i % 3] : pictures[i / 16 % 4]);
        object->useModColor = i % 8 < 2;
        object->modColor = 0xC0000000u | uint32_t(i * 6151 % 0xFFFFFF);
        if (i % 18 == 0)
            SetLabelText(AddTextLabel(new TextLabel(font, TransformMakeValues(x, y + 40, 1, 1, 0), "", uint32_t(i * 2 + 3),
                                                    0xFFFF8000)),
                         "Wave " + std::to_string(i));
    }
    // On top, above the rest, two heaps of large opaque pictures with no tint,
    // turned every way, each as large as the window several times over: one
    // picture alone, then the shelf's. Each is drawn last quad first over the
    // depth buffer.
    const uint8_t solid[36] = {200, 10, 10, 255, 10, 200, 10, 255, 10, 10, 200, 255, 90, 90, 0, 255, 0, 90, 90, 255,
                               250, 250, 250, 255, 5, 5, 5, 255, 120, 60, 30, 255, 30, 60, 120, 255};
    LETexture* opaque = LETextureCreate(3, 3, solid);
    ASSERT_TRUE(opaque && opaque->opaque && !opaque->shelf && more[0]->opaque);
    for (int i = 0; i < 40; ++i)
        AddObject(objectList, new GameObject, uint32_t(300 + i), "heap", 350.0f + 12.0f * float(i),
                  330.0f + 10.0f * float(i % 9), 700, 500, 0.37f * float(i), quad, i < 20 ? opaque : more[i % 3]);
    LoadAllObjects();

    const struct {
        const char* step;
        int keeps;  // the backdrop is kept once it has stayed the same for a second frame
    } steps[] = {{"drawn", 0}, {"kept", 1}, {"copied", 0}, {"moved", 0}, {"kept where it went", 1}};
    for (const auto& [step, keeps] : steps) {
        if (step[0] == 'm') backdrop->transform.position.x += 50;
        const int rendersBefore = LEBackdropRenders();
        const uint64_t drawsBefore = LEQuadBatchDrawCount(), lastFirstBefore = LEQuadBatchLastFirstDrawCount();
        Frame();
        const std::vector<uint8_t> batched = ReadFrame();
        const uint64_t batchDraws = LEQuadBatchDrawCount() - drawsBefore;
        EXPECT_EQ(LEQuadBatchLastFirstDrawCount() - lastFirstBefore, 2u) << step << ": the two heaps";
        EXPECT_EQ(LEBackdropRenders() - rendersBefore, keeps) << step;
        LEGraphicsSetBatching(false);
        Frame();
        const std::vector<uint8_t> oneByOne = ReadFrame();
        LEGraphicsSetBatching(true);
        EXPECT_GT(batchDraws, 0u);
        // The shelf's pictures and the plain colours between them go together:
        // two runs of them between runs of the wide picture, the backdrop
        // itself when it is drawn anew, and the two heaps.
        EXPECT_LE(batchDraws, 8u) << step;
        EXPECT_EQ(LEQuadBatchDrawCount() - drawsBefore, batchDraws) << "nothing batched while switched off";
        ASSERT_EQ(batched.size(), oneByOne.size());
        size_t differing = 0;
        for (size_t i = 0; i < batched.size(); ++i) differing += batched[i] != oneByOne[i];
        EXPECT_EQ(differing, 0u) << step;
    }
    LEMeshFree(green);
}

// A window the driver multisamples (as a driver forcing anti-aliasing gives)
// cannot take the kept backdrop's copy, which turns the frame over: the
// backdrop is drawn there every frame, under whatever moves over it.
class MultisampledSceneFrameTest : public SceneFrameTest {
protected:
    void SetUp() override
    {
        // Asked for between SDL's start, which resets the window's attributes, and the window.
        LEPlatformStart();
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
        SceneFrameTest::SetUp();
    }
};

TEST_F(MultisampledSceneFrameTest, TheBackdropIsDrawnEveryFrame)
{
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    if (sampleBuffers == 0) GTEST_SKIP() << "the driver gives no multisampled window";
    const uint8_t green[16] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
    LETexture* field = LETextureCreate(2, 2, green);
    AddObject(objectList, new Backdrop, 0, "backdrop", 0, 0, 1920, 1080, 0, quad, field);
    GameObject* walker = AddObject(objectList, new GameObject, 1, "walker", 0, 0, 100, 100, 0, quad, nullptr);
    LoadAllObjects();
    const int rendersBefore = LEBackdropRenders();
    for (int frame = 0; frame < 6; ++frame) {
        walker->transform.position.x = -600.0f + 200.0f * float(frame);
        Frame();
        for (int before = 0; before < frame; ++before)
            EXPECT_TRUE(ColourNear(At(-600.0f + 200.0f * float(before), 0), GREEN)) << "frame " << frame;
        EXPECT_TRUE(ColourNear(At(walker->transform.position.x, 0), WHITE)) << "frame " << frame;
    }
    EXPECT_EQ(LEBackdropRenders(), rendersBefore) << "nothing kept";
}

// Bounding box of the pixels brighter than the background, in window pixels.
struct InkBox {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
};

InkBox FindInk()
{
    const std::vector<uint8_t> pixels = ReadFrame();
    InkBox box;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x)
            if (pixels[(size_t(y) * 1920 + size_t(x)) * 4 + 1] > 128) {
                box.minX = std::min(box.minX, x);
                box.maxX = std::max(box.maxX, x);
                box.minY = std::min(box.minY, y);
                box.maxY = std::max(box.maxY, y);
            }
    return box;
}

TEST_F(SceneFrameTest, LabelTextIsCentredOnItsPositionAndTheSameTextKeepsItsMesh)
{
    LEFont* font = LEFontLoad("Assets/Fonts/arial.ttf", 20, 1.0f);
    ASSERT_NE(font, nullptr);
    TextLabel* label = AddTextLabel(new TextLabel(font, TransformMakeValues(300, -200, 2, 2, 0), "Wave 1\ngyp", 7, 0xFF00FF00));
    SetLabelText(label, label->text);
    Frame();
    const InkBox ink = FindInk();
    ASSERT_GE(ink.maxX, 0) << "the label drew nothing";
    EXPECT_NEAR((ink.minX + ink.maxX) / 2.0f, 960 + 300, 3.0f);
    EXPECT_NEAR((ink.minY + ink.maxY) / 2.0f, 540 - 200, 3.0f);
    // Counters set their text every frame: the same text keeps its mesh.
    LEMesh* mesh = label->mesh;
    SetLabelText(label, "Wave 1\ngyp");
    EXPECT_EQ(label->mesh, mesh);
    SetLabelText(label, "");
    EXPECT_EQ(label->mesh, nullptr);
}

TEST_F(SceneFrameTest, LetterboxBarsKeepTheClearColour)
{
    LEGraphicsSetBackgroundColor(0xFF102030);
    LEWindowSetSize(1000, 360);
    SDL_Delay(50);
    GameObject* cover = AddObject(objectList, new GameObject, 0, "cover", 0, 0, 4000, 4000, 0, quad, nullptr);
    cover->useModColor = true;
    cover->modColor = 0xFFFF0000;
    Frame();
    ASSERT_EQ(LEWindowWidth(), 1000u);
    EXPECT_EQ(ReadPixelRGBA(10, 180), 0x102030FFu) << "left bar";
    EXPECT_EQ(ReadPixelRGBA(990, 180), 0x102030FFu) << "right bar";
    EXPECT_EQ(ReadPixelRGBA(500, 180), RED) << "the picture";
}

}  // namespace
