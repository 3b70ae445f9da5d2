#pragma once

#include "math/vec3.h"
#include "math/zero_divide.h"

// Defaults to the homogeneous origin point.
struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    Vec4() = default;
    Vec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    Vec4& operator*=(float s)
    {
        x = x * s;
        y = y * s;
        z = z * s;
        w = w * s;
        return *this;
    }

    // Throws ZeroDivide when w is exactly 0, of either sign.
    Vec3 project() const
    {
        if (w == 0.0f) throw ZeroDivide{};
        return {x / w, y / w, z / w};
    }
};
