// The graphics device under Xvfb with Mesa: a real OpenGL 3.3 context, its
// projection, a cleared frame read back, the GL error lines and the leak report.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <LESystem.h>
#include <src/LEGraphicsOGL.h>
#include <src/LEMesh.h>

#include "TestEngine.h"

using GraphicsTest = EngineTest<1280, 720>;

// Applies the view-projection to (x, y, 0, 1) as the shader does (the 16 floats are
// four columns) and compares the clip coordinates x, y and w with (clipX, clipY, 1).
static testing::AssertionResult Projects(float x, float y, float clipX, float clipY)
{
    const float* vp = LEGraphicsViewProjection();
    float clip[4];
    for (int row = 0; row < 4; ++row) clip[row] = vp[0 * 4 + row] * x + vp[1 * 4 + row] * y + vp[3 * 4 + row];
    if (Near({clip[0], clip[1]}, {clipX, clipY}) && Near({clip[2], clip[3]}, {0, 1})) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << x << ", " << y << ") goes to (" << clip[0] << ", " << clip[1] << ", "
                                       << clip[2] << ", " << clip[3] << ")";
}

TEST_F(GraphicsTest, ContextIsOpenGL33Core)
{
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
}

TEST_F(GraphicsTest, TheDefaultProjectionMapsTheWindowAndTheDesignOneIsIndependentOfIt)
{
    LESystemFrameBegin();
    LEGraphicsFrameStart();
    EXPECT_TRUE(Projects(640, 360, 1, 1));
    EXPECT_TRUE(Projects(-320, 0, -0.5f, 0));
    LEGraphicsFrameEnd();
    LEGraphicsSetProjection(1920, 1080);
    EXPECT_TRUE(Projects(960, -540, 1, -1));
}

TEST_F(GraphicsTest, GLErrorIsReportedWithItsNameModuleAndSiteAndAnUnknownCodeHasAnEmptyName)
{
    testing::internal::CaptureStdout();
    glEnable(0xFFFF);
    LEGraphicsCheckErrors(77);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "GL_INVALID_ENUM - LEGraphicsOGL:77\n");
    // An error made while drawing a frame is reported by the frame's end.
    testing::internal::CaptureStdout();
    LESystemFrameBegin();
    LEGraphicsFrameStart();
    glEnable(0xFFFF);
    LEGraphicsFrameEnd();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "GL_INVALID_ENUM - LEGraphicsOGL:5\n");
    EXPECT_EQ(LEGraphicsErrorLine(0x503, 12), "GL_ - LEGraphicsOGL:12\n");
}

static void ShutdownWithAMeshAlive()
{
    LEMeshBegin();
    LEMeshAddTriangle(0, 0, 0xFFFFFFFF, 0, 0, 1, 0, 0xFFFFFFFF, 0, 0, 1, 1, 0xFFFFFFFF, 0, 0);
    LEMeshEnd();
    LEGraphicsShutdown();
}

TEST_F(GraphicsTest, ShutdownReportsAndFreesWhatIsStillAlive)
{
    testing::internal::CaptureStderr();
    ShutdownWithAMeshAlive();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Remaining Triangle Meshes = 1"), std::string::npos) << err;
    EXPECT_EQ(LEMeshCount(), 0);
    EXPECT_EQ(LEGraphicsLeakReport(0, 0, 0, 0), "") << "nothing to report once all is released";
}

TEST_F(GraphicsTest, LeavingFullScreenRestoresTheDefaultsAndSizeChangesAreSeenAtTheNextFrame)
{
    LEWindowSetFullscreen(true);
    EXPECT_TRUE(LEWindowIsFullscreen());
    LEWindowSetFullscreen(false);
    LEWindowSetFullscreen(false);
    EXPECT_FALSE(LEWindowIsFullscreen());
    EXPECT_EQ(LEWindowWidth(), 1280u);
    EXPECT_EQ(LEWindowHeight(), 720u);

    LEWindowSetSize(800, 600);
    EXPECT_EQ(LEWindowWidth(), 800u);
    EXPECT_EQ(LEWindowGetExtents().right, 400.0f);
    LEWindowSetSize(800, 600);  // same size: nothing to do
    LESystemFrameBegin();
    EXPECT_EQ(LEWindowWidth(), 800u);
    EXPECT_EQ(LEWindowHeight(), 600u);
}
