// Meshes, textures, debug lines and text on a real GL context, with pixels read
// back: registries and names, the builder's limits, long paths, the line batch,
// and text meshes. (Damaged files: test_damaged_files; a picture's rows on the
// screen: test_scene.)
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <LESystem.h>
#include <src/LEFont.h>
#include <src/LEGraphicsOGL.h>
#include <src/LELines.h>
#include <src/LEMesh.h>
#include <src/LETexture.h>

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "TestEngine.h"

class DrawingTest : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_ENGINE(640, 360);
        LEGraphicsSetBackgroundColor(0xFF000000);
        LESystemFrameBegin();
        LEGraphicsFrameStart();
    }
    void TearDown() override
    {
        if (!LEGraphicsStarted()) return;
        LEMeshFreeAll();
        LEFontFreeAll();
        LETextureUnloadAll();
        StopTestEngine();
    }
};

static LEMesh* Triangles(int count)
{
    LEMeshBegin();
    for (int i = 0; i < count; ++i)
        LEMeshAddTriangle(0, 0, 0xFFFFFFFF, 0, 0, 1, 0, 0xFFFFFFFF, 1, 0, 0, 1, 0xFFFFFFFF, 0, 1);
    return LEMeshEnd();
}

TEST_F(DrawingTest, MeshBuilderKeepsAtMost8192TrianglesAndAnEmptyMeshIsNull)
{
    LEMeshAddTriangle(0, 0, 0xFFFFFFFF, 0, 0, 1, 0, 0xFFFFFFFF, 1, 0, 0, 1, 0xFFFFFFFF, 0, 1);  // outside Begin and End
    EXPECT_EQ(LEMeshEnd(), nullptr);
    EXPECT_EQ(Triangles(0), nullptr);
    LEMeshAddTriangle(0, 0, 0xFFFFFFFF, 0, 0, 1, 0, 0xFFFFFFFF, 1, 0, 0, 1, 0xFFFFFFFF, 0, 1);
    EXPECT_EQ(LEMeshEnd(), nullptr) << "the empty mesh left the builder open";
    LEMeshDraw(nullptr);
    LEMeshFree(nullptr);
    EXPECT_EQ(LEMeshCount(), 0);
    LEMesh* mesh = Triangles(8193);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 24576u);
}

// A path of exactly `length` characters in nested folders (a single name may
// not be longer than 255 characters).
static std::string PathOfLength(size_t length, const std::string& fileName)
{
    std::string path = testing::TempDir() + "eb_long";
    mkdir(path.c_str(), 0755);
    while (path.size() + 1 + 100 + 1 + fileName.size() < length) {
        path += "/" + std::string(100, 'd');
        mkdir(path.c_str(), 0755);
    }
    const size_t pad = length - path.size() - 1 - fileName.size();
    return path + "/" + std::string(pad, 'f') + fileName;
}

TEST_F(DrawingTest, LongPathsAreRefusedWithoutTouchingTheFile)
{
    // A real PNG behind a 511-character path loads; a real PNG behind a
    // 512-character path is refused before the file is opened.
    const uint8_t rgba[4] = {10, 20, 30, 255};
    const std::string fits = PathOfLength(511, ".png");
    const std::string tooLong = PathOfLength(512, ".png");
    ASSERT_EQ(fits.size(), 511u);
    ASSERT_EQ(tooLong.size(), 512u);
    ASSERT_TRUE(stbi_write_png(fits.c_str(), 1, 1, 4, rgba, 4));
    ASSERT_TRUE(stbi_write_png(tooLong.c_str(), 1, 1, 4, rgba, 4));

    LETexture* ok = LETextureLoad(fits.c_str());
    ASSERT_NE(ok, nullptr);
    EXPECT_STREQ(ok->name, fits.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(LETextureLoad(tooLong.c_str()), nullptr);
    EXPECT_EQ(LEFontLoad(tooLong.c_str(), 20, 1.0f), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("512"), std::string::npos);
    std::remove(fits.c_str());
    std::remove(tooLong.c_str());
}

static LEMesh* UnitQuad(uint32_t argb)
{
    LEMeshBegin();
    LEMeshAddTriangle(-0.5f, -0.5f, argb, 0, 0, -0.5f, 0.5f, argb, 1, 0, 0.5f, -0.5f, argb, 0, 1);
    LEMeshAddTriangle(0.5f, 0.5f, argb, 1, 1, -0.5f, 0.5f, argb, 1, 0, 0.5f, -0.5f, argb, 0, 1);
    return LEMeshEnd();
}

static void DrawQuadAt(LEMesh* quad, float x, float y, float size)
{
    LEGraphicsSetTransform(Matrix3{{{size, 0, x}, {0, size, y}, {0, 0, 1}}});
    LEMeshDraw(quad);
}

TEST_F(DrawingTest, LineBatchFlushesWhenFullAndBothPartsAreDrawn)
{
    // 8192 lines fill the batch; the one after them flushes it first, while a
    // batched quad is still waiting: the quad, both parts of the lines and the
    // quads of the next frame are all drawn (the two batches keep their own
    // vertex state whichever flushes first).
    LEGraphicsSetProjection(640, 360);
    LEMesh* quad = UnitQuad(0xFFFFFFFF);
    ASSERT_TRUE(quad && quad->unitQuad);
    DrawQuadAt(quad, 0, 100, 20);
    LEGraphicsSetTransform(Matrix3Identity());
    for (int i = 0; i < LE_LINE_BATCH_VERTICES / 2 - 1; ++i)
        LEDrawLine(-100, 0, 0, 0xFF00FF00, -100, 1, 0, 0xFF00FF00);
    LEDrawLine(-200.5f, -100, 0, 0xFFFF0000, -200.5f, 100, 0, 0xFFFF0000);
    EXPECT_EQ(LELinesPending(), LE_LINE_BATCH_VERTICES);
    LEDrawLine(100.5f, -100, 0, 0xFF0000FF, 100.5f, 100, 0, 0xFF0000FF);
    EXPECT_EQ(LELinesPending(), 2);
    LEGraphicsFrameEnd();
    EXPECT_EQ(ReadPixelRGBA(320 - 201, 180), 0xFF0000FFu);
    EXPECT_EQ(ReadPixelRGBA(320 + 100, 180), 0x0000FFFFu);
    EXPECT_EQ(ReadPixelRGBA(320, 180 + 100), 0xFFFFFFFFu);

    LEGraphicsFrameStart();
    DrawQuadAt(quad, 100, -100, 20);
    LEGraphicsFrameEnd();
    EXPECT_EQ(ReadPixelRGBA(320 + 100, 180 - 100), 0xFFFFFFFFu);
}

TEST_F(DrawingTest, WarmingUpTouchesNoPixelNoStateAndLeavesNothingBehind)
{
    LEGraphicsSetProjection(640, 360);
    LEMesh* quad = UnitQuad(0xFF30A0F0);
    DrawQuadAt(quad, 40, 20, 100);
    LEGraphicsFlush();
    std::vector<uint8_t> before(640 * 360 * 4), after(before.size());
    glReadPixels(0, 0, 640, 360, GL_RGBA, GL_UNSIGNED_BYTE, before.data());
    const int meshes = LEMeshCount(), textures = LETextureCount();
    const Matrix4 model = LEGraphicsModelMatrix();

    LEGraphicsWarmUp();
    glReadPixels(0, 0, 640, 360, GL_RGBA, GL_UNSIGNED_BYTE, after.data());
    EXPECT_TRUE(before == after);
    EXPECT_EQ(LEMeshCount(), meshes);
    EXPECT_EQ(LETextureCount(), textures);
    EXPECT_EQ(LEGraphicsBoundTexture(), nullptr);
    EXPECT_EQ(memcmp(&LEGraphicsModelMatrix(), &model, sizeof model), 0);
    EXPECT_TRUE(LEGraphicsDrawnThisFrame());
}

class FontTest : public DrawingTest {
protected:
    LEFont* font = nullptr;
    void SetUp() override
    {
        DrawingTest::SetUp();
        if (!LEGraphicsStarted()) return;
        font = LEFontLoad("Assets/Fonts/arial.ttf", 20, 1.0f);
        ASSERT_NE(font, nullptr);
    }
};

TEST_F(FontTest, BothGameFontsLoadWithAWhiteAtlasNamedAfterTheFile)
{
    LEFont* menuFont = LEFontLoad("Assets/Fonts/Kingthings Exeter.ttf", 30, 1.0f);
    ASSERT_NE(menuFont, nullptr);
    EXPECT_STREQ(menuFont->texture->name, "Assets/Fonts/Kingthings Exeter.ttf");
    EXPECT_EQ(menuFont->texture->width, 256u);
    EXPECT_EQ(LEFontCount(), 2);
    EXPECT_EQ(LETextureCount(), 2);
    for (LEFont* f : {font, menuFont}) {
        const LEGlyph& a = f->glyphInfo->glyphs['A' - 32];
        EXPECT_GT(a.advance, 5.0f);
        EXPECT_GT(a.x1 - a.x0, 5.0f);
        EXPECT_GT(a.s1, a.s0) << "the glyph was packed into the atlas";
    }
    LEFontFree(menuFont);
    EXPECT_EQ(LETextureCount(), 1);
}

TEST_F(FontTest, EmptyTextHasNoMeshSpacesStillAdvanceAndCharactersOutsideTheAtlasAreSkipped)
{
    EXPECT_EQ(LETextMesh(font, ""), nullptr);
    EXPECT_EQ(LETextMesh(font, nullptr), nullptr);
    EXPECT_EQ(LETextMesh(nullptr, "A"), nullptr);
    LEMesh* spaces = LETextMesh(font, "   ");
    ASSERT_NE(spaces, nullptr);
    EXPECT_EQ(spaces->vertexCount, 18u);
    EXPECT_GT(font->glyphInfo->glyphs[0].advance, 0.0f);
    // The table holds 32 to 196: 0xC3 and 0xA9 have glyphs, 0x01 and 0xFF do not.
    LEMesh* mesh = LETextMesh(font, "A\xC3\xA9\x01\xFF" "B");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 4u * 6u);
    EXPECT_EQ(LETextMesh(font, "\xFF\xFE"), nullptr);
}

TEST_F(FontTest, TextIsWhiteWithCoverageAlphaAndTakesTheTint)
{
    LEGraphicsSetProjection(640, 360);
    LEMesh* mesh = LETextMesh(font, "IIIII");
    LEGraphicsSetTexture(LEFontTexture(font));
    LEGraphicsSetTint(0xFF00FF00);
    LEGraphicsSetTintEnabled(true);
    Matrix3 m = Matrix3Scale(4, 4);
    LEGraphicsSetTransform(m);
    LEMeshDraw(mesh);
    LEGraphicsFrameEnd();
    // Inside the big first "I" the white atlas, tinted, is green and nothing else.
    const LEGlyph& i = font->glyphInfo->glyphs['I' - 32];
    const int x = 320 + int((i.x0 + i.x1) * 0.5f * 4.0f), y = 180 + int((i.y0 + i.y1) * 0.5f * 4.0f);
    const uint32_t pixel = ReadPixelRGBA(x, y);
    EXPECT_EQ(pixel >> 24, 0u);
    EXPECT_GT(pixel >> 16 & 255, 150u);
    EXPECT_EQ(pixel >> 8 & 255, 0u);
}
