#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/color.h"
#include "raster/depth_buffer.h"
#include "raster/edge.h"
#include "raster/lanes/lanes.h"
#include "raster/shade_state.h"
#include "raster/span_setup.h"

// One span as the sweep met it: empty spans are kept too, so that the points go out span by span
// exactly as the sweep produced them.
struct GatheredSpan {
    int row = 0;
    uint32_t firstFragment = 0;
    uint32_t fragmentCount = 0;
    // More than one only for a polygon known to keep no pixel: its spans, all empty, go as one.
    uint32_t spanCount = 1;
};

// What stepping and sampling read of a span that kept a pixel. In a detailed scene about half
// the spans keep none, and they skip this set-up and its storage.
struct KeptSpan {
    int row = 0;
    uint32_t firstFragment = 0;
    uint32_t fragmentCount = 0;
    int32_t steps = 0;  // from the first column to the last kept pixel
    SpanSetup setup;
    Vec3 leftStOverWStepY;
    Vec3 rightStOverWStepY;

    KeptSpan() = default;
    // Built in place with its values: a default-constructed one would first be cleared whole.
    KeptSpan(int row_, uint32_t firstFragment_, uint32_t fragmentCount_, int32_t steps_, const SpanSetup& setup_,
             const Vec3& leftStOverWStepY_, const Vec3& rightStOverWStepY_)
        : row(row_),
          firstFragment(firstFragment_),
          fragmentCount(fragmentCount_),
          steps(steps_),
          setup(setup_),
          leftStOverWStepY(leftStOverWStepY_),
          rightStOverWStepY(rightStOverWStepY_)
    {
    }
};

using LaneShadeState = ShadeValues<FloatLanes, MaskLanes, Vec2Lanes, Vec3Lanes>;

// Pixels that passed the depth test, gathered span by span before any is shaded, so that shading
// takes a lane group at a time and the normal's long chain of roundings along a span runs for
// several spans at once. Shading never feeds back into a depth test, so testing depths ahead of
// shading stores the same depths. The storage only grows.
struct GatheredFragments {
    std::vector<GatheredSpan> spans;
    std::vector<KeptSpan> keptSpans;
    size_t count = 0;

    // One entry per fragment, padded to a whole number of lane groups. The arrays are slices of
    // two blocks (four-byte integers and floats), so growing them is two allocations, not a dozen.
    // Filled by addSpan().
    int32_t* column = nullptr;
    float* depth = nullptr;
    // Filled by stepInterpolants().
    uint32_t* span = nullptr;  // into keptSpans
    float* ndcX = nullptr;     // the pixel's column and row, as normalized device coordinates
    float* ndcY = nullptr;
    float *normalX = nullptr, *normalY = nullptr, *normalZ = nullptr;
    float *stOverWX = nullptr, *stOverWY = nullptr, *stOverWZ = nullptr;
    // Filled by shading, one per lane group: whether each pixel could be shaded, what the steps
    // work on, and the colour.
    LaneShadeState* shading = nullptr;

    GatheredFragments() = default;
    // The arrays point into the object's own blocks.
    GatheredFragments(const GatheredFragments&) = delete;
    GatheredFragments& operator=(const GatheredFragments&) = delete;

    // Enough pixels to keep the lanes busy, few enough to stay in the cache until shaded.
    static constexpr size_t kGatherFragments = 2048;
    static constexpr size_t kGatherSpans = 1024;

    // The normalized device coordinate of every column and row, for a frame of that size.
    void setFrameSize(int width, int height);

    // Empties the storage, then setFrameSize, and room for everything gathered until full() plus
    // one more span, so that gathering a frame never allocates (nor, after one at that size,
    // starting it).
    void startFrame(int width, int height);

    // Time to shade what was gathered before adding another span.
    bool full() const { return count > kGatherFragments || spans.size() == kGatherSpans; }

    void clear()
    {
        spans.clear();
        keptSpans.clear();
        count = 0;
    }

    // Room for that many fragments and spans without allocating.
    void reserve(size_t fragments, size_t spanCount);

    // Depth-tests the span's pixels and keeps those that pass; the edges catch up their
    // interpolants only if one does.
    void addSpan(Edge& left, Edge& right, int row, int width, DepthBuffer& depthBuffer);

    // That many spans known to keep no pixel, from the row on.
    void addHiddenSpans(int row, size_t n)
    {
        for (; n > UINT32_MAX; n -= UINT32_MAX) spans.push_back({row, static_cast<uint32_t>(count), 0u, UINT32_MAX});
        spans.push_back({row, static_cast<uint32_t>(count), 0u, static_cast<uint32_t>(n)});
    }

    // Steps every span's normal (renormalised at each column after the first) and, with
    // textureCoordinates, (s/w, t/w, 1/w) to each kept pixel, in the same roundings as walking the
    // span one column at a time, and gives each its span and coordinates.
    void stepInterpolants(bool textureCoordinates);

    // The number of entries the per-fragment arrays hold: count rounded up to whole lane groups.
    size_t paddedCount() const;

private:
    // One per column and per row: the coordinate costs a double division, so it is worked out
    // once per frame rather than once per pixel.
    std::vector<float> columnNdc, rowNdc;
    // The kept spans, into stepOrder_ by their steps, fewest first, so that spans stepped side
    // by side finish close together.
    void orderSpansBySteps();
    std::vector<uint32_t> stepOrder_, stepCounts_;
    std::unique_ptr<int32_t[]> integers_;
    std::unique_ptr<float[]> floats_;
    std::unique_ptr<LaneShadeState[]> shading_;
    size_t capacity_ = 0;
};

// Every shaded fragment as one point, span by span in sweep order.
template <class PointSink>
void emitPoints(const GatheredFragments& fragments, PointSink& points)
{
    // Copied out, because a sink that stores bytes could alias the arrays' pointers and force a
    // reload of each of them for every point.
    const int32_t* column = fragments.column;
    const float* depth = fragments.depth;
    const LaneShadeState* shading = fragments.shading;
    for (const GatheredSpan& s : fragments.spans) {
        for (uint32_t k = 1; k < s.spanCount; ++k) {
            points.beginSpan();
            points.endSpan();
        }
        points.beginSpan();
        const auto y = static_cast<float>(s.row);
        const uint32_t end = s.firstFragment + s.fragmentCount;
        for (uint32_t i = s.firstFragment; i < end; ++i) {
            const LaneShadeState& g = shading[i / kLanes];
            const uint32_t lane = i % kLanes;
            if (g.lit[lane])
                points.point(static_cast<float>(column[i]), y, depth[i],
                             Color(g.colour.r[lane], g.colour.g[lane], g.colour.b[lane], 1.0f));
        }
        points.endSpan();
    }
}
