// LEBackdrop: the cached backdrop frame (see LEBackdrop.h).
#include "LEBackdrop.h"

#include <GL/glew.h>

#include <cstring>  // Required for: memcmp, memcpy

#include "LEGraphicsOGL.h"
#include "LEMesh.h"
#include "../LESystem.h"

static struct {
    GLuint frame = 0;        // the kept frame: a texture of the window's size, upside down
    GLuint framebuffer = 0;  // `frame` as a framebuffer, for blitting to and from the window
    int width = 0, height = 0;
    // Everything that decides the backdrop's pixels: the draw state and the quad's colour.
    struct Look {
        LEGraphicsDrawState state;
        float quadColor[4] = {};
    } kept, lastDrawn;
    bool valid = false;  // the frame holds `kept`
    // Whether the window's pixels copy to and from the kept frame, turned over.
    // A multisampled window (a driver that forces anti-aliasing gives one)
    // refuses such a copy: there the backdrop is simply drawn every frame.
    bool windowCopies = true;
    int renders = 0;
} backdrop;

// The window's own framebuffer is multisampled.
static bool WindowMultisampled()
{
    GLint drawing = 0, sampleBuffers = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawing));
    return sampleBuffers > 0;
}

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

// The kept frame is stored upside down: Mesa's software renderer keeps a
// window's rows top first and a texture's bottom first, so a blit that turns the
// frame over is a plain copy of rows there, where any other copy runs a shader
// over every pixel. Turned over on the way in and again on the way out, the
// window gets exactly its own pixels back, on any driver.
static void MakeFrameTexture(int width, int height)
{
    if (backdrop.frame) glDeleteTextures(1, &backdrop.frame);
    backdrop.valid = false;
    glGenTextures(1, &backdrop.frame);
    glBindTexture(GL_TEXTURE_2D, backdrop.frame);
    // Unsized RGBA given as BGRA bytes: the driver may store it in the window's
    // own byte order, so that copying between them converts nothing.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    LEGraphicsRebindTexture();
    if (!backdrop.framebuffer) glGenFramebuffers(1, &backdrop.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, backdrop.framebuffer);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backdrop.frame, 0);
    const bool complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    backdrop.width = width, backdrop.height = height;
    backdrop.windowCopies = complete && !WindowMultisampled();
}

// Copies the window's `width` x `height` corner into the kept frame (`keep`) or
// the kept frame back over the window, turned over either way. The scissor box
// is off for it: it would clip the blit and rule out the plain copy.
static void Blit(bool keep, int width, int height)
{
    glBindFramebuffer(keep ? GL_DRAW_FRAMEBUFFER : GL_READ_FRAMEBUFFER, backdrop.framebuffer);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, width, height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(keep ? GL_DRAW_FRAMEBUFFER : GL_READ_FRAMEBUFFER, 0);
}

// The frame's clear and the quad, drawn into the window as any draw is, then
// kept: the kept pixels are the very ones the window got. A driver that
// refuses the copy leaves the window as drawn, and the backdrop is drawn from
// then on (a window that takes one copy takes the other, which turns the same
// rectangles over).
static bool DrawAndKeep(const LEMesh* mesh)
{
    LEMeshDraw(mesh);
    LEGraphicsFlush();
    LEGraphicsCheckErrors(71);
    Blit(true, backdrop.width, backdrop.height);
    backdrop.windowCopies = glGetError() == GL_NO_ERROR;
    LEGraphicsCheckErrors(72);
    if (backdrop.windowCopies) backdrop.renders += 1;
    return backdrop.windowCopies;
}

// The kept frame over the whole window (the frame's clear is in it too).
static void CopyKeptFrame()
{
    LEGraphicsMarkWindowCovered();
    Blit(false, backdrop.width, backdrop.height);
}

void LEBackdropWarmUp()
{
    if (!LEGraphicsStarted()) return;
    const int width = int(LEWindowWidth()), height = int(LEWindowHeight());
    if (width <= 0 || height <= 0) return;
    if (width != backdrop.width || height != backdrop.height || !backdrop.frame)
        MakeFrameTexture(width, height);  // made now, not in the first frame that keeps one
    if (!backdrop.windowCopies) return;
    // One pixel there and back: the window's corner gets its own value again.
    Blit(true, 1, 1);
    Blit(false, 1, 1);
}

void LEBackdropDraw(const LEMesh* mesh)
{
    const int width = int(LEWindowWidth()), height = int(LEWindowHeight());
    if (!mesh || !mesh->unitQuad || !LEGraphicsBatching() || LEGraphicsDrawnThisFrame() || width <= 0 || height <= 0) {
        LEMeshDraw(mesh);
        return;
    }
    if (width != backdrop.width || height != backdrop.height || !backdrop.frame) MakeFrameTexture(width, height);
    if (!backdrop.windowCopies) {
        LEMeshDraw(mesh);
        return;
    }
    decltype(backdrop.kept) look;
    look.state = LEGraphicsCurrentDrawState();
    memcpy(look.quadColor, mesh->quadColor, sizeof look.quadColor);
    if (backdrop.valid && Same(look, backdrop.kept)) {
        CopyKeptFrame();
    } else if (Same(look, backdrop.lastDrawn)) {
        // The same for a second frame: worth keeping. (A backdrop that changes
        // every frame is simply drawn; and a new screen's first frame never
        // waits for the keeping.)
        backdrop.kept = look;
        backdrop.valid = DrawAndKeep(mesh);
    } else {
        LEMeshDraw(mesh);
    }
    backdrop.lastDrawn = look;
}

int LEBackdropRenders() { return backdrop.renders; }

void LEBackdropShutdown()
{
    if (LEGraphicsStarted()) {
        if (backdrop.framebuffer) glDeleteFramebuffers(1, &backdrop.framebuffer);
        if (backdrop.frame) glDeleteTextures(1, &backdrop.frame);
    }
    backdrop.framebuffer = backdrop.frame = 0;
    backdrop.width = backdrop.height = 0;
    backdrop.valid = false;
    backdrop.windowCopies = true;
}
