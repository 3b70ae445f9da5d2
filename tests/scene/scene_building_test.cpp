#include <gtest/gtest.h>

#include "scene/scene.h"

namespace {

std::vector<int32_t> previousLinks(const Polygon& polygon)
{
    std::vector<int32_t> links;
    for (const Vertex& v : polygon) links.push_back(v.previous);
    return links;
}

void addVertices(Scene& scene, int count)
{
    for (int i = 0; i < count; ++i) scene.addVertex(static_cast<float>(i), 0, 0);
}

}  // namespace

TEST(SceneRings, ContoursCloseOnTheirFirstVertex)
{
    Scene scene;
    scene.beginPrimitive();
    scene.beginPolygon();
    addVertices(scene, 4);
    EXPECT_EQ(previousLinks(scene.primitives[0].polygons[0]), (std::vector<int32_t>{3, 0, 1, 2}));

    scene.beginPolygon();
    addVertices(scene, 8);
    scene.beginContour();
    addVertices(scene, 3);
    EXPECT_EQ(previousLinks(scene.primitives[0].polygons[1]), (std::vector<int32_t>{7, 0, 1, 2, 3, 4, 5, 6, 10, 8, 9}));

    // A one-vertex contour is a ring of its own; a new polygon starts its first contour again at 0.
    scene.beginPolygon();
    addVertices(scene, 2);
    scene.beginContour();
    addVertices(scene, 1);
    EXPECT_EQ(previousLinks(scene.primitives[0].polygons[2]), (std::vector<int32_t>{1, 0, 2}));
    scene.beginPolygon();
    addVertices(scene, 1);
    EXPECT_EQ(previousLinks(scene.primitives[0].polygons[3]), (std::vector<int32_t>{0}));
}

TEST(SceneModelStack, RotationReachesNormalsButTranslationDoesNot)
{
    Scene scene;
    scene.modelStack.translate(1, 0, 0);
    scene.modelStack.rotateX(90);
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.addVertex(0, 1, 0);
    const Vertex& v = scene.primitives[0].polygons[0][0];
    EXPECT_NEAR(v.position.x, 1.0f, 1e-6f);
    EXPECT_NEAR(v.position.y, 0.0f, 1e-5f);
    EXPECT_NEAR(v.position.z, 1.0f, 1e-6f);
    EXPECT_EQ(v.position.w, 1.0f);
    EXPECT_NEAR(v.normal.x, 0.0f, 1e-6f);
    EXPECT_NEAR(v.normal.y, -1.0f, 1e-6f);
    EXPECT_NEAR(v.normal.z, 0.0f, 1e-5f);
}

TEST(SceneState, TexCoordsCarryOverAndMaterialsWaitForTheNextPrimitive)
{
    Scene scene;
    scene.setAmbient(Color(0.3f, 0.3f, 0.3f, 1));
    const Texture texture(2, 2, 3);
    scene.setMaterial(Color(1, 0, 0, 1), Color(0, 0, 0, 1), 5);
    scene.beginPrimitive();
    scene.setMaterial(Color(0, 1, 0, 1), Color(1, 1, 1, 1), 9);
    scene.setTextures(&texture, nullptr, nullptr);
    scene.beginPolygon();
    scene.addVertex(0, 0, 0);
    scene.setTexCoord(0.5f, 0.25f);
    scene.setNormal(0, 0, 2);
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.addVertex(0, 0, 0);

    EXPECT_EQ(scene.primitives[0].diffuse, Color(1, 0, 0, 1));
    EXPECT_EQ(scene.primitives[0].shininess, 5);
    EXPECT_EQ(scene.primitives[0].texture, nullptr);
    EXPECT_EQ(scene.primitives[1].diffuse, Color(0, 1, 0, 1));
    EXPECT_EQ(scene.primitives[1].texture, &texture);
    const Vertex& first = scene.primitives[0].polygons[0][0];
    const Vertex& second = scene.primitives[1].polygons[0][0];
    EXPECT_EQ(first.s, 0.0f);
    EXPECT_EQ(first.t, 0.0f);
    EXPECT_EQ(second.s, 0.5f);
    EXPECT_EQ(second.t, 0.25f);
    EXPECT_EQ(second.normal.z, 1.0f);

    scene.clear();
    EXPECT_TRUE(scene.primitives.empty());
    EXPECT_EQ(scene.currentS, 0.0f);
    EXPECT_EQ(scene.currentTexture, nullptr);
    EXPECT_EQ(scene.currentShininess, 0);
    EXPECT_EQ(scene.ambient, Color(0.3f, 0.3f, 0.3f, 1));
}

// WebAssembly cannot start the second process a death test runs in: native builds only.
#if GTEST_HAS_DEATH_TEST
TEST(SceneOrderDeathTest, BuildingOutOfOrderStopsWithAMessage)
{
    EXPECT_DEATH(
        {
            Scene scene;
            scene.beginPolygon();
        },
        "beginPolygon called without an open primitive");
    EXPECT_DEATH(
        {
            Scene scene;
            scene.beginPrimitive();
            scene.addVertex(0, 0, 0);
        },
        "addVertex called without an open polygon");
    EXPECT_DEATH(
        {
            Scene scene;
            scene.beginContour();
        },
        "beginContour called without an open polygon");
}
#endif
