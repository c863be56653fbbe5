// LEGraphicsOGL: the GL device, its two programs and the per-frame draw state
// (see LEGraphicsOGL.h). Owns every global named below; the registries of
// meshes, textures and fonts live in their own modules and are only counted and
// emptied here at shutdown.
#include "LEGraphicsOGL.h"

#include <GL/glew.h>

#include <cstdio>  // Required for: printf, fprintf, snprintf
#include <vector>

#include "../LESystem.h"
#include "LEBackdrop.h"
#include "LEDebugGui.h"
#include "LEFont.h"
#include "LELines.h"
#include "LEMesh.h"
#include "LEPlatform.h"
#include "LEQuadBatch.h"
#include "LETexture.h"

static const char* TEXTURED_VS = R"(#version 330 core
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec4 inColor;
layout(location = 2) in vec2 inTexCoord;
uniform mat4 mtxModel;
uniform mat4 mtxViewProj;
uniform mat3 mtxTexture;
out vec4 color;
out vec2 texCoord;
void main()
{
    gl_Position = mtxViewProj * mtxModel * vec4(inPosition, 1.0);
    texCoord = (mtxTexture * vec3(inTexCoord, 1.0)).xy;
    color = inColor;
}
)";

static const char* TEXTURED_FS = R"(#version 330 core
in vec4 color;
in vec2 texCoord;
uniform sampler2D colorTexture;
uniform int useTexture;
uniform vec4 modColor;
uniform int useModColor;
out vec4 fragColor;
void main()
{
    vec4 base = useTexture == 1 ? texture(colorTexture, texCoord) : color;
    fragColor = base * (useModColor == 0 ? vec4(1.0) : modColor);
}
)";

static const char* LINE_VS = R"(#version 330 core
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec4 inColor;
uniform mat4 mtxViewProj;
out vec4 color;
void main()
{
    gl_Position = mtxViewProj * vec4(inPosition, 1.0);
    color = inColor;
}
)";

static const char* LINE_FS = R"(#version 330 core
in vec4 color;
uniform vec4 modColor;
uniform int useModColor;
out vec4 fragColor;
void main()
{
    fragColor = useModColor == 1 ? color * modColor : color;
}
)";

static struct {
    bool started = false;
    GLuint texturedProgram = 0, lineProgram = 0;
    struct { GLint model, viewProj, texture, sampler, useTexture, modColor, useModColor; } textured{};
    struct { GLint viewProj, modColor, useModColor; } line{};
    float viewProj[16] = {};
    Matrix4 model;
    Matrix3 textureMatrix;
    uint32_t tint = 0xFFFFFFFF;
    bool tintEnabled = false;
    LETexture* boundTexture = nullptr;
    bool batching = true;
    float tintFloats[4] = {1, 1, 1, 1};  // gfx.tint as floats, for the batch
    uint32_t clearColor = 0;
    int viewport[4] = {};   // x, y, width, height in window pixels
    bool drawnThisFrame = false;  // something has been drawn since the frame's clear
    bool clearPending = false;    // the frame's clear waits for its first draw
    // What the textured program was last given, so that a run of draws with the
    // same state uploads only the model matrix.
    struct {
        bool current = false;  // the textured program is bound and these are valid
        bool viewProjDirty = true, textureMatrixDirty = true;
        uint32_t tint = 0;
        int tintEnabled = -1, useTexture = -1;
    } sent;
} gfx;

// Quads waiting in the batch, drawn now: before anything changes what they would
// be drawn with. (LEGraphicsFlush also puts out a waiting clear.)
static void FlushQuads();

bool LEGraphicsStarted() { return gfx.started; }

void LEColorToFloats(uint32_t argb, float out[4])
{
    out[0] = float((argb >> 16) & 255) / 255.0f;
    out[1] = float((argb >> 8) & 255) / 255.0f;
    out[2] = float(argb & 255) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

std::string LEGraphicsErrorLine(uint32_t code, int site)
{
    const char* name = "";
    switch (code) {
    case 0x500: name = "INVALID_ENUM"; break;
    case 0x501: name = "INVALID_VALUE"; break;
    case 0x502: name = "INVALID_OPERATION"; break;
    case 0x505: name = "OUT_OF_MEMORY"; break;
    case 0x506: name = "INVALID_FRAMEBUFFER_OPERATION"; break;
    default: break;
    }
    return std::string("GL_") + name + " - LEGraphicsOGL:" + std::to_string(site) + "\n";
}

void LEGraphicsCheckErrors(int site)
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        fputs(LEGraphicsErrorLine(error, site).c_str(), stdout);
        fflush(stdout);
    }
}

std::string LEGraphicsLeakReport(int textures, int meshes, int fonts, int renderTextures)
{
    if (textures == 0 && meshes == 0 && fonts == 0 && renderTextures == 0) return "";
    char text[512];
    snprintf(text, sizeof text,
             "NOT ALL RESOURCES HAVE BEEN RELEASED!\n\t\t\t\t\t\t  Remaining Textures = %i\n"
             "\t\t\t\t\t\t  Remaining Triangle Meshes = %i\n\t\t\t\t\t\t  Remaining Fonts = %i\n"
             "\t\t\t\t\t\t  Remaining Render Textures = %i\n",
             textures, meshes, fonts, renderTextures);
    return text;
}

// ---------------------------------------------------------------------------
// Programs
// ---------------------------------------------------------------------------
static GLuint CompileShader(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        LEPlatformMessageBox(LE_MESSAGE_ERROR,
                             type == GL_VERTEX_SHADER ? "Vertex Shader Compilation Error"
                                                      : "Fragment Shader Compilation Error",
                             log);
    }
    return shader;
}

uint32_t LEGraphicsBuildProgram(const char* vertexSource, const char* fragmentSource)
{
    const GLuint vs = CompileShader(GL_VERTEX_SHADER, vertexSource);
    const GLuint fs = CompileShader(GL_FRAGMENT_SHADER, fragmentSource);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        LEPlatformMessageBox(LE_MESSAGE_ERROR, "Shader Linking Error", log);
    }
    glDetachShader(program, vs);
    glDetachShader(program, fs);
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

static void BuildPrograms()
{
    gfx.texturedProgram = LEGraphicsBuildProgram(TEXTURED_VS, TEXTURED_FS);
    const GLuint t = gfx.texturedProgram;
    // Locations are looked up once here so that no draw pays for a string search.
    gfx.textured = {glGetUniformLocation(t, "mtxModel"), glGetUniformLocation(t, "mtxViewProj"),
                    glGetUniformLocation(t, "mtxTexture"), glGetUniformLocation(t, "colorTexture"),
                    glGetUniformLocation(t, "useTexture"), glGetUniformLocation(t, "modColor"),
                    glGetUniformLocation(t, "useModColor")};
    gfx.lineProgram = LEGraphicsBuildProgram(LINE_VS, LINE_FS);
    const GLuint l = gfx.lineProgram;
    gfx.line = {glGetUniformLocation(l, "mtxViewProj"), glGetUniformLocation(l, "modColor"),
                glGetUniformLocation(l, "useModColor")};
    LEGraphicsCheckErrors(1);
}

// ---------------------------------------------------------------------------
// Start and shutdown
// ---------------------------------------------------------------------------
static bool CreateContext()
{
    if (!LEPlatformCreateGLContext()) return false;
    glewExperimental = GL_TRUE;
    const GLenum status = glewInit();
    // GLEW probes extensions the old way, which a core context answers with an error.
    while (glGetError() != GL_NO_ERROR) {}
    // GLEW loads the GL entry points before it looks for a GLX display; without one
    // (an EGL context) the entry points are still good.
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY) {
        fprintf(stderr, "Error: %s\n", reinterpret_cast<const char*>(glewGetErrorString(status)));
        return false;
    }
    char version[32];
    snprintf(version, sizeof version, "GL_VERSION_%d_%d", 3, 3);
    return glewIsSupported(version);
}

// Says so on standard error and, when someone can answer it, in a dialog.
static void ReportNoOpenGL33()
{
    char text[128], title[64];
    snprintf(text, sizeof text, "OpenGL %d.%d is not supported! Please download latest GPU drivers!", 3, 3);
    snprintf(title, sizeof title, "OpenGL %d.%d Not Supported", 3, 3);
    LEPlatformMessageBox(LE_MESSAGE_INFO, title, text);
}

static void SetPipelineState()
{
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
    // Every mesh lies at z = 0, so each later draw covers the earlier ones and
    // draw order alone decides what is on top. A depth test could only ever pass
    // (all depths are equal) while costing a depth read and write per pixel, so
    // there is none, and no depth buffer to clear each frame.
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    LEGraphicsCheckErrors(2);
}

bool LEGraphicsStart()
{
    if (gfx.started) return true;
    // A display without OpenGL 3.3 fails here, whether it refuses the context or
    // offers an older one: either way the player is told what to do.
    if (!CreateContext()) {
        fprintf(stderr, "Ember Bastion needs OpenGL 3.3, which this display does not offer.\n");
        ReportNoOpenGL33();
        return false;
    }
    LELinesStart();
    BuildPrograms();
    LEQuadBatchStart();
    gfx.started = true;
    const LEWindowExtents e = LEWindowGetExtents();
    LEGraphicsSetProjection(e.right - e.left, e.top - e.bottom);
    SetPipelineState();
    LEMeshBuilderReset();
    LELinesReset();
    LEPlatformSetVSync(false);  // the engine starts without vertical sync
    LEDebugGuiStart();
    LEGraphicsCheckErrors(3);
    return true;
}

void LEGraphicsShutdown()
{
    if (!gfx.started) return;
    const std::string report = LEGraphicsLeakReport(LETextureCount(), LEMeshCount(), LEFontCount(), 0);
    if (!report.empty()) LEPlatformMessageBox(LE_MESSAGE_WARNING, "ERROR", report.c_str());
    LEMeshFreeAll();
    LEFontFreeAll();  // fonts first: each one unloads its atlas texture
    LETextureUnloadAll();
    LEDebugGuiShutdown();
    LEBackdropShutdown();
    LEQuadBatchShutdown();
    LELinesShutdown();
    glDeleteProgram(gfx.texturedProgram);
    glDeleteProgram(gfx.lineProgram);
    gfx = {};
    LEPlatformDestroyGLContext();
}

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------
void LEGraphicsFrameStart()
{
    if (!gfx.started) return;
    LEGraphicsFlush();
    gfx.sent.current = false;
    gfx.model = Matrix4Identity();
    gfx.tintEnabled = false;
    LEMeshBuilderReset();
    LELinesReset();
    gfx.textureMatrix = Matrix3Identity();
    LEGraphicsSetTexture(nullptr);
    const LEWindowExtents e = LEWindowGetExtents();
    LEGraphicsSetProjection(e.right - e.left, e.top - e.bottom);
    LEGraphicsSetViewport(0.0f, 0.0f, float(LEWindowWidth()), float(LEWindowHeight()));
    gfx.clearPending = true;
    gfx.drawnThisFrame = false;
    LEQuadBatchFrameStart();
    LEDebugGuiFrameStart();
}

void LEGraphicsFrameEnd()
{
    if (!gfx.started) return;
    LEGraphicsFlush();
    LELinesFlush();
    LEDebugGuiRender();
    // The frame goes to the driver now: where Mesa does its work on a thread of
    // its own (see LEPlatformStart), that thread takes the rest of the frame
    // while this one goes on. Errors are asked for once a frame, here, because
    // asking waits for the driver to catch up with every call made so far.
    glFlush();
    LEGraphicsCheckErrors(5);
}

void LEGraphicsPresent() { LEPlatformSwapBuffers(); }

void LEGraphicsSetBackgroundColor(uint32_t argb)
{
    float c[4];
    LEColorToFloats(argb, c);
    gfx.clearColor = argb;
    if (gfx.started) glClearColor(c[0], c[1], c[2], c[3]);
}

void LEGraphicsSetViewport(float x0, float y0, float x1, float y1)
{
    if (!gfx.started) return;
    FlushQuads();
    gfx.viewport[0] = GLint(x0), gfx.viewport[1] = GLint(y0);
    gfx.viewport[2] = GLsizei(x1 - x0), gfx.viewport[3] = GLsizei(y1 - y0);
    glViewport(GLint(x0), GLint(y0), GLsizei(x1 - x0), GLsizei(y1 - y0));
    glScissor(GLint(x0), GLint(y0), GLsizei(x1 - x0), GLsizei(y1 - y0));
}

void LEGraphicsSetProjection(float width, float height)
{
    FlushQuads();
    gfx.sent.viewProjDirty = true;
    // Near 0.01, far 1000: z maps to -2/(far-near) z - (far+near)/(far-near).
    const float p[16] = {2.0f / width, 0, 0, 0, 0, 2.0f / height, 0, 0,
                         0, 0, -0.00200002f, -1.00002f, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) gfx.viewProj[i] = p[i];  // the view matrix is the identity
}

const float* LEGraphicsViewProjection() { return gfx.viewProj; }

// ---------------------------------------------------------------------------
// Per-draw state
// ---------------------------------------------------------------------------
void LEGraphicsSetTexture(LETexture* texture)
{
    if (texture == gfx.boundTexture) return;
    // Waiting quads keep their own pictures: the batch binds them when it draws.
    gfx.boundTexture = texture;
    if (gfx.started) glBindTexture(GL_TEXTURE_2D, texture ? texture->glName : 0);
}

LETexture* LEGraphicsBoundTexture() { return gfx.boundTexture; }

void LEGraphicsRebindTexture()
{
    if (gfx.started) glBindTexture(GL_TEXTURE_2D, gfx.boundTexture ? gfx.boundTexture->glName : 0);
}
void LEGraphicsSetTint(uint32_t argb)
{
    if (argb == gfx.tint) return;
    gfx.tint = argb;
    LEColorToFloats(argb, gfx.tintFloats);
}
void LEGraphicsSetTintEnabled(bool on) { gfx.tintEnabled = on; }

void LEGraphicsSetTransform(const Matrix3& m)
{
    Matrix4& r = gfx.model;
    const float rows[4][4] = {{m.m[0][0], m.m[0][1], 0, m.m[0][2]},
                              {m.m[1][0], m.m[1][1], 0, m.m[1][2]},
                              {m.m[2][0], m.m[2][1], 1, 0},
                              {0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = rows[i][j];
}

void LEGraphicsSetTextureTransform(const Matrix3& m)
{
    gfx.textureMatrix = m;
    gfx.sent.textureMatrixDirty = true;
}
const Matrix4& LEGraphicsModelMatrix() { return gfx.model; }

bool LEGraphicsModelInPlane()
{
    const float(&m)[4][4] = gfx.model.m;
    return m[2][0] == 0 && m[2][1] == 0 && m[2][2] == 1 && m[2][3] == 0 && m[3][0] == 0 && m[3][1] == 0 &&
           m[3][2] == 0 && m[3][3] == 1;
}

void LEGraphicsUseTexturedProgram()
{
    const auto& u = gfx.textured;
    auto& sent = gfx.sent;
    if (!sent.current) {
        glUseProgram(gfx.texturedProgram);
        glUniform1i(u.sampler, 0);
        sent = {};
        sent.current = true;
    }
    if (sent.viewProjDirty) glUniformMatrix4fv(u.viewProj, 1, GL_FALSE, gfx.viewProj);
    glUniformMatrix4fv(u.model, 1, GL_TRUE, &gfx.model.m[0][0]);
    if (sent.textureMatrixDirty) glUniformMatrix3fv(u.texture, 1, GL_TRUE, &gfx.textureMatrix.m[0][0]);
    if (sent.tint != gfx.tint || sent.tintEnabled < 0) {
        float tint[4];
        LEColorToFloats(gfx.tint, tint);
        glUniform4fv(u.modColor, 1, tint);
        sent.tint = gfx.tint;
    }
    const int tintEnabled = gfx.tintEnabled ? 1 : 0, useTexture = gfx.boundTexture ? 1 : 0;
    if (sent.tintEnabled != tintEnabled) glUniform1i(u.useModColor, sent.tintEnabled = tintEnabled);
    if (sent.useTexture != useTexture) glUniform1i(u.useTexture, sent.useTexture = useTexture);
    sent.viewProjDirty = sent.textureMatrixDirty = false;
}

void LEGraphicsProgramChanged() { gfx.sent.current = false; }

// Every kind of draw a frame makes, once, out of sight: a software renderer
// compiles its pixel code on first use for each program, blend setting and kind
// of picture (a side of a power of two or not, on a shelf or not), which would
// otherwise hold up the first frame of the first level by a tenth of a second.
// Each quad lies far outside the view, so no pixel changes.
void LEGraphicsWarmUp()
{
    const LEFrameLoadScope loading;
    if (!gfx.started) return;
    const uint32_t small = 3, large = LE_SHELF_MAX_SIDE * 2;  // not a power of two, and one
    const struct { uint32_t width, height; } SIZES[] = {
        {1, 1}, {small, 2}, {2, small}, {small, small},                                  // shelved
        {large, 1}, {large + 1, 2}, {large, small}, {large + 1, small},                  // not
    };
    std::vector<LETexture*> pictures, twins;  // a twin of each size puts the small ones on a shelf
    for (const auto& size : SIZES) {
        const std::vector<uint8_t> white(size_t(size.width) * size.height * 4, 255);
        pictures.push_back(LETextureCreate(size.width, size.height, white.data()));
        twins.push_back(LETextureCreate(size.width, size.height, white.data()));
    }
    pictures.push_back(nullptr);  // plain colours
    LEMeshBegin();
    LEMeshAddTriangle(-0.5f, -0.5f, 0xFFFFFFFF, 0, 0, -0.5f, 0.5f, 0xFFFFFFFF, 1, 0, 0.5f, -0.5f, 0xFFFFFFFF, 0, 1);
    LEMeshAddTriangle(0.5f, 0.5f, 0xFFFFFFFF, 1, 1, -0.5f, 0.5f, 0xFFFFFFFF, 1, 0, 0.5f, -0.5f, 0xFFFFFFFF, 0, 1);
    LEMesh* quad = LEMeshEnd();
    LEMeshBegin();
    LEMeshAddTriangle(0, 0, 0xFFFFFFFF, 0, 0, 1, 0, 0xFFFFFFFF, 1, 0, 0, 1, 0xFFFFFFFF, 0, 1);
    LEMesh* triangle = LEMeshEnd();
    const Matrix4 model = gfx.model;
    const bool tintEnabled = gfx.tintEnabled, drawn = gfx.drawnThisFrame;
    LETexture* const bound = gfx.boundTexture;
    Matrix3 away;
    away.m[0][2] = away.m[1][2] = 1.0e6f;
    LEGraphicsSetTransform(away);
    for (LETexture* picture : pictures) {
        LEGraphicsSetTexture(picture);
        for (uint32_t tint : {0xFFFFFFFFu, 0x80FFFFFFu}) {  // drawn without blending, and with
            LEGraphicsSetTintEnabled(true);
            LEGraphicsSetTint(tint);
            LEMeshDraw(quad);
            LEGraphicsFlush();
            LEMeshDraw(triangle);
        }
    }
    LEGraphicsSetTexture(bound);
    LEGraphicsSetTintEnabled(tintEnabled);
    gfx.model = model;
    LEMeshFree(quad);
    LEMeshFree(triangle);
    for (LETexture* picture : pictures) LETextureUnload(picture);
    for (LETexture* twin : twins) LETextureUnload(twin);
    LEBackdropWarmUp();
    gfx.drawnThisFrame = drawn;
    glFinish();  // the compiling happens here, not in the next frame
    LEGraphicsCheckErrors(6);
}

// The frame's clear goes out just before its first draw, over the whole window
// whatever the viewport is by then; a first draw that covers the whole window
// with opaque pixels makes it needless (see LEGraphicsMarkWindowCovered).
static void ClearIfPending()
{
    if (!gfx.clearPending || !gfx.started) return;
    gfx.clearPending = false;
    glScissor(0, 0, GLsizei(LEWindowWidth()), GLsizei(LEWindowHeight()));
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(gfx.viewport[0], gfx.viewport[1], gfx.viewport[2], gfx.viewport[3]);
}

void LEGraphicsMarkDrawn()
{
    ClearIfPending();
    gfx.drawnThisFrame = true;
}

void LEGraphicsMarkWindowCovered()
{
    gfx.clearPending = false;
    gfx.drawnThisFrame = true;
}
bool LEGraphicsDrawnThisFrame() { return gfx.drawnThisFrame; }

LEGraphicsDrawState LEGraphicsCurrentDrawState()
{
    LEGraphicsDrawState state;
    state.texture = gfx.boundTexture;
    state.textureSerial = gfx.boundTexture ? gfx.boundTexture->serial : 0;
    state.model = gfx.model;
    state.textureMatrix = gfx.textureMatrix;
    state.tint = gfx.tintEnabled ? gfx.tint : 0xFFFFFFFF;
    for (int i = 0; i < 16; ++i) state.viewProj[i] = gfx.viewProj[i];
    for (int i = 0; i < 4; ++i) state.viewport[i] = gfx.viewport[i];
    state.clearColor = gfx.clearColor;
    return state;
}

void LEGraphicsBatchQuad(const float quadColor[4])
{
    LEGraphicsMarkDrawn();
    const float* tint = gfx.tintEnabled ? gfx.tintFloats : nullptr;
    if (!LEQuadBatchAdd(gfx.model, gfx.textureMatrix, tint, quadColor, gfx.boundTexture)) {
        LEGraphicsFlush();
        LEQuadBatchAdd(gfx.model, gfx.textureMatrix, tint, quadColor, gfx.boundTexture);
    }
    if (LEQuadBatchPending() >= LE_QUAD_BATCH_CAPACITY) LEGraphicsFlush();
}

static void FlushQuads()
{
    if (!gfx.started || LEQuadBatchPending() == 0) return;
    LEQuadBatchFlush(gfx.viewProj);
    gfx.sent.current = false;  // the batch bound its own program
    LEGraphicsRebindTexture();  // and maybe its own picture
}

void LEGraphicsFlush()
{
    ClearIfPending();
    FlushQuads();
}

void LEGraphicsSetBatching(bool on)
{
    FlushQuads();
    gfx.batching = on;
}

bool LEGraphicsBatching() { return gfx.batching; }

void LEGraphicsUseLineProgram()
{
    LEGraphicsFlush();
    gfx.sent.current = false;
    const float black[4] = {0, 0, 0, 1};
    glUseProgram(gfx.lineProgram);
    glUniformMatrix4fv(gfx.line.viewProj, 1, GL_FALSE, gfx.viewProj);
    glUniform4fv(gfx.line.modColor, 1, black);
    glUniform1i(gfx.line.useModColor, 0);
}
