#include <gtest/gtest.h>

#include <limits>

#include "raster/near_plane_clip.h"
#include "raster/polygon_edges.h"
#include "raster/vertex_stage.h"
#include "support/recording_sink.h"

namespace {

VertexStage identityStage(int width, int height)
{
    return makeVertexStage(Mat4(), Mat4(), viewportTransform(width, height).current);
}

Vertex worldVertex(float x, float y, float z, float w = 1.0f)
{
    Vertex v;
    v.position = Vec4(x, y, z, w);
    return v;
}

// A closed ring in the scene builder's form: every vertex names the one before it.
Polygon ringPolygon(std::vector<Vertex> vertices)
{
    const auto n = static_cast<int32_t>(vertices.size());
    for (int32_t i = 0; i < n; ++i) vertices[static_cast<size_t>(i)].previous = (i == 0 ? n : i) - 1;
    return vertices;
}

// Runs the polygon through the vertex stage, edge set-up and sweep, as the frame driver does.
RecordingSink fillPolygon(const Polygon& polygon, const VertexStage& stage, int width, int height)
{
    TestRaster raster(width, height);
    PolygonScratch scratch;
    raster.edgeTable.resize(height);
    addPolygonEdges(polygon, stage, height, raster.edgeTable, scratch);
    scanPolygon(raster.edgeTable, raster.active, raster.depthBuffer, width, height, raster.sink);
    return raster.sink;
}

}  // namespace

TEST(VertexStage, ViewportMapsDeviceCoordinatesToWindowPixels)
{
    const Mat4 m = viewportTransform(5, 3).current;
    EXPECT_EQ(m(0, 0), 2.5f);
    EXPECT_EQ(m(0, 3), 2.5f);
    EXPECT_EQ(m(1, 1), 1.5f);
    EXPECT_EQ(m(1, 3), 1.5f);
    EXPECT_EQ(m(2, 2), 1.0f);
    EXPECT_EQ(m(2, 3), 0.0f);
    EXPECT_EQ(m(3, 3), 1.0f);
    EXPECT_EQ(m(0, 1), 0.0f);
}

TEST(VertexStage, OneRoundedReciprocalScalesAllFourComponents)
{
    // With w = 41, w·float(1/41) rounds to 0.99999994, not 1, and the viewport mapping sees it.
    Vertex v = worldVertex(0.3f, 5.0f, 7.0f, 41.0f);
    v.normal = Vec3(0, 0.6f, 0.8f);
    v.s = 0.25f;
    v.t = 0.75f;
    v.previous = 3;
    const ScreenVertex out = vertexStage(v, identityStage(480, 480));

    const float r = static_cast<float>(1.0 / 41.0);
    const float wr = static_cast<float>(41.0 * r);
    ASSERT_EQ(wr, 0.99999994f);
    const float x = static_cast<float>(0.3f * static_cast<double>(r));
    ASSERT_NE(x, static_cast<float>(0.3f / 41.0));  // multiplying differs from dividing here
    EXPECT_EQ(out.position.x, static_cast<float>(240.0 * x + 240.0 * wr));
    EXPECT_EQ(out.position.y, static_cast<float>(240.0 * static_cast<float>(5.0 * r) + 240.0 * wr));
    EXPECT_EQ(out.position.z, static_cast<float>(7.0 * r));
    EXPECT_EQ(out.position.w, 41.0f);
    EXPECT_EQ(out.normal.y, 0.6f);
    EXPECT_EQ(out.s, 0.25f);
    EXPECT_EQ(out.t, 0.75f);
    EXPECT_EQ(out.previous, 3);
}

TEST(VertexStage, AppliesViewThenProjection)
{
    // The view moves the point 3 units away; the projection puts −z into w.
    Mat4 view;
    view(2, 3) = -3.0f;
    const Mat4 projection({2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {0, 0, -1, 0});
    const VertexStage stage = makeVertexStage(view, projection, viewportTransform(100, 50).current);
    const ScreenVertex out = vertexStage(worldVertex(0.75f, -0.75f, 1.0f), stage);
    EXPECT_EQ(out.position.w, 2.0f);
    EXPECT_EQ(out.position.x, 87.5f);  // 2·0.75 / 2 = 0.75 → 50·0.75 + 50
    EXPECT_EQ(out.position.y, 6.25f);  // −0.75 → 25·(−0.75) + 25
    EXPECT_EQ(out.position.z, -1.0f);
}

TEST(NearPlaneClip, CutsARingInClipSpaceAndKeepsItClosed)
{
    // Identity matrices: clip space is world space, with w = 1, so the plane is z = −1.
    std::vector<ClipVertex> ring = {worldVertex(-0.5f, -0.5f, 0.5f), worldVertex(0.5f, -0.5f, 0.5f),
                                    worldVertex(0.5f, 0.5f, -3.5f), worldVertex(-0.5f, 0.5f, -3.5f)};
    ring[0].s = 0;
    ring[3].s = 1;
    ring[0].normal = Vec3(0, 0, 1);
    ring[3].normal = Vec3(1, 0, 0);
    std::vector<ClipVertex> out;
    clipRingToNearPlane(ring.data(), ring.size(), out);
    ASSERT_EQ(out.size(), 4u);
    // Vertex 0 is entered from the cut closing edge, then 0, 1, then the cut edge 1–2.
    EXPECT_EQ(out[0].position.z, -1.0f);
    EXPECT_EQ(out[0].position.y, -0.125f);  // 1.5 of 4 units down the edge
    EXPECT_EQ(out[0].position.x, -0.5f);
    EXPECT_EQ(out[0].s, 0.375f);
    EXPECT_EQ(out[0].normal.x, 0.375f);
    EXPECT_EQ(out[0].normal.z, 0.625f);
    EXPECT_EQ(out[1].position.y, -0.5f);
    EXPECT_EQ(out[2].position.x, 0.5f);
    EXPECT_EQ(out[3].position.z, -1.0f);
    EXPECT_EQ(out[3].position.x, 0.5f);
    EXPECT_EQ(out[0].previous, 3);
    EXPECT_EQ(out[1].previous, 0);
    EXPECT_EQ(out[3].previous, 2);

    // Wholly in front: unchanged, bit for bit. Wholly behind: nothing.
    std::vector<ClipVertex> front = {worldVertex(0.1f, 0.2f, 0.3f), worldVertex(0.7f, 0.2f, -1.0f),
                                     worldVertex(0.3f, 0.9f, 0.9f)};
    clipRingToNearPlane(front.data(), front.size(), out);
    ASSERT_EQ(out.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(out[k].position.x, front[k].position.x);
        EXPECT_EQ(out[k].position.z, front[k].position.z);
    }
    std::vector<ClipVertex> behind = {worldVertex(0, 0, -1.5f), worldVertex(1, 0, -2), worldVertex(0, 1, -1.01f)};
    clipRingToNearPlane(behind.data(), behind.size(), out);
    EXPECT_TRUE(out.empty());
}

TEST(NearPlaneClip, APolygonIsDrawnOnlyInFrontOfTheNearPlane)
{
    // The quad above on a 20 × 20 frame: cut at y = −0.125, window row 8.75, so rows 5 to 8 only
    // (uncut it would reach row 14 with depths down to −3).
    const Polygon quad = ringPolygon({worldVertex(-0.5f, -0.5f, 0.5f), worldVertex(0.5f, -0.5f, 0.5f),
                                      worldVertex(0.5f, 0.5f, -3.5f), worldVertex(-0.5f, 0.5f, -3.5f)});
    const RecordingSink cut = fillPolygon(quad, identityStage(20, 20), 20, 20);
    EXPECT_EQ(cut.pixels(), pixelRect(5, 14, 5, 8));
    for (const Fragment& f : cut.fragments) EXPECT_GE(f.depth, -1.0f);

    // A quad wholly in front gives the same edges as without any cutting.
    const Polygon front = ringPolygon({worldVertex(-0.53f, -0.41f, 0.5f), worldVertex(0.47f, -0.5f, 0.2f),
                                       worldVertex(0.51f, 0.63f, -0.7f), worldVertex(-0.45f, 0.5f, -0.9f)});
    const VertexStage stage = identityStage(20, 20);
    EdgeTable cutTable, plainTable;
    cutTable.resize(20);
    plainTable.resize(20);
    PolygonScratch scratch;
    addPolygonEdges(front, stage, 20, cutTable, scratch);
    for (size_t k = 0; k < front.size(); ++k)
        addEdge(vertexStage(front[k], stage), vertexStage(front[static_cast<size_t>(front[k].previous)], stage), 20,
                plainTable);
    for (size_t r = 0; r < 20; ++r) {
        ASSERT_EQ(cutTable.buckets[r].size(), plainTable.buckets[r].size());
        for (size_t i = 0; i < cutTable.buckets[r].size(); ++i) {
            EXPECT_EQ(cutTable.buckets[r][i].x, plainTable.buckets[r][i].x);
            EXPECT_EQ(cutTable.buckets[r][i].depth, plainTable.buckets[r][i].depth);
            EXPECT_EQ(cutTable.buckets[r][i].endRow, plainTable.buckets[r][i].endRow);
        }
    }
}

TEST(NearPlaneClip, NothingBehindTheEyeIsMirroredIntoThePicture)
{
    MatrixStack projection;
    projection.perspective(0.4f, 0.4f, 0.1f, 100.0f);
    const VertexStage stage = makeVertexStage(Mat4(), projection.current, viewportTransform(40, 40).current);

    // Wholly behind the eye (z > 0 in view space): divided by a negative w it would land in the frame.
    const Polygon behind = ringPolygon({worldVertex(-0.2f, -0.2f, 2), worldVertex(0.2f, -0.2f, 2),
                                        worldVertex(0.2f, 0.2f, 2), worldVertex(-0.2f, 0.2f, 2)});
    ASSERT_GT(fillPolygon(ringPolygon({worldVertex(-0.2f, -0.2f, -2), worldVertex(0.2f, -0.2f, -2),
                                       worldVertex(0.2f, 0.2f, -2), worldVertex(-0.2f, 0.2f, -2)}),
                          stage, 40, 40)
                  .fragments.size(),
              0u);
    EXPECT_TRUE(fillPolygon(behind, stage, 40, 40).fragments.empty());

    // A floor from 5 units ahead to 5 behind: below its horizon at z = −5 (window row 15) it
    // widens to the full frame by row 10; above it, where the mirrored half would fall, is nothing.
    const Polygon floor = ringPolygon({worldVertex(-1, -0.5f, -5), worldVertex(1, -0.5f, -5),
                                       worldVertex(1, -0.5f, 5), worldVertex(-1, -0.5f, 5)});
    const RecordingSink sink = fillPolygon(floor, stage, 40, 40);
    const PixelSet pixels = sink.pixels();
    for (const Pixel& p : pixelRect(0, 39, 0, 10)) EXPECT_EQ(pixels.count(p), 1u);
    for (const Fragment& f : sink.fragments) {
        EXPECT_LT(f.y, 15.0f);
        EXPECT_GE(f.depth, -1.0f - 1e-6f);
        EXPECT_LE(f.depth, 1.0f);
    }
}

TEST(PolygonEdges, BadRingLinksAndNonFiniteVerticesAddNoEdge)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const VertexStage stage = identityStage(20, 20);
    EdgeTable table;
    table.resize(20);
    PolygonScratch scratch;
    // A link to a vertex that does not exist is skipped; the rest still forms edges.
    Polygon broken = ringPolygon({worldVertex(-0.5f, -0.5f, 0), worldVertex(0.5f, -0.5f, 0), worldVertex(0, 0.5f, 0)});
    broken[1].previous = 99;
    broken[2].previous = -7;
    addPolygonEdges(broken, stage, 20, table, scratch);
    size_t edges = 0;
    for (const auto& bucket : table.buckets) edges += bucket.size();
    EXPECT_EQ(edges, 1u);  // only 0 → 2; the links of 1 and 2 are broken

    // A vertex at NaN takes its two edges with it, and w = 0 (an infinite divide) as well.
    table.clear();
    addPolygonEdges(ringPolygon({worldVertex(-0.5f, -0.5f, 0), worldVertex(nan, -0.5f, 0), worldVertex(0, 0.5f, 0)}),
                    stage, 20, table, scratch);
    edges = 0;
    for (const auto& bucket : table.buckets) edges += bucket.size();
    EXPECT_EQ(edges, 1u);
    table.clear();
    addPolygonEdges(ringPolygon({worldVertex(-0.5f, -0.5f, 0), worldVertex(0.5f, -0.5f, 0, 0), worldVertex(0, 0.5f, 0)}),
                    stage, 20, table, scratch);
    edges = 0;
    for (const auto& bucket : table.buckets) edges += bucket.size();
    EXPECT_EQ(edges, 1u);
}
