// LEMath: vector, matrix and transform operations (see LEMath.h).
// Pure functions with no state; called by everyone.
#include "LEMath.h"

#include <cmath>

Vector2 Vector2Add(Vector2 a, Vector2 b) { return {a.x + b.x, a.y + b.y}; }

Vector2& Vector2AddAssign(Vector2& a, Vector2 b)
{
    a.x += b.x;
    a.y += b.y;
    return a;
}

Vector2 Vector2Sub(Vector2 a, Vector2 b) { return {a.x - b.x, a.y - b.y}; }

Matrix3 Matrix3Identity() { return Matrix3{}; }

Matrix3 Matrix3Multiply(const Matrix3& a, const Matrix3& b)
{
    Matrix3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}

void Matrix3MultiplyInto(Matrix3& out, const Matrix3& a, const Matrix3& b)
{
    // The product goes through a temporary so that out may alias an operand.
    const Matrix3 r = Matrix3Multiply(a, b);
    out = r;
}

Matrix3 Matrix3Translate(float tx, float ty)
{
    Matrix3 r;
    r.m[0][2] = tx;
    r.m[1][2] = ty;
    return r;
}

Matrix3 Matrix3Rotate(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix3 r;
    r.m[0][0] = c;
    r.m[0][1] = -s;
    r.m[1][0] = s;
    r.m[1][1] = c;
    return r;
}

Matrix3 Matrix3Scale(float sx, float sy)
{
    Matrix3 r;
    r.m[0][0] = sx;
    r.m[1][1] = sy;
    return r;
}

Vector2 Matrix3TransformPoint(const Matrix3& m, Vector2 p)
{
    return {m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2],
            m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2]};
}

Matrix4 Matrix4Identity() { return Matrix4{}; }

Matrix4 Matrix4Multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

Transform TransformMake(Vector2 position, Vector2 scale, float rotation)
{
    return Transform{position, scale, rotation};
}

Transform TransformMakeValues(float x, float y, float sx, float sy, float rotation)
{
    return Transform{{x, y}, {sx, sy}, rotation};
}

static bool NearZero(float v) { return v > -0.00001f && v < 0.00001f; }

Matrix3 TransformViewMatrix(const Transform& t)
{
    const Matrix3 rt = Matrix3Multiply(Matrix3Rotate(-t.rotation),
                                       Matrix3Translate(-t.position.x, -t.position.y));
    if (NearZero(t.scale.x) || NearZero(t.scale.y)) return rt;
    return Matrix3Multiply(Matrix3Scale(1.0f / t.scale.x, 1.0f / t.scale.y), rt);
}

Transform TransformCompose(const Transform& parent, const Transform& child)
{
    const float pr = parent.rotation;
    const float c = std::cos(pr), s = std::sin(pr);
    Transform r;
    r.scale = {parent.scale.x * child.scale.x, parent.scale.y * child.scale.y};
    r.rotation = parent.rotation + child.rotation;
    r.position.x = c * parent.scale.x * child.position.x - s * parent.scale.y * child.position.y + parent.position.x;
    r.position.y = s * parent.scale.x * child.position.x + c * parent.scale.y * child.position.y + parent.position.y;
    return r;
}

Transform TransformRelative(const Transform& parent, const Transform& child)
{
    Transform r;
    r.scale = {child.scale.x / parent.scale.x, child.scale.y / parent.scale.y};
    r.rotation = child.rotation - parent.rotation;
    const Matrix3 m = Matrix3Multiply(Matrix3Scale(1.0f / parent.scale.x, 1.0f / parent.scale.y),
                                      Matrix3Rotate(-parent.rotation));
    r.position = Matrix3TransformPoint(m, Vector2Sub(child.position, parent.position));
    return r;
}

Matrix3 TransformObjectMatrix(const Transform& t)
{
    const float c = std::cos(t.rotation), s = std::sin(t.rotation);
    Matrix3 r;
    r.m[0][0] = t.scale.x * c;
    r.m[0][1] = -t.scale.y * s;
    r.m[0][2] = t.position.x;
    r.m[1][0] = t.scale.x * s;
    r.m[1][1] = t.scale.y * c;
    r.m[1][2] = t.position.y;
    return r;
}
