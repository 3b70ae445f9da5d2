#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

namespace {

// FNV-1a over the frame's bytes: one changed channel anywhere changes it.
uint64_t frameHash(const std::vector<uint8_t>& bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

struct PinnedFrame {
    int sceneNumber;
    CameraPose pose;
    int width, height;
    uint64_t hash;
};

}  // namespace

// The software frames of every scene at a few poses and sizes, as they were drawn when the lane
// path and the one-fragment path still had their own copies of the shading maths. Comparing the
// paths with each other cannot catch a fault both share; these values can: any change to a shared
// stage (the depth test, an exponent, the bump strength, a camera angle) moves some of them. A
// deliberate change to the pictures updates this table and says why in its commit.
TEST(PinnedFrames, SoftwareFramesOfEverySceneMatchTheirStoredHashes)
{
    const CameraPose start{};
    const CameraPose turned{-100, -75, 6, 30, -20};
    const CameraPose low{-134, 9, 3.8f, -78, -89};  // near the floor, the bump map's grazing texels
    const PinnedFrame frames[] = {
        {1, start, 480, 480, 0x72929a516dc57358ull},
        {1, turned, 97, 61, 0x177f6575a49bf31bull},
        {1, low, 320, 200, 0x59a3954d1a994335ull},
        {2, start, 480, 480, 0x3305c5dab9ba995eull},
        {2, turned, 97, 61, 0x3fe96199df468ff5ull},
        {2, low, 320, 200, 0xc446f948cb4e8d6full},
        {3, start, 480, 480, 0x8890b00b9764d745ull},
        {3, turned, 97, 61, 0x8be9ca03d50f02aaull},
        {3, low, 320, 200, 0x8eade0478fe7442bull},
        {4, start, 480, 480, 0xfb53456c6315b16eull},
        {4, turned, 97, 61, 0xd49f8839d8dc1438ull},
        {4, low, 480, 480, 0x0e08541e2d08f0caull},
        {5, start, 480, 480, 0x20f639f67ff043a7ull},
        {5, turned, 97, 61, 0xe5096980b3f71d30ull},
        {5, low, 320, 200, 0xb6b1d2a2caf857cbull},
    };
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    int built = 0;
    for (const PinnedFrame& pinned : frames) {
        if (pinned.sceneNumber != built) {
            scene.clear();
            buildScene(scene, pinned.sceneNumber, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
            scene.useOpenGL = false;
            prepareTextures(scene, depthBuffer, edgeTable, mipChains, 480, 480);
            built = pinned.sceneNumber;
        }
        setupCamera(scene.projectionStack, scene.viewStack, pinned.pose, pinned.width, pinned.height);
        FrameImage image(pinned.width, pinned.height);
        renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, image);
        const uint64_t hash = frameHash(image.rgb);
        EXPECT_NE(std::count(image.rgb.begin(), image.rgb.end(), 255), static_cast<long>(image.rgb.size()))
            << "scene " << pinned.sceneNumber << " shows nothing at this pose: a white frame pins nothing";
        EXPECT_EQ(hash, pinned.hash) << "scene " << pinned.sceneNumber << " at (" << pinned.pose.azimuth << ", "
                                     << pinned.pose.elevation << ", " << pinned.pose.zoom << ", " << pinned.pose.panX
                                     << ", " << pinned.pose.panY << "), " << pinned.width << "x" << pinned.height
                                     << ": 0x" << std::hex << hash;
    }
}

// A pixel where rounding each Vec3 operation of the span set-up, rather than each whole expression
// once, moves t/w two float steps (t = 0.6875 rather than 0.68749994), and with it the bump
// gradient's texel row.
TEST(PinnedFrames, SpanSetUpRoundsEveryVectorOperation)
{
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    buildScene(scene, 4, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
    scene.useOpenGL = false;
    prepareTextures(scene, depthBuffer, edgeTable, mipChains, 480, 480);
    setupCamera(scene.projectionStack, scene.viewStack, CameraPose{-134, 9, 3.8f, -78, -89}, 480, 480);
    for (FramePath path : {FramePath::lanes, FramePath::oneFragmentAtATime}) {
        FrameImage image(480, 480);
        renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, image, path);
        const uint8_t* p = image.pixel(13, 415);
        EXPECT_EQ(std::vector<int>(p, p + 3), (std::vector<int>{28, 18, 7}));
    }
}
