#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "raster/lanes/hidden_polygon.h"
#include "support/recording_sink.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct Frame : TestRaster {
    Frame() : TestRaster(kWidth, kHeight) {}
    std::vector<float> cells() const { return {&depthBuffer.data[0], &depthBuffer.data[0] + kWidth * kHeight}; }
};

size_t spanCountOf(Frame& frame, const std::vector<Ring>& rings)
{
    frame.load(rings);
    return countSpans(frame.edgeTable);
}

// Sweeps the edges already in the table.
size_t sweptSpanCount(Frame& frame)
{
    frame.active.clear();
    size_t spans = 0;
    sweepPolygon(frame.edgeTable, frame.active, kHeight, [&](Edge&, Edge&, int) { ++spans; });
    return spans;
}

Ring square(float x0, float y0, float x1, float y1, float depth)
{
    return {screenVertex(x0, y0, depth), screenVertex(x1, y0, depth), screenVertex(x1, y1, depth),
            screenVertex(x0, y1, depth)};
}

}  // namespace

// The property the frame driver relies on: a polygon called hidden keeps no pixel and changes no
// depth, and its span count is the sweep's. The depth buffers sit at, just above and just below
// the polygons' nearest vertex, where a bound without the rounding slack would be wrong.
TEST(HiddenPolygon, NeverClaimsAPolygonThatWouldKeepAPixel)
{
    std::mt19937 random(11);
    // Now and then across the frame's edges, column 0 included.
    std::uniform_real_distribution<float> x(-4, 72), y(-12, 60), depth(0.05f, 0.95f), unit(0, 1);
    const float offsets[] = {-1e-2f, -1e-3f, -1e-5f, -1e-7f, 0.0f, 1e-7f, 1e-2f};
    int hiddenTrials = 0;
    const int trials = 4000;
    for (int trial = 0; trial < trials; ++trial) {
        std::vector<Ring> rings(1);
        const int corners = 3 + trial % 3;
        // Some polygons almost flat in depth, some steep.
        const float base = depth(random);
        const float spread = trial % 2 == 0 ? 1e-4f : 0.3f;
        for (int k = 0; k < corners; ++k)
            rings[0].push_back(screenVertex(x(random), y(random), base + spread * unit(random)));
        if (trial % 7 == 0)
            rings.push_back({screenVertex(x(random), y(random), base), screenVertex(x(random), y(random), base),
                             screenVertex(x(random), y(random), base)});
        float nearest = base + spread;
        for (const Ring& ring : rings)
            for (const ScreenVertex& v : ring) nearest = std::min(nearest, v.position.z);

        Frame frame;
        const float level = nearest + offsets[trial % 7];
        // One level; in every third frame a few cells far behind, which a hidden polygon must not cover.
        const float farCells = trial % 3 == 0 ? 0.002f : 0.0f;
        for (int i = 0; i < kWidth * kHeight; ++i) frame.depthBuffer.data[i] = unit(random) < farCells ? 1.0f : level;

        const size_t spans = spanCountOf(frame, rings);
        ASSERT_EQ(spans, sweptSpanCount(frame)) << "trial " << trial;

        frame.load(rings);
        const bool hidden = surelyHidden(frame.edgeTable, frame.depthBuffer, kWidth);
        const std::vector<float> before = frame.cells();
        scanPolygon(frame.edgeTable, frame.active, frame.depthBuffer, kWidth, kHeight, frame.sink);
        if (hidden) {
            ++hiddenTrials;
            ASSERT_TRUE(frame.sink.fragments.empty()) << "trial " << trial;
            ASSERT_EQ(frame.cells(), before) << "trial " << trial;
        }
    }
    // Enough polygons are found hidden for the check above to prove something.
    EXPECT_GT(hiddenTrials, trials / 10);
}

TEST(HiddenPolygon, FindsAPolygonBehindNearerPixelsOnly)
{
    Frame frame;
    frame.depthBuffer.clear(0.5f);
    frame.load({square(10, 10, 30, 30, 0.6f)});
    EXPECT_TRUE(surelyHidden(frame.edgeTable, frame.depthBuffer, kWidth));

    // One cell inside farther away: that pixel would pass.
    frame.depthBuffer.data[static_cast<size_t>(20 * kWidth + 20)] = 1.0f;
    EXPECT_FALSE(surelyHidden(frame.edgeTable, frame.depthBuffer, kWidth));

    // In front of the buffer.
    frame.depthBuffer.clear(0.5f);
    frame.load({square(10, 10, 30, 30, 0.4f)});
    EXPECT_FALSE(surelyHidden(frame.edgeTable, frame.depthBuffer, kWidth));

    // Reaching column 0, where a span's depth step can overflow, is never called hidden.
    frame.load({square(-5, 10, 30, 30, 0.6f)});
    EXPECT_FALSE(surelyHidden(frame.edgeTable, frame.depthBuffer, kWidth));

    // Wholly right of the frame: no pixel at all.
    frame.load({square(70, 10, 90, 30, 0.4f)});
    EXPECT_TRUE(surelyHidden(frame.edgeTable, frame.depthBuffer, kWidth));
}

TEST(HiddenPolygon, SpansFollowTheEvenOddPairs)
{
    Frame frame;
    // A square ring around a square hole: two spans on the rows through the hole, one elsewhere.
    EXPECT_EQ(spanCountOf(frame, {square(4, 4, 20, 20, 0.5f), square(8, 8, 12, 12, 0.5f)}), 16u + 4u);
    // Rings that start and end on the same rows, and one that only touches a row at its tip.
    EXPECT_EQ(spanCountOf(frame, {square(4, 4, 8, 8, 0.5f), square(10, 4, 14, 8, 0.5f)}), 8u);
    EXPECT_EQ(spanCountOf(frame, {{screenVertex(4, 4), screenVertex(8, 4), screenVertex(6, 9)}}), 5u);
    // Nothing at all.
    EXPECT_EQ(spanCountOf(frame, {}), 0u);
}

// Zigzag rings with up to a few hundred edges, some sharing their end rows, beyond the count
// that fits the event list; half of them with one edge more, which leaves an odd number of
// edges on its rows, as a ring that lost an edge would.
TEST(HiddenPolygon, CountsTheSweptSpansOfManyEdgedPolygons)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int trial = 0; trial < 200; ++trial) {
        const int corners = 3 + trial;
        Ring ring;
        for (int k = 0; k < corners; ++k) {
            const float angle = 6.2831853f * static_cast<float>(k) / static_cast<float>(corners);
            const float radius = k % 2 == 0 ? 22.0f : 22.0f * unit(random);
            // Every third trial on whole rows, so that many edges end together.
            float y = 24.0f + radius * std::sin(angle) + unit(random);
            if (trial % 3 == 0) y = std::round(y);
            ring.push_back(screenVertex(32.0f + radius * std::cos(angle), y));
        }
        Frame frame;
        frame.load({ring});
        if (trial % 2 == 1)
            addEdge(screenVertex(60.0f * unit(random), 48.0f * unit(random)),
                    screenVertex(60.0f * unit(random), 48.0f * unit(random)), kHeight, frame.edgeTable);
        const size_t spans = countSpans(frame.edgeTable);
        ASSERT_EQ(spans, sweptSpanCount(frame)) << "trial " << trial;
    }
}
