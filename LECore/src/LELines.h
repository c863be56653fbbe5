// LELines: the debug-line batch. Owns the line vertex array and buffer (16384
// vertices) and the vertices added this frame. Game code adds lines, rectangles
// and circles while drawing; the frame end flushes the batch in one draw call.
#pragma once

#include <cstdint>

constexpr int LE_LINE_BATCH_VERTICES = 16384;

// End points are transformed by the model matrix current when they are added.
void LEDrawLine(float x0, float y0, float z0, uint32_t argb0, float x1, float y1, float z1, uint32_t argb1);
void LEDrawRect(float centreX, float centreY, float z, float width, float height, uint32_t argb);
void LEDrawCircle(float centreX, float centreY, float radius, uint32_t argb, int segments);

// Engine side: GL objects, per-frame reset and the flush.
void LELinesStart();
void LELinesShutdown();
void LELinesReset();
void LELinesFlush();
int LELinesPending();
