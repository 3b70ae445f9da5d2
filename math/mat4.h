#pragma once

#include "math/one_lane.h"
#include "math/vec4.h"

// Row-major: element (i, j) is component j of row i; points are column vectors, M·v.
struct Mat4 {
    Vec4 rows[4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    Mat4() = default;
    Mat4(const Vec4& r0, const Vec4& r1, const Vec4& r2, const Vec4& r3) : rows{r0, r1, r2, r3} {}

    float& operator()(int i, int j) { return (&rows[i].x)[j]; }
    float operator()(int i, int j) const { return (&rows[i].x)[j]; }

    Mat4& operator*=(const Mat4& b);
};

// Each element is accumulated in double and rounded to float once.
inline Mat4 operator*(const Mat4& a, const Mat4& b)
{
    Mat4 out;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(a(i, k)) * b(k, j);
            out(i, j) = static_cast<float>(sum);
        }
    }
    return out;
}

inline Mat4& Mat4::operator*=(const Mat4& b) { return *this = *this * b; }

// A matrix's elements widened to double, for transforming many vectors by one matrix: widening
// them costs about as much as the product itself. Over a lane group (see math/one_lane.h) each
// element is spread over the lanes.
template <class L = OneLane>
struct WideMat4 {
    typename L::Wide m[4][4];
};

template <class L = OneLane>
inline WideMat4<L> wideMatrix(const Mat4& a)
{
    WideMat4<L> wide;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) wide.m[i][j] = L::splatWide(a(i, j));
    return wide;
}

// Each row's sum r.x·v.x + r.y·v.y + r.z·v.z + r.w·v.w in double, left to right, rounded once.
template <class L = OneLane>
inline typename L::Vec4 transform(const WideMat4<L>& a, const typename L::Vec4& v)
{
    const typename L::Wide x = L::widen(v.x), y = L::widen(v.y), z = L::widen(v.z), w = L::widen(v.w);
    typename L::Float out[4];
    // Unrolled, the four rows stay in registers instead of going through the stack.
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) out[i] = L::narrow(a.m[i][0] * x + a.m[i][1] * y + a.m[i][2] * z + a.m[i][3] * w);
    return {out[0], out[1], out[2], out[3]};
}

// The same for a point, w = 1, whose product with the last column is that column exactly.
template <class L = OneLane>
inline typename L::Vec4 transformPoint(const WideMat4<L>& a, typename L::Float px, typename L::Float py,
                                       typename L::Float pz)
{
    const typename L::Wide x = L::widen(px), y = L::widen(py), z = L::widen(pz);
    typename L::Float out[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) out[i] = L::narrow(a.m[i][0] * x + a.m[i][1] * y + a.m[i][2] * z + a.m[i][3]);
    return {out[0], out[1], out[2], out[3]};
}

inline Vec4 operator*(const WideMat4<>& m, const Vec4& v) { return transform(m, v); }

inline Vec4 operator*(const Mat4& m, const Vec4& v) { return wideMatrix(m) * v; }

// Gauss-Jordan with partial pivoting in double. Returns false, leaving out untouched, when m is singular.
bool invertMatrix(const Mat4& m, Mat4& out);
