// LELines: the batched debug lines (see LELines.h). Owns the batch; the graphics
// device calls LELinesFlush at every frame end, and LEDrawLine flushes when full.
#include "LELines.h"

#include <GL/glew.h>

#include <cmath>  // Required for: std::cos, std::sin

#include "LEGraphicsOGL.h"

namespace {
struct LineVertex {
    float x, y, z;
    float r, g, b, a;
};
static_assert(sizeof(LineVertex) == 28, "line vertices are 28 bytes");
}  // namespace

static struct {
    GLuint vertexArray = 0, buffer = 0;
    LineVertex vertices[LE_LINE_BATCH_VERTICES];
    int count = 0;
} lines;

void LELinesStart()
{
    glGenVertexArrays(1, &lines.vertexArray);
    glGenBuffers(1, &lines.buffer);
    glBindVertexArray(lines.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, lines.buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof lines.vertices, nullptr, GL_DYNAMIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(LineVertex), reinterpret_cast<void*>(0));
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(LineVertex), reinterpret_cast<void*>(12));
    // The vertex array remembers its enabled attributes: a flush never switches
    // them, so it cannot switch another batch's by mistake.
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
    LEGraphicsCheckErrors(20);
}

void LELinesShutdown()
{
    glDeleteBuffers(1, &lines.buffer);
    glDeleteVertexArrays(1, &lines.vertexArray);
    lines.buffer = lines.vertexArray = 0;
    lines.count = 0;
}

void LELinesReset() { lines.count = 0; }
int LELinesPending() { return lines.count; }

void LELinesFlush()
{
    if (lines.count == 0 || !lines.vertexArray) {
        lines.count = 0;
        return;
    }
    // The program first: switching it flushes the pending quads, which bind the
    // quad batch's vertex array; ours is bound after that.
    LEGraphicsUseLineProgram();
    LEGraphicsMarkDrawn();
    glBindVertexArray(lines.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, lines.buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(lines.count * sizeof(LineVertex)), lines.vertices);
    glDrawArrays(GL_LINES, 0, lines.count);
    glBindVertexArray(0);
    lines.count = 0;
}

static void AddPoint(float x, float y, float z, uint32_t argb)
{
    const Matrix4& m = LEGraphicsModelMatrix();
    float c[4];
    LEColorToFloats(argb, c);
    lines.vertices[lines.count++] = {m.m[0][0] * x + m.m[0][1] * y + m.m[0][2] * z + m.m[0][3],
                                     m.m[1][0] * x + m.m[1][1] * y + m.m[1][2] * z + m.m[1][3],
                                     m.m[2][0] * x + m.m[2][1] * y + m.m[2][2] * z + m.m[2][3],
                                     c[0], c[1], c[2], c[3]};
}

void LEDrawLine(float x0, float y0, float z0, uint32_t argb0, float x1, float y1, float z1, uint32_t argb1)
{
    if (lines.count >= LE_LINE_BATCH_VERTICES) LELinesFlush();
    AddPoint(x0, y0, z0, argb0);
    AddPoint(x1, y1, z1, argb1);
}

void LEDrawRect(float cx, float cy, float z, float width, float height, uint32_t argb)
{
    const float hw = width / 2.0f, hh = height / 2.0f;
    LEDrawLine(cx - hw, cy + hh, z, argb, cx + hw, cy + hh, z, argb);  // top
    LEDrawLine(cx - hw, cy - hh, z, argb, cx + hw, cy - hh, z, argb);  // bottom
    LEDrawLine(cx + hw, cy - hh, z, argb, cx + hw, cy + hh, z, argb);  // right
    LEDrawLine(cx - hw, cy - hh, z, argb, cx - hw, cy + hh, z, argb);  // left
}

void LEDrawCircle(float cx, float cy, float radius, uint32_t argb, int segments)
{
    const float fullTurn = 6.2831855f;
    const float step = fullTurn / float(segments > 0 ? segments : 1);
    float a = 0.0f;
    do {
        LEDrawLine(cx + radius * std::cos(a), cy + radius * std::sin(a), 0.0f, argb,
                   cx + radius * std::cos(a + step), cy + radius * std::sin(a + step), 0.0f, argb);
        a += step;
    } while (a < fullTurn);
}
