#include <gtest/gtest.h>

#include "math/color.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"

namespace {

void expectColor(const Color& c, float r, float g, float b, float a, float tolerance = 0.0f)
{
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
    EXPECT_NEAR(c.a, a, tolerance);
}

}  // namespace

TEST(Vec3, NormalizeLengthAndZero)
{
    Vec3 v(3, 0, 4);
    EXPECT_EQ(v.length(), 5.0f);
    v.normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    Vec3 zero;
    EXPECT_THROW(zero.normalize(), ZeroDivide);
    EXPECT_EQ(zero.x, 0.0f);

    // A vector too small for its squared length to survive in float is still "zero length".
    Vec3 tiny(1e-30f, 0, 0);
    EXPECT_THROW(tiny.normalize(), ZeroDivide);
    EXPECT_EQ(tiny.x, 1e-30f);
}

TEST(Vec3, CrossIsRightHandedAndDotUsesDoubleIntermediates)
{
    const Vec3 c = cross(Vec3(1, 0, 0), Vec3(0, 1, 0));
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);
    EXPECT_EQ(c.z, 1.0f);
    const Vec3 d = cross(Vec3(0, 1, 0), Vec3(1, 0, 0));
    EXPECT_EQ(d.z, -1.0f);

    // 1e8 + 1 - 1e8 is 1 with one rounding at the end, 0 with a float sum after every term.
    EXPECT_EQ(dot(Vec3(1e4f, 1, -1e4f), Vec3(1e4f, 1, 1e4f)), 1.0f);
}

TEST(Vec3, DivisionIsATrueDivision)
{
    // 1/3 rounded to float, times 0.1f, differs from 0.1f / 3 in the last bit.
    const Vec3 v = Vec3(0.1f, 0.7f, 0.9f) / 3.0f;
    EXPECT_EQ(v.x, static_cast<float>(0.1f / 3.0));
    EXPECT_EQ(v.y, static_cast<float>(0.7f / 3.0));
    EXPECT_EQ(v.z, static_cast<float>(0.9f / 3.0));
    const Vec2 w = Vec2(1, 3) / 2.0f;
    EXPECT_EQ(w.x, 0.5f);
    EXPECT_EQ(w.y, 1.5f);
}

TEST(Vec4, ScaleIncludesWAndProjectDivides)
{
    Vec4 v(1, 2, 3, 1);
    v *= 2.0f;
    EXPECT_EQ(v.w, 2.0f);
    const Vec3 p = Vec4(2, 4, 6, 2).project();
    EXPECT_EQ(p.x, 1.0f);
    EXPECT_EQ(p.y, 2.0f);
    EXPECT_EQ(p.z, 3.0f);
    EXPECT_THROW(Vec4(1, 1, 1, 0).project(), ZeroDivide);
    EXPECT_THROW(Vec4(1, 1, 1, -0.0f).project(), ZeroDivide);
    EXPECT_EQ(Vec4().w, 1.0f);
}

TEST(Color, OperationsTouchAlphaAndNeverClamp)
{
    expectColor(Color(1, 0.5f, 0.25f, 1) * 0.5f, 0.5f, 0.25f, 0.125f, 0.5f);
    const Color sum = Color(0.8f, 0.8f, 0.8f, 1) + Color(0.5f, 0.5f, 0.5f, 1);
    expectColor(sum, static_cast<float>(0.8f + 0.5), static_cast<float>(0.8f + 0.5), static_cast<float>(0.8f + 0.5),
                2.0f);
    EXPECT_GT(sum.r, 1.29f);
    expectColor(Color(0.5f, 2, -1, 1) * Color(0.5f, 0.5f, 0.5f, 0.5f), 0.25f, 1.0f, -0.5f, 0.5f);
}

TEST(Color, FromHsvCoversEverySector)
{
    Color c(0, 0, 0, 0);
    expectColor(c.fromHsv(0, 1, 1, 1), 1, 0, 0, 1);
    expectColor(c.fromHsv(0.5f, 1, 1, 1), 0, 1, 1, 1);
    expectColor(c.fromHsv(1, 1, 1, 1), 1, 0, 0, 1);
    expectColor(c.fromHsv(0.3f, 0, 0.8f, 0.5f), 0.8f, 0.8f, 0.8f, 0.5f);
    // One hue inside each sector, checked against the table (r, g, b by sector i).
    const float h[6] = {0.1f, 0.25f, 0.4f, 0.6f, 0.75f, 0.9f};
    const float expected[6][3] = {{1, 0.6f, 0}, {0.5f, 1, 0}, {0, 1, 0.4f}, {0, 0.4f, 1}, {0.5f, 0, 1}, {1, 0, 0.6f}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        expectColor(c.fromHsv(h[i], 1, 1, 1), expected[i][0], expected[i][1], expected[i][2], 1, 2e-6f);
    }
    // The scene colours, including a value above 1 that must come through unclamped.
    expectColor(c.fromHsv(0.083f, 0.75f, 0.8f, 1), 0.8f, 0.4988f, 0.2f, 1, 1e-5f);
    expectColor(c.fromHsv(0.66f, 1, 0.9f, 1), 0, 0.036f, 0.9f, 1, 1e-5f);
    expectColor(c.fromHsv(0, 0, 1.5f, 1), 1.5f, 1.5f, 1.5f, 1);
    expectColor(c.fromHsv(0.125f, 0.1f, 0.8f, 1), 0.8f, 0.78f, 0.72f, 1, 1e-6f);
    // Unsaturated colours keep alpha; saturated ones too.
    EXPECT_EQ(c.fromHsv(0.2f, 0.5f, 0.5f, 0.25f).a, 0.25f);
}
