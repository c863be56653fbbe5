// Camera2D: letterboxing and coordinate conversions (see Camera2D.h).
#include "Camera2D.h"

#include <algorithm>  // Required for: std::min
#include <cmath>      // Required for: std::cos, std::sin

#include <LESystem.h>
#include <src/LEGraphicsOGL.h>
#include <src/LELines.h>

Camera2D* levelCamera = nullptr;

Camera2D::Camera2D() : viewport{0.0f, 0.0f, float(LEWindowWidth()), float(LEWindowHeight())} {}

void UpdateCameraViewport(Camera2D* camera)
{
    const float w = float(LEWindowWidth()), h = float(LEWindowHeight());
    const float s = std::min(w / DESIGN_WIDTH, h / DESIGN_HEIGHT);
    const float vw = DESIGN_WIDTH * s, vh = DESIGN_HEIGHT * s;
    const float left = (w - vw) * 0.5f, bottom = (h - vh) * 0.5f;
    camera->viewport[0] = left;
    camera->viewport[1] = bottom;
    camera->viewport[2] = left + vw;
    camera->viewport[3] = bottom + vh;
    LEGraphicsSetProjection(DESIGN_WIDTH, DESIGN_HEIGHT);
}

Matrix3 CameraViewMatrix(const Camera2D* camera) { return TransformViewMatrix(camera->transform); }

Vector2 ScreenToViewport(const Camera2D* camera, Vector2 mouse)
{
    const float px = float(LEWindowWidth() / 2) + mouse.x;
    const float py = float(LEWindowHeight() / 2) + mouse.y;
    const float* v = camera->viewport;
    return {(px - v[0]) / (v[2] - v[0]) - 0.5f, (py - v[1]) / (v[3] - v[1]) - 0.5f};
}

Vector2 ScreenToWorld(const Camera2D* camera, Vector2 mouse)
{
    const Vector2 n = ScreenToViewport(camera, mouse);
    const Vector2 d{n.x * DESIGN_WIDTH, n.y * DESIGN_HEIGHT};
    const Transform& t = camera->transform;
    const float c = std::cos(t.rotation), s = std::sin(t.rotation);
    return {c * t.scale.x * d.x - s * t.scale.y * d.y + t.position.x,
            s * t.scale.x * d.x + c * t.scale.y * d.y + t.position.y};
}

// The point through the level camera as fractions of the window size.
static Vector2 LevelCameraFraction(Vector2 point)
{
    const Vector2 e = Matrix3TransformPoint(CameraViewMatrix(levelCamera), point);
    return {e.x / float(LEWindowWidth()), e.y / float(LEWindowHeight())};
}

Vector2 WorldToWindow(Vector2 point)
{
    if (!levelCamera) return point;
    const Vector2 q = LevelCameraFraction(point);
    const float w = float(LEWindowWidth()), h = float(LEWindowHeight());
    return {levelCamera->viewport[0] + w * (q.x + 0.5f) - float(LEWindowWidth() / 2),
            levelCamera->viewport[1] + h * (q.y + 0.5f) - float(LEWindowHeight() / 2)};
}

Vector2 WorldToDesign(Vector2 point)
{
    if (!levelCamera) return point;
    const Vector2 q = LevelCameraFraction(point);
    return {levelCamera->viewport[0] + DESIGN_WIDTH * (q.x + 0.5f) - 960.0f,
            levelCamera->viewport[1] + DESIGN_HEIGHT * (q.y + 0.5f) - 540.0f};
}

// The line batch transforms its points by the model matrix current when they are
// added; the camera's view matrix takes them from the world to the design view.
void DrawWorldCircle(Vector2 centre, float radius, uint32_t color, int segments)
{
    if (!levelCamera) return;
    LEGraphicsSetTransform(CameraViewMatrix(levelCamera));
    LEDrawCircle(centre.x, centre.y, radius, color, segments);
    LEGraphicsSetTransform(Matrix3Identity());
}

void DrawWorldRect(Vector2 centre, Vector2 size, uint32_t color)
{
    if (!levelCamera) return;
    LEGraphicsSetTransform(CameraViewMatrix(levelCamera));
    LEDrawRect(centre.x, centre.y, 0.0f, size.x, size.y, color);
    LEGraphicsSetTransform(Matrix3Identity());
}
