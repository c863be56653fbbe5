// LEQuadBatch: the quad batch behind LEMeshDraw. Consecutive draws of unit quads
// that share the viewport, the projection and the picture (or pictures of one
// shelf, see LETexture.h, with plain colours among them) are collected (model
// matrix, texture matrix, colour, layer) and drawn together, in order, by one
// draw (instanced, or for a large batch one whose corners each carry their
// quad's values) whose shader does the very arithmetic of the one-mesh path,
// so the pixels are the same. Owns the batch programs, the shared corners and
// triangles, and the store of the waiting quads' values. The graphics device
// adds to it and flushes it whenever anything else is about to touch the frame.
#pragma once

#include <cstdint>

#include "../LEMath.h"

constexpr int LE_QUAD_BATCH_CAPACITY = 8192;  // quads per draw; a full batch draws itself

bool LEQuadBatchStart();
void LEQuadBatchShutdown();

// One quad with these per-draw values, drawn from `texture` (null for the quad
// colour); `tint` null means no tint. False, with nothing added, when the quad
// cannot join the waiting ones: flush them first.
bool LEQuadBatchAdd(const Matrix4& model, const Matrix3& textureMatrix, const float* tint, const float quadColor[4],
                    const struct LETexture* texture);
// Draws what is collected with this view-projection, binding its own picture or
// shelf to unit 0. A batch whose every pixel comes out opaque (opaque pictures
// or colours, no see-through tint) is drawn without blending, which would leave
// each pixel exactly as it is; one that also covers its viewport more than
// twice over is drawn last quad first over the depth buffer, which the batch
// clears at its first such draw in a frame, so that no pixel is shaded for a
// quad that a later one hides. Either way the pixels are those of drawing the
// quads in order. Nothing when the batch is empty.
void LEQuadBatchFlush(const float* viewProj);
int LEQuadBatchPending();
// A new frame: the depth buffer holds nothing the batch can use.
void LEQuadBatchFrameStart();
// The batch draws issued since start (for tests and benchmarks).
uint64_t LEQuadBatchDrawCount();
// Those of them drawn last quad first over the depth buffer.
uint64_t LEQuadBatchLastFirstDrawCount();
