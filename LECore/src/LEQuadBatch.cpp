// LEQuadBatch: the instanced quad batch (see LEQuadBatch.h).
#include "LEQuadBatch.h"

#include <GL/glew.h>

#include <algorithm>  // Required for: std::min
#include <cstddef>    // Required for: offsetof
#include <vector>

#include "LEGraphicsOGL.h"
#include "LETexture.h"

// The one-mesh program's arithmetic with the per-draw uniforms turned into
// per-instance attributes: mtxViewProj * model * position and the texture matrix
// on the coordinates. A quad's colour is one value over the whole quad, so it
// goes to the pixels flat (not interpolated): the tint, times the quad colour
// when there is no picture (done once per quad on the CPU, the same float
// product the one-mesh program makes per pixel).
static const char* BATCH_VS = R"(#version 330 core
layout(location = 0) in vec3 inPosition;
layout(location = 2) in vec2 inTexCoord;
layout(location = 3) in vec4 inModelRow0;
layout(location = 4) in vec4 inModelRow1;
layout(location = 5) in vec3 inTextureRow0;
layout(location = 6) in vec3 inTextureRow1;
layout(location = 10) in vec4 inTint;
layout(location = 11) in float inLayer;
uniform mat4 mtxViewProj;
out vec2 texCoord;
flat out vec4 tint;
flat out float layer;
void main()
{
    // A 2D model matrix: its last two rows are those of every quad's.
    mat4 model = mat4(vec4(inModelRow0.x, inModelRow1.x, 0.0, 0.0), vec4(inModelRow0.y, inModelRow1.y, 0.0, 0.0),
                      vec4(inModelRow0.z, inModelRow1.z, 1.0, 0.0), vec4(inModelRow0.w, inModelRow1.w, 0.0, 1.0));
    mat3 textureMatrix = mat3(vec3(inTextureRow0.x, inTextureRow1.x, 0.0), vec3(inTextureRow0.y, inTextureRow1.y, 0.0),
                              vec3(inTextureRow0.z, inTextureRow1.z, 1.0));
    gl_Position = mtxViewProj * model * vec4(inPosition, 1.0);
    texCoord = (textureMatrix * vec3(inTexCoord, 1.0)).xy;
    tint = inTint;
    layer = inLayer;
}
)";

// Three fragment programs: one for a picture, one for plain colours, and one for
// a shelf of pictures of one size, where each quad names its layer and a quad
// with no picture (layer -1) takes its colour. Each gives the one-mesh
// program's pixels.
static const char* BATCH_TEXTURED_FS = R"(#version 330 core
in vec2 texCoord;
flat in vec4 tint;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main()
{
    fragColor = texture(colorTexture, texCoord) * tint;
}
)";

static const char* BATCH_SHELF_FS = R"(#version 330 core
in vec2 texCoord;
flat in vec4 tint;
flat in float layer;
uniform sampler2DArray shelf;
out vec4 fragColor;
void main()
{
    if (layer < 0.0)
        fragColor = tint;
    else
        fragColor = texture(shelf, vec3(texCoord, layer)) * tint;
}
)";

static const char* BATCH_COLOURED_FS = R"(#version 330 core
flat in vec4 tint;
out vec4 fragColor;
void main()
{
    fragColor = tint;
}
)";

namespace {
// The two rows of the model and texture matrices that differ from quad to
// quad: a quad is drawn in the plane, so the rest is the same for all.
struct QuadInstance {
    float model[2][4];
    float texture[2][3];
    float tint[4];  // times the quad colour when there is no picture
    float layer;    // the picture's layer on the batch's shelf; -1 for a plain colour
};
static_assert(sizeof(QuadInstance) == 76, "quad instances are 76 bytes");

// Mesa's GL thread copies a call's data into its queue when the call fits in
// one of its 8 KB blocks; a larger upload makes this thread wait for the queue
// to drain and then do the driver's work itself. The instances go in pieces
// that fit.
constexpr size_t UPLOAD_PIECE = 4096 / sizeof(QuadInstance) * sizeof(QuadInstance);

// The unit quad of the game's quad meshes: its four corners (position and
// texture coordinates) and its two triangles, corner for corner those of the
// meshes, so that each corner is transformed once and not twice.
constexpr float QUAD[4][5] = {{-0.5f, -0.5f, 0, 0, 0}, {-0.5f, 0.5f, 0, 1, 0}, {0.5f, -0.5f, 0, 0, 1},
                              {0.5f, 0.5f, 0, 1, 1}};
constexpr uint8_t QUAD_TRIANGLES[6] = {0, 1, 2, 3, 1, 2};
constexpr float WHITE[4] = {1, 1, 1, 1};
}  // namespace

static struct {
    GLuint textured = 0, coloured = 0, shelved = 0;  // programs
    GLint texturedViewProj = -1, colouredViewProj = -1, shelvedViewProj = -1;
    GLuint vertexArray = 0, quadBuffer = 0, quadIndices = 0, instanceBuffer = 0;
    std::vector<QuadInstance> instances;  // capacity reserved once
    // What the waiting quads are drawn from: one picture (null for plain
    // colours), or a shelf of pictures and plain colours.
    const LETexture* texture = nullptr;
    GLuint shelf = 0;
    bool seeThrough = false;  // some quad lets what is under it show
    uint64_t draws = 0;
} batch;

static GLuint BuildProgram(const char* fragmentSource, const char* sampler, GLint* viewProj)
{
    const GLuint program = LEGraphicsBuildProgram(BATCH_VS, fragmentSource);
    *viewProj = glGetUniformLocation(program, "mtxViewProj");
    glUseProgram(program);
    if (sampler) glUniform1i(glGetUniformLocation(program, sampler), 0);
    glUseProgram(0);
    return program;
}

bool LEQuadBatchStart()
{
    batch.textured = BuildProgram(BATCH_TEXTURED_FS, "colorTexture", &batch.texturedViewProj);
    batch.coloured = BuildProgram(BATCH_COLOURED_FS, nullptr, &batch.colouredViewProj);
    batch.shelved = BuildProgram(BATCH_SHELF_FS, "shelf", &batch.shelvedViewProj);

    glGenVertexArrays(1, &batch.vertexArray);
    glGenBuffers(1, &batch.quadBuffer);
    glGenBuffers(1, &batch.instanceBuffer);
    glBindVertexArray(batch.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, batch.quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof QUAD, QUAD, GL_STATIC_DRAW);
    glGenBuffers(1, &batch.quadIndices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.quadIndices);  // remembered by the vertex array
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof QUAD_TRIANGLES, QUAD_TRIANGLES, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(0));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, batch.instanceBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(LE_QUAD_BATCH_CAPACITY * sizeof(QuadInstance)), nullptr, GL_STREAM_DRAW);
    struct Attribute { GLuint location; GLint size; size_t offset; };
    const Attribute attributes[] = {
        {3, 4, offsetof(QuadInstance, model)},    {4, 4, offsetof(QuadInstance, model) + 16},
        {5, 3, offsetof(QuadInstance, texture)},  {6, 3, offsetof(QuadInstance, texture) + 12},
        {10, 4, offsetof(QuadInstance, tint)},    {11, 1, offsetof(QuadInstance, layer)},
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
    return batch.textured && batch.coloured && batch.shelved;
}

void LEQuadBatchShutdown()
{
    glDeleteBuffers(1, &batch.instanceBuffer);
    glDeleteBuffers(1, &batch.quadBuffer);
    glDeleteBuffers(1, &batch.quadIndices);
    glDeleteVertexArrays(1, &batch.vertexArray);
    glDeleteProgram(batch.textured);
    glDeleteProgram(batch.coloured);
    glDeleteProgram(batch.shelved);
    batch.textured = batch.coloured = batch.shelved = 0;
    batch.vertexArray = batch.quadBuffer = batch.quadIndices = batch.instanceBuffer = 0;
    batch.instances.clear();
    batch.texture = nullptr;
    batch.shelf = 0;
}

// Whether a quad drawn from `texture` (null for a plain colour) can join the
// waiting quads, and what they are drawn from then.
static bool Joins(const LETexture* texture)
{
    if (batch.instances.empty()) return true;
    if (batch.shelf) return !texture || texture->shelf == batch.shelf;
    if (texture == batch.texture) return true;
    // Plain colours join a shelf's pictures, and those join plain colours.
    return !batch.texture && texture && texture->shelf;
}

bool LEQuadBatchAdd(const Matrix4& model, const Matrix3& textureMatrix, const float* tint, const float quadColor[4],
                    const LETexture* texture)
{
    if (!Joins(texture)) return false;
    if (batch.instances.empty() || (!batch.shelf && texture && texture->shelf)) {
        // A shelved picture draws from its shelf, with any plain colours before it.
        batch.texture = texture && texture->shelf ? nullptr : texture;
        batch.shelf = texture ? texture->shelf : 0;
    }
    QuadInstance q;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) q.model[row][column] = model.m[row][column];
        for (int column = 0; column < 3; ++column) q.texture[row][column] = textureMatrix.m[row][column];
    }
    const float* t = tint ? tint : WHITE;
    for (int i = 0; i < 4; ++i) q.tint[i] = texture ? t[i] : quadColor[i] * t[i];
    q.layer = texture ? float(texture->layer) : -1.0f;
    // With a picture the quad colour is not drawn: the picture and the tint count.
    const bool seeThrough = q.tint[3] != 1.0f || (texture && !texture->opaque);
    batch.seeThrough = batch.seeThrough || seeThrough;
    batch.instances.push_back(q);
    return true;
}

void LEQuadBatchFlush(const float* viewProj)
{
    if (batch.instances.empty()) return;
    if (!batch.seeThrough) glDisable(GL_BLEND);
    if (batch.shelf) {
        glUseProgram(batch.shelved);
        glUniformMatrix4fv(batch.shelvedViewProj, 1, GL_FALSE, viewProj);
        glBindTexture(GL_TEXTURE_2D_ARRAY, batch.shelf);
    } else if (batch.texture) {
        glUseProgram(batch.textured);
        glUniformMatrix4fv(batch.texturedViewProj, 1, GL_FALSE, viewProj);
        glBindTexture(GL_TEXTURE_2D, batch.texture->glName);
    } else {
        glUseProgram(batch.coloured);
        glUniformMatrix4fv(batch.colouredViewProj, 1, GL_FALSE, viewProj);
    }
    glBindVertexArray(batch.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, batch.instanceBuffer);
    // The store made at start is written over: a software driver has read the
    // instances by the time the draw returns, so nothing waits, and a fresh store
    // each time cost an allocation and a free of the whole batch's size.
    const size_t bytes = batch.instances.size() * sizeof(QuadInstance);
    const char* data = reinterpret_cast<const char*>(batch.instances.data());
    for (size_t at = 0; at < bytes; at += UPLOAD_PIECE)
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(at), GLsizeiptr(std::min(UPLOAD_PIECE, bytes - at)), data + at);
    glDrawElementsInstanced(GL_TRIANGLES, 6, GL_UNSIGNED_BYTE, nullptr, GLsizei(batch.instances.size()));
    if (!batch.seeThrough) glEnable(GL_BLEND);
    batch.instances.clear();
    batch.texture = nullptr;
    batch.shelf = 0;
    batch.seeThrough = false;
    batch.draws += 1;
}

int LEQuadBatchPending() { return int(batch.instances.size()); }
uint64_t LEQuadBatchDrawCount() { return batch.draws; }
