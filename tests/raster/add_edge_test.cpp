#include <gtest/gtest.h>

#include <limits>

#include "raster/add_edge.h"
#include "raster/span_setup.h"

namespace {

ScreenVertex vertex(float x, float y, float z, float w)
{
    ScreenVertex v;
    v.position = Vec4(x, y, z, w);
    return v;
}

}  // namespace

TEST(AddEdge, SetsTheEdgeUpAtItsFirstRow)
{
    EdgeTable table;
    table.resize(10);
    ScreenVertex upper = vertex(5, 4.5f, 0.6f, 4);
    upper.normal = Vec3(0, 1, 0);
    upper.s = 2;
    upper.t = 1;
    ScreenVertex lower = vertex(1, 0.5f, 0.2f, 2);
    lower.normal = Vec3(1, 0, 0);
    addEdge(upper, lower, 10, table);  // given upper first: the ends are ordered by y
    ASSERT_EQ(table.buckets[1].size(), 1u);
    EXPECT_EQ(table.lowestFilled, 1);
    EXPECT_EQ(table.highestFilled, 1);
    const Edge& e = table.buckets[1][0];
    EXPECT_EQ(e.firstRow, 1.0f);
    EXPECT_EQ(e.endRow, 5.0f);
    EXPECT_EQ(e.x, 1.5f);  // u = 0.5 / 4
    EXPECT_EQ(e.xStep, 1.0f);
    EXPECT_FLOAT_EQ(e.depth, 0.25f);
    EXPECT_FLOAT_EQ(e.depthStep, 0.1f);
    EXPECT_EQ(e.normal.x, 0.875f);
    EXPECT_EQ(e.normal.y, 0.125f);
    EXPECT_EQ(e.normalStep.y, 0.25f);
    // (s/w, t/w, 1/w): (0, 0, 0.5) below, (0.5, 0.25, 0.25) above.
    EXPECT_EQ(e.stOverW.x, 0.0625f);
    EXPECT_EQ(e.stOverW.z, 0.46875f);
    EXPECT_EQ(e.stOverWStep.z, -0.0625f);
    EXPECT_EQ(e.lower.position.y, 0.5f);
    EXPECT_FALSE(e.finished);
}

// The normal and (s/w, t/w, 1/w) are Vec3 values: their set-up rounds after the difference, the
// product or quotient, and the sum. x and depth are plain floats, carried in double and rounded
// once. The inputs are chosen where the two roundings part.
TEST(Interpolants, VectorsRoundEveryOperationAndScalarsRoundOnce)
{
    EdgeTable table;
    table.resize(10);
    ScreenVertex lower = vertex(0.1f, 1.5f, 0.1f, 1);
    ScreenVertex upper = vertex(0.8f, 2.5f, 0.8f, 1);
    lower.normal = Vec3(0.1f, 0, 0);
    upper.normal = Vec3(0.8f, 0, 0);
    lower.s = 0.1f;
    upper.s = 0.8f;
    addEdge(lower, upper, 10, table);  // u = 0.5
    ASSERT_EQ(table.buckets[2].size(), 1u);
    const Edge& halfway = table.buckets[2][0];
    EXPECT_EQ(halfway.x, 0.45000001788139343f);
    EXPECT_EQ(halfway.depth, 0.45000001788139343f);
    EXPECT_EQ(halfway.normal.x, 0.44999998807907104f);
    EXPECT_EQ(halfway.stOverW.x, 0.44999998807907104f);

    lower = vertex(0.7f, 1.5f, 0.7f, 1);
    upper = vertex(1.7f, 4.0f, 1.7f, 1);
    lower.normal = Vec3(0.7f, 0, 0);
    upper.normal = Vec3(1.7f, 0, 0);
    addEdge(lower, upper, 10, table);  // dy = 2.5
    ASSERT_EQ(table.buckets[2].size(), 2u);
    const Edge& steep = table.buckets[2][1];
    EXPECT_EQ(steep.xStep, 0.40000003576278687f);
    EXPECT_EQ(steep.depthStep, 0.40000003576278687f);
    EXPECT_EQ(steep.normalStep.x, 0.4000000059604645f);

    // Along a span the same: d = 2.5 from x = 0.5 to 3.
    Edge left, right;
    left.x = 0.5f;
    right.x = 3.0f;
    left.depth = left.normal.x = left.stOverW.z = 0.7f;
    right.depth = right.normal.x = right.stOverW.z = 1.7f;
    const SpanSetup span = setUpSpan(left, right, 10);
    EXPECT_EQ(span.depthStep, 0.40000003576278687f);
    EXPECT_EQ(span.normalStep.x, 0.4000000059604645f);
    EXPECT_EQ(span.stOverWStep.z, 0.4000000059604645f);
}

TEST(AddEdge, CutsToTheFrameRowsAndDropsWhatCannotBeDrawn)
{
    EdgeTable table;
    table.resize(10);
    addEdge(vertex(0, -4, 0, 1), vertex(8, 4, 0, 1), 10, table);  // from below the frame
    ASSERT_EQ(table.buckets[0].size(), 1u);
    EXPECT_EQ(table.buckets[0][0].x, 4.0f);
    addEdge(vertex(0, 6.5f, 0, 1), vertex(0, 30, 0, 1), 10, table);  // past the top
    ASSERT_EQ(table.buckets[7].size(), 1u);
    EXPECT_EQ(table.buckets[7][0].endRow, 10.0f);

    table.clear();
    EXPECT_TRUE(table.empty());
    EXPECT_TRUE(table.buckets[0].empty());
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    addEdge(vertex(0, 3, 0, 1), vertex(5, 3, 0, 1), 10, table);        // horizontal
    addEdge(vertex(0, 2.2f, 0, 1), vertex(5, 2.9f, 0, 1), 10, table);  // between two rows
    addEdge(vertex(0, 10, 0, 1), vertex(5, 15, 0, 1), 10, table);      // above
    addEdge(vertex(0, -5, 0, 1), vertex(5, 0, 0, 1), 10, table);       // below
    addEdge(vertex(nan, 1, 0, 1), vertex(5, 8, 0, 1), 10, table);
    addEdge(vertex(1, nan, 0, 1), vertex(5, 8, 0, 1), 10, table);
    addEdge(vertex(1, 1, 0, 1), vertex(5, inf, 0, 1), 10, table);
    addEdge(vertex(1, -inf, 0, 1), vertex(5, 8, 0, 1), 10, table);
    addEdge(vertex(1, 1, inf, 1), vertex(5, 8, 0, 1), 10, table);
    addEdge(vertex(1, 1, 0, nan), vertex(5, 8, 0, 1), 10, table);
    addEdge(vertex(-3e38f, 0.999f, 0, 1), vertex(3e38f, 1.001f, 0, 1), 10, table);  // x step overflows
    EXPECT_TRUE(table.empty());
    addEdge(vertex(1, 1, 0, 1), vertex(5, 8, 0, 1), 0, table);  // no rows at all
    addEdge(vertex(1, 1, 0, 1), vertex(5, 8, 0, 1), -3, table);
    EXPECT_TRUE(table.empty());
}

TEST(EdgeTable, OnlyGrowsAndClearsWhatWasFilled)
{
    EdgeTable table;
    table.resize(4);
    table.resize(2);
    EXPECT_EQ(table.rows, 4u);
    EXPECT_EQ(table.buckets.size(), 4u);
    Edge e;
    table.add(3, e);
    table.add(1, e);
    table.add(3, e);
    EXPECT_EQ(table.lowestFilled, 1);
    EXPECT_EQ(table.highestFilled, 3);
    table.clear();
    for (const auto& bucket : table.buckets) EXPECT_TRUE(bucket.empty());
    EXPECT_GE(table.buckets[3].capacity(), 2u);
    table.resize(6);
    EXPECT_EQ(table.rows, 6u);
    EXPECT_TRUE(table.empty());
}
