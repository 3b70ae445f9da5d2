#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "math/color.h"

// An in-memory frame that stores points the way the display does: each channel clamped to
// [0, 1] and rounded to the nearest of 256 levels, a point outside the depth range [0, 1]
// discarded, a later point over an earlier one. RGB bytes, row 0 at the bottom.
struct FrameImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    // Every point handed over, drawn or not, and whether any lay outside the frame.
    uint64_t pointCount = 0;
    bool pointOutsideFrame = false;

    FrameImage() = default;
    FrameImage(int w, int h) { reset(w, h); }

    // White, and the counts back to zero. A non-positive side gives an empty frame.
    void reset(int w, int h);

    void beginSpan() {}
    void endSpan() {}
    void point(float x, float y, float depth, const Color& c)
    {
        ++pointCount;
        if (!(x >= 0.0f && x < static_cast<float>(width) && y >= 0.0f && y < static_cast<float>(height))) {
            pointOutsideFrame = true;
            return;
        }
        if (!(depth >= 0.0f && depth <= 1.0f)) return;
        uint8_t* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
        p[0] = toByte(c.r);
        p[1] = toByte(c.g);
        p[2] = toByte(c.b);
    }

    const uint8_t* pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }

    // Clamped to [0, 1] (NaN as 0), scaled by 255 and rounded to float, then the nearest of 0 … 255
    // with ties to even: the display's own order. Rounding the exact product instead puts colours
    // a few float steps from a half-way point on the other level.
    static uint8_t toByte(float c)
    {
        // Two plain comparisons, which compile to a branch-free max and min; NaN fails the first.
        const float low = c > 0.0f ? c : 0.0f;
        const float clamped = low < 1.0f ? low : 1.0f;
        // The product of a float and 255 is exact in double, so the float product rounds alike.
        const float scaled = clamped * 255.0f;
        // Adding and taking away 2^23 leaves no fraction bits, so the sum itself rounds to the
        // nearest whole number, ties to even, for every value in [0, 255].
        constexpr float kNoFraction = 8388608.0f;
        return static_cast<uint8_t>((scaled + kNoFraction) - kNoFraction);
    }
};
