#pragma once

#include <cmath>

#include "math/zero_divide.h"

// Every result component is computed in double and rounded to float once, when stored:
// the renderers' pixels depend on these exact roundings.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vec3& operator+=(const Vec3& b)
    {
        x = static_cast<float>(static_cast<double>(x) + b.x);
        y = static_cast<float>(static_cast<double>(y) + b.y);
        z = static_cast<float>(static_cast<double>(z) + b.z);
        return *this;
    }
    Vec3& operator-=(const Vec3& b)
    {
        x = static_cast<float>(static_cast<double>(x) - b.x);
        y = static_cast<float>(static_cast<double>(y) - b.y);
        z = static_cast<float>(static_cast<double>(z) - b.z);
        return *this;
    }
    Vec3& operator*=(float s)
    {
        x = static_cast<float>(static_cast<double>(x) * s);
        y = static_cast<float>(static_cast<double>(y) * s);
        z = static_cast<float>(static_cast<double>(z) * s);
        return *this;
    }
    // A true division, not a multiplication by 1/s: the two round differently.
    Vec3& operator/=(float s)
    {
        x = static_cast<float>(static_cast<double>(x) / s);
        y = static_cast<float>(static_cast<double>(y) / s);
        z = static_cast<float>(static_cast<double>(z) / s);
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
inline float Vec3::length() const { return static_cast<float>(std::sqrt(static_cast<double>(dot(*this, *this)))); }

inline Vec3& Vec3::normalize()
{
    const float len = length();
    if (len == 0.0f) throw ZeroDivide{};
    return *this /= len;
}
