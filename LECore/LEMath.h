// LEMath: the 2D math shared by the engine and the game.
// Vector2, the row-major 3 x 3 affine Matrix3, the 4 x 4 matrices of the renderer,
// and Transform (position, scale, rotation) with the view, compose and relative
// operations the scene is built on. Angles are radians, counter-clockwise.
#pragma once

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;
};

// m[row][column]; a point (x, y) is transformed as the column (x, y, 1).
struct Matrix3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

// 16 floats, row-major; used only by the renderer.
struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

// Five consecutive floats: position, scale, rotation.
struct Transform {
    Vector2 position;
    Vector2 scale{1.0f, 1.0f};
    float rotation = 0.0f;
};

Vector2 Vector2Add(Vector2 a, Vector2 b);
Vector2& Vector2AddAssign(Vector2& a, Vector2 b);
Vector2 Vector2Sub(Vector2 a, Vector2 b);

Matrix3 Matrix3Identity();
Matrix3 Matrix3Multiply(const Matrix3& a, const Matrix3& b);
// out = a x b; out may be a or b.
void Matrix3MultiplyInto(Matrix3& out, const Matrix3& a, const Matrix3& b);
Matrix3 Matrix3Translate(float tx, float ty);
Matrix3 Matrix3Rotate(float angle);
Matrix3 Matrix3Scale(float sx, float sy);
Vector2 Matrix3TransformPoint(const Matrix3& m, Vector2 p);

Matrix4 Matrix4Identity();
Matrix4 Matrix4Multiply(const Matrix4& a, const Matrix4& b);

Transform TransformMake(Vector2 position, Vector2 scale, float rotation);
Transform TransformMakeValues(float x, float y, float sx, float sy, float rotation);
// View matrix of a camera: S(1/sx, 1/sy) x R(-rotation) x T(-x, -y); the scale
// is skipped when either component is within 0.00001 of zero.
Matrix3 TransformViewMatrix(const Transform& t);
// The child's transform in the parent's space.
Transform TransformCompose(const Transform& parent, const Transform& child);
// The child expressed relative to the parent (inverse of TransformCompose).
Transform TransformRelative(const Transform& parent, const Transform& child);
// Object matrix T x R x S used to draw a scene object.
Matrix3 TransformObjectMatrix(const Transform& t);
