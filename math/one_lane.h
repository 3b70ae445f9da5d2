#pragma once

#include <cmath>
#include <cstdint>

#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"

// One value of each kind, as the renderer's shared maths takes its numbers. That maths is written
// once, as templates over such a type L, and runs both on one fragment (L = OneLane) and on a group
// of fragments side by side (raster/lanes/lane_group.h supplies the same operations on vectors).
// Float is what is stored, Wide carries a longer expression to its single rounding, Int holds
// texel indices, Mask the result of a comparison.
struct OneLane {
    using Float = float;
    using Wide = double;
    using Int = int32_t;
    using Mask = bool;
    using Vec2 = ::Vec2;
    using Vec3 = ::Vec3;
    using Vec4 = ::Vec4;
    static constexpr int kCount = 1;

    static Float splat(float v) { return v; }
    static Wide splatWide(double v) { return v; }
    static Wide widen(Float v) { return v; }
    static Float narrow(Wide v) { return static_cast<float>(v); }
    static Float select(Mask m, Float a, Float b) { return m ? a : b; }
    static Wide select(Mask m, Wide a, Wide b) { return m ? a : b; }
    static Mask splatMask(bool v) { return v; }
    static Mask narrowMask(Mask m) { return m; }
    static Mask widenMask(Mask m) { return m; }
    static Float sqrt(Float v) { return std::sqrt(v); }
    static Wide abs(Wide v) { return std::fabs(v); }
    static Int splatInt(int32_t v) { return v; }
    static Int min(Int a, Int b) { return a < b ? a : b; }
    static Int truncate(Float v) { return static_cast<int32_t>(v); }
    static Wide widen(Int v) { return v; }
    static Int lane(Int v, int) { return v; }
    static float lane(Float v, int) { return v; }
    template <class PerLane>
    static Float fromLanes(PerLane perLane)
    {
        return perLane(0);
    }
    // The base-2 logarithm rounded to float, for values the level choice takes a logarithm of.
    static Float log2(Wide v) { return static_cast<float>(std::log10(v) / std::log10(2.0)); }
};

// Divides by the length where it is not 0, and says where it was not. A normal that interpolates
// through zero (between opposite normals) then stays zero instead of throwing, and shading
// decides what such a pixel shows.
template <class L>
inline typename L::Mask normalizeWhereNonZero(typename L::Vec3& v)
{
    const typename L::Float len = L::sqrt(dot(v, v));
    const typename L::Mask nonZero = len != 0.0f;
    v.x = L::select(nonZero, v.x / len, v.x);
    v.y = L::select(nonZero, v.y / len, v.y);
    v.z = L::select(nonZero, v.z / len, v.z);
    return nonZero;
}
