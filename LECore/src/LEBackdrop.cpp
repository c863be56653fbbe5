// LEBackdrop: the cached backdrop frame (see LEBackdrop.h).
#include "LEBackdrop.h"

#include <GL/glew.h>

#include <cstring>  // Required for: memcmp, memcpy

#include "LEGraphicsOGL.h"
#include "LEMesh.h"
#include "../LESystem.h"

// The kept frame copied texel for texel: the simplest program there is, which a
// software renderer can run as a plain copy.
static const char* COPY_VS = R"(#version 330 core
out vec2 texCoord;
void main()
{
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);  // a strip of four corners
    texCoord = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

static const char* COPY_FS = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D frame;
out vec4 fragColor;
void main()
{
    fragColor = texture(frame, texCoord);
}
)";

static struct {
    GLuint program = 0, vertexArray = 0;
    GLuint frame = 0;  // the kept frame: a texture of the window's size
    int width = 0, height = 0;
    // Everything that decides the backdrop's pixels: the draw state and the quad's colour.
    struct Look {
        LEGraphicsDrawState state;
        float quadColor[4] = {};
    } kept, lastDrawn;
    bool valid = false;  // the frame holds `kept`
    int renders = 0;
} backdrop;

static bool Same(const decltype(backdrop.kept)& x, const decltype(backdrop.kept)& y)
{
    const LEGraphicsDrawState &a = x.state, &b = y.state;
    return a.texture == b.texture && a.textureSerial == b.textureSerial && a.tint == b.tint &&
           a.clearColor == b.clearColor && memcmp(&a.model, &b.model, sizeof a.model) == 0 &&
           memcmp(&a.textureMatrix, &b.textureMatrix, sizeof a.textureMatrix) == 0 &&
           memcmp(a.viewProj, b.viewProj, sizeof a.viewProj) == 0 &&
           memcmp(a.viewport, b.viewport, sizeof a.viewport) == 0 &&
           memcmp(x.quadColor, y.quadColor, sizeof x.quadColor) == 0;
}

static void MakeFrameTexture(int width, int height)
{
    if (backdrop.frame) glDeleteTextures(1, &backdrop.frame);
    backdrop.valid = false;
    glGenTextures(1, &backdrop.frame);
    glBindTexture(GL_TEXTURE_2D, backdrop.frame);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // Each window pixel takes exactly its own texel back.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    backdrop.width = width, backdrop.height = height;
}

// The frame's clear and the quad, drawn into the window as any draw is, then
// kept: the kept pixels are the very ones the window got.
static void DrawAndKeep(const LEMesh* mesh)
{
    LEMeshDraw(mesh);
    LEGraphicsFlush();
    glBindTexture(GL_TEXTURE_2D, backdrop.frame);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, backdrop.width, backdrop.height);
    LEGraphicsRebindTexture();
    backdrop.renders += 1;
    LEGraphicsCheckErrors(71);
}

// Copies `frame` (a texture of the window's size) over the window's
// `width` x `height` pixels within the scissor box, without blending.
static void CopyFrame(GLuint frame, int width, int height, const int scissor[4], const int viewport[4])
{
    if (!backdrop.program) {
        backdrop.program = LEGraphicsBuildProgram(COPY_VS, COPY_FS);
        glGenVertexArrays(1, &backdrop.vertexArray);  // no attributes: the corners come from the vertex number
    }
    glViewport(0, 0, width, height);
    glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
    glDisable(GL_BLEND);
    glUseProgram(backdrop.program);
    glBindVertexArray(backdrop.vertexArray);
    glBindTexture(GL_TEXTURE_2D, frame);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glEnable(GL_BLEND);
    LEGraphicsProgramChanged();
    LEGraphicsRebindTexture();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glScissor(viewport[0], viewport[1], viewport[2], viewport[3]);
}

// The kept frame over the whole window (the frame's clear is in it too).
static void CopyKeptFrame(const int viewport[4])
{
    const int whole[4] = {0, 0, backdrop.width, backdrop.height};
    LEGraphicsMarkWindowCovered();
    CopyFrame(backdrop.frame, backdrop.width, backdrop.height, whole, viewport);
}

void LEBackdropWarmUp()
{
    if (!LEGraphicsStarted()) return;
    const int width = int(LEWindowWidth()), height = int(LEWindowHeight());
    if (width > 0 && height > 0 && (width != backdrop.width || height != backdrop.height))
        MakeFrameTexture(width, height);  // made now, not in the first frame that keeps one
    GLuint frame = 0;
    glGenTextures(1, &frame);
    glBindTexture(GL_TEXTURE_2D, frame);
    const uint8_t texel[4] = {};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 1, 1);  // keeping a frame, one pixel of it
    const LEGraphicsDrawState state = LEGraphicsCurrentDrawState();
    const int nothing[4] = {0, 0, 0, 0};  // an empty scissor box: no pixel is touched
    CopyFrame(frame, 1, 1, nothing, state.viewport);
    glDeleteTextures(1, &frame);
}

void LEBackdropDraw(const LEMesh* mesh)
{
    const int width = int(LEWindowWidth()), height = int(LEWindowHeight());
    if (!mesh || !mesh->unitQuad || !LEGraphicsBatching() || LEGraphicsDrawnThisFrame() || width <= 0 || height <= 0) {
        LEMeshDraw(mesh);
        return;
    }
    if (width != backdrop.width || height != backdrop.height || !backdrop.frame) MakeFrameTexture(width, height);
    decltype(backdrop.kept) look;
    look.state = LEGraphicsCurrentDrawState();
    memcpy(look.quadColor, mesh->quadColor, sizeof look.quadColor);
    if (backdrop.valid && Same(look, backdrop.kept)) {
        CopyKeptFrame(look.state.viewport);
    } else if (Same(look, backdrop.lastDrawn)) {
        // The same for a second frame: worth keeping. (A backdrop that changes
        // every frame is simply drawn; and a new screen's first frame never
        // waits for the keeping.)
        backdrop.kept = look;
        DrawAndKeep(mesh);
        backdrop.valid = true;
    } else {
        LEMeshDraw(mesh);
    }
    backdrop.lastDrawn = look;
}

int LEBackdropRenders() { return backdrop.renders; }

void LEBackdropShutdown()
{
    if (backdrop.program && LEGraphicsStarted()) {
        glDeleteProgram(backdrop.program);
        glDeleteVertexArrays(1, &backdrop.vertexArray);
    }
    backdrop.program = backdrop.vertexArray = 0;
    if (backdrop.frame && LEGraphicsStarted()) glDeleteTextures(1, &backdrop.frame);
    backdrop.frame = 0;
    backdrop.width = backdrop.height = 0;
    backdrop.valid = false;
}
