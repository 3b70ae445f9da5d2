#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "inspect/pixel_history.h"
#include "inspect/view_image.h"
#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

namespace {

struct Frame {
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    int width = 160, height = 120;

    void prepare()
    {
        scene.useOpenGL = false;
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, width, height);
        setupCamera(scene.projectionStack, scene.viewStack, CameraPose{}, width, height);
    }
};

bool isWhite(const uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

// A square of side 2 around the origin at height z, facing up.
void addSquare(Scene& scene, float z)
{
    scene.beginPolygon();
    scene.setNormal(0, 0, 1);
    for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) scene.addVertex(x, y, z);
}

}  // namespace

// The probe draws its frame through the one-fragment path; the picture path does not know of it.
// Both must give the same pixels, and every view the picture's coverage.
TEST(FrameProbe, TheProbedFrameIsThePictureAndTheViewsKeepItsCoverage)
{
    for (int sceneNumber = 1; sceneNumber <= 5; ++sceneNumber) {
        Frame f;
        buildScene(f.scene, sceneNumber, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
        f.prepare();
        FrameImage picture(f.width, f.height);
        renderSoftwareFrame(f.scene, f.depthBuffer, f.edgeTable, f.mipChains, picture, FramePath::lanes);
        FrameImage probed(f.width, f.height);
        ViewRecorder views(f.scene, f.mipChains, f.width, f.height);
        probeFrame(f.scene, f.depthBuffer, f.edgeTable, f.mipChains, probed, views);
        ASSERT_EQ(probed.rgb, picture.rgb) << "scene " << sceneNumber;
        for (int v = static_cast<int>(FrameView::depth); v <= static_cast<int>(FrameView::polygons); ++v) {
            const auto view = static_cast<FrameView>(v);
            const RgbImage image = drawFrameView(view, views, f.depthBuffer, false);
            ASSERT_EQ(image.width * image.height, f.width * f.height) << frameViewName(view);
            long mismatches = 0;
            for (int row = 0; row < f.height; ++row)
                for (int column = 0; column < f.width; ++column) {
                    const uint8_t* shown = &image.pixels[((f.height - 1 - row) * f.width + column) * 3];
                    // Covered exactly where the view is not white; white in the view only where the picture is.
                    mismatches += views.at(column, row).covered == isWhite(shown);
                    mismatches += isWhite(shown) && !isWhite(picture.pixel(column, row));
                }
            EXPECT_EQ(mismatches, 0) << "scene " << sceneNumber << ", " << frameViewName(view);
        }
    }
}

// Two squares over one another: drawn far first, the near one passes too and overdraws; drawn
// near first, the far one fails the test. The pixel's history says which.
TEST(FrameProbe, OverdrawAndThePixelHistoryFollowTheDepthTest)
{
    std::vector<uint32_t> counts;
    for (const float first : {0.0f, 0.5f}) {
        Frame f;
        f.scene.setAmbient(Color(0.2f, 0.2f, 0.2f, 1));
        f.scene.addLight(0, 0, 5, Color(1, 1, 1, 1));
        f.scene.setMaterial(Color(0.5f, 0.5f, 0.5f, 1), Color(0.5f, 0.5f, 0.5f, 1), 8);
        f.scene.beginPrimitive();
        addSquare(f.scene, first);
        addSquare(f.scene, 0.5f - first);
        f.prepare();
        FrameImage image(f.width, f.height);
        ViewRecorder views(f.scene, f.mipChains, f.width, f.height);
        probeFrame(f.scene, f.depthBuffer, f.edgeTable, f.mipChains, image, views);
        PixelHistory history;
        history.column = f.width / 2;
        history.row = f.height / 2;
        probeFrame(f.scene, f.depthBuffer, f.edgeTable, f.mipChains, image, history);
        const PixelRecord& centre = views.at(history.column, history.row);
        ASSERT_TRUE(centre.covered);
        counts.push_back(centre.passed);
        ASSERT_EQ(history.events.size(), 2u);
        EXPECT_TRUE(history.events[0].passed);
        EXPECT_EQ(history.events[1].passed, centre.passed == 2);
        EXPECT_EQ(history.events[1].origin.polygon, 1u);
        // The pixel keeps the nearer one's depth, and the colour of the last that passed.
        EXPECT_EQ(centre.depth, std::min(history.events[0].depth, history.events[1].depth));
        const PixelEvent& kept = history.events[centre.passed - 1];
        const uint8_t expected[3] = {FrameImage::toByte(kept.colour.r), FrameImage::toByte(kept.colour.g),
                                     FrameImage::toByte(kept.colour.b)};
        EXPECT_EQ(std::memcmp(image.pixel(history.column, history.row), expected, 3), 0);
    }
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<uint32_t>{1, 2}));
}
