#include <gtest/gtest.h>

#include <random>

#include "raster/lanes/gathered_fragments.h"
#include "raster/shade_fragment.h"
#include "support/recording_sink.h"

namespace {

// Random triangles over a depth buffer that already holds random depths (some equal to the
// triangles' own), so that hidden, visible and tied pixels alternate along the spans.
struct Gathering {
    static constexpr int kWidth = 61;
    static constexpr int kHeight = 47;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    ActiveEdgeList active;

    void fill(const Ring& ring)
    {
        edgeTable.resize(kHeight);
        edgeTable.clear();
        active.clear();
        for (size_t k = 0; k < ring.size(); ++k)
            addEdge(ring[k], ring[k == 0 ? ring.size() - 1 : k - 1], kHeight, edgeTable);
    }
};

}  // namespace

TEST(GatheredFragments, KeepsExactlyThePixelsTheSpanWalkEmitsAndGrowsWithoutLosingAny)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> x(-10, 70), y(-10, 55), depth(0, 1);
    for (int trial = 0; trial < 200; ++trial) {
        // Every other triangle is flat at one of the buffer's own depths: every pixel a tie.
        const float flat = 0.25f * static_cast<float>(1 + trial % 3);
        auto z = [&] { return trial % 2 == 0 ? flat : depth(random); };
        const Ring ring{screenVertex(x(random), y(random), z()), screenVertex(x(random), y(random), z()),
                        screenVertex(x(random), y(random), z())};
        Gathering walked, gathered;
        for (Gathering* g : {&walked, &gathered}) g->depthBuffer.resize(Gathering::kWidth, Gathering::kHeight);
        std::uniform_int_distribution<int> levels(0, 4);
        for (int i = 0; i < Gathering::kWidth * Gathering::kHeight; ++i) {
            // A few depths only, so that equal depths (which must fail) turn up often.
            const float d = 0.25f * static_cast<float>(levels(random));
            walked.depthBuffer.data[i] = gathered.depthBuffer.data[i] = d;
        }

        walked.fill(ring);
        RecordingSink sink;
        scanPolygon(walked.edgeTable, walked.active, walked.depthBuffer, Gathering::kWidth, Gathering::kHeight, sink);

        // No room reserved up front: every span makes it grow, and what was gathered must survive.
        gathered.fill(ring);
        GatheredFragments fragments;
        fragments.setFrameSize(Gathering::kWidth, Gathering::kHeight);
        sweepPolygon(gathered.edgeTable, gathered.active, Gathering::kHeight,
                     [&](Edge& left, Edge& right, int row) {
                         fragments.addSpan(left, right, row, Gathering::kWidth, gathered.depthBuffer);
                     });

        ASSERT_EQ(fragments.count, sink.fragments.size()) << "trial " << trial;
        EXPECT_EQ(static_cast<int>(fragments.spans.size()), sink.spans) << "trial " << trial;
        // The pixel's span and coordinates come with its interpolants.
        fragments.stepInterpolants(trial % 4 < 2);
        for (size_t i = 0; i < fragments.count; ++i) {
            const Fragment& f = sink.fragments[i];
            EXPECT_EQ(static_cast<float>(fragments.column[i]), f.x) << "trial " << trial;
            EXPECT_EQ(fragments.depth[i], f.depth) << "trial " << trial;
            EXPECT_EQ(fragments.ndcX[i], normalizedDeviceCoordinate(f.x, Gathering::kWidth));
            EXPECT_EQ(fragments.ndcY[i], normalizedDeviceCoordinate(f.y, Gathering::kHeight));
            ASSERT_LT(fragments.span[i], fragments.keptSpans.size());
            const KeptSpan& kept = fragments.keptSpans[fragments.span[i]];
            EXPECT_EQ(static_cast<float>(kept.row), f.y);
            EXPECT_TRUE(i >= kept.firstFragment && i < kept.firstFragment + kept.fragmentCount) << "trial " << trial;
        }
        for (int i = 0; i < Gathering::kWidth * Gathering::kHeight; ++i)
            ASSERT_EQ(gathered.depthBuffer.data[i], walked.depthBuffer.data[i]) << "trial " << trial << " cell " << i;
    }
}

// A hidden polygon's spans go as one entry and come out as that many empty spans; a count
// beyond one entry's is split, not cut short.
TEST(GatheredFragments, HiddenSpansComeOutAsEmptySpans)
{
    struct MarkerSink {
        int begun = 0, ended = 0, points = 0;
        void beginSpan() { ++begun; }
        void endSpan() { ++ended; }
        void point(float, float, float, const Color&) { ++points; }
    } sink;
    GatheredFragments fragments;
    fragments.setFrameSize(8, 8);
    fragments.addHiddenSpans(3, 5);
    emitPoints(fragments, sink);
    EXPECT_EQ(sink.begun, 5);
    EXPECT_EQ(sink.ended, 5);
    EXPECT_EQ(sink.points, 0);

    // More spans than one entry counts need a size_t wider than 32 bits (not WebAssembly's).
#if SIZE_MAX > UINT32_MAX
    fragments.clear();
    const size_t many = size_t{UINT32_MAX} + 2u;
    fragments.addHiddenSpans(0, many);
    size_t total = 0;
    for (const GatheredSpan& s : fragments.spans) total += s.spanCount;
    EXPECT_EQ(total, many);
    EXPECT_EQ(fragments.spans.size(), 2u);
#endif
}
