#include "math/matrix_stack.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "math/angles.h"

namespace {

// Sine and cosine are each rounded to float before they enter the matrix.
void sineCosine(float degrees, float& s, float& c)
{
    const float theta = degreesToRadians(degrees);
    s = static_cast<float>(std::sin(static_cast<double>(theta)));
    c = static_cast<float>(std::cos(static_cast<double>(theta)));
}

}  // namespace

void MatrixStack::translate(float x, float y, float z)
{
    Mat4 t;
    t(0, 3) = x;
    t(1, 3) = y;
    t(2, 3) = z;
    current *= t;
}

void MatrixStack::rotateX(float degrees)
{
    float s, c;
    sineCosine(degrees, s, c);
    current *= Mat4({1, 0, 0, 0}, {0, c, -s, 0}, {0, s, c, 0}, {0, 0, 0, 1});
}

void MatrixStack::rotateZ(float degrees)
{
    float s, c;
    sineCosine(degrees, s, c);
    current *= Mat4({c, -s, 0, 0}, {s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1});
}

void MatrixStack::scale(float x, float y, float z)
{
    current *= Mat4({x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1});
}

void MatrixStack::perspective(float xHalf, float yHalf, float nearDistance, float farDistance)
{
    const double n = nearDistance;
    const double f = farDistance;
    const auto a = static_cast<float>(1.0 / xHalf);
    const auto b = static_cast<float>(1.0 / yHalf);
    const auto c = static_cast<float>(-(f + n) / (f - n));
    const auto d = static_cast<float>(-2.0 * f * n / (f - n));
    current *= Mat4({a, 0, 0, 0}, {0, b, 0, 0}, {0, 0, c, d}, {0, 0, -1, 0});
}

void MatrixStack::pop()
{
    if (saved.empty()) {
        std::fprintf(stderr, "pixelwright: MatrixStack::pop on an empty stack (a push is missing)\n");
        std::abort();
    }
    current = saved.back();
    saved.pop_back();
}

void MatrixStack::toColumnMajor(float out[16]) const
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out[4 * j + i] = current(i, j);
}
