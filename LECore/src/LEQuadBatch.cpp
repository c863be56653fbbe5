// LEQuadBatch: the quad batch (see LEQuadBatch.h).
#include "LEQuadBatch.h"

#include <GL/glew.h>

#include <algorithm>  // Required for: std::equal, std::min
#include <array>
#include <cmath>      // Required for: std::fabs
#include <cstddef>    // Required for: offsetof
#include <vector>

#include "LEGraphicsOGL.h"
#include "LETexture.h"

// The one-mesh program's arithmetic with the per-draw uniforms turned into
// attributes, per instance or carried by each corner of a quad (see
// LEQuadBatchFlush): mtxViewProj * model * position
// and the texture matrix on the coordinates. A quad's colour is one value over
// the whole quad, so it goes to the pixels flat (not interpolated): the tint,
// times the quad colour when there is no picture (done once per quad on the
// CPU, the same float product the one-mesh program makes per pixel). The depth
// only orders the quads of an opaque batch drawn last to first (see
// LEQuadBatchFlush): the quad's place in the batch, from `depthFirst` down by
// `depthStep`; both are 0 for every other batch, which draws with no depth test.
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
uniform float depthFirst;
uniform float depthStep;
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
    gl_Position.z = (depthFirst - float(gl_VertexID >> 2) * depthStep) * gl_Position.w;
    texCoord = (textureMatrix * vec3(inTexCoord, 1.0)).xy;
    tint = inTint;
    layer = inLayer;
}
)";

// Five fragment programs: one for a picture, one for plain colours, and one for
// a shelf of pictures of one size, where each quad names its layer and a quad
// with no picture (layer -1) takes its colour; and the first and last again for
// batches of pictures with no tint, where a product with white, which changes
// no value, is left out along with the colour it would read. Each gives the
// one-mesh program's pixels.
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

static const char* BATCH_UNTINTED_FS = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main()
{
    fragColor = texture(colorTexture, texCoord);
}
)";

static const char* BATCH_UNTINTED_SHELF_FS = R"(#version 330 core
in vec2 texCoord;
flat in float layer;
uniform sampler2DArray shelf;
out vec4 fragColor;
void main()
{
    fragColor = texture(shelf, vec3(texCoord, layer));
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
// The values one quad's draw would set as uniforms: the two rows of the model
// and texture matrices that differ from quad to quad (a quad is drawn in the
// plane, so the rest is the same for all), its colour and its layer: one
// instance's attributes, or a copy on each of the quad's corners.
struct QuadValues {
    float model[2][4];
    float texture[2][3];
    float tint[4];  // times the quad colour when there is no picture
    float layer;    // the picture's layer on the batch's shelf; -1 for a plain colour
};
static_assert(sizeof(QuadValues) == 76, "quad values are 76 bytes");

// The unit quad of the game's quad meshes: its four corners (position and
// texture coordinates) and its two triangles, corner for corner those of the
// meshes, so that each corner is transformed once and not twice.
constexpr float QUAD[4][5] = {{-0.5f, -0.5f, 0, 0, 0}, {-0.5f, 0.5f, 0, 1, 0}, {0.5f, -0.5f, 0, 0, 1},
                              {0.5f, 0.5f, 0, 1, 1}};
constexpr uint16_t QUAD_TRIANGLES[6] = {0, 1, 2, 3, 1, 2};
static_assert(LE_QUAD_BATCH_CAPACITY * 4 <= 65536, "a full batch's corners take 16-bit indices");
constexpr float WHITE[4] = {1, 1, 1, 1};

// Uploads of an instanced batch's values: pieces that fit in a block of Mesa's
// GL thread's queue (see Upload).
constexpr size_t UPLOAD_PIECE = 4096 / sizeof(QuadValues) * sizeof(QuadValues);
// A batch of this many quads or more goes out as a draw of corners, a smaller
// one as an instanced draw, which sends a quarter of the values. The corners
// save the driver's threads work per quad but cost this thread their copies and
// the one-call upload: from 1,024 quads, a level with 500 enemies cost this
// thread more than as instances; 5,000 sprites cost the process less.
constexpr int CORNERS_FROM = 2048;

// An opaque batch whose quads add up to this many times its viewport's area
// covers most pixels more than once. It is drawn last quad first with the depth
// test on, so that a pixel a later quad covers is not shaded again for the
// earlier ones beneath it: the picture is the one drawing in order gives, for
// less work. A batch that covers less would spend more on the depth test and
// the depth buffer's clear than it saves.
constexpr float OVERDRAW_FOR_DEPTH = 2.0f;
// Between one quad's depth and the next (normalised device depth, -1 to 1):
// 2^-18, some thirty steps of a 24-bit depth buffer, exact in a float.
constexpr float DEPTH_STEP = 1.0f / 262144.0f;

struct BatchProgram {
    GLuint program = 0;
    GLint viewProj = -1, depthFirst = -1, depthStep = -1;
    float depthSet[2] = {0, 0};  // the depth uniforms' values (both 0 as linked)
};
}  // namespace

static struct {
    BatchProgram textured, coloured, shelved, untinted, untintedShelf;
    GLuint instancedArray = 0, cornerArray = 0, quadBuffer = 0, valueBuffer = 0;
    GLuint forward = 0, backward = 0;  // the quads' triangles, first to last and last to first
    std::vector<QuadValues> quads;     // the waiting quads'; capacity reserved once
    std::vector<QuadValues> corners;   // four copies of each, for a draw of corners
    // What the waiting quads are drawn from: one picture (null for plain
    // colours), or a shelf of pictures and plain colours.
    const LETexture* texture = nullptr;
    GLuint shelf = 0;
    bool seeThrough = false;  // some quad lets what is under it show
    bool tinted = false;      // some quad is tinted, or a plain colour
    float area = 0;           // the waiting quads' model areas, added up
    // The window's depth buffer holds enough bits to order quads (24 or more).
    bool depthUsable = false;
    bool depthCleared = false;  // this frame, before the first batch that uses it
    float depthNext = 0;        // the next ordered quad's depth
    uint64_t draws = 0, lastFirstDraws = 0;
} batch;

static BatchProgram BuildProgram(const char* fragmentSource, const char* sampler)
{
    BatchProgram p;
    p.program = LEGraphicsBuildProgram(BATCH_VS, fragmentSource);
    p.viewProj = glGetUniformLocation(p.program, "mtxViewProj");
    p.depthFirst = glGetUniformLocation(p.program, "depthFirst");
    p.depthStep = glGetUniformLocation(p.program, "depthStep");
    glUseProgram(p.program);
    if (sampler) glUniform1i(glGetUniformLocation(p.program, sampler), 0);
    glUseProgram(0);
    return p;
}

static std::array<const BatchProgram*, 5> Programs()
{
    return {&batch.textured, &batch.coloured, &batch.shelved, &batch.untinted, &batch.untintedShelf};
}

// The depth buffer's bits in the window's framebuffer (0 when it has none).
static int WindowDepthBits()
{
    GLint type = GL_NONE, bits = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type == GL_NONE) return 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &bits);
    return bits;
}

// Quad after quad of the unit quad's triangles, first to last or last to first.
static GLuint MakeIndices(bool lastFirst)
{
    std::vector<uint16_t> indices;
    indices.reserve(size_t(LE_QUAD_BATCH_CAPACITY) * 6);
    for (int i = 0; i < LE_QUAD_BATCH_CAPACITY; ++i) {
        const int quad = lastFirst ? LE_QUAD_BATCH_CAPACITY - 1 - i : i;
        for (uint16_t corner : QUAD_TRIANGLES) indices.push_back(uint16_t(quad * 4 + corner));
    }
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint16_t)), indices.data(),
                 GL_STATIC_DRAW);
    return name;
}

// The vertex array of the instanced draw (one copy of the values per quad) or
// of the draw of corners (one per corner), over the same buffers.
static GLuint MakeVertexArray(bool instanced)
{
    GLuint name = 0;
    glGenVertexArrays(1, &name);
    glBindVertexArray(name);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.forward);  // remembered by the vertex array
    glBindBuffer(GL_ARRAY_BUFFER, batch.quadBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(0));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, batch.valueBuffer);
    struct Attribute { GLuint location; GLint size; size_t offset; };
    const Attribute attributes[] = {
        {3, 4, offsetof(QuadValues, model)},    {4, 4, offsetof(QuadValues, model) + 16},
        {5, 3, offsetof(QuadValues, texture)},  {6, 3, offsetof(QuadValues, texture) + 12},
        {10, 4, offsetof(QuadValues, tint)},    {11, 1, offsetof(QuadValues, layer)},
    };
    for (const Attribute& a : attributes) {
        glVertexAttribPointer(a.location, a.size, GL_FLOAT, GL_FALSE, sizeof(QuadValues),
                              reinterpret_cast<void*>(a.offset));
        glVertexAttribDivisor(a.location, instanced ? 1 : 0);
        glEnableVertexAttribArray(a.location);
    }
    glBindVertexArray(0);
    return name;
}

bool LEQuadBatchStart()
{
    batch.textured = BuildProgram(BATCH_TEXTURED_FS, "colorTexture");
    batch.coloured = BuildProgram(BATCH_COLOURED_FS, nullptr);
    batch.shelved = BuildProgram(BATCH_SHELF_FS, "shelf");
    batch.untinted = BuildProgram(BATCH_UNTINTED_FS, "colorTexture");
    batch.untintedShelf = BuildProgram(BATCH_UNTINTED_SHELF_FS, "shelf");
    batch.depthUsable = WindowDepthBits() >= 24;

    batch.forward = MakeIndices(false);
    batch.backward = MakeIndices(true);
    // Every quad's corners, made once: a draw of corners takes the first so
    // many, an instanced draw the first four.
    std::vector<float> corners;
    corners.reserve(size_t(LE_QUAD_BATCH_CAPACITY) * 4 * 5);
    for (int i = 0; i < LE_QUAD_BATCH_CAPACITY; ++i)
        for (const auto& corner : QUAD) corners.insert(corners.end(), corner, corner + 5);
    glGenBuffers(1, &batch.quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, batch.quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(corners.size() * sizeof(float)), corners.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &batch.valueBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, batch.valueBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(LE_QUAD_BATCH_CAPACITY * 4 * sizeof(QuadValues)), nullptr,
                 GL_STREAM_DRAW);
    batch.instancedArray = MakeVertexArray(true);
    batch.cornerArray = MakeVertexArray(false);
    batch.quads.reserve(size_t(LE_QUAD_BATCH_CAPACITY));
    batch.corners.reserve(size_t(LE_QUAD_BATCH_CAPACITY) * 4);
    LEGraphicsCheckErrors(60);
    for (const BatchProgram* p : Programs())
        if (!p->program) return false;
    return true;
}

void LEQuadBatchShutdown()
{
    const GLuint buffers[] = {batch.valueBuffer, batch.quadBuffer, batch.forward, batch.backward};
    glDeleteBuffers(4, buffers);
    const GLuint arrays[] = {batch.instancedArray, batch.cornerArray};
    glDeleteVertexArrays(2, arrays);
    for (const BatchProgram* p : Programs()) glDeleteProgram(p->program);
    batch = {};
}

void LEQuadBatchFrameStart() { batch.depthCleared = false; }

// Whether a quad drawn from `texture` (null for a plain colour) can join the
// waiting quads, and what they are drawn from then.
static bool Joins(const LETexture* texture)
{
    if (batch.quads.empty()) return true;
    if (batch.shelf) return !texture || texture->shelf == batch.shelf;
    if (texture == batch.texture) return true;
    // Plain colours join a shelf's pictures, and those join plain colours.
    return !batch.texture && texture && texture->shelf;
}

bool LEQuadBatchAdd(const Matrix4& model, const Matrix3& textureMatrix, const float* tint, const float quadColor[4],
                    const LETexture* texture)
{
    if (!Joins(texture)) return false;
    if (batch.quads.empty() || (!batch.shelf && texture && texture->shelf)) {
        // A shelved picture draws from its shelf, with any plain colours before it.
        batch.texture = texture && texture->shelf ? nullptr : texture;
        batch.shelf = texture ? texture->shelf : 0;
    }
    QuadValues q;
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
    batch.tinted = batch.tinted || !texture || !std::equal(q.tint, q.tint + 4, WHITE);
    batch.area += std::fabs(model.m[0][0] * model.m[1][1] - model.m[0][1] * model.m[1][0]);
    batch.quads.push_back(q);
    return true;
}

// Whether the waiting quads are drawn last first over the depth buffer: an
// opaque batch that covers its viewport over and over (see OVERDRAW_FOR_DEPTH).
// The view-projection takes the model plane to device coordinates, where the
// viewport is 2 x 2.
static bool DrawsLastFirst(const float* viewProj)
{
    if (!batch.depthUsable || batch.seeThrough) return false;
    const float deviceArea = batch.area * std::fabs(viewProj[0] * viewProj[5] - viewProj[4] * viewProj[1]);
    return deviceArea >= OVERDRAW_FOR_DEPTH * 4.0f;
}

// Depths for `quads` more quads, the buffer cleared first (the whole window,
// past the scissor box) in a frame's first use or when the depths run out.
static void MakeRoomInDepth(int quads)
{
    if (batch.depthCleared && batch.depthNext - float(quads) * DEPTH_STEP > -1.0f) return;
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    batch.depthCleared = true;
    batch.depthNext = 1.0f - DEPTH_STEP;
}

// Writes `values` over the store made at start: a software driver has read
// them by the time a draw returns, so nothing waits on the GPU (a fresh store
// each time cost an allocation and a free of the batch's size). Mesa's GL
// thread copies a call's data into its queue when the call fits in one of its
// 8 KB blocks, and lets this thread go on; a larger call waits for the queue
// to drain and goes straight to the driver. An instanced batch goes in pieces
// the queue takes, so this thread never waits on it; a draw of corners, four
// times the values, in one call, copied once and not twice.
static void Upload(const std::vector<QuadValues>& values, bool inOneCall)
{
    glBindBuffer(GL_ARRAY_BUFFER, batch.valueBuffer);
    const size_t bytes = values.size() * sizeof(QuadValues);
    const size_t piece = inOneCall ? bytes : UPLOAD_PIECE;
    const char* data = reinterpret_cast<const char*>(values.data());
    for (size_t at = 0; at < bytes; at += piece)
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(at), GLsizeiptr(std::min(piece, bytes - at)), data + at);
}

static void SetDepths(BatchProgram& p, float first, float step)
{
    if (p.depthSet[0] != first) glUniform1f(p.depthFirst, first);
    if (p.depthSet[1] != step) glUniform1f(p.depthStep, step);
    p.depthSet[0] = first, p.depthSet[1] = step;
}

void LEQuadBatchFlush(const float* viewProj)
{
    if (batch.quads.empty()) return;
    const int quads = int(batch.quads.size());
    BatchProgram& p = batch.shelf     ? (batch.tinted ? batch.shelved : batch.untintedShelf)
                      : batch.texture ? (batch.tinted ? batch.textured : batch.untinted)
                                      : batch.coloured;
    glUseProgram(p.program);
    glUniformMatrix4fv(p.viewProj, 1, GL_FALSE, viewProj);
    if (batch.shelf)
        glBindTexture(GL_TEXTURE_2D_ARRAY, batch.shelf);
    else if (batch.texture)
        glBindTexture(GL_TEXTURE_2D, batch.texture->glName);
    const bool lastFirst = DrawsLastFirst(viewProj);
    const bool asCorners = lastFirst || quads >= CORNERS_FROM;
    if (!batch.seeThrough) glDisable(GL_BLEND);
    if (asCorners) {
        // Mesa's software renderer runs its vertex pipeline once per instance
        // (with an allocation and a free each time): a large batch goes out as
        // one draw of corners, each carrying its quad's values.
        batch.corners.clear();
        for (const QuadValues& q : batch.quads) batch.corners.insert(batch.corners.end(), 4, q);
        glBindVertexArray(batch.cornerArray);
        Upload(batch.corners, true);
    } else {
        glBindVertexArray(batch.instancedArray);
        Upload(batch.quads, false);
    }
    if (lastFirst) {
        MakeRoomInDepth(quads);
        SetDepths(p, batch.depthNext, DEPTH_STEP);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.backward);
        // The last `quads` of the last-to-first run: this batch's, its last quad first.
        const size_t skipped = size_t(LE_QUAD_BATCH_CAPACITY - quads) * 6 * sizeof(uint16_t);
        glDrawElements(GL_TRIANGLES, GLsizei(quads * 6), GL_UNSIGNED_SHORT, reinterpret_cast<void*>(skipped));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.forward);
        glDepthMask(GL_FALSE);
        glDisable(GL_DEPTH_TEST);
        batch.depthNext -= float(quads) * DEPTH_STEP;
        batch.lastFirstDraws += 1;
    } else {
        SetDepths(p, 0.0f, 0.0f);
        if (asCorners)
            glDrawElements(GL_TRIANGLES, GLsizei(quads * 6), GL_UNSIGNED_SHORT, nullptr);
        else
            glDrawElementsInstanced(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr, GLsizei(quads));
    }
    if (!batch.seeThrough) glEnable(GL_BLEND);
    batch.quads.clear();
    batch.texture = nullptr;
    batch.shelf = 0;
    batch.seeThrough = false;
    batch.tinted = false;
    batch.area = 0;
    batch.draws += 1;
}

int LEQuadBatchPending() { return int(batch.quads.size()); }
uint64_t LEQuadBatchDrawCount() { return batch.draws; }
uint64_t LEQuadBatchLastFirstDrawCount() { return batch.lastFirstDraws; }
