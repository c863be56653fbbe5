// Camera2D: fits the 1920 x 1080 design view into any window (letterboxing) and
// converts between mouse, world and window coordinates. Each state owns one
// camera; the level states keep theirs in levelCamera.
#pragma once

#include <cstdint>
#include <string>

#include <LEMath.h>

constexpr float DESIGN_WIDTH = 1920.0f;
constexpr float DESIGN_HEIGHT = 1080.0f;

struct Camera2D {
    std::string name = "Camera2D";
    Transform transform;  // position stays at the origin; scale is the zoom
    float viewport[4];    // left, bottom, right, top in window pixels from the bottom-left

    Camera2D();
};

// The level states' camera (created in their Load); WorldToWindow and
// WorldToDesign convert through it.
extern Camera2D* levelCamera;

// Letterboxes the design view into the window and selects the design projection.
void UpdateCameraViewport(Camera2D* camera);
// The inverse of the camera transform; a zoom component near 0 leaves it unscaled.
Matrix3 CameraViewMatrix(const Camera2D* camera);
// The mouse (pixels from the window centre, y up) in viewport coordinates,
// -0.5 at the left or bottom edge and +0.5 at the right or top edge.
Vector2 ScreenToViewport(const Camera2D* camera, Vector2 mouse);
// The world point under the mouse.
Vector2 ScreenToWorld(const Camera2D* camera, Vector2 mouse);
// A world point as pixels from the window centre, through levelCamera.
Vector2 WorldToWindow(Vector2 point);
// A world point as design pixels from the view centre, through levelCamera.
Vector2 WorldToDesign(Vector2 point);

// Outlines in world units at world positions, drawn through levelCamera into the
// debug-line batch: reaches, attack boxes, ability previews. The field is zoomed
// differently along x and y, so a circle shows as an ellipse, exactly covering
// the world points within its radius.
void DrawWorldCircle(Vector2 centre, float radius, uint32_t color, int segments);
void DrawWorldRect(Vector2 centre, Vector2 size, uint32_t color);
