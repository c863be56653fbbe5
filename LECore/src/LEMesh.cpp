// LEMesh: the mesh builder, mesh registry and mesh draw (see LEMesh.h).
#include "LEMesh.h"

#include <GL/glew.h>

#include <algorithm>  // Required for: std::find
#include <cstdio>     // Required for: snprintf
#include <vector>

#include "LEGraphicsOGL.h"

namespace {
struct MeshVertex {
    float x, y, z;
    float r, g, b, a;
    float u, v;
};
static_assert(sizeof(MeshVertex) == 36, "mesh vertices are 36 bytes");
}  // namespace

static struct {
    bool building = false;
    uint32_t triangles = 0;
    MeshVertex staging[LE_MESH_MAX_TRIANGLES * 3];
} builder;

static std::vector<LEMesh*> meshRegistry;

void LEMeshBuilderReset()
{
    builder.building = false;
    builder.triangles = 0;
}

void LEMeshBegin() { builder.building = true; }

static MeshVertex MakeVertex(float x, float y, uint32_t argb, float u, float v)
{
    float c[4];
    LEColorToFloats(argb, c);
    return {x, y, 0.0f, c[0], c[1], c[2], c[3], u, v};
}

void LEMeshAddTriangle(float x0, float y0, uint32_t argb0, float tu0, float tv0,
                       float x1, float y1, uint32_t argb1, float tu1, float tv1,
                       float x2, float y2, uint32_t argb2, float tu2, float tv2)
{
    if (!builder.building || builder.triangles >= LE_MESH_MAX_TRIANGLES) return;
    MeshVertex* v = &builder.staging[builder.triangles * 3];
    v[0] = MakeVertex(x0, y0, argb0, tu0, tv0);
    v[1] = MakeVertex(x1, y1, argb1, tu1, tv1);
    v[2] = MakeVertex(x2, y2, argb2, tu2, tv2);
    builder.triangles += 1;
}

// Whether the staged triangles are the unit quad, corner for corner, in one colour.
static bool StagedUnitQuad()
{
    static constexpr float QUAD[6][4] = {{-0.5f, -0.5f, 0, 0}, {-0.5f, 0.5f, 1, 0}, {0.5f, -0.5f, 0, 1},
                                         {0.5f, 0.5f, 1, 1},   {-0.5f, 0.5f, 1, 0}, {0.5f, -0.5f, 0, 1}};
    if (builder.triangles != 2) return false;
    const MeshVertex& first = builder.staging[0];
    for (int i = 0; i < 6; ++i) {
        const MeshVertex& v = builder.staging[i];
        if (v.x != QUAD[i][0] || v.y != QUAD[i][1] || v.z != 0.0f || v.u != QUAD[i][2] || v.v != QUAD[i][3])
            return false;
        if (v.r != first.r || v.g != first.g || v.b != first.b || v.a != first.a) return false;
    }
    return true;
}

LEMesh* LEMeshEnd()
{
    const uint32_t vertexCount = builder.triangles * 3;
    if (vertexCount == 0) {
        LEMeshBuilderReset();  // an empty mesh closes the builder too: a stray triangle later makes none
        return nullptr;
    }
    LEMesh* mesh = new LEMesh;
    mesh->vertexCount = vertexCount;
    if (StagedUnitQuad()) {
        const MeshVertex& v = builder.staging[0];
        mesh->unitQuad = true;
        mesh->quadColor[0] = v.r, mesh->quadColor[1] = v.g, mesh->quadColor[2] = v.b, mesh->quadColor[3] = v.a;
    }
    glGenVertexArrays(1, &mesh->vertexArray);
    glGenBuffers(1, &mesh->vertexBuffer);
    glBindVertexArray(mesh->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh->vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexCount * sizeof(MeshVertex)), builder.staging, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), reinterpret_cast<void*>(0));
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), reinterpret_cast<void*>(12));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), reinterpret_cast<void*>(28));
    // The vertex array remembers its enabled attributes: no draw has to switch them.
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glBindVertexArray(0);
    LEGraphicsCheckErrors(30);
    LEMeshBuilderReset();
    snprintf(mesh->name, sizeof mesh->name, "Mesh%i", int(meshRegistry.size()));
    meshRegistry.push_back(mesh);
    return mesh;
}

void LEMeshFree(LEMesh* mesh)
{
    if (!mesh) return;
    const auto it = std::find(meshRegistry.begin(), meshRegistry.end(), mesh);
    if (it == meshRegistry.end()) return;  // not ours, or freed already
    meshRegistry.erase(it);
    if (LEGraphicsStarted()) {
        glDeleteBuffers(1, &mesh->vertexBuffer);
        glDeleteVertexArrays(1, &mesh->vertexArray);
    }
    delete mesh;
}

void LEMeshDraw(const LEMesh* mesh)
{
    if (!mesh) return;
    if (mesh->unitQuad && LEGraphicsBatching() && LEGraphicsModelInPlane()) {
        LEGraphicsBatchQuad(mesh->quadColor);
        return;
    }
    LEGraphicsFlush();
    LEGraphicsMarkDrawn();
    glBindVertexArray(mesh->vertexArray);
    LEGraphicsUseTexturedProgram();
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(mesh->vertexCount));
}

int LEMeshCount() { return int(meshRegistry.size()); }

void LEMeshFreeAll()
{
    while (!meshRegistry.empty()) LEMeshFree(meshRegistry.back());
}
