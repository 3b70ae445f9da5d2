#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/lanes/lanes.h"
#include "raster/prepare_textures.h"
#include "raster/lanes/render_gathered.h"
#include "support/random_pose.h"
#include "scene/demo_scenes.h"
#include "texture/tile_texture.h"

namespace {

// Everything a point output sees, in order: span boundaries as markers, every point in full.
struct PointLog {
    struct Entry {
        bool marker;  // beginSpan (x = 0) or endSpan (x = 1)
        float x, y, depth, r, g, b;
    };
    std::vector<Entry> entries;

    void beginSpan() { entries.push_back({true, 0, 0, 0, 0, 0, 0}); }
    void endSpan() { entries.push_back({true, 1, 0, 0, 0, 0, 0}); }
    void point(float x, float y, float depth, const Color& c)
    {
        entries.push_back({false, x, y, depth, c.r, c.g, c.b});
    }
};

// Bit for bit; two NaNs count as the same value, whatever their payload.
bool same(float a, float b)
{
    if (std::isnan(a) && std::isnan(b)) return true;
    uint32_t ua, ub;
    std::memcpy(&ua, &a, sizeof a);
    std::memcpy(&ub, &b, sizeof b);
    return ua == ub;
}

// Hexadecimal, so that a difference in the last bit shows.
std::string describe(const PointLog::Entry& e)
{
    if (e.marker) return e.x == 0 ? "beginSpan" : "endSpan";
    char text[160];
    std::snprintf(text, sizeof text, "(%g, %g) depth %a rgb %a %a %a", e.x, e.y, e.depth, e.r, e.g, e.b);
    return text;
}

// The first difference between the two logs, or an empty string.
std::string firstDifference(const PointLog& plain, const PointLog& fast)
{
    const size_t n = std::min(plain.entries.size(), fast.entries.size());
    for (size_t i = 0; i < n; ++i) {
        const PointLog::Entry& a = plain.entries[i];
        const PointLog::Entry& b = fast.entries[i];
        if (a.marker != b.marker || !same(a.x, b.x) || !same(a.y, b.y) || !same(a.depth, b.depth) || !same(a.r, b.r) ||
            !same(a.g, b.g) || !same(a.b, b.b)) {
            return "entry " + std::to_string(i) + ": one at a time " + describe(a) + ", batched " + describe(b);
        }
    }
    if (plain.entries.size() != fast.entries.size())
        return "lengths " + std::to_string(plain.entries.size()) + " and " + std::to_string(fast.entries.size());
    return {};
}

struct Size {
    int width, height;
};

// Both renderers on the scene at its current camera; the first difference between their points,
// or an empty string. Counts the points handed out.
std::string renderBothWays(const Scene& scene, const std::vector<MipChain>& mipChains, Size size, size_t& points)
{
    DepthBuffer depthPlain, depthFast;
    EdgeTable edgeTable;
    PointLog plain, fast;
    renderPolygonsOneAtATime(scene, depthPlain, edgeTable, mipChains, size.width, size.height, plain);
    renderPolygons(scene, depthFast, edgeTable, mipChains, size.width, size.height, fast);
    points = plain.entries.size();
    return firstDifference(plain, fast);
}

}  // namespace

// The batched renderer must hand out exactly the points, in exactly the order and spans, that
// shading one fragment at a time does: every scene, poses near and far, crossing the near plane,
// odd window sizes.
// The suite runs these checks again with PIXELWRIGHT_LANES asking for each narrower copy of the
// lane kernels, and for the one-fragment path (which the pinned frames then go through); they
// would prove nothing new if the request were ignored.
TEST(RenderPaths, LaneKernelsRunInTheInstructionsAskedFor)
{
    const char* asked = std::getenv("PIXELWRIGHT_LANES");
    if (!asked)
        GTEST_SKIP() << "PIXELWRIGHT_LANES is unset, so the widest copy runs; LaneInstructions.256, .portable "
                        "and .reference ask for the others";
    const bool reference = std::strcmp(asked, "reference") == 0;
    EXPECT_EQ(defaultFramePath(), reference ? FramePath::oneFragmentAtATime : FramePath::lanes);
    if (std::strcmp(asked, "portable") == 0) {
        EXPECT_EQ(laneInstructions(), LaneInstructions::kPortable);
    } else if (std::strcmp(asked, "256") == 0) {
        EXPECT_NE(laneInstructions(), LaneInstructions::k512);
    }
}

TEST(RenderPaths, BatchedShadingEqualsOneAtATimeBitForBit)
{
    std::mt19937_64 random(7);
    const Size sizes[] = {{480, 480}, {97, 61}, {1, 1}, {320, 200}};
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    for (int sceneNumber = 1; sceneNumber <= 5; ++sceneNumber) {
        scene.clear();
        buildScene(scene, sceneNumber);
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, 480, 480);
        for (int view = 0; view < 10; ++view) {
            const CameraPose pose = view > 0 ? randomPose(random, 400, -6, 12, 200) : CameraPose{};
            const Size size = view < 4 ? sizes[0] : sizes[view % std::size(sizes)];
            setupCamera(scene.projectionStack, scene.viewStack, pose, size.width, size.height);
            size_t points = 0;
            ASSERT_EQ(renderBothWays(scene, mipChains, size, points), "")
                << "scene " << sceneNumber << " view " << view << " size " << size.width << "x" << size.height;
            if (view == 0) {
                EXPECT_GT(points, 10000u) << "scene " << sceneNumber;
            }
        }
    }
}

namespace {

// What the demonstration scenes never show: normals of zero length, a negative
// shininess, a light on the surface itself, a texture and a bump map on a polygon seen edge-on,
// and a bump map without texels.
void buildAwkwardScene(Scene& scene)
{
    scene.clear();
    scene.lightingEnabled = true;
    scene.setAmbient(Color(0.3f, 0.2f, 0.1f, 1));
    scene.addLight(0.25f, 0.0f, 0.0f, Color(0.9f, 0.8f, 0.7f, 1));
    scene.addLight(-3, 4, 5, Color(0.5f, 0.6f, 0.7f, 1));
    const Texture* tiles = scene.ownTexture(makeTileTexture(64, 32));
    const Texture* bumps = scene.ownTexture(makeTileBumpMap(32, 64));
    const Texture* blank = scene.ownTexture(Texture());

    scene.setTextures(tiles, bumps, nullptr);
    scene.setMaterial(Color(0.8f, 0.5f, 0.2f, 1), Color(1.2f, 1.2f, 1.2f, 1), -3);
    scene.beginPrimitive();
    scene.beginPolygon();
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int k = 0; k < 4; ++k) {
        // Opposite normals at opposite corners: the interpolated normal passes through zero.
        const float sign = k % 2 == 0 ? 1.0f : -1.0f;
        scene.setNormal(0, 0, sign);
        scene.setTexCoord(corners[k][0] * 3, corners[k][1] * 2);
        scene.addVertex(corners[k][0], corners[k][1], 0);
    }

    scene.setTextures(nullptr, blank, nullptr);
    scene.setMaterial(Color(0.2f, 0.7f, 0.4f, 1), Color(0.5f, 0.5f, 0.5f, 1), 7);
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.setNormal(1, 0, 0);
    scene.addVertex(0.25f, -1, -1);
    scene.addVertex(0.25f, 1, -1);
    scene.setNormal(0, 1, 1);
    scene.addVertex(0.25f, 1, 1);
    scene.addVertex(0.25f, -1, 1);

    // No normal at all (the builder only takes unit normals, so they are cleared afterwards):
    // nothing of it can be shaded, though it hides what lies behind it.
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.addVertex(-0.5f, 0.5f, 0.5f);
    scene.addVertex(0.5f, 0.5f, 0.5f);
    scene.addVertex(0, 0.9f, 0.5f);
    for (Vertex& v : scene.primitives.back().polygons.back()) v.normal = Vec3(0, 0, 0);
}

}  // namespace

TEST(RenderPaths, BatchedShadingEqualsOneAtATimeOnAwkwardSurfaces)
{
    Scene scene;
    buildAwkwardScene(scene);
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    prepareTextures(scene, depthBuffer, edgeTable, mipChains, 200, 150);
    std::mt19937_64 random(11);
    size_t points = 0;
    for (int view = 0; view < 40; ++view) {
        // Every other view with the textured primitive as a model's, its texture the surface colour.
        scene.primitives[0].textureRole = view % 2 ? TextureRole::surfaceColour : TextureRole::ambientOnly;
        setupCamera(scene.projectionStack, scene.viewStack, randomPose(random, 180, -3, 10, 60), 200, 150);
        size_t viewPoints = 0;
        ASSERT_EQ(renderBothWays(scene, mipChains, {200, 150}, viewPoints), "") << "view " << view;
        points += viewPoints;
    }
    EXPECT_GT(points, 20000u);
}
