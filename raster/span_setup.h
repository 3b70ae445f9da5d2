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
    s.normalStep = stepPer(left.normal, right.normal, d);
    s.normal = advance(left.normal, s.normalStep, dx0);
    s.stOverWStep = stepPer(left.stOverW, right.stOverW, d);
    s.stOverW = advance(left.stOverW, s.stOverWStep, dx0);
}

inline SpanSetup setUpSpan(const Edge& left, const Edge& right, int width)
{
    SpanSetup s = setUpSpanDepth(left, right, width);
    setUpSpanInterpolants(left, right, s);
    return s;
}
