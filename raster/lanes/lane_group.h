#pragma once

#include "raster/lanes/lanes.h"
#include "raster/lanes/log2_lanes.h"

// The operations of math/one_lane.h on a lane group, so that the shared shading maths runs on
// kLanes fragments at once, every lane rounding as one fragment does. Roots says how the kernel
// that uses it takes square roots (see runLanes); the square root and the logarithm are the two
// operations the lanes compute their own way, to the same bits.
template <class Roots>
struct LaneGroup {
    using Float = FloatLanes;
    using Wide = DoubleLanes;
    using Int = MaskLanes;
    using Mask = MaskLanes;
    using Vec2 = Vec2Lanes;
    using Vec3 = Vec3Lanes;
    using Vec4 = Vec4Lanes;
    static constexpr int kCount = kLanes;

    static Float splat(float v) { return ::splat(v); }
    static Wide splatWide(double v) { return ::splatWide(v); }
    static Int splatInt(int32_t v) { return spread<MaskLanes>(v); }
    static Wide widen(Float v) { return ::widen(v); }
    static Float narrow(Wide v) { return ::narrow(v); }
    static Float select(Mask m, Float a, Float b) { return m ? a : b; }
    static Wide select(MaskWideLanes m, Wide a, Wide b) { return m ? a : b; }
    static Mask splatMask(bool v) { return spread<MaskLanes>(v ? -1 : 0); }
    static Mask narrowMask(MaskWideLanes m) { return __builtin_convertvector(m, MaskLanes); }
    static MaskWideLanes widenMask(Mask m) { return __builtin_convertvector(m, MaskWideLanes); }
    // Not forced inline: nothing between a kernel and its root may be (see NarrowRoots).
    static Float sqrt(Float v) { return Roots::of(v); }
    static Wide abs(Wide v) { return absolute(v); }
    static Int min(Int a, Int b) { return a < b ? a : b; }
    static Int truncate(Float v) { return __builtin_convertvector(v, MaskLanes); }
    static Wide widen(Int v) { return __builtin_convertvector(v, DoubleLanes); }
    static int32_t lane(Int v, int i) { return v[i]; }
    static float lane(Float v, int i) { return v[i]; }
    template <class PerLane>
    static Float fromLanes(PerLane perLane)
    {
        return lanesFrom(perLane);
    }
    static Float log2(Wide v) { return log2Lanes(v); }
};
