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

inline Vec4 operator*(const Mat4& m, const Vec4& v)
{
    float out[4];
    for (int i = 0; i < 4; ++i) {
        const Vec4& r = m.rows[i];
        out[i] = static_cast<float>(static_cast<double>(r.x) * v.x + static_cast<double>(r.y) * v.y +
                                    static_cast<double>(r.z) * v.z + static_cast<double>(r.w) * v.w);
    }
    return {out[0], out[1], out[2], out[3]};
}

// Gauss-Jordan with partial pivoting in double. Returns false, leaving out untouched, when m is singular.
bool invertMatrix(const Mat4& m, Mat4& out);
