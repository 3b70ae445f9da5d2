#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "math/camera.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "raster/prepare_textures.h"
#include "support/random_pose.h"
#include "scene/demo_scenes.h"

namespace {

long environmentNumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

struct Size {
    int width, height;
};

// Far beyond what a person reaches with the mouse: the camera inside and behind the geometry,
// the scene panned thousands of window widths away, angles of many turns.
CameraPose hostilePose(std::mt19937_64& random)
{
    CameraPose pose = randomPose(random, 10000, -400, 400, 100000);
    std::uniform_int_distribution<int> kind(0, 3);
    // A quarter of the states stay near the scene, where most pixels get drawn.
    if (kind(random) == 0) {
        pose.zoom = std::uniform_real_distribution<float>(-20, 14)(random);
        pose.panX = std::uniform_real_distribution<float>(-300, 300)(random);
        pose.panY = std::uniform_real_distribution<float>(-300, 300)(random);
    }
    return pose;
}

size_t polygonCount(const Scene& scene)
{
    size_t count = 0;
    for (const Primitive& primitive : scene.primitives) count += primitive.polygons.size();
    return count;
}

}  // namespace

// Seeded, so a failure names a state that reproduces: PIXELWRIGHT_FUZZ_SEED and
// PIXELWRIGHT_FUZZ_STATES choose the run (the fuzz_views_long target runs 100 000 states).
TEST(ViewFuzz, HostileViewsAndWindowSizesFinishInsideTheFrame)
{
    const long states = environmentNumber("PIXELWRIGHT_FUZZ_STATES", 2000);
    const auto seed = static_cast<uint64_t>(environmentNumber("PIXELWRIGHT_FUZZ_SEED", 20261207));
    const Size sizes[] = {{1, 1}, {1, 977}, {2000, 3}, {480, 480}, {1920, 1080}, {37, 5}, {640, 480}};
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> pickSize(0, static_cast<int>(std::size(sizes)) - 1);

    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    double longestMs = 0.0;
    uint64_t totalPoints = 0;
    long state = 0;
    for (int sceneNumber = 1; sceneNumber <= 9; ++sceneNumber) {
        scene.clear();
        buildScene(scene, sceneNumber);
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, 480, 480);
        const size_t polygons = polygonCount(scene);
        const long end = states * sceneNumber / 9;
        for (; state < end; ++state) {
            const Size size = sizes[pickSize(random)];
            const CameraPose pose = hostilePose(random);
            setupCamera(scene.projectionStack, scene.viewStack, pose, size.width, size.height);
            FrameImage frame(size.width, size.height);
            const auto start = std::chrono::steady_clock::now();
            EXPECT_NO_THROW(renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, frame))
                << "state " << state;
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            longestMs = std::max(longestMs, ms);
            totalPoints += frame.pointCount;
            const uint64_t bound = static_cast<uint64_t>(size.width) * size.height * polygons;
            ASSERT_LE(frame.pointCount, bound) << "state " << state << " scene " << sceneNumber;
            ASSERT_FALSE(frame.pointOutsideFrame)
                << "state " << state << " scene " << sceneNumber << " size " << size.width << "x" << size.height
                << " view " << pose.azimuth << " " << pose.elevation << " " << pose.zoom << " " << pose.panX << " "
                << pose.panY;
        }
    }
    std::printf("fuzzed %ld view states (seed %llu): %llu points, longest frame %.1f ms\n", states,
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(totalPoints), longestMs);
}
