#include <gtest/gtest.h>

#include <cstdio>

#include "image/image_comparison.h"
#include "app/render_frame.h"
#include "support/test_window.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

namespace {

constexpr int kSize = 480;

RgbImage asImage(std::vector<uint8_t> pixels) { return RgbImage{kSize, kSize, std::move(pixels)}; }

// The letter's hole is open in the software picture but filled in the OpenGL one (a black
// polygon, which lighting turns into the ambient colour): leave its pixels out of the comparison.
void paintLetterHoleWhite(const Scene& scene, RgbImage& image)
{
    const Primitive& letter = scene.primitives[2];
    const Polygon& polygon = letter.polygons[0];
    // The hole is the triangle of vertices 8, 9 and 10; compare pixels against its projection.
    float corners[3][2];
    for (int k = 0; k < 3; ++k) {
        const Vec4 clip = scene.projectionStack.transform(scene.viewStack.transform(polygon[8 + k].position));
        corners[k][0] = (clip.x / clip.w + 1) * kSize / 2;
        corners[k][1] = (clip.y / clip.w + 1) * kSize / 2;
    }
    auto side = [&](int a, int b, float x, float y) {
        return (corners[b][0] - corners[a][0]) * (y - corners[a][1]) - (corners[b][1] - corners[a][1]) * (x - corners[a][0]);
    };
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const float s0 = side(0, 1, x, y), s1 = side(1, 2, x, y), s2 = side(2, 0, x, y);
            // A pixel of margin: the two renderers sample pixels at different points.
            const float margin = 2.0f * kSize;
            if ((s0 >= -margin && s1 >= -margin && s2 >= -margin) || (s0 <= margin && s1 <= margin && s2 <= margin))
                for (int c = 0; c < 3; ++c) image.pixels[(static_cast<size_t>(y) * kSize + x) * 3 + c] = 255;
        }
}

}  // namespace

// Whatever their shading, the two renderers must cover the same pixels: a sign, an axis or a row
// order wrong in either shows up here as a silhouette that does not match.
TEST(Silhouettes, BothRenderersCoverTheSamePixels)
{
    const CameraPose poses[3] = {CameraPose{}, CameraPose{-100.0f, -45.0f, 1.0f, 40.0f, -25.0f},
                                 CameraPose{150.0f, -30.0f, -0.75f, -30.0f, 10.0f}};
    TestWindow::use(kSize, kSize);
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    for (int sceneNumber = 1; sceneNumber <= 5; ++sceneNumber) {
        scene.clear();
        buildScene(scene, sceneNumber);
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, kSize, kSize);
        for (int p = 0; p < 3; ++p) {
            scene.useOpenGL = true;
            drawFrame(scene, poses[p], depthBuffer, edgeTable, mipChains, kSize, kSize);
            RgbImage opengl = asImage(TestWindow::readBack(kSize, kSize));
            FrameImage frame(kSize, kSize);
            renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, frame);
            RgbImage software = asImage(frame.rgb);
            if (sceneNumber == 1) {
                paintLetterHoleWhite(scene, opengl);
                paintLetterHoleWhite(scene, software);
            }
            const ImageDifference difference = compareImages(software, opengl);
            std::printf("scene %d pose %d: coverage IoU %.4f\n", sceneNumber, p, difference.coverageIoU);
            EXPECT_GE(difference.coverageIoU, 0.97) << "scene " << sceneNumber << " pose " << p;
            // A blank frame on both sides would agree trivially.
            EXPECT_LT(compareImages(software, RgbImage{kSize, kSize, std::vector<uint8_t>(kSize * kSize * 3, 255)})
                          .coverageIoU,
                      0.5);
        }
    }
}
