// LEQuadBatch: the instanced quad batch (see LEQuadBatch.h).
#include "LEQuadBatch.h"

#include <GL/glew.h>

#include <cstddef>  // Required for: offsetof
#include <vector>

#include "LEGraphicsOGL.h"
#include "LETexture.h"

// The one-mesh program's arithmetic with the per-draw uniforms turned into
// per-instance attributes: mtxViewProj * model * position, the texture matrix on
// the coordinates, and the texel or colour times the tint (white when untinted,
// which leaves it exactly as it was).
static const char* BATCH_VS = R"(#version 330 core
layout(location = 0) in vec3 inPosition;
layout(location = 2) in vec2 inTexCoord;
layout(location = 3) in mat4 inModel;
layout(location = 7) in mat3 inTexture;
layout(location = 10) in vec4 inTint;
layout(location = 11) in vec4 inColor;
uniform mat4 mtxViewProj;
out vec4 color;
out vec2 texCoord;
out vec4 tint;
void main()
{
    gl_Position = mtxViewProj * inModel * vec4(inPosition, 1.0);
    texCoord = (inTexture * vec3(inTexCoord, 1.0)).xy;
    color = inColor;
    tint = inTint;
}
)";

// Two fragment programs, one for a bound texture and one without, so that the
// pixel loop never pays for the branch the one-mesh program takes on a uniform.
static const char* BATCH_TEXTURED_FS = R"(#version 330 core
in vec4 color;
in vec2 texCoord;
in vec4 tint;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main()
{
    fragColor = texture(colorTexture, texCoord) * tint;
}
)";

static const char* BATCH_COLOURED_FS = R"(#version 330 core
in vec4 color;
in vec2 texCoord;
in vec4 tint;
out vec4 fragColor;
void main()
{
    fragColor = color * tint;
}
)";

namespace {
// Matrices by columns, as GL reads matrix attributes.
struct QuadInstance {
    float model[16];
    float texture[9];
    float tint[4];
    float color[4];
};
static_assert(sizeof(QuadInstance) == 132, "quad instances are 132 bytes");

// The unit quad of the game's quad meshes: position and texture coordinates.
constexpr float QUAD[6][5] = {{-0.5f, -0.5f, 0, 0, 0}, {-0.5f, 0.5f, 0, 1, 0}, {0.5f, -0.5f, 0, 0, 1},
                              {0.5f, 0.5f, 0, 1, 1},   {-0.5f, 0.5f, 0, 1, 0}, {0.5f, -0.5f, 0, 0, 1}};
constexpr float WHITE[4] = {1, 1, 1, 1};
}  // namespace

static struct {
    GLuint textured = 0, coloured = 0;  // programs
    GLint texturedViewProj = -1, colouredViewProj = -1, sampler = -1;
    GLuint vertexArray = 0, quadBuffer = 0, instanceBuffer = 0;
    std::vector<QuadInstance> instances;  // capacity reserved once
    bool tintSeeThrough = false;    // some instance's tint lets the background through
    bool colourSeeThrough = false;  // some instance's quad colour does
    uint64_t draws = 0;
} batch;

bool LEQuadBatchStart()
{
    batch.textured = LEGraphicsBuildProgram(BATCH_VS, BATCH_TEXTURED_FS);
    batch.coloured = LEGraphicsBuildProgram(BATCH_VS, BATCH_COLOURED_FS);
    batch.texturedViewProj = glGetUniformLocation(batch.textured, "mtxViewProj");
    batch.colouredViewProj = glGetUniformLocation(batch.coloured, "mtxViewProj");
    batch.sampler = glGetUniformLocation(batch.textured, "colorTexture");
    glUseProgram(batch.textured);
    glUniform1i(batch.sampler, 0);
    glUseProgram(0);

    glGenVertexArrays(1, &batch.vertexArray);
    glGenBuffers(1, &batch.quadBuffer);
    glGenBuffers(1, &batch.instanceBuffer);
    glBindVertexArray(batch.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, batch.quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof QUAD, QUAD, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(0));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, batch.instanceBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(LE_QUAD_BATCH_CAPACITY * sizeof(QuadInstance)), nullptr, GL_STREAM_DRAW);
    struct Attribute { GLuint location; GLint size; size_t offset; };
    const Attribute attributes[] = {
        {3, 4, offsetof(QuadInstance, model)},       {4, 4, offsetof(QuadInstance, model) + 16},
        {5, 4, offsetof(QuadInstance, model) + 32},  {6, 4, offsetof(QuadInstance, model) + 48},
        {7, 3, offsetof(QuadInstance, texture)},     {8, 3, offsetof(QuadInstance, texture) + 12},
        {9, 3, offsetof(QuadInstance, texture) + 24}, {10, 4, offsetof(QuadInstance, tint)},
        {11, 4, offsetof(QuadInstance, color)},
    };
    for (const Attribute& a : attributes) {
        glVertexAttribPointer(a.location, a.size, GL_FLOAT, GL_FALSE, sizeof(QuadInstance),
                              reinterpret_cast<void*>(a.offset));
        glVertexAttribDivisor(a.location, 1);
        glEnableVertexAttribArray(a.location);
    }
    glBindVertexArray(0);
    batch.instances.reserve(LE_QUAD_BATCH_CAPACITY);
    LEGraphicsCheckErrors(60);
    return batch.textured && batch.coloured;
}

void LEQuadBatchShutdown()
{
    glDeleteBuffers(1, &batch.instanceBuffer);
    glDeleteBuffers(1, &batch.quadBuffer);
    glDeleteVertexArrays(1, &batch.vertexArray);
    glDeleteProgram(batch.textured);
    glDeleteProgram(batch.coloured);
    batch.textured = batch.coloured = batch.vertexArray = batch.quadBuffer = batch.instanceBuffer = 0;
    batch.instances.clear();
}

void LEQuadBatchAdd(const Matrix4& model, const Matrix3& textureMatrix, const float* tint, const float quadColor[4])
{
    QuadInstance q;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) q.model[column * 4 + row] = model.m[row][column];
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) q.texture[column * 3 + row] = textureMatrix.m[row][column];
    const float* t = tint ? tint : WHITE;
    for (int i = 0; i < 4; ++i) {
        q.tint[i] = t[i];
        q.color[i] = quadColor[i];
    }
    batch.tintSeeThrough = batch.tintSeeThrough || q.tint[3] != 1.0f;
    batch.colourSeeThrough = batch.colourSeeThrough || q.color[3] != 1.0f;
    batch.instances.push_back(q);
}

void LEQuadBatchFlush(const float* viewProj, const LETexture* texture)
{
    if (batch.instances.empty()) return;
    const bool textured = texture != nullptr;
    // With a picture the quad colour is not drawn: the picture and the tints count.
    const bool opaque = !batch.tintSeeThrough && (textured ? texture->opaque : !batch.colourSeeThrough);
    if (opaque) glDisable(GL_BLEND);
    glUseProgram(textured ? batch.textured : batch.coloured);
    glUniformMatrix4fv(textured ? batch.texturedViewProj : batch.colouredViewProj, 1, GL_FALSE, viewProj);
    glBindVertexArray(batch.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, batch.instanceBuffer);
    // A fresh store each time, the size of this batch and filled in the same
    // call: the driver need not wait for the previous draw, and it never
    // allocates and clears a store for the whole capacity when a frame flushes
    // a few quads at a time (a level flushes at every change of picture).
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(batch.instances.size() * sizeof(QuadInstance)), batch.instances.data(),
                 GL_STREAM_DRAW);
    glDrawArraysInstanced(GL_TRIANGLES, 0, 6, GLsizei(batch.instances.size()));
    if (opaque) glEnable(GL_BLEND);
    batch.instances.clear();
    batch.tintSeeThrough = batch.colourSeeThrough = false;
    batch.draws += 1;
    LEGraphicsCheckErrors(61);
}

int LEQuadBatchPending() { return int(batch.instances.size()); }
uint64_t LEQuadBatchDrawCount() { return batch.draws; }
