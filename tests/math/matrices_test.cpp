#include <gtest/gtest.h>

#include <random>

#include "math/camera.h"
#include "math/mat4.h"
#include "math/matrix_stack.h"
#include "support/random_pose.h"

namespace {

void expectVec4Near(const Vec4& v, float x, float y, float z, float w, float tolerance)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
    EXPECT_NEAR(v.w, w, tolerance);
}

void expectIdentity(const Mat4& m, float tolerance)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(m(i, j), i == j ? 1.0f : 0.0f, tolerance) << i << "," << j;
}

Mat4 diagonal(float a, float b, float c, float d)
{
    return Mat4({a, 0, 0, 0}, {0, b, 0, 0}, {0, 0, c, 0}, {0, 0, 0, d});
}

}  // namespace

TEST(MatrixStack, BuildersPostMultiplySoTheLastActsFirst)
{
    MatrixStack stack;
    stack.translate(1, 2, 3);
    expectVec4Near(stack.transform({0, 0, 0, 1}), 1, 2, 3, 1, 0);
    // A direction (w = 0) ignores the translation.
    expectVec4Near(stack.transform({1, 0, 0, 0}), 1, 0, 0, 0, 0);

    MatrixStack order;
    order.translate(1, 0, 0);
    order.rotateZ(90);
    expectVec4Near(order.transform({1, 0, 0, 1}), 1, 1, 0, 1, 1e-5f);

    MatrixStack tilt;
    tilt.rotateX(90);
    expectVec4Near(tilt.transform({0, 1, 0, 0}), 0, 0, 1, 0, 1e-5f);
    // The rotation uses pi = 3.14159, so a right angle leaves a cosine of about 1.3e-6, not 0.
    EXPECT_GT(tilt.current(1, 1), 1e-6f);
    EXPECT_LT(tilt.current(1, 1), 1.5e-6f);

    MatrixStack scaled;
    scaled.scale(2, 3, 4);
    scaled.translate(1, 1, 1);
    expectVec4Near(scaled.transform({0, 0, 0, 1}), 2, 3, 4, 1, 0);
}

TEST(MatrixStack, PerspectiveEntries)
{
    MatrixStack stack;
    stack.perspective(0.4f, 0.4f, 0.1f, 100.0f);
    const Mat4& m = stack.current;
    EXPECT_FLOAT_EQ(m(0, 0), 2.5f);
    EXPECT_FLOAT_EQ(m(1, 1), 2.5f);
    EXPECT_FLOAT_EQ(m(2, 2), static_cast<float>(-(100.0 + 0.1f) / (100.0 - 0.1f)));
    EXPECT_NEAR(m(2, 2), -1.002002f, 1e-6f);
    EXPECT_NEAR(m(2, 3), -0.2002002f, 1e-7f);
    EXPECT_EQ(m(3, 2), -1.0f);
    EXPECT_EQ(m(3, 3), 0.0f);
    EXPECT_EQ(m(0, 3), 0.0f);
}

TEST(MatrixStack, PushPopRestoresExactlyAndLeavesInverseAlone)
{
    MatrixStack stack;
    stack.translate(0.3f, -0.7f, 0.1f);
    stack.inverse = diagonal(2, 2, 2, 2);
    const Mat4 before = stack.current;
    stack.push();
    stack.rotateX(33);
    stack.rotateZ(-71);
    stack.translate(5, 6, 7);
    stack.pop();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(stack.current(i, j), before(i, j));
    EXPECT_EQ(stack.inverse(0, 0), 2.0f);
    EXPECT_TRUE(stack.saved.empty());
    stack.loadIdentity();
    EXPECT_EQ(stack.inverse(0, 0), 2.0f);
}

// WebAssembly cannot start the second process a death test runs in: native builds only.
#if GTEST_HAS_DEATH_TEST
TEST(MatrixStackDeathTest, PopOnEmptyStackStopsWithAMessage)
{
    MatrixStack stack;
    EXPECT_DEATH(stack.pop(), "pop on an empty stack");
}
#endif

TEST(MatrixStack, ColumnMajorIsTheTranspose)
{
    MatrixStack stack;
    stack.translate(1, 2, 3);
    float out[16];
    stack.toColumnMajor(out);
    EXPECT_EQ(out[12], 1.0f);
    EXPECT_EQ(out[13], 2.0f);
    EXPECT_EQ(out[14], 3.0f);
    EXPECT_EQ(out[3], 0.0f);
    EXPECT_EQ(out[15], 1.0f);
}

TEST(InvertMatrix, SingularAndPivotingCases)
{
    Mat4 out = diagonal(7, 7, 7, 7);
    Mat4 zero({0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0});
    EXPECT_FALSE(invertMatrix(zero, out));
    EXPECT_EQ(out(0, 0), 7.0f);
    EXPECT_EQ(out(3, 3), 7.0f);

    // Two equal rows: singular only at the last pivot.
    Mat4 rankThree({1, 2, 3, 4}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 4});
    EXPECT_FALSE(invertMatrix(rankThree, out));
    EXPECT_EQ(out(0, 0), 7.0f);

    // The only non-zero entry of column 0 is in the last row: the pivot search must move it up.
    Mat4 lastRowPivot({0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {5, 0, 0, 0});
    ASSERT_TRUE(invertMatrix(lastRowPivot, out));
    expectIdentity(lastRowPivot * out, 0);
    EXPECT_EQ(out(0, 3), 0.2f);

    ASSERT_TRUE(invertMatrix(diagonal(2, 4, 5, 1), out));
    EXPECT_EQ(out(0, 0), 0.5f);
    EXPECT_EQ(out(1, 1), 0.25f);
    EXPECT_EQ(out(2, 2), 0.2f);
    EXPECT_EQ(out(3, 3), 1.0f);
    EXPECT_EQ(out(0, 1), 0.0f);
}

TEST(InvertMatrix, GeneralMatricesNeedingEveryPivot)
{
    // Small leading entries force a row exchange at every column.
    const Mat4 m({1e-3f, 2, 3, 1}, {4, 1e-3f, 6, 2}, {7, 8, 1e-3f, 3}, {1, 5, 2, 9});
    Mat4 out;
    ASSERT_TRUE(invertMatrix(m, out));
    expectIdentity(m * out, 2e-6f);
    expectIdentity(out * m, 2e-6f);
}

TEST(Camera, ProjectionWindowFollowsTheShorterSide)
{
    MatrixStack projection, view;
    setupCamera(projection, view, CameraPose{}, 480, 480);
    EXPECT_FLOAT_EQ(projection.current(0, 0), 2.5f);
    EXPECT_FLOAT_EQ(projection.current(1, 1), 2.5f);

    setupCamera(projection, view, CameraPose{}, 640, 480);
    EXPECT_NEAR(1.0f / projection.current(0, 0), 0.53333f, 1e-5f);
    EXPECT_FLOAT_EQ(projection.current(1, 1), 2.5f);

    setupCamera(projection, view, CameraPose{}, 480, 640);
    EXPECT_FLOAT_EQ(projection.current(0, 0), 2.5f);
    EXPECT_NEAR(1.0f / projection.current(1, 1), 0.53333f, 1e-5f);

    // A degenerate window never puts infinities into the matrices.
    setupCamera(projection, view, CameraPose{}, 0, 480);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_TRUE(std::isfinite(projection.current(i, j)));
}

TEST(Camera, InitialViewAndPan)
{
    MatrixStack projection, view;
    setupCamera(projection, view, CameraPose{}, 480, 480);
    const Vec4 origin = view.transform({0, 0, 0, 1});
    EXPECT_NEAR(origin.x, 0, 1e-6f);
    EXPECT_NEAR(origin.y, 0, 1e-6f);
    EXPECT_EQ(origin.z, -2.9375f);

    CameraPose panned;
    panned.panX = 100;
    setupCamera(projection, view, panned, 480, 480);
    EXPECT_NEAR(view.transform({0, 0, 0, 1}).x, 1.0f, 1e-6f);
    panned.panX = 0;
    panned.panY = 100;
    setupCamera(projection, view, panned, 480, 480);
    EXPECT_NEAR(view.transform({0, 0, 0, 1}).y, -1.0f, 1e-6f);

    // Azimuth turns about the world's up axis (z) before the tilt: up stays in the y-z plane of the eye.
    CameraPose turned;
    turned.azimuth = 90;
    turned.elevation = 0;
    setupCamera(projection, view, turned, 480, 480);
    expectVec4Near(view.transform({1, 0, 0, 0}), 0, 1, 0, 0, 1e-5f);
}

TEST(Camera, InversesHoldForManyRandomViews)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> side(1, 2000);
    MatrixStack projection, view;
    for (int n = 0; n < 500; ++n) {
        const CameraPose pose = randomPose(random, 720, -20, 20, 500);
        setupCamera(projection, view, pose, side(random), side(random));
        SCOPED_TRACE(n);
        expectIdentity(view.current * view.inverse, 2e-5f);
        expectIdentity(projection.current * projection.inverse, 2e-5f);
    }
}

// Each row's products are summed left to right in double and rounded to float once.
TEST(Mat4, TimesVec4SumsEachRowLeftToRightInDoubleAndRoundsOnce)
{
    const float big = 0x1p30f, small = 0x1p-30f, half = 0x1p-24f;
    const Mat4 m({big, -big, 1, small}, {1, half, half, 0}, {-big, big, small, 1}, {half, 1, 0, half});
    const Vec4 out = m * Vec4(big, big, 1, small);
    // Row 0: (2^60 - 2^60) + 1 + 2^-60 is 1; adding the 1 to 2^60 first would lose it.
    EXPECT_EQ(out.x, 1.0f);
    // Row 2: (-2^60 + 2^60) + 2^-30 + 2^-30.
    EXPECT_EQ(out.z, 2 * small);
    // Rounded once: 1 + 2^-24 + 2^-24 is 1 + 2^-23 in double, but 1 if rounded to float after each sum.
    EXPECT_EQ((m * Vec4(1, 1, 1, 0)).y, 1.0f + 2 * half);
}
