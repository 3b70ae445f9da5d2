#include <gtest/gtest.h>

#include <random>

#include "raster/hidden_polygon.h"
#include "recording_sink.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct Frame : TestRaster {
    Frame() : TestRaster(kWidth, kHeight) {}
    std::vector<float> cells() const { return {&depthBuffer.data[0], &depthBuffer.data[0] + kWidth * kHeight}; }
};

std::vector<int> spanRowsOf(Frame& frame, const std::vector<Ring>& rings)
{
    frame.load(rings);
    std::vector<int> rows;
    forEachSpanRow(frame.edgeTable, [&](int row) { rows.push_back(row); });
    return rows;
}

std::vector<int> sweptSpanRows(Frame& frame, const std::vector<Ring>& rings)
{
    frame.load(rings);
    std::vector<int> rows;
    sweepPolygon(frame.edgeTable, frame.active, kHeight, [&](Edge&, Edge&, int row) { rows.push_back(row); });
    return rows;
}

Ring square(float x0, float y0, float x1, float y1, float depth)
{
    return {screenVertex(x0, y0, depth), screenVertex(x1, y0, depth), screenVertex(x1, y1, depth),
            screenVertex(x0, y1, depth)};
}

}  // namespace

// The property the frame driver relies on: a polygon called hidden keeps no pixel and changes no
// depth, and its span rows are the sweep's. The depth buffers sit at, just above and just below
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

        ASSERT_EQ(spanRowsOf(frame, rings), sweptSpanRows(frame, rings)) << "trial " << trial;

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

TEST(HiddenPolygon, SpanRowsFollowTheEvenOddPairs)
{
    Frame frame;
    // A square ring around a square hole: two spans on the rows through the hole, one elsewhere.
    const std::vector<Ring> ring = {square(4, 4, 20, 20, 0.5f), square(8, 8, 12, 12, 0.5f)};
    const std::vector<int> rows = spanRowsOf(frame, ring);
    ASSERT_EQ(rows.size(), 16u + 4u);
    EXPECT_EQ(rows.front(), 4);
    EXPECT_EQ(rows.back(), 19);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 8), 2);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 12), 1);
}
