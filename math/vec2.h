#pragma once

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    Vec2() = default;
    Vec2(float x_, float y_) : x(x_), y(y_) {}

    Vec2& operator/=(float s)
    {
        x = static_cast<float>(static_cast<double>(x) / s);
        y = static_cast<float>(static_cast<double>(y) / s);
        return *this;
    }
};

inline Vec2 operator/(Vec2 v, float s) { return v /= s; }
