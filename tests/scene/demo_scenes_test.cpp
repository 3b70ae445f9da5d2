#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/allocated_bytes.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"


namespace {

const char* const kSpherePath = PIXELWRIGHT_SOURCE_DIR "/sphere.raw";

void expectModelStackUntouched(const Scene& scene)
{
    EXPECT_TRUE(scene.modelStack.saved.empty());
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(scene.modelStack.current(i, j), i == j ? 1.0f : 0.0f);
}

void expectNoTextures(const Primitive& p)
{
    EXPECT_EQ(p.texture, nullptr);
    EXPECT_EQ(p.bumpMap, nullptr);
    EXPECT_EQ(p.environmentMap, nullptr);
}

Scene built(int number)
{
    Scene scene;
    testing::internal::CaptureStdout();
    buildScene(scene, number, kSpherePath);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating scene: " + std::to_string(number) + "\n");
    return scene;
}


}  // namespace

TEST(DemoScenes, SceneOneSolidsOnAFloor)
{
    const Scene scene = built(1);
    ASSERT_EQ(scene.primitives.size(), 4u);
    ASSERT_EQ(scene.lights.size(), 1u);
    EXPECT_TRUE(scene.lightingEnabled);
    EXPECT_TRUE(scene.flatShading);
    EXPECT_EQ(scene.ambient, Color(0.25f, 0.25f, 0.25f, 1));
    EXPECT_EQ(scene.primitives[0].polygons.size(), 6u);   // box
    EXPECT_EQ(scene.primitives[1].polygons.size(), 14u);  // cylinder
    EXPECT_EQ(scene.primitives[2].polygons[0].size(), 11u);  // letter
    EXPECT_EQ(scene.primitives[0].diffuse, Color(0, 0, 0, 1).fromHsv(0.3f, 1, 0.8f, 1));
    EXPECT_EQ(scene.primitives[1].diffuse, Color(0.9f, 0, 0, 1));
    EXPECT_EQ(scene.primitives[3].diffuse, Color(0.5f, 0.5f, 0.5f, 1));
    for (const Primitive& p : scene.primitives) {
        EXPECT_EQ(p.specular, Color(0, 0, 0, 1));
        expectNoTextures(p);
    }
    // The letter stands upright in the plane y = 0.5 from the floor up, facing -y (up to the
    // cosine 1.3e-6 that a quarter turn leaves with pi = 3.14159).
    for (const Vertex& v : scene.primitives[2].polygons[0]) {
        EXPECT_NEAR(v.position.y, 0.5f, 2e-6f);
        EXPECT_GE(v.position.z, -0.5f - 1e-6f);
        EXPECT_LE(v.position.z, 0.5f + 1e-6f);
        EXPECT_NEAR(v.normal.y, -1.0f, 1e-6f);
    }
    for (const Vertex& v : scene.primitives[3].polygons[0]) EXPECT_EQ(v.position.z, -0.5f);
    EXPECT_EQ(scene.primitives[0].polygons[0][0].position.x, -0.75f);
    expectModelStackUntouched(scene);
}

TEST(DemoScenes, SceneTwoThreeSpecularOctants)
{
    const Scene scene = built(2);
    ASSERT_EQ(scene.primitives.size(), 3u);
    EXPECT_EQ(scene.lights.size(), 2u);
    EXPECT_TRUE(scene.lightingEnabled);
    EXPECT_FALSE(scene.flatShading);
    const int32_t shininess[3] = {30, 120, 0};
    const float centre[3][2] = {{0.5f, -0.5f}, {-0.5f, 0.5f}, {-0.5f, -0.5f}};
    for (int i = 0; i < 3; ++i) {
        const Primitive& p = scene.primitives[i];
        EXPECT_EQ(p.shininess, shininess[i]);
        EXPECT_EQ(p.polygons.size(), 144u);
        expectNoTextures(p);
        for (const Polygon& quad : p.polygons)
            for (const Vertex& v : quad) {
                EXPECT_GE(v.position.x, centre[i][0] - 1e-6f);
                EXPECT_GE(v.position.y, centre[i][1] - 1e-6f);
            }
    }
    EXPECT_EQ(scene.primitives[1].specular, Color(1.5f, 1.5f, 1.5f, 1));
    expectModelStackUntouched(scene);
}

TEST(DemoScenes, SceneThreeAndFourCarryTheirTextures)
{
    const Scene three = built(3);
    ASSERT_EQ(three.primitives.size(), 2u);
    EXPECT_FALSE(three.lightingEnabled);
    EXPECT_EQ(three.lights.size(), 2u);
    const Texture* tiles = three.primitives[0].texture;
    const Texture* rings = three.primitives[1].texture;
    ASSERT_NE(tiles, nullptr);
    ASSERT_NE(rings, nullptr);
    EXPECT_NE(tiles, rings);
    EXPECT_EQ(tiles->channels, 3u);
    EXPECT_EQ(*rings->texel(128, 128), 0.6f);  // the ring pattern's dark band
    for (const Primitive& p : three.primitives) {
        EXPECT_EQ(p.bumpMap, nullptr);
        EXPECT_EQ(p.environmentMap, nullptr);
    }
    EXPECT_EQ(three.primitives[0].polygons[0][0].position.x, -1.1f);
    expectModelStackUntouched(three);

    const Scene four = built(4);
    ASSERT_EQ(four.primitives.size(), 1u);
    const Primitive& square = four.primitives[0];
    ASSERT_NE(square.texture, nullptr);
    ASSERT_NE(square.bumpMap, nullptr);
    EXPECT_EQ(square.bumpMap->channels, 1u);
    EXPECT_EQ(square.environmentMap, nullptr);
    EXPECT_EQ(square.specular, Color(1, 1, 1, 1));
    EXPECT_EQ(square.shininess, 100);
    EXPECT_EQ(four.ambient, Color(0.4f, 0.4f, 0.4f, 1));
    expectModelStackUntouched(four);
}

TEST(DemoScenes, SceneFiveSphereMappedTorus)
{
    const Scene scene = built(5);
    ASSERT_EQ(scene.primitives.size(), 1u);
    const Primitive& torus = scene.primitives[0];
    EXPECT_EQ(torus.polygons.size(), 2304u);
    EXPECT_EQ(torus.texture, nullptr);
    EXPECT_EQ(torus.bumpMap, nullptr);
    ASSERT_NE(torus.environmentMap, nullptr);
    EXPECT_EQ(torus.environmentMap->width, 256);
    EXPECT_EQ(torus.specular, Color(1.5f, 1.5f, 1.5f, 1));
    EXPECT_EQ(torus.shininess, 120);
    expectModelStackUntouched(scene);
}

TEST(DemoScenes, OtherNumbersOnlyPrintAndRebuildsRepeatThemselves)
{
    Scene scene;
    for (int number : {0, 6, 9}) {
        testing::internal::CaptureStdout();
        buildScene(scene, number);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating scene: " + std::to_string(number) + "\n");
        EXPECT_TRUE(scene.primitives.empty());
    }
    const Scene first = built(1);
    const Scene second = built(1);
    ASSERT_EQ(first.primitives.size(), second.primitives.size());
    for (size_t i = 0; i < first.primitives.size(); ++i) {
        const auto& a = first.primitives[i].polygons;
        const auto& b = second.primitives[i].polygons;
        ASSERT_EQ(a.size(), b.size());
        for (size_t j = 0; j < a.size(); ++j)
            for (size_t k = 0; k < a[j].size(); ++k) EXPECT_EQ(a[j][k].position.x, b[j][k].position.x);
    }
}

// A scene switch releases the textures of the scene before: a thousand switches through every
// scene leave no more memory in use than the first round did.
TEST(SceneSwitching, ReleasesTheTexturesOfEarlierScenes)
{
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    const auto switchTo = [&](int number) {
        scene.clear();
        buildScene(scene, number, kSpherePath);
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, 480, 480);
    };

    // Standard output is captured in pieces so that no failure message gets swallowed with it.
    testing::internal::CaptureStdout();
    switchTo(3);
    // Untyped: the C++ library emscripten ships cannot make a weak_ptr of an array type.
    const std::weak_ptr<const void> tiles = scene.primitives[0].texture->texels;
    const std::weak_ptr<const void> chainLevel = mipChains.at(0).at(3).texels;
    switchTo(4);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(tiles.expired());
    EXPECT_TRUE(chainLevel.expired());

    testing::internal::CaptureStdout();
    size_t afterFirstRound = 0;
    for (int i = 0; i < 1000; ++i) {
        switchTo(1 + i % 5);
        if (i == 4) afterFirstRound = allocatedBytes();
    }
    const size_t afterAll = allocatedBytes();
    const std::string output = testing::internal::GetCapturedStdout();
    size_t lines = 0;
    for (size_t at = output.find("Creating scene: "); at != std::string::npos; at = output.find("Creating scene: ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1000u);
    // One set of scene-5 texels alone is 768 KiB; a leak of one texture per round would show.
    EXPECT_LT(afterAll, afterFirstRound + 64 * 1024) << "first round " << afterFirstRound << ", after 1000 switches "
                                                    << afterAll;
    ASSERT_EQ(mipChains.size(), 1u);  // ended on scene 5: one primitive, no colour texture
    EXPECT_TRUE(mipChains[0].empty());
}
