#include <gtest/gtest.h>

#include "fixed_function/polygon_fans.h"

namespace {

// A square outline with, when asked, a triangular hole, as one polygon.
void addSquare(Scene& scene, float z, bool withHole)
{
    scene.beginPolygon();
    scene.setNormal(0, 0, 1);
    scene.addVertex(0, 0, z);
    scene.setNormal(0, 1, 0);
    scene.addVertex(1, 0, z);
    scene.addVertex(1, 1, z);
    scene.addVertex(0, 1, z);
    if (!withHole) return;
    scene.beginContour();
    scene.setNormal(1, 0, 0);
    scene.addVertex(0.25f, 0.25f, z);
    scene.addVertex(0.75f, 0.25f, z);
    scene.addVertex(0.5f, 0.75f, z);
}

float x(const FanVertex& v) { return v.position[0]; }
float y(const FanVertex& v) { return v.position[1]; }

}  // namespace

TEST(PolygonFans, EachContourIsAFanFromItsFirstVertexAndFlatShadingLightsFromIt)
{
    for (bool flat : {false, true}) {
        Scene scene;
        scene.flatShading = flat;
        scene.beginPrimitive();
        addSquare(scene, 0, true);
        const FanTriangles fans = polygonFans(scene);
        // Outline: (0,1,2) (0,2,3); hole: one triangle.
        ASSERT_EQ(fans.vertices.size(), 9u);
        const float expectedX[9] = {0, 1, 1, 0, 1, 0, 0.25f, 0.75f, 0.5f};
        const float expectedY[9] = {0, 0, 1, 0, 1, 1, 0.25f, 0.25f, 0.75f};
        for (size_t i = 0; i < 9; ++i) {
            EXPECT_FLOAT_EQ(x(fans.vertices[i]), expectedX[i]) << i;
            EXPECT_FLOAT_EQ(y(fans.vertices[i]), expectedY[i]) << i;
        }
        // The outline's second triangle ends on vertex 3, whose normal is (0,1,0); flat, every
        // vertex of the outline is lit from vertex 0 and every vertex of the hole from its own first.
        const FanVertex& last = fans.vertices[5];
        EXPECT_FLOAT_EQ(last.normal[1], 1.0f);
        EXPECT_FLOAT_EQ(last.litNormal[1], flat ? 0.0f : 1.0f);
        EXPECT_FLOAT_EQ(last.litPosition[1], flat ? 0.0f : 1.0f);
        EXPECT_FLOAT_EQ(fans.vertices[7].litPosition[0], flat ? 0.25f : 0.75f);
        EXPECT_FLOAT_EQ(fans.vertices[8].litNormal[0], 1.0f);
    }
}

TEST(PolygonFans, AHoleLeavesTheRestOfItsPrimitiveBlackAndTheNextPrimitiveResets)
{
    Scene scene;
    scene.beginPrimitive();
    addSquare(scene, 0, false);
    addSquare(scene, 1, true);
    addSquare(scene, 2, false);
    scene.beginPolygon();  // empty: draws nothing
    scene.beginPrimitive();
    addSquare(scene, 3, false);
    const FanTriangles fans = polygonFans(scene);
    ASSERT_EQ(fans.batches.size(), 4u);
    const struct {
        size_t primitive;
        uint32_t first, count;
        bool hole, blackened;
    } expected[4] = {{0, 0, 12, false, false},
                     {0, 12, 3, true, true},
                     {0, 15, 6, false, true},
                     {1, 21, 6, false, false}};
    for (size_t i = 0; i < 4; ++i) {
        const FanBatch& b = fans.batches[i];
        EXPECT_EQ(b.primitive, expected[i].primitive) << i;
        EXPECT_EQ(b.first, expected[i].first) << i;
        EXPECT_EQ(b.count, expected[i].count) << i;
        EXPECT_EQ(b.hole, expected[i].hole) << i;
        EXPECT_EQ(b.blackened, expected[i].blackened) << i;
    }
    EXPECT_EQ(fans.vertices.size(), 27u);
}
