#pragma once

#include "math/one_lane.h"
#include "math/vec3.h"

// The scan converter's arithmetic on interpolants, shared by edges and spans so that both round
// alike. On plain floats (x, depth) each helper evaluates its whole expression in double and
// rounds once. On Vec3 values (normal, (s/w, t/w, 1/w)) it is a chain of Vec3 operations, and each
// of them rounds: the difference, the product and the sum.

// a + u·(b − a)
inline float lerp(float a, float b, float u)
{
    return static_cast<float>(a + static_cast<double>(u) * (static_cast<double>(b) - a));
}

inline Vec3 lerp(const Vec3& a, const Vec3& b, float u) { return a + u * (b - a); }

// (b − a) / d: the change per unit of d.
inline float stepPer(float a, float b, float d)
{
    return static_cast<float>((static_cast<double>(b) - a) / d);
}

inline Vec3 stepPer(const Vec3& a, const Vec3& b, float d) { return (b - a) / d; }

// a + step·t
inline float advance(float a, float step, float t)
{
    return static_cast<float>(a + static_cast<double>(step) * t);
}

inline Vec3 advance(const Vec3& a, const Vec3& step, float t) { return a + t * step; }

// One step of the normal along an edge or a span, renormalised after every step; a normal that
// interpolates through zero (between opposite normals) stays zero instead of throwing, and
// shading decides what such a pixel shows. Over L, so that a lane group of spans steps alike.
template <class L = OneLane>
inline void stepNormal(typename L::Vec3& normal, const typename L::Vec3& step)
{
    normal = normal + step;
    normalizeWhereNonZero<L>(normal);
}
