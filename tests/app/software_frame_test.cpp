#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/test_window.h"
#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "app/gl_point_sink.h"
#include "app/render_frame.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

namespace {

// Pixels where the window and the in-memory frame differ, with the first few printed.
int countDifferences(const std::vector<uint8_t>& window, const FrameImage& image)
{
    EXPECT_EQ(window.size(), image.rgb.size());
    int differences = 0;
    for (size_t i = 0; i + 2 < window.size() && i + 2 < image.rgb.size(); i += 3) {
        if (window[i] == image.rgb[i] && window[i + 1] == image.rgb[i + 1] && window[i + 2] == image.rgb[i + 2])
            continue;
        if (++differences <= 5) {
            const size_t pixel = i / 3;
            ADD_FAILURE() << "pixel (" << pixel % static_cast<size_t>(image.width) << ", "
                          << pixel / static_cast<size_t>(image.width) << "): window " << int(window[i]) << " "
                          << int(window[i + 1]) << " " << int(window[i + 2]) << ", frame image "
                          << int(image.rgb[i]) << " " << int(image.rgb[i + 1]) << " " << int(image.rgb[i + 2]);
        }
    }
    return differences;
}

// A lit, overlapping, partly see-through arrangement: two rings of quads, a polygon with a hole,
// one polygon crossing the near plane and one close enough to the eye for depths below 0.
void buildComparisonScene(Scene& scene)
{
    scene.clear();
    scene.useOpenGL = false;
    for (int i = 0; i < 12; ++i) {
        scene.setMaterial(Color(0.1f * (i % 10), 0.9f - 0.07f * i, 0.5f, 1), Color(0.3f, 0.3f, 0.3f, 1), 8);
        scene.beginPrimitive();
        scene.beginPolygon();
        const float x = -0.9f + 0.15f * i;
        scene.setNormal(0.2f * (i % 3) - 0.2f, 0.1f, 1);
        scene.addVertex(x, -0.6f, 0.05f * i);
        scene.setNormal(-0.3f, 0.2f * (i % 4), 1);
        scene.addVertex(x + 0.3f, -0.5f, 0.05f * i);
        scene.setNormal(0.1f, -0.4f, 1);
        scene.addVertex(x + 0.35f, 0.5f, 0.6f - 0.05f * i);
        scene.addVertex(x - 0.05f, 0.6f, 0.6f - 0.05f * i);
    }
    scene.setMaterial(Color(0.9f, 0.2f, 0.1f, 1), Color(0, 0, 0, 1), 0);
    scene.setNormal(0, 0, 1);
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.addVertex(-0.8f, -0.8f, 0.3f);
    scene.addVertex(0.8f, -0.8f, 0.3f);
    scene.addVertex(0.8f, 0.8f, 0.3f);
    scene.addVertex(-0.8f, 0.8f, 0.3f);
    scene.beginContour();
    scene.addVertex(-0.3f, -0.3f, 0.3f);
    scene.addVertex(0.3f, -0.3f, 0.3f);
    scene.addVertex(0.3f, 0.3f, 0.3f);
    scene.addVertex(-0.3f, 0.3f, 0.3f);
    // Up towards the camera, which sits about 3 units away: through the near plane and behind it.
    scene.beginPolygon();
    scene.addVertex(-0.2f, 0.0f, 0.5f);
    scene.addVertex(0.2f, 0.0f, 0.5f);
    scene.addVertex(0.1f, -2.0f, 4.5f);
}

}  // namespace

// The window's read-back pixels and the in-memory frame agree for every colour level, for
// colours out of range and for depths at and beyond the ends of the depth range.
TEST(SoftwareFrame, PointSinksAgreeOnColourRoundingAndDepthRange)
{
    constexpr int width = 96, height = 64;
    TestWindow::use(width, height);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FrameImage image(width, height);
    GlPointSink window;
    const float depths[] = {0.0f, 0.5f, 1.0f, -1e-7f, 1.0000001f};
    window.beginSpan();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            // Steps of 1/4096 cover every byte level several times, including values next to the
            // half-way points; the last rows go past both ends of [0, 1].
            const float c = static_cast<float>(i % 4096) / 4096.0f;
            const float over = y >= 60 ? 1.7f * c - 0.35f : c;
            const Color colour(over, 1.0f - c, static_cast<float>((i * 37) % 256) / 255.0f, 1);
            const float depth = depths[(x + y) % 5];
            window.point(static_cast<float>(x), static_cast<float>(y), depth, colour);
            image.point(static_cast<float>(x), static_cast<float>(y), depth, colour);
        }
    }
    window.endSpan();
    EXPECT_EQ(countDifferences(TestWindow::readBack(width, height), image), 0);
}

// Colours within a few float steps of every half-way point between two levels, where rounding the
// exact product with 255 and rounding it as the display does part ways.
TEST(SoftwareFrame, PointSinksAgreeNextToHalfWayBetweenLevels)
{
    constexpr int width = 255, height = 17;
    TestWindow::use(width, height);
    // Mesa takes a resized window's new buffer size only at a swap.
    glutSwapBuffers();
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    TestWindow::use(width, height);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FrameImage image(width, height);
    GlPointSink window;
    window.beginSpan();
    for (int x = 0; x < width; ++x) {
        const float halfWay = (static_cast<float>(x) + 0.5f) / 255.0f;
        for (int y = 0; y < height; ++y) {
            // Row y holds the colour y - 8 float steps away from the half-way point.
            float c = halfWay;
            for (int step = 0; step < std::abs(y - 8); ++step) c = std::nextafter(c, y < 8 ? 0.0f : 1.0f);
            const Color colour(c, 1.0f - c, std::nextafter(c, 1.0f), 1);
            window.point(static_cast<float>(x), static_cast<float>(y), 0.5f, colour);
            image.point(static_cast<float>(x), static_cast<float>(y), 0.5f, colour);
        }
    }
    window.endSpan();
    EXPECT_EQ(countDifferences(TestWindow::readBack(width, height), image), 0);
}

TEST(SoftwareFrame, WindowAndFrameImageShowTheSamePicture)
{
    Scene scene;
    buildComparisonScene(scene);
    scene.setAmbient(Color(0.2f, 0.2f, 0.2f, 1));
    scene.addLight(2, -3, 4, Color(1, 1, 1, 1));
    for (const auto& size : {std::make_pair(160, 120), std::make_pair(97, 131)}) {
        const int width = size.first, height = size.second;
        TestWindow::use(width, height);
        // Mesa takes a resized window's new buffer size only at a swap.
        glutSwapBuffers();
        for (int i = 0; i < 20; ++i) glutMainLoopEvent();
        CameraPose pose;
        pose.zoom = 4.0f;
        setupCamera(scene.projectionStack, scene.viewStack, pose, width, height);
        std::vector<MipChain> chains(scene.primitives.size());
        DepthBuffer depth;
        EdgeTable edges;
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        scene.useOpenGL = false;
        renderFrame(scene, depth, edges, chains, width, height);
        const std::vector<uint8_t> window = TestWindow::readBack(width, height);

        FrameImage image(width, height);
        renderSoftwareFrame(scene, depth, edges, chains, image);
        EXPECT_GT(image.pointCount, static_cast<uint64_t>(width * height / 4));
        EXPECT_FALSE(image.pointOutsideFrame);
        EXPECT_EQ(countDifferences(window, image), 0) << width << " x " << height;
    }
}

TEST(SoftwareFrame, DemonstrationScenesShowTheSamePictureInWindowAndFrameImage)
{
    constexpr int width = 240, height = 200;
    TestWindow::use(width, height);
    glutSwapBuffers();
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    for (int sceneNumber = 1; sceneNumber <= 5; ++sceneNumber) {
        Scene scene;
        buildScene(scene, sceneNumber, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
        scene.useOpenGL = false;
        DepthBuffer depth;
        EdgeTable edges;
        std::vector<MipChain> chains;
        prepareTextures(scene, depth, edges, chains, width, height);
        // A frame of the OpenGL renderer first, then one in software, as the viewer draws them
        // when "g" is pressed: no state of the first may leak into the points.
        scene.useOpenGL = true;
        drawFrame(scene, CameraPose{}, depth, edges, chains, width, height);
        scene.useOpenGL = false;
        drawFrame(scene, CameraPose{}, depth, edges, chains, width, height);
        const std::vector<uint8_t> window = TestWindow::readBack(width, height);
        FrameImage image(width, height);
        renderSoftwareFrame(scene, depth, edges, chains, image);
        EXPECT_GT(image.pointCount, 1000u) << "scene " << sceneNumber;
        EXPECT_EQ(countDifferences(window, image), 0) << "scene " << sceneNumber;
    }
}
