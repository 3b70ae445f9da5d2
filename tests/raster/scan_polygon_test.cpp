#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "support/recording_sink.h"

namespace {

Ring square(float x0, float y0, float x1, float y1, float depth = 0.5f)
{
    return {screenVertex(x0, y0, depth), screenVertex(x1, y0, depth), screenVertex(x1, y1, depth),
            screenVertex(x0, y1, depth)};
}

// depth = 0.3 + 0.01·x + 0.02·y, so the expected depth of every pixel is known.
float planeDepth(float x, float y) { return 0.3f + 0.01f * x + 0.02f * y; }

Ring planeSquare(float x0, float y0, float x1, float y1)
{
    return {screenVertex(x0, y0, planeDepth(x0, y0)), screenVertex(x1, y0, planeDepth(x1, y0)),
            screenVertex(x1, y1, planeDepth(x1, y1)), screenVertex(x0, y1, planeDepth(x0, y1))};
}

void expectEachPixelOnce(const RecordingSink& sink)
{
    for (const auto& entry : sink.timesEmitted)
        EXPECT_EQ(entry.second, 1) << "pixel (" << entry.first.first << ", " << entry.first.second << ")";
}

}  // namespace

TEST(ScanPolygon, FillsWholeCoordinateSamplesLeftAndLowerInclusive)
{
    TestRaster square16(10, 10);
    square16.fill({square(2, 1, 6, 5)});
    EXPECT_EQ(square16.sink.pixels(), pixelRect(2, 5, 1, 4));
    expectEachPixelOnce(square16.sink);

    // The horizontal edge is dropped; row 4 still gets its (empty) span from 1 to 1.0.
    TestRaster triangle(10, 10);
    triangle.fill({{screenVertex(0.5f, 0.5f), screenVertex(4.5f, 0.5f), screenVertex(0.5f, 4.5f)}});
    const PixelSet six = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {1, 3}};
    EXPECT_EQ(triangle.sink.pixels(), six);
    EXPECT_EQ(triangle.sink.spans, 4);
}

TEST(ScanPolygon, SpansOnlyOnRowsWithActiveEdges)
{
    // One polygon of two disjoint squares: the rows between them open no span.
    TestRaster raster(12, 12);
    raster.fill({square(1, 1, 4, 3), square(1, 7, 4, 9)});
    EXPECT_EQ(raster.sink.spans, 4);
    PixelSet expected = pixelRect(1, 3, 1, 2);
    const PixelSet upper = pixelRect(1, 3, 7, 8);
    expected.insert(upper.begin(), upper.end());
    EXPECT_EQ(raster.sink.pixels(), expected);

    // No edges at all: nothing, not even a span.
    TestRaster empty(12, 12);
    empty.fill({});
    EXPECT_EQ(empty.sink.spans, 0);
}

TEST(ScanPolygon, SharedEdgesAreCoveredExactlyOnce)
{
    // Each polygon starts on a fresh depth buffer, so a pixel drawn twice is seen twice.
    auto coverage = [](int w, int h, const std::vector<Ring>& polygons, RecordingSink& sink) {
        TestRaster raster(w, h);
        for (const Ring& ring : polygons) {
            raster.depthBuffer.clear(1.0f);
            raster.fill({ring});
        }
        sink = raster.sink;
    };

    // Side by side and stacked squares on whole coordinates.
    RecordingSink squares;
    coverage(12, 12, {square(2, 1, 6, 5), square(6, 1, 9, 5), square(2, 5, 6, 8)}, squares);
    expectEachPixelOnce(squares);
    PixelSet expected = pixelRect(2, 8, 1, 4);
    const PixelSet top = pixelRect(2, 5, 5, 7);
    expected.insert(top.begin(), top.end());
    EXPECT_EQ(squares.pixels(), expected);

    // A quad on fractional coordinates, cut along a diagonal: the halves fill exactly the quad.
    const ScreenVertex a = screenVertex(1.3f, 0.7f), b = screenVertex(9.6f, 2.2f), c = screenVertex(8.1f, 9.4f),
                       d = screenVertex(0.2f, 7.9f);
    RecordingSink halves;
    coverage(12, 12, {{a, b, c}, {a, c, d}}, halves);
    expectEachPixelOnce(halves);
    TestRaster whole(12, 12);
    whole.fill({{a, b, c, d}});
    EXPECT_EQ(halves.pixels(), whole.sink.pixels());
    EXPECT_GT(whole.sink.pixels().size(), 40u);
}

TEST(ScanPolygon, TriangleFanCoversEveryPixelOnce)
{
    // Twelve triangles around a centre that sits exactly on a pixel sample, outer points at odd
    // fractions so that edges pass close to samples.
    const ScreenVertex centre = screenVertex(10, 10);
    std::vector<ScreenVertex> outer;
    for (int i = 0; i < 12; ++i) {
        const double angle = i * 6.28318 / 12 + 0.1;
        const double radius = 7.0 + 0.37 * (i % 3);
        outer.push_back(screenVertex(static_cast<float>(10 + radius * std::cos(angle)),
                                     static_cast<float>(10 + radius * std::sin(angle))));
    }
    TestRaster fan(21, 21);
    for (size_t i = 0; i < outer.size(); ++i) {
        fan.depthBuffer.clear(1.0f);
        fan.fill({{centre, outer[i], outer[(i + 1) % outer.size()]}});
    }
    expectEachPixelOnce(fan.sink);
    TestRaster outline(21, 21);
    outline.fill({outer});
    EXPECT_EQ(fan.sink.pixels(), outline.sink.pixels());
    EXPECT_EQ(fan.sink.timesEmitted.count({10, 10}), 1u);
}

TEST(ScanPolygon, FrameBordersCutSpansWithInterpolantsAdvanced)
{
    // Below and left of the frame: spans start at row 0 and column 0 with the depth of the plane there.
    TestRaster lowerLeft(10, 10);
    lowerLeft.fill({planeSquare(-3.5f, -2.5f, 4.5f, 5.5f)});
    EXPECT_EQ(lowerLeft.sink.pixels(), pixelRect(0, 4, 0, 5));
    for (const Fragment& f : lowerLeft.sink.fragments) EXPECT_NEAR(f.depth, planeDepth(f.x, f.y), 1e-6f);
    ASSERT_NE(lowerLeft.sink.at(0, 0), nullptr);
    EXPECT_NEAR(lowerLeft.sink.at(0, 0)->depth, 0.3f, 1e-6f);
    EXPECT_EQ(lowerLeft.sink.at(0, 0)->spanStart, 0.0f);
    EXPECT_EQ(lowerLeft.sink.at(0, 0)->spanLength, 4.5f);

    // Above and right: up to row height − 1 and column width − 1, the span cut at the frame width.
    TestRaster upperRight(10, 10);
    upperRight.fill({planeSquare(5.5f, 4.5f, 13.5f, 12.5f)});
    EXPECT_EQ(upperRight.sink.pixels(), pixelRect(6, 9, 5, 9));
    for (const Fragment& f : upperRight.sink.fragments) EXPECT_NEAR(f.depth, planeDepth(f.x, f.y), 1e-6f);
    EXPECT_EQ(upperRight.sink.at(9, 9)->spanLength, 4.0f);

    // Wholly outside on either side: no pixel.
    TestRaster outside(10, 10);
    outside.fill({square(-8, 2, -1, 6), square(10.5f, 2, 14, 6), square(2, 10, 6, 14), square(2, -6, 6, 0)});
    EXPECT_TRUE(outside.sink.fragments.empty());
}

TEST(ScanPolygon, StOverWAndNormalAreInterpolatedAcrossTheSpan)
{
    // 1/w runs from 1 on the left to 0.5 on the right; the normal turns from x to y and is
    // renormalised after every step but not at the span's first pixel.
    Ring ring = {screenVertex(0, 0, 0.5f, 1), screenVertex(4, 0, 0.5f, 2), screenVertex(4, 2, 0.5f, 2),
                 screenVertex(0, 2, 0.5f, 1)};
    ring[0].normal = ring[3].normal = Vec3(1, 0, 0);
    ring[1].normal = ring[2].normal = Vec3(0, 1, 0);
    ring[1].s = ring[2].s = 2.0f;
    TestRaster raster(8, 8);
    raster.fill({ring});
    const Fragment* first = raster.sink.at(0, 1);
    const Fragment* second = raster.sink.at(1, 1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->stOverW.z, 1.0f);
    EXPECT_EQ(first->stOverWStepX.z, -0.125f);
    EXPECT_EQ(second->stOverW.z, 0.875f);
    EXPECT_EQ(second->stOverW.x, 0.25f);  // s/w from 0 to 2/2 = 1 over 4 columns
    EXPECT_EQ(first->normal.x, 1.0f);
    EXPECT_NEAR(second->normal.length(), 1.0f, 1e-6f);
    EXPECT_NEAR(second->normal.x / second->normal.y, 3.0f, 1e-5f);

    // Up an edge the normal is renormalised after every row step, so the first pixel of the
    // next row gets a unit normal too.
    Ring turning = {screenVertex(0, 0), screenVertex(2, 0), screenVertex(2, 2), screenVertex(0, 2)};
    turning[0].normal = turning[1].normal = Vec3(1, 0, 0);
    turning[2].normal = turning[3].normal = Vec3(0, 1, 0);
    TestRaster rows(4, 4);
    rows.fill({turning});
    ASSERT_NE(rows.sink.at(0, 1), nullptr);
    EXPECT_NEAR(rows.sink.at(0, 1)->normal.length(), 1.0f, 1e-6f);
    EXPECT_EQ(rows.sink.at(0, 1)->normal.x, rows.sink.at(0, 1)->normal.y);
}

TEST(ScanPolygon, RingInsideRingLeavesAHole)
{
    TestRaster raster(12, 12);
    raster.fill({square(1, 1, 9, 9), square(3, 3, 7, 7)});
    PixelSet expected = pixelRect(1, 8, 1, 8);
    for (const Pixel& p : pixelRect(3, 6, 3, 6)) expected.erase(p);
    EXPECT_EQ(raster.sink.pixels(), expected);
}

TEST(ScanPolygon, StrictDepthTestAgainstTheClearedBuffer)
{
    // Equal depth: the polygon drawn first keeps the overlap.
    TestRaster raster(12, 12);
    raster.fill({square(1, 1, 6, 6, 0.25f)});
    raster.sink.reset();
    raster.fill({square(4, 4, 9, 9, 0.25f)});
    PixelSet secondOnly = pixelRect(4, 8, 4, 8);
    for (const Pixel& p : pixelRect(4, 5, 4, 5)) secondOnly.erase(p);
    EXPECT_EQ(raster.sink.pixels(), secondOnly);
    // Nearer wins and stores its depth.
    raster.sink.reset();
    raster.fill({square(4, 4, 9, 9, 0.125f)});
    EXPECT_EQ(raster.sink.pixels(), pixelRect(4, 8, 4, 8));
    EXPECT_EQ(raster.depthBuffer.data[5 * 12 + 4], 0.125f);

    // The buffer is cleared to 1.0: depth 1 (and beyond) never draws, just below it does.
    TestRaster far(12, 12);
    far.fill({square(1, 1, 6, 6, 1.0f)});
    far.fill({square(1, 1, 6, 6, 1.5f)});
    EXPECT_TRUE(far.sink.fragments.empty());
    far.fill({square(1, 1, 6, 6, std::nextafter(1.0f, 0.0f))});
    EXPECT_EQ(far.sink.pixels().size(), 25u);
}

TEST(ScanPolygon, ShrunkWindowAddressesRowsWithTheCurrentWidth)
{
    DepthBuffer depth;
    depth.resize(480, 480);
    depth.resize(640, 600);
    depth.clear(2.0f);
    depth.resize(480, 480);
    EXPECT_EQ(depth.capacity, 640u * 600u);
    EXPECT_EQ(depth.width, 480);
    // Clears the 480 x 480 frame's cells only; the rest keeps the larger frame's 2.
    depth.clear(1.0f);

    TestRaster raster(480, 480);
    raster.depthBuffer = std::move(depth);
    raster.fill({square(470, 470, 480, 480, 0.5f)});
    EXPECT_EQ(raster.sink.pixels(), pixelRect(470, 479, 470, 479));
    EXPECT_EQ(raster.depthBuffer.data[479 * 480 + 479], 0.5f);
    EXPECT_EQ(raster.depthBuffer.data[470 * 480 + 470], 0.5f);
    EXPECT_EQ(raster.depthBuffer.data[470 * 480 + 469], 1.0f);
    EXPECT_EQ(raster.depthBuffer.data[479 * 640 + 479], 2.0f);  // where the old stride would put it
}

TEST(ScanPolygon, NormalInterpolatedThroughZeroStaysZero)
{
    // Along a span: opposite normals two columns apart give a zero normal in the middle.
    Ring ring = {screenVertex(0, 0), screenVertex(2, 0), screenVertex(2, 1), screenVertex(0, 1)};
    ring[0].normal = ring[3].normal = Vec3(1, 0, 0);
    ring[1].normal = ring[2].normal = Vec3(-1, 0, 0);
    TestRaster span(4, 4);
    ASSERT_NO_THROW(span.fill({ring}));
    ASSERT_NE(span.sink.at(1, 0), nullptr);
    EXPECT_EQ(span.sink.at(1, 0)->normal.length(), 0.0f);

    // Along an edge: the normal reaches zero at row 1 and turns to −z after it.
    Ring tall = {screenVertex(0, 0), screenVertex(2, 0), screenVertex(2, 2), screenVertex(0, 2)};
    tall[0].normal = tall[1].normal = Vec3(0, 0, 1);
    tall[2].normal = tall[3].normal = Vec3(0, 0, -1);
    TestRaster edge(4, 4);
    ASSERT_NO_THROW(edge.fill({tall}));
    EXPECT_EQ(edge.sink.at(0, 1)->normal.length(), 0.0f);
    EXPECT_EQ(edge.sink.at(0, 0)->normal.z, 1.0f);
}

TEST(ScanPolygon, RandomAndNonFiniteInputStaysInsideTheFrame)
{
    // Any input, however wild, emits each pixel at most once per polygon and only inside the frame.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float wild[] = {nan, inf, -inf, 1e30f, -1e30f, 3e38f, -3e38f, 1e-30f};
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> coordinate(-20.0f, 45.0f);
    std::uniform_int_distribution<int> pick(0, 19);
    for (int polygon = 0; polygon < 400; ++polygon) {
        const int width = 1 + polygon % 31;
        const int height = 1 + polygon % 23;
        TestRaster raster(width, height);
        Ring ring;
        const int n = 3 + polygon % 6;
        for (int k = 0; k < n; ++k) {
            ScreenVertex v = screenVertex(coordinate(random), coordinate(random), coordinate(random) / 50.0f,
                                          0.5f + coordinate(random) / 50.0f);
            if (pick(random) == 0) v.position.x = wild[pick(random) % 8];
            if (pick(random) == 0) v.position.y = wild[pick(random) % 8];
            if (pick(random) == 0) v.position.w = wild[pick(random) % 8];
            ring.push_back(v);
        }
        raster.fill({ring});
        EXPECT_LE(raster.sink.fragments.size(), static_cast<size_t>(width * height));
        for (const auto& entry : raster.sink.timesEmitted) {
            EXPECT_EQ(entry.second, 1);
            EXPECT_GE(entry.first.first, 0);
            EXPECT_LT(entry.first.first, width);
            EXPECT_GE(entry.first.second, 0);
            EXPECT_LT(entry.first.second, height);
        }
    }
}

TEST(ScanPolygon, EmptyOrNegativeFrameDrawsNothing)
{
    for (const auto& size : {std::make_pair(0, 10), std::make_pair(10, 0), std::make_pair(-4, 10),
                             std::make_pair(10, -4), std::make_pair(-3, -3)}) {
        TestRaster raster(size.first, size.second);
        raster.fill({square(-5, -5, 20, 20)});
        EXPECT_TRUE(raster.sink.fragments.empty());
        // No row at all opens no span; a zero width still walks its (empty) spans.
        if (size.second <= 0) {
            EXPECT_EQ(raster.sink.spans, 0);
        }
    }
}

namespace {

// The span walk written the plain way: every interpolant stepped at every pixel, visible or not.
std::vector<Fragment> plainSpan(const Edge& left, const Edge& right, int row, int width, DepthBuffer& depthBuffer)
{
    std::vector<Fragment> out;
    float xs = std::ceil(left.x);
    if (xs < 0) xs = 0;
    float xe = right.x;
    if (xe > static_cast<float>(width)) xe = static_cast<float>(width);
    const float dx0 = xs - left.x;
    const float d = right.x - left.x;
    const float depthStepX = static_cast<float>((static_cast<double>(right.depth) - left.depth) / d);
    float depth = static_cast<float>(left.depth + static_cast<double>(depthStepX) * dx0);
    // Vec3 operations, each rounding: the difference, the quotient, the product and the sum.
    const Vec3 normalStepX = (right.normal - left.normal) / d;
    Vec3 normal = left.normal + dx0 * normalStepX;
    const Vec3 stStepX = (right.stOverW - left.stOverW) / d;
    Vec3 st = left.stOverW + dx0 * stStepX;
    for (float x = xs; x < xe; x += 1.0f) {
        if (depthBuffer.testAndSet(depth, static_cast<int>(x), row)) {
            Fragment f;
            f.x = x;
            f.depth = depth;
            f.normal = normal;
            f.stOverW = st;
            out.push_back(f);
        }
        depth += depthStepX;
        normal += normalStepX;
        if (normal.length() != 0.0f) normal.normalize();
        st += stStepX;
    }
    return out;
}

}  // namespace

TEST(ScanPolygon, SpanWalkMatchesThePlainWalkBitForBit)
{
    // Random spans over a depth buffer holding random depths, so that visible and hidden pixels
    // alternate, end spans, or fill them.
    std::mt19937 random(99);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    constexpr int width = 50;
    for (int trial = 0; trial < 500; ++trial) {
        Edge left, right;
        left.x = -5.0f + 30.0f * unit(random);
        right.x = left.x + 40.0f * unit(random);
        left.depth = unit(random);
        right.depth = unit(random);
        left.normal = Vec3(unit(random) - 0.5f, unit(random) - 0.5f, unit(random));
        right.normal = Vec3(unit(random) - 0.5f, unit(random) - 0.5f, -unit(random));
        left.stOverW = Vec3(unit(random), unit(random), unit(random));
        right.stOverW = Vec3(unit(random), unit(random), unit(random));
        DepthBuffer walked, plain;
        walked.resize(width, 1);
        plain.resize(width, 1);
        for (int c = 0; c < width; ++c) walked.data[c] = plain.data[c] = trial % 4 == 0 ? 1.0f : unit(random);

        RecordingSink sink;
        scanSpan(left, right, 0, width, walked, sink);
        const std::vector<Fragment> expected = plainSpan(left, right, 0, width, plain);
        ASSERT_EQ(sink.fragments.size(), expected.size()) << "trial " << trial;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(sink.fragments[i].x, expected[i].x);
            EXPECT_EQ(sink.fragments[i].depth, expected[i].depth);
            EXPECT_EQ(sink.fragments[i].normal.x, expected[i].normal.x);
            EXPECT_EQ(sink.fragments[i].normal.y, expected[i].normal.y);
            EXPECT_EQ(sink.fragments[i].normal.z, expected[i].normal.z);
            EXPECT_EQ(sink.fragments[i].stOverW.x, expected[i].stOverW.x);
            EXPECT_EQ(sink.fragments[i].stOverW.z, expected[i].stOverW.z);
        }
        for (int c = 0; c < width; ++c) EXPECT_EQ(walked.data[c], plain.data[c]);
    }
}
