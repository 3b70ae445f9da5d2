#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "texture/texture_sampling.h"
#include "texture/tile_texture.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

Texture heightField(int32_t w, int32_t h, float (*height)(int32_t x, int32_t y))
{
    Texture t(w, h, 1);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) t.setTexelValue(x, y, height(x, y));
    return t;
}

// Every texel says where it is: r = level, g = column, b = row.
MipChain labelledChain(int32_t w, int32_t h)
{
    MipChain chain;
    for (int level = 0;; ++level) {
        Texture t(w, h, 3);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) t.setTexelColor(x, y, Color(float(level), float(x), float(y), 1));
        chain.push_back(t);
        if (w <= 1 || h <= 1) break;
        w /= 2;
        h /= 2;
    }
    return chain;
}

// A fragment at (s, t) with q = 1 whose footprint is exactly `area`: steps of (area, 0) along
// the span and (0, 1) along both edges.
Fragment fragmentAt(float s, float t, float area = 0.0f)
{
    Fragment f;
    f.stOverW = Vec3(s, t, 1);
    f.stOverWStepX = Vec3(area, 0, 0);
    f.leftStOverWStepY = Vec3(0, 1, 0);
    f.rightStOverWStepY = Vec3(0, 1, 0);
    f.spanLength = 1;
    return f;
}

void expectRgb(const Color& c, float r, float g, float b)
{
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_EQ(c.a, 1.0f);
}

}  // namespace

TEST(BumpGradient, ConstantAndLinearFields)
{
    const Texture flat = heightField(16, 8, [](int32_t, int32_t) { return 0.7f; });
    for (const float s : {0.0f, 0.3f, 0.99f, 1.0f})
        for (const float t : {0.0f, 0.5f, 1.0f}) {
            const Vec2 g = bumpGradient(flat, Vec3(s, t, 1));
            EXPECT_EQ(g.x, 0.0f);
            EXPECT_EQ(g.y, 0.0f);
        }

    // h = x / W rises by 1 across the width: one unit per unit of s, nothing along t. The
    // coordinates are divided by q first, so (s/w, t/w, 1/w) with w = 2 gives the same.
    const Texture ramp = heightField(16, 8, [](int32_t x, int32_t) { return x / 16.0f; });
    for (const Vec3& stOverW : {Vec3(0.0f, 0.0f, 1), Vec3(0.4f, 0.3f, 1), Vec3(0.45f, 0.78f, 0.5f),
                                Vec3(14.5f / 16, 7.5f / 8, 1)}) {
        const Vec2 g = bumpGradient(ramp, stOverW);
        EXPECT_FLOAT_EQ(g.x, 1.0f);
        EXPECT_EQ(g.y, 0.0f);
    }
    // In the last column the right-hand neighbour is held on that column: no slope is seen.
    EXPECT_EQ(bumpGradient(ramp, Vec3(15.5f / 16, 0.5f, 1)).x, 0.0f);

    // The weights blend the forward differences of the two rows: h = x * y / (W * H).
    const Texture saddle = heightField(4, 4, [](int32_t x, int32_t y) { return x * y / 16.0f; });
    const Vec2 g = bumpGradient(saddle, Vec3(1.5f / 4, 1.25f / 4, 1));
    EXPECT_FLOAT_EQ(g.x, 4 * (1.0f / 16 * 0.75f + 2.0f / 16 * 0.25f));  // rows 1 and 2
    EXPECT_FLOAT_EQ(g.y, 4 * (1.0f / 16 * 0.5f + 2.0f / 16 * 0.5f));    // columns 1 and 2
}

TEST(BumpGradient, TileBumpsSlopeAwayFromTheirCentres)
{
    const Texture bumps = makeTileBumpMap(256, 256);
    auto at = [&](float u, float v) { return bumpGradient(bumps, Vec3(u / 256, v / 256, 1)); };
    // Grout: the texel and its right, upper and upper-right neighbours are all 0.
    for (const Vec2& g : {at(126.5f, 0.5f), at(0.25f, 70.5f), at(127.5f, 127.5f)}) {
        EXPECT_EQ(g.x, 0.0f);
        EXPECT_EQ(g.y, 0.0f);
    }
    // Low-x side of the bump at (96, 160) rises, high-x side falls; likewise along y.
    EXPECT_GT(at(72.5f, 160.5f).x, 0.0f);
    EXPECT_LT(at(120.5f, 160.5f).x, 0.0f);
    EXPECT_GT(at(96.5f, 140.5f).y, 0.0f);
    EXPECT_LT(at(96.5f, 185.5f).y, 0.0f);
    EXPECT_NEAR(at(95.5f, 160.5f).x, 0.0f, 1e-3f);
}

TEST(TextureFootprint, BlendsTheEdgeRowStepsAcrossTheSpan)
{
    Fragment f;
    f.stOverW = Vec3(0.3f, 0.3f, 2);
    f.stOverWStepX = Vec3(1, 0.5f, 0);
    f.leftStOverWStepY = Vec3(0, 1, 0);
    f.rightStOverWStepY = Vec3(-2, 3, 0);
    f.spanStart = 10;
    f.spanLength = 4;
    // At the span start only the left edge counts: |0.5 * 0.5 - 0 * 0.25|.
    f.x = 10;
    EXPECT_FLOAT_EQ(textureFootprint(f), 0.25f);
    // Half-way the row step is (-1, 2): |0.5 * 1 - (-0.5) * 0.25|.
    f.x = 12;
    EXPECT_FLOAT_EQ(textureFootprint(f), 0.625f);
    // The area is unsigned.
    f.stOverWStepX = Vec3(-1, -0.5f, 0);
    EXPECT_FLOAT_EQ(textureFootprint(f), 0.625f);
}

TEST(SampleTexture, LevelComesFromTheFootprint)
{
    const MipChain chain = labelledChain(256, 256);
    ASSERT_EQ(chain.size(), 9u);
    const float s = 100.5f / 256;
    const float t = 37.5f / 256;
    auto sample = [&](float texelsPerPixel) { return sampleTexture(chain, fragmentAt(s, t, texelsPerPixel / 65536)); };

    // One texel per pixel: level 0, nearest texel rather than a bilinear blend.
    expectRgb(sample(1), 0, 100, 37);
    // Just below one texel: the bilinear sample of level 0 (columns 100 and 101, rows 37 and 38).
    expectRgb(sample(0.99f), 0, 100.5f, 37.5f);
    expectRgb(sample(0.9995f), 0, 100.5f, 37.5f);
    expectRgb(sample(0), 0, 100.5f, 37.5f);
    expectRgb(sample(4), 1, 50, 18);
    // Half-way between levels 1 and 2.
    expectRgb(sample(8), 1.5f, 37.5f, 13.5f);
    // 2^20 texels asks for level 10; the chain ends at level 8, a single texel.
    expectRgb(sample(1 << 20), 8, 0, 0);
    expectRgb(sample(kInf), 8, 0, 0);
}

TEST(SampleTexture, BilinearWeightsAndHeldNeighbours)
{
    Texture level(32, 8, 3);
    level.setTexelColor(10, 3, Color(1, 0, 0, 1));
    level.setTexelColor(11, 3, Color(0, 1, 0, 1));
    level.setTexelColor(10, 4, Color(0, 0, 1, 1));
    const MipChain chain{level};
    // U = 10.25, V = 3.5.
    expectRgb(sampleTexture(chain, fragmentAt(10.25f / 32, 3.5f / 8)), 0.375f, 0.125f, 0.375f);
    chain[0].texels[(4 * 32 + 11) * 3] = 1;
    expectRgb(sampleTexture(chain, fragmentAt(10.25f / 32, 3.5f / 8)), 0.5f, 0.125f, 0.375f);

    const MipChain labels = labelledChain(32, 8);
    // U = W - 0.5: the right-hand neighbour is the last column itself, so only rows blend.
    expectRgb(sampleTexture(labels, fragmentAt(31.5f / 32, 3.5f / 8)), 0, 31, 3.5f);
    // V = H - 0.5: the upper neighbour is the last row.
    expectRgb(sampleTexture(labels, fragmentAt(10.5f / 32, 7.5f / 8)), 0, 10.5f, 7);
    // s = t = 1 exactly would address one past the end.
    expectRgb(sampleTexture(labels, fragmentAt(1, 1)), 0, 31, 7);
    // Minified at s = t = 1: the nearest texels are held as well (level 1 is 16 x 4).
    expectRgb(sampleTexture(labels, fragmentAt(1, 1, 4.0f / 256)), 1, 15, 3);
}

TEST(SampleTexture, DegenerateCoordinatesStayInsideTheImage)
{
    const MipChain labels = labelledChain(32, 8);
    // Infinities and out-of-range values hold on the nearest edge; NaN on the first texel.
    expectRgb(sampleTexture(labels, fragmentAt(kInf, -kInf)), 0, 31, 0);
    expectRgb(sampleTexture(labels, fragmentAt(-3, 7)), 0, 0, 7);
    expectRgb(sampleTexture(labels, fragmentAt(kNaN, 0.5f)), 0, 0, 4);
    expectRgb(sampleTexture(labels, fragmentAt(3e30f, -3e30f)), 0, 31, 0);
    // An infinite footprint asks for the last level (4 x 1); a NaN one for the bilinear sample.
    expectRgb(sampleTexture(labels, fragmentAt(-kInf, kNaN, kInf)), 3, 0, 0);
    expectRgb(sampleTexture(labels, fragmentAt(kInf, kNaN, kInf)), 3, 3, 0);
    expectRgb(sampleTexture(labels, fragmentAt(-kInf, kNaN, kNaN)), 0, 0, 0);

    // q = 0: the coordinates and footprint are infinite or NaN; the result is the bilinear
    // sample of level 0 on held indices, whatever the steps.
    Fragment f = fragmentAt(0.5f, -0.5f, 1);
    f.stOverW.z = 0;
    expectRgb(sampleTexture(labels, f), 0, 31, 0);
    f.stOverW = Vec3(0, 0, 0);
    expectRgb(sampleTexture(labels, f), 0, 0, 0);
    f.stOverW = Vec3(1, 1, -0.0f);
    f.stOverWStepX = Vec3(1, -1, 0);
    f.leftStOverWStepY = f.rightStOverWStepY = Vec3(1, 1, 0);
    expectRgb(sampleTexture(labels, f), 0, 0, 0);

    // The bump gradient's four reads are held the same way, and its result stays finite.
    const Texture ramp = heightField(16, 8, [](int32_t x, int32_t y) { return x / 16.0f + y; });
    for (const Vec3& stOverW : {Vec3(kNaN, kNaN, 1), Vec3(kInf, -kInf, 1), Vec3(1, 1, 0), Vec3(0, 0, 0),
                                Vec3(1, 1, 1), Vec3(-5, 9, 1), Vec3(4e30f, -4e30f, 1)}) {
        const Vec2 g = bumpGradient(ramp, stOverW);
        EXPECT_TRUE(std::isfinite(g.x) && std::isfinite(g.y)) << stOverW.x << " " << stOverW.y << " " << stOverW.z;
    }
}

TEST(SampleTexture, MissingImagesGiveWhiteAndNoSlope)
{
    expectRgb(sampleTexture(MipChain{}, fragmentAt(0.5f, 0.5f)), 1, 1, 1);
    expectRgb(sampleTexture(MipChain{Texture(0, 0, 3)}, fragmentAt(0.5f, 0.5f)), 1, 1, 1);
    const Vec2 g = bumpGradient(Texture(0, 4, 1), Vec3(0.5f, 0.5f, 1));
    EXPECT_EQ(g.x, 0.0f);
    EXPECT_EQ(g.y, 0.0f);
}
