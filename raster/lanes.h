#pragma once

#include <cmath>
#include <cstdint>
#if defined(__SSE__)
#include <immintrin.h>
#endif

// Four pixels side by side, in the compiler's portable vector types. Every lane rounds exactly as
// the scalar code does: a single float operation equals the double operation rounded to float
// (double has more than twice float's precision, so the second rounding never changes the
// result), and longer expressions are carried in four-lane double and rounded once.
using F4 = float __attribute__((vector_size(16)));
using D4 = double __attribute__((vector_size(32)));
using M4 = int32_t __attribute__((vector_size(16)));  // a comparison: all ones where true
using M4Wide = int64_t __attribute__((vector_size(32)));

constexpr int kLanes = 4;

inline F4 splat(float v) { return F4{v, v, v, v}; }
inline D4 splatWide(double v) { return D4{v, v, v, v}; }
inline D4 widen(F4 v) { return __builtin_convertvector(v, D4); }
inline F4 narrow(D4 v) { return __builtin_convertvector(v, F4); }

inline F4 load4(const float* p)
{
    F4 v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(float* p, F4 v) { __builtin_memcpy(p, &v, sizeof v); }

inline F4 select(M4 mask, F4 a, F4 b) { return mask ? a : b; }

inline F4 squareRoot(F4 v)
{
#if defined(__SSE__)
    return reinterpret_cast<F4>(_mm_sqrt_ps(reinterpret_cast<__m128>(v)));
#else
    return F4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

inline D4 absolute(D4 v)
{
    constexpr int64_t kNoSign = INT64_MAX;
    return reinterpret_cast<D4>(reinterpret_cast<M4Wide>(v) & kNoSign);
}

inline bool anyLane(M4 mask) { return (mask[0] | mask[1] | mask[2] | mask[3]) != 0; }

// Three components of four pixels.
struct Vec3x4 {
    F4 x, y, z;
};

inline Vec3x4 operator+(const Vec3x4& a, const Vec3x4& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3x4 operator-(const Vec3x4& a, const Vec3x4& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3x4 splat(float x, float y, float z) { return {splat(x), splat(y), splat(z)}; }

// The scalar dot: products and sums in double, one rounding at the end.
inline F4 dot(const Vec3x4& a, const Vec3x4& b)
{
    return narrow(widen(a.x) * widen(b.x) + widen(a.y) * widen(b.y) + widen(a.z) * widen(b.z));
}

inline F4 length(const Vec3x4& v) { return squareRoot(dot(v, v)); }

// Divides by the length where it is not 0; the mask says where it was not.
inline M4 normalizeWhereNonZero(Vec3x4& v)
{
    const F4 len = length(v);
    const M4 nonZero = len != 0.0f;
    v.x = select(nonZero, v.x / len, v.x);
    v.y = select(nonZero, v.y / len, v.y);
    v.z = select(nonZero, v.z / len, v.z);
    return nonZero;
}
