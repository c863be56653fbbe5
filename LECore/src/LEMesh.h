// LEMesh: triangle meshes. Owns the mesh builder (a staging area of 8192
// triangles) and the registry of live meshes. States build meshes in Load or Init
// and free them in Free or Unload; shutdown frees and reports what is left.
#pragma once

#include <cstdint>

constexpr int LE_MESH_MAX_TRIANGLES = 8192;

struct LEMesh {
    uint32_t vertexArray = 0;
    uint32_t vertexCount = 0;
    char name[512] = {};
    uint32_t vertexBuffer = 0;  // deleted together with the vertex array
    // The unit quad in one colour (what every scene object is drawn with): such a
    // mesh is drawn through the quad batch, from this colour alone.
    bool unitQuad = false;
    float quadColor[4] = {};
};

void LEMeshBegin();
// Ignored unless building and fewer than 8192 triangles are staged.
void LEMeshAddTriangle(float x0, float y0, uint32_t argb0, float tu0, float tv0,
                       float x1, float y1, uint32_t argb1, float tu1, float tv1,
                       float x2, float y2, uint32_t argb2, float tu2, float tv2);
// Uploads the staged triangles; null when nothing is staged.
LEMesh* LEMeshEnd();
void LEMeshFree(LEMesh* mesh);
// Draws with the current per-draw state of the graphics device.
void LEMeshDraw(const LEMesh* mesh);

int LEMeshCount();
void LEMeshFreeAll();
void LEMeshBuilderReset();
