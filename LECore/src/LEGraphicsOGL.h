// LEGraphicsOGL: the OpenGL 3.3 device. Owns the GL context's pipeline state, the
// textured and line programs with their uniform locations, the projection, the
// per-draw state (model matrix, texture matrix, tint, bound texture) and the GL
// error reporting. Start-up starts it, the frame loop brackets every frame with
// LEGraphicsFrameStart/FrameEnd, meshes, lines and text draw through it, and
// shutdown reports and frees every resource still alive.
#pragma once

#include <cstdint>
#include <string>

#include "../LEMath.h"

struct LETexture;

// Creates the context, the programs and the pipeline state. False, with a line on
// stderr, when no OpenGL 3.3 context can be had: the game cannot run then.
bool LEGraphicsStart();
void LEGraphicsShutdown();
bool LEGraphicsStarted();

void LEGraphicsFrameStart();
void LEGraphicsFrameEnd();
void LEGraphicsPresent();

void LEGraphicsSetBackgroundColor(uint32_t argb);
void LEGraphicsSetViewport(float x0, float y0, float x1, float y1);
// Orthographic view-projection for a width x height area centred on the origin.
void LEGraphicsSetProjection(float width, float height);
// The 16 floats handed to "mtxViewProj" (read by GL as four columns).
const float* LEGraphicsViewProjection();

void LEGraphicsSetTexture(LETexture* texture);
LETexture* LEGraphicsBoundTexture();
// Binds the bound texture's GL name again, after code that bound another to unit 0.
void LEGraphicsRebindTexture();
void LEGraphicsSetTint(uint32_t argb);
void LEGraphicsSetTintEnabled(bool on);
void LEGraphicsSetTransform(const Matrix3& m);
void LEGraphicsSetTextureTransform(const Matrix3& m);
const Matrix4& LEGraphicsModelMatrix();
// Whether the model matrix keeps quads in the plane (the batch sends only its first two rows).
bool LEGraphicsModelInPlane();

// Binds the textured program and uploads the per-draw uniforms for one mesh draw.
void LEGraphicsUseTexturedProgram();

// The quad batch: unit-quad draws with the current per-draw state are collected
// and drawn together, in order, when the texture, viewport or projection changes,
// before any other drawing or read-back, and at the frame's end. Batching can be
// switched off (every quad then draws on its own, with the same pixels).
void LEGraphicsBatchQuad(const float quadColor[4]);
// Everything asked of the frame so far goes to GL: the waiting quads, and the
// frame's clear if nothing has been drawn yet. Before reading pixels back.
void LEGraphicsFlush();
void LEGraphicsSetBatching(bool on);
bool LEGraphicsBatching();
// Draws each kind of quad and mesh once, out of sight, so that a driver that
// compiles its pixel code on first use does it now rather than in a later
// state's first frame. For a quiet moment, such as a splash screen.
void LEGraphicsWarmUp();
// Whether anything has been drawn since the frame started. Every draw path marks
// it before it draws: the frame's clear waits for the first draw (or a flush).
void LEGraphicsMarkDrawn();
bool LEGraphicsDrawnThisFrame();
// For a frame's first draw that covers the whole window with opaque pixels, the
// frame's clear colour included (a kept backdrop): the clear is not needed.
void LEGraphicsMarkWindowCovered();
// Everything that decides the pixels of a unit-quad draw besides its colour: the
// picture (and which load of it), the matrices, the tint, the viewport and the
// clear colour under it. Equal states draw equal pixels.
struct LEGraphicsDrawState {
    const LETexture* texture = nullptr;
    uint64_t textureSerial = 0;
    Matrix4 model;
    Matrix3 textureMatrix;
    uint32_t tint = 0xFFFFFFFF;  // white when untinted
    float viewProj[16] = {};
    int viewport[4] = {};
    uint32_t clearColor = 0;
};
LEGraphicsDrawState LEGraphicsCurrentDrawState();
// Binds the line program with the current view-projection.
void LEGraphicsUseLineProgram();
// Another program was bound: the next mesh draw binds the textured program anew.
void LEGraphicsProgramChanged();

// Compiles and links a program from its two shaders; a compile or link error is
// reported in a message box.
uint32_t LEGraphicsBuildProgram(const char* vertexSource, const char* fragmentSource);

// Drains the GL error queue, printing one line per error for this check site.
// Asking makes the caller wait for the driver, so draws are not checked one by
// one: the frame's end checks them all (site 5).
void LEGraphicsCheckErrors(int site);
// "GL_<name> - LEGraphicsOGL:<site>\n"; unknown codes give an empty name.
std::string LEGraphicsErrorLine(uint32_t code, int site);
// The leak report's text, or "" when nothing is left.
std::string LEGraphicsLeakReport(int textures, int meshes, int fonts, int renderTextures);

// Colour 0xAARRGGBB as four floats 0..1 in r, g, b, a order.
void LEColorToFloats(uint32_t argb, float out[4]);
