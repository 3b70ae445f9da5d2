#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

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
        if (!(x >= 0.0f && x < columns_ && y >= 0.0f && y < rows_)) {
            pointOutsideFrame = true;
            return;
        }
        if (!(depth >= 0.0f && depth <= 1.0f)) return;
        // Through int: x and y are inside the frame here, and a float converts to int in one
        // instruction but to size_t only behind a test of its sign bit.
        const size_t index = static_cast<size_t>(static_cast<int>(y)) * static_cast<size_t>(width) +
                             static_cast<size_t>(static_cast<int>(x));
        const Bytes bytes = toBytes(c);
        uint8_t* p = rgb.data() + index * 3;
        p[0] = static_cast<uint8_t>(bytes[0]);
        p[1] = static_cast<uint8_t>(bytes[1]);
        p[2] = static_cast<uint8_t>(bytes[2]);
    }

    const uint8_t* pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }

    // Adding and taking away 2^23 leaves no fraction bits, so the sum itself rounds to the
    // nearest whole number, ties to even, for every value in [0, 255].
    static constexpr float kNoFraction = 8388608.0f;

    // Clamped to [0, 1] (NaN as 0), scaled by 255 and rounded to float, then the nearest of 0 … 255
    // with ties to even: the display's own order. Rounding the exact product instead puts colours
    // a few float steps from a half-way point on the other level.
    static uint8_t toByte(float c)
    {
        // NaN fails the first comparison.
        const float low = c > 0.0f ? c : 0.0f;
        const float clamped = low < 1.0f ? low : 1.0f;
        // The product of a float and 255 is exact in double, so the float product rounds alike.
        const float scaled = clamped * 255.0f;
        return static_cast<uint8_t>((scaled + kNoFraction) - kNoFraction);
    }

    // toByte of red, green and blue side by side. Written out for the scalar case, the clamps
    // become branches, which colours near 0 and 1 mispredict.
    using Bytes = int32_t __attribute__((vector_size(16)));
    static Bytes toBytes(const Color& c)
    {
#if defined(__SSE2__)
        // MAXPS and MINPS give their second operand unless the first is greater (smaller), NaN
        // included: the clamps below. The conversion rounds to nearest, ties to even, the mode
        // that the sum with kNoFraction relies on too.
        const __m128 v = _mm_setr_ps(c.r, c.g, c.b, 0.0f);
        const __m128 clamped = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(1.0f));
        return reinterpret_cast<Bytes>(_mm_cvtps_epi32(_mm_mul_ps(clamped, _mm_set1_ps(255.0f))));
#else
        // With WebAssembly's 128-bit SIMD this is already one instruction a step: a copy of its
        // own would save two of ten.
        using Floats = float __attribute__((vector_size(16)));
        const Floats zero{}, one = zero + 1.0f;
        Floats v{c.r, c.g, c.b, 0.0f};
        v = v > zero ? v : zero;
        v = v < one ? v : one;
        return __builtin_convertvector(((v * 255.0f) + kNoFraction) - kNoFraction, Bytes);
#endif
    }

private:
    // The frame's sides as floats, for the test every point takes.
    float columns_ = 0.0f;
    float rows_ = 0.0f;
};
