#pragma once

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    Vec2() = default;
    Vec2(float x_, float y_) : x(x_), y(y_) {}

    Vec2& operator/=(float s)
    {
        x = x / s;
        y = y / s;
        return *this;
    }
};

inline Vec2 operator/(Vec2 v, float s) { return v /= s; }
