// Vector, matrix and transform operations.
#include <gtest/gtest.h>

#include <LEMath.h>

#include <cmath>

#include "TestEngine.h"

static void ExpectMatrixNear(const Matrix3& a, const Matrix3& b)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-5f) << "at " << i << "," << j;
}

TEST(Math, ViewMatrixSubtractsTheCameraAndUndoesItsScaleAndTurnButNeverDividesByZero)
{
    const struct {
        const char* what;
        Transform camera;
        Vector2 world, view;
    } cases[] = {
        {"plain camera", TransformMakeValues(100, -50, 1, 1, 0), {0, 0}, {-100, 50}},
        // twice as large and turned a quarter turn: two units above appear one unit to its right
        {"scaled and turned", TransformMakeValues(0, 0, 2, 2, float(M_PI / 2)), {0, 2}, {1, 0}},
        // a near-zero scale is ignored instead of divided by
        {"zero width", TransformMakeValues(3, 4, 0, 5, 0), {10, 10}, {7, 6}},
    };
    for (const auto& c : cases) {
        const Matrix3 v = TransformViewMatrix(c.camera);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) EXPECT_TRUE(std::isfinite(v.m[i][j])) << c.what;
        EXPECT_TRUE(Near(Matrix3TransformPoint(v, c.world), c.view, 1e-5f)) << c.what;
    }
}

TEST(Math, MultiplyIntoMayWriteOverItsOperands)
{
    const Matrix3 a = Matrix3Multiply(Matrix3Rotate(0.3f), Matrix3Translate(2, 5));
    const Matrix3 b = Matrix3Multiply(Matrix3Scale(3, -2), Matrix3Translate(-1, 4));
    const Matrix3 expected = Matrix3Multiply(a, b);
    Matrix3 left = a, right = b;
    Matrix3MultiplyInto(left, left, b);
    Matrix3MultiplyInto(right, a, right);
    ExpectMatrixNear(left, expected);
    ExpectMatrixNear(right, expected);
}

TEST(Math, RelativeUndoesCompose)
{
    const Transform parent = TransformMakeValues(-30, 12, 1.5f, 0.5f, 0.7f);
    const Transform child = TransformMakeValues(5, -8, 2, 3, -0.2f);
    const Transform back = TransformCompose(parent, TransformRelative(parent, child));
    EXPECT_TRUE(Near(back.position, child.position, 1e-4f));
    EXPECT_TRUE(Near(back.scale, child.scale, 1e-5f));
    EXPECT_NEAR(back.rotation, child.rotation, 1e-5f);
}
