#pragma once

#include <cmath>

#include "math/zero_divide.h"

// Every result component is the exact result rounded to float once: the renderers' pixels depend
// on these roundings. A single operation is done in float, which rounds exactly as the double
// operation rounded to float would (double carries more than twice float's precision), and is
// faster; longer expressions (dot, cross) are carried in double and rounded once.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vec3& operator+=(const Vec3& b)
    {
        x = x + b.x;
        y = y + b.y;
        z = z + b.z;
        return *this;
    }
    Vec3& operator-=(const Vec3& b)
    {
        x = x - b.x;
        y = y - b.y;
        z = z - b.z;
        return *this;
    }
    Vec3& operator*=(float s)
    {
        x = x * s;
        y = y * s;
        z = z * s;
        return *this;
    }
    // A true division, not a multiplication by 1/s: the two round differently.
    Vec3& operator/=(float s)
    {
        x = x / s;
        y = y / s;
        z = z / s;
        return *this;
    }

    float length() const;
    // Throws ZeroDivide, leaving the vector unchanged, when the length is exactly 0.
    Vec3& normalize();
};

inline Vec3 operator+(Vec3 a, const Vec3& b) { return a += b; }
inline Vec3 operator-(Vec3 a, const Vec3& b) { return a -= b; }
inline Vec3 operator*(Vec3 v, float s) { return v *= s; }
inline Vec3 operator*(float s, Vec3 v) { return v *= s; }
inline Vec3 operator/(Vec3 v, float s) { return v /= s; }

inline float dot(const Vec3& a, const Vec3& b)
{
    return static_cast<float>(static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                              static_cast<double>(a.z) * b.z);
}

inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y),
            static_cast<float>(static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z),
            static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x)};
}

// The square root of the float dot product, so the dot is rounded before the root is taken.
inline float Vec3::length() const { return std::sqrt(dot(*this, *this)); }

inline Vec3& Vec3::normalize()
{
    const float len = length();
    if (len == 0.0f) throw ZeroDivide{};
    return *this /= len;
}
