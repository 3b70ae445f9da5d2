#pragma once

#include <cstdint>
#include <memory>

#include "math/color.h"

// A float image, row 0 first (texture coordinate t = 0). Copies share the texels: a mip chain's
// level 0 is such a copy, and shared ownership keeps the texels alive for as long as any copy is.
struct Texture {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t channels = 0;
    std::shared_ptr<float[]> texels;

    Texture() = default;
    // Zero-filled, so no texel is ever undefined; a non-positive side gives an empty image.
    Texture(int32_t w, int32_t h, uint32_t c);

    // No bounds check: callers keep 0 <= x < width and 0 <= y < height.
    float* texel(int32_t x, int32_t y) { return texels.get() + (static_cast<size_t>(y) * width + x) * channels; }
    const float* texel(int32_t x, int32_t y) const
    {
        return texels.get() + (static_cast<size_t>(y) * width + x) * channels;
    }

    void setTexelColor(int32_t x, int32_t y, const Color& c)
    {
        float* t = texel(x, y);
        t[0] = c.r;
        t[1] = c.g;
        t[2] = c.b;
    }
    void setTexelValue(int32_t x, int32_t y, float value) { *texel(x, y) = value; }
};
