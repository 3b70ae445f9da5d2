#pragma once

#include <cmath>

#include "raster/edge.h"
#include "raster/interpolate.h"

// One span from L to R on a row, with every interpolant advanced to its first column
// ceil(L.x), cut to the frame. Its columns are firstColumn <= c < endColumn: the right end is
// exclusive, and 0 <= firstColumn < endColumn <= width keeps them inside the frame.
struct SpanSetup {
    float firstColumn = 0.0f;
    float endColumn = 0.0f;
    float depth = 0.0f;
    float depthStep = 0.0f;
    Vec3 normal;  // not renormalised at the first column
    Vec3 normalStep;
    Vec3 stOverW;
    Vec3 stOverWStep;
    float length = 0.0f;  // endColumn - firstColumn, rounded

    bool empty() const { return !(firstColumn < endColumn); }
    // One past the last integer column.
    int lastColumn() const { return static_cast<int>(std::ceil(endColumn)); }
};

// The span's columns and its depth: all that the depth test needs.
inline SpanSetup setUpSpanDepth(const Edge& left, const Edge& right, int width)
{
    SpanSetup s;
    const float frameWidth = static_cast<float>(width);
    s.firstColumn = std::ceil(left.x);
    if (s.firstColumn < 0.0f) s.firstColumn = 0.0f;
    s.endColumn = right.x;
    if (s.endColumn > frameWidth) s.endColumn = frameWidth;
    s.length = static_cast<float>(static_cast<double>(s.endColumn) - s.firstColumn);
    const float dx0 = static_cast<float>(static_cast<double>(s.firstColumn) - left.x);
    // Zero for an empty span; the steps are then infinite or NaN, and no pixel uses them.
    const float d = static_cast<float>(static_cast<double>(right.x) - left.x);
    s.depthStep = stepPer(left.depth, right.depth, d);
    s.depth = advance(left.depth, s.depthStep, dx0);
    return s;
}

// The normal and (s/w, t/w, 1/w) too, which only a span with a visible pixel needs.
inline void setUpSpanInterpolants(const Edge& left, const Edge& right, SpanSetup& s)
{
    const float dx0 = static_cast<float>(static_cast<double>(s.firstColumn) - left.x);
    const float d = static_cast<float>(static_cast<double>(right.x) - left.x);
    // Each step and start exactly as stepPer and advance round it, four at a time: the divisions
    // are most of a span's set-up cost.
    using Double4 = double __attribute__((vector_size(32)));
    using Float4 = float __attribute__((vector_size(16)));
    const Double4 a0{left.normal.x, left.normal.y, left.normal.z, left.stOverW.x};
    const Double4 b0{right.normal.x, right.normal.y, right.normal.z, right.stOverW.x};
    const Double4 a1{left.stOverW.y, left.stOverW.z, 0.0, 0.0};
    const Double4 b1{right.stOverW.y, right.stOverW.z, 0.0, 0.0};
    const Float4 step0 = __builtin_convertvector((b0 - a0) / d, Float4);
    const Float4 step1 = __builtin_convertvector((b1 - a1) / d, Float4);
    const Float4 start0 = __builtin_convertvector(a0 + __builtin_convertvector(step0, Double4) * dx0, Float4);
    const Float4 start1 = __builtin_convertvector(a1 + __builtin_convertvector(step1, Double4) * dx0, Float4);
    s.normalStep = {step0[0], step0[1], step0[2]};
    s.normal = {start0[0], start0[1], start0[2]};
    s.stOverWStep = {step0[3], step1[0], step1[1]};
    s.stOverW = {start0[3], start1[0], start1[1]};
}

inline SpanSetup setUpSpan(const Edge& left, const Edge& right, int width)
{
    SpanSetup s = setUpSpanDepth(left, right, width);
    setUpSpanInterpolants(left, right, s);
    return s;
}
