#include "texture/ring_texture.h"

#include <cmath>

#include "math/vec3.h"

Texture makeRingTexture(int w, int h)
{
    const Color light = Color(0, 0, 0, 1).fromHsv(0.125f, 0.7f, 0.8f, 1);
    const Color dark = Color(0, 0, 0, 1).fromHsv(0.125f, 0.7f, 0.6f, 1);
    const Vec3 axis = Vec3(0, 1, 0.1f).normalize();
    const Vec3 eye(0, 0, 1);
    Texture texture(w, h, 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Vec3 p = Vec3(static_cast<float>(2.0 * x / w - 1), static_cast<float>(2.0 * y / h - 1), 0) - eye;
            // Squared distance of p from the axis line through the origin.
            const double along = dot(p, axis);
            const auto d = static_cast<float>(dot(p, p) - along * along);
            const auto v = static_cast<float>(10.0 * d);
            const double f = static_cast<double>(v) - std::floor(static_cast<double>(v));
            texture.setTexelColor(x, y, f < 0.7 ? light : dark);
        }
    }
    return texture;
}
