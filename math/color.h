#pragma once

// Four unclamped channels; only the display clamps, when it stores a point. Each operation is
// one float operation, which rounds exactly as the double operation rounded to float.
struct Color {
    float r, g, b, a;

    Color(float r_, float g_, float b_, float a_) { set(r_, g_, b_, a_); }

    void set(float r_, float g_, float b_, float a_)
    {
        r = r_;
        g = g_;
        b = b_;
        a = a_;
    }

    // h and s in [0, 1]; v may exceed 1 (a specular brighter than white). Returns *this.
    Color& fromHsv(float h, float s, float v, float alpha);
};

inline Color operator+(const Color& p, const Color& q)
{
    return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a};
}

inline Color operator*(const Color& c, float s)
{
    return {c.r * s, c.g * s, c.b * s, c.a * s};
}

inline Color operator*(const Color& p, const Color& q)
{
    return {p.r * q.r, p.g * q.g, p.b * q.b, p.a * q.a};
}

inline bool operator==(const Color& p, const Color& q)
{
    return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a;
}
