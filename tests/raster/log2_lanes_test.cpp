#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "raster/lanes/lane_group.h"

namespace {

uint32_t bitsOf(float v)
{
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// The level choice over a lane group, whose logarithm the lanes take their own way.
FloatLanes mipLevels(DoubleLanes texels) { return mipLevel<LaneGroup<NarrowRoots>>(texels); }

// Runs the inputs through mipLevels a lane group at a time, the last group partly filled with
// NaN that must not leak into the other lanes, and expects every lane's bits from mipLevel.
void expectSameLevels(const std::vector<double>& inputs)
{
    for (size_t i = 0; i < inputs.size(); i += kLanes) {
        const size_t lanes = std::min<size_t>(kLanes, inputs.size() - i);
        DoubleLanes texels = splatWide(std::numeric_limits<double>::quiet_NaN());
        for (size_t lane = 0; lane < lanes; ++lane) texels[lane] = inputs[i + lane];
        const FloatLanes levels = mipLevels(texels);
        for (size_t lane = 0; lane < lanes; ++lane) {
            const float expected = mipLevel(inputs[i + lane]);
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(levels[lane])) << inputs[i + lane];
            } else {
                ASSERT_EQ(bitsOf(levels[lane]), bitsOf(expected))
                    << std::hexfloat << inputs[i + lane] << " gives " << levels[lane] << " for " << expected;
            }
        }
    }
}

}  // namespace

TEST(MipLevels, MatchMipLevelToTheBitOverTheWholeRangeOfFootprints)
{
    std::mt19937_64 random(11);
    std::vector<double> inputs;
    // Log-uniform over everything a footprint can be, and densely around one texel, where the
    // level is near 0 and a float's last bit is smallest.
    std::uniform_real_distribution<double> exponent(-3, 1010), nearOne(-1e-3, 1e-3);
    for (int k = 0; k < 400000; ++k) inputs.push_back(std::exp2(exponent(random)));
    for (int k = 0; k < 200000; ++k) inputs.push_back(1.0 + nearOne(random));
    for (int k = -64; k <= 64; ++k) inputs.push_back(1.0 + k * 0x1p-52);
    // Whole powers of two and their neighbours, where the mantissa's split changes.
    for (int e = -2; e < 1010; ++e) {
        const double p = std::ldexp(1.0, e);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e308), p * 1.4142135623730951,
                         std::nextafter(p * 1.4142135623730951, 1e308)})
            inputs.push_back(v);
    }
    expectSameLevels(inputs);
}

TEST(MipLevels, MatchMipLevelWhereTheLogarithmAlmostTiesBetweenTwoFloats)
{
    // 2 to the power of a midpoint between two neighbouring floats: the logarithm's last bits
    // decide which way it rounds, so the series alone would get some of these wrong.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> level(-0.0014f, 60.0f);
    std::vector<double> inputs;
    for (int k = 0; k < 200000; ++k) {
        const float f = level(random);
        const double midpoint = (static_cast<double>(f) + std::nextafter(f, 1e30f)) / 2;
        const double x = std::exp2(midpoint);
        for (double v : {x, std::nextafter(x, 0.0), std::nextafter(x, 1e308)}) inputs.push_back(v);
    }
    expectSameLevels(inputs);
}

TEST(MipLevels, MagnifiedOddAndHugeFootprintsTakeMipLevelsAnswer)
{
    const double inf = std::numeric_limits<double>::infinity();
    expectSameLevels({0.0, -0.0, -1.0, 0.5, std::nextafter(kSurelyMagnifiedTexels, 0.0), kSurelyMagnifiedTexels,
                      std::numeric_limits<double>::denorm_min(), 0x1p1000, std::nextafter(0x1p1000, 0.0),
                      std::numeric_limits<double>::max(), inf, -inf, std::numeric_limits<double>::quiet_NaN(), 1.0,
                      4.0, 65536.0, 0x1p40});
    EXPECT_EQ(mipLevels(splatWide(0.5))[0], -1.0f);
    EXPECT_EQ(mipLevels(splatWide(4.0))[kLanes - 1], 1.0f);
    EXPECT_EQ(mipLevels(splatWide(65536.0))[0], 8.0f);
}
