#pragma once

#include <cstdint>
#include <vector>

#include "math/color.h"
#include "raster/depth_buffer.h"
#include "raster/edge.h"
#include "raster/span_setup.h"

// One span as the sweep met it: empty spans are kept too, so that the points go out span by span
// exactly as the sweep produced them.
struct GatheredSpan {
    int row = 0;
    uint32_t firstFragment = 0;
    uint32_t fragmentCount = 0;
    SpanSetup setup;
    Vec3 leftStOverWStepY;
    Vec3 rightStOverWStepY;
};

// Pixels that passed the depth test, gathered span by span before any is shaded, so that shading
// takes a lane group at a time and the normal's long chain of roundings along a span runs for
// several spans at once. Shading never feeds back into a depth test, so testing depths ahead of
// shading stores the same depths. The storage only grows.
struct GatheredFragments {
    std::vector<GatheredSpan> spans;
    size_t count = 0;

    // One entry per fragment, padded to a whole number of lane groups.
    std::vector<uint32_t> span;
    std::vector<int32_t> column;
    std::vector<float> ndcX, ndcY;  // the pixel's column and row, as normalized device coordinates
    std::vector<float> depth;
    // Filled by stepInterpolants().
    std::vector<float> normalX, normalY, normalZ;
    std::vector<float> stOverWX, stOverWY, stOverWZ;
    // Filled by shading: the lookups first, then the colour and whether the pixel could be shaded.
    std::vector<float> textureRed, textureGreen, textureBlue;
    std::vector<float> gradientX, gradientY;
    std::vector<float> positionX, positionY, positionZ;
    std::vector<float> toEyeX, toEyeY, toEyeZ;
    std::vector<float> toLightX, toLightY, toLightZ;
    std::vector<float> red, green, blue;
    std::vector<int32_t> lit;

    // The normalized device coordinate of every column and row, for a frame of that size.
    void setFrameSize(int width, int height);

    void clear()
    {
        spans.clear();
        count = 0;
    }

    // Room for that many fragments and spans without allocating.
    void reserve(size_t fragments, size_t spanCount);
    size_t fragmentCapacity() const { return span.size(); }

    // Depth-tests the span's pixels and keeps those that pass.
    void addSpan(const Edge& left, const Edge& right, int row, int width, DepthBuffer& depthBuffer);

    // Steps every span's normal (renormalised at each column after the first) and (s/w, t/w, 1/w)
    // to each kept pixel, in the same roundings as walking the span one column at a time.
    void stepInterpolants();

    // The number of entries the per-fragment arrays hold: count rounded up to whole lane groups.
    size_t paddedCount() const;

private:
    // One per column and per row: the coordinate costs a double division, so it is worked out
    // once per frame rather than once per pixel.
    std::vector<float> columnNdc, rowNdc;
};

// Every shaded fragment as one point, span by span in sweep order.
template <class PointSink>
void emitPoints(const GatheredFragments& fragments, PointSink& points)
{
    for (const GatheredSpan& s : fragments.spans) {
        points.beginSpan();
        const auto y = static_cast<float>(s.row);
        const uint32_t end = s.firstFragment + s.fragmentCount;
        for (uint32_t i = s.firstFragment; i < end; ++i) {
            if (fragments.lit[i])
                points.point(static_cast<float>(fragments.column[i]), y, fragments.depth[i],
                             Color(fragments.red[i], fragments.green[i], fragments.blue[i], 1.0f));
        }
        points.endSpan();
    }
}
