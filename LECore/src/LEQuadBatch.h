// LEQuadBatch: the quad batch behind LEMeshDraw. Consecutive draws of unit quads
// that share the bound texture, the viewport and the projection are collected as
// instances (model matrix, texture matrix, tint, quad colour) and drawn together
// by one instanced draw whose shader does the very arithmetic of the one-mesh
// path, so the pixels are the same. Owns the batch program, the shared quad and
// the instance buffer (sized once). The graphics device adds to it and flushes it
// whenever anything else is about to touch the frame.
#pragma once

#include <cstdint>

#include "../LEMath.h"

constexpr int LE_QUAD_BATCH_CAPACITY = 4096;  // instances per draw; a full batch draws itself

bool LEQuadBatchStart();
void LEQuadBatchShutdown();

// One quad with these per-draw values; `tint` null means no tint.
void LEQuadBatchAdd(const Matrix4& model, const Matrix3& textureMatrix, const float* tint, const float quadColor[4]);
// Draws what is collected with this view-projection; `texture` is the bound one
// (null for none). A batch whose every pixel comes out opaque (an opaque picture
// or colour, no see-through tint) is drawn without blending, which would leave
// each pixel exactly as it is. Nothing when the batch is empty.
void LEQuadBatchFlush(const float* viewProj, const struct LETexture* texture);
int LEQuadBatchPending();
// The instanced draws issued since start (for tests and benchmarks).
uint64_t LEQuadBatchDrawCount();
