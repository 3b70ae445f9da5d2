#pragma once


#include "raster/lanes/lanes.h"
#include "texture/texture_sampling.h"

// OneLane::log2 for a lane group, to the bit, without a library logarithm per lane: the one
// operation of the level choice that the lanes take their own way, as they do the square root.
//
// OneLane::log2 rounds log10(texels) / log10(2) to float. The series below gives the base-2
// logarithm within about 2^-48 of its size, and the library's quotient is as close (a few double
// ulps), so both lie within 2^-40 of the series' value. Where that whole interval rounds to one
// float, that float is the library's result too; otherwise (about one lane in 2^15), and wherever
// the series does not apply, the lane calls OneLane::log2 itself. Lanes below
// kSurelyMagnifiedTexels, which mipLevel never takes the logarithm of, are left at 0.
PIXELWRIGHT_LANE_HELPER FloatLanes log2Lanes(DoubleLanes texels)
{
    const MaskWideLanes inRange = (texels >= kSurelyMagnifiedTexels) & (texels < 0x1p1000);
    const DoubleLanes x = inRange ? texels : splatWide(1.0);

    // x = 2^e · m with m in [√½, √2), so that the series' argument stays small.
    const MaskWideLanes bits = reinterpret_cast<MaskWideLanes>(x);
    MaskWideLanes exponent = (bits >> 52) - 1023;
    constexpr int64_t kMantissa = (int64_t{1} << 52) - 1;
    constexpr int64_t kOne = int64_t{1023} << 52;
    DoubleLanes m = reinterpret_cast<DoubleLanes>((bits & kMantissa) | kOne);
    const MaskWideLanes upper = m > 1.4142135623730951;
    m = upper ? m * 0.5 : m;
    exponent -= upper;  // true is -1
    // A small integer added to 1.5 · 2^52 lands in the low bits: the conversion without a
    // 64-bit integer instruction.
    constexpr int64_t kMagicBits = 0x4338000000000000;
    const DoubleLanes e = reinterpret_cast<DoubleLanes>(exponent + kMagicBits) - 0x1.8p52;

    // ln m = 2 atanh(t) = 2 (t + t^3/3 + t^5/5 + ...), t = (m - 1)/(m + 1); |t| < 0.172, so the
    // terms after t^17 add less than 2^-50 of the sum. m - 1 is exact.
    const DoubleLanes t = (m - 1.0) / (m + 1.0);
    const DoubleLanes t2 = t * t;
    constexpr double kOddReciprocals[] = {1.0 / 15, 1.0 / 13, 1.0 / 11, 1.0 / 9, 1.0 / 7, 1.0 / 5, 1.0 / 3, 1.0};
    DoubleLanes series = splatWide(1.0 / 17);
    // Unrolled, so that the series stays in registers where a lane group of doubles takes two.
#pragma GCC unroll 8
    for (const double c : kOddReciprocals) series = series * t2 + c;
    const DoubleLanes log2Texels = e + t * series * 2.8853900817779268;  // 2 / ln 2

    const DoubleLanes margin = absolute(log2Texels) * 0x1p-40;
    const FloatLanes below = narrow(log2Texels - margin);
    const FloatLanes above = narrow(log2Texels + margin);
    const MaskLanes decided = (below == above) & __builtin_convertvector(inRange, MaskLanes);
    const MaskLanes magnified = __builtin_convertvector(texels < kSurelyMagnifiedTexels, MaskLanes);
    FloatLanes log2 = below;
    for (int lane = 0; lane < kLanes; ++lane) {
        if (!decided[lane] && !magnified[lane]) log2[lane] = OneLane::log2(texels[lane]);
    }
    return log2;
}
