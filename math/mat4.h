#pragma once

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

// A matrix's columns widened to double, for transforming many vectors by one matrix: widening
// and gathering them costs about as much as the product itself.
struct WideMat4 {
    using Double4 = double __attribute__((vector_size(32)));
    Double4 columns[4];
};

inline WideMat4 wideColumns(const Mat4& m)
{
    WideMat4 wide;
    for (int j = 0; j < 4; ++j) wide.columns[j] = WideMat4::Double4{m(0, j), m(1, j), m(2, j), m(3, j)};
    return wide;
}

// Each row's sum r.x·v.x + r.y·v.y + r.z·v.z + r.w·v.w in double, left to right, rounded once.
// Taken column by column, four rows side by side, which adds in exactly that order.
inline Vec4 operator*(const WideMat4& m, const Vec4& v)
{
    using Float4 = float __attribute__((vector_size(16)));
    const WideMat4::Double4* c = m.columns;
    const WideMat4::Double4 sum = c[0] * static_cast<double>(v.x) + c[1] * static_cast<double>(v.y) +
                                  c[2] * static_cast<double>(v.z) + c[3] * static_cast<double>(v.w);
    const Float4 out = __builtin_convertvector(sum, Float4);
    return {out[0], out[1], out[2], out[3]};
}

inline Vec4 operator*(const Mat4& m, const Vec4& v) { return wideColumns(m) * v; }

// Gauss-Jordan with partial pivoting in double. Returns false, leaving out untouched, when m is singular.
bool invertMatrix(const Mat4& m, Mat4& out);
