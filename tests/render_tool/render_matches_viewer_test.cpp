#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "png/png_file.h"
#include "support/render_tool_process.h"
#include "support/viewer_process.h"
#include "math/camera.h"

namespace {

constexpr int kScenes = 5;

std::string number(float value)
{
    std::ostringstream text;
    text.precision(9);
    text << value;
    return text.str();
}

// What pixelwright-render draws of scenes 1 to 5 at `pose`: [scene - 1][0] software, [1] OpenGL.
std::vector<std::array<RgbImage, 2>> renderScenes(const CameraPose& pose, const TemporaryFolder& folder)
{
    std::vector<std::array<RgbImage, 2>> pictures(kScenes);
    for (int scene = 1; scene <= kScenes; ++scene) {
        for (int k = 0; k < 2; ++k) {
            const std::string renderer = k == 0 ? "software" : "opengl";
            const std::string file = "scene" + std::to_string(scene) + "-" + renderer + ".png";
            const CommandResult result = runRender(
                {"--scene", std::to_string(scene), "--renderer", renderer, "--sphere",
                 PIXELWRIGHT_SOURCE_DIR "/sphere.raw", "--view", number(pose.azimuth), number(pose.elevation),
                 number(pose.zoom), number(pose.panX), number(pose.panY), "--output", file},
                folder.path());
            EXPECT_EQ(result.exitCode, 0) << file << ": " << result.errors;
            std::string error;
            EXPECT_TRUE(readPng(folder.path() + "/" + file, pictures[scene - 1][k], error)) << error;
        }
    }
    return pictures;
}

// Waits for the window to show `expected` within `tolerance` levels; a frame still in flight is
// captured again, a wrong one fails with where it differs.
testing::AssertionResult windowShows(ViewerProcess& viewer, const RgbImage& expected, int tolerance)
{
    const auto agrees = [&](const Screenshot& shot) {
        return static_cast<bool>(picturesAgree(expected.pixels, shot.rgb, expected.width, expected.height, tolerance));
    };
    Screenshot shot;
    const testing::AssertionResult shown = viewer.captureUntil(agrees, shot, 5s);
    if (shown) return shown;
    if (shot.width != expected.width || shot.height != expected.height)
        return testing::AssertionFailure() << "the window is " << shot.width << "x" << shot.height;
    return picturesAgree(expected.pixels, shot.rgb, expected.width, expected.height, tolerance);
}

}  // namespace

// The viewer's camera moves only by the mouse, so the poses come from drags whose effect on the
// view is known: a left drag by (dx, dy) turns by dx degrees of azimuth and dy of elevation, a
// right drag pans by (dx, dy), and a wheel notch zooms twice (press and release each count).
TEST(RenderMatchesViewer, SoftwareExactlyAndOpenGlWithinOneLevelForEverySceneAtThreePoses)
{
    TemporaryFolder folder;
    ViewerProcess viewer;
    ASSERT_TRUE(viewer.open());
    ASSERT_TRUE(viewer.expectLine("Creating scene: 4"));

    CameraPose pose;  // the viewer's initial camera
    for (int stage = 0; stage < 3; ++stage) {
        if (stage == 1) {
            ASSERT_TRUE(viewer.drag(1, 240, 240, 275, 265));
            pose.azimuth += 35;
            pose.elevation += 25;
        } else if (stage == 2) {
            ASSERT_TRUE(viewer.drag(3, 200, 300, 230, 250));
            pose.panX += 30;
            pose.panY -= 50;
            ASSERT_TRUE(viewer.drag(1, 300, 200, 230, 190));
            pose.azimuth -= 70;
            pose.elevation -= 10;
            ASSERT_TRUE(viewer.click(4, 240, 240));
            pose.zoom += 2;
        }
        const auto pictures = renderScenes(pose, folder);
        for (int scene = 1; scene <= kScenes; ++scene) {
            SCOPED_TRACE("scene " + std::to_string(scene) + " at azimuth " + number(pose.azimuth) + ", elevation " +
                         number(pose.elevation) + ", zoom " + number(pose.zoom) + ", pan " + number(pose.panX) +
                         " " + number(pose.panY));
            // A scene switch shows OpenGL's frame; "g" then the software frame.
            ASSERT_TRUE(viewer.switchScene(scene));
            EXPECT_TRUE(windowShows(viewer, pictures[scene - 1][1], 1)) << "OpenGL";
            ASSERT_TRUE(viewer.press({"g"}));
            EXPECT_TRUE(windowShows(viewer, pictures[scene - 1][0], 0)) << "software";
        }
    }
    EXPECT_TRUE(viewer.quitWith("q"));
    EXPECT_EQ(viewer.output().find("ERROR:"), std::string::npos) << viewer.output();
}

// The one-fragment path runs in both programs and draws the lane path's pixels exactly: in the tool
// with --reference (at a turned pose, an odd size), in the viewer with PIXELWRIGHT_LANES=reference.
TEST(RenderMatchesViewer, OneFragmentAtATimeDrawsTheSamePixelsInTheToolAndTheViewer)
{
    TemporaryFolder folder;
    const std::vector<std::string> turned = {"--size", "173x129", "--view", "-100", "-75", "6", "30", "-20"};
    for (int scene = 1; scene <= kScenes; ++scene) {
        SCOPED_TRACE("scene " + std::to_string(scene));
        RgbImage pictures[2];
        for (int k = 0; k < 2; ++k) {
            std::vector<std::string> arguments = {"--scene", std::to_string(scene), "--output", "picture.png"};
            arguments.insert(arguments.end(), turned.begin(), turned.end());
            if (k == 1) arguments.push_back("--reference");
            const CommandResult result = runRender(arguments, folder.path());
            ASSERT_EQ(result.exitCode, 0) << result.errors;
            std::string error;
            ASSERT_TRUE(readPng(folder.path() + "/picture.png", pictures[k], error)) << error;
        }
        EXPECT_TRUE(picturesAgree(pictures[0].pixels, pictures[1].pixels, 173, 129, 0));
    }

    const auto atStart = renderScenes(CameraPose{}, folder);
    ViewerProcess viewer(PIXELWRIGHT_SOURCE_DIR, {}, {"PIXELWRIGHT_LANES=reference"});
    ASSERT_TRUE(viewer.open());
    ASSERT_TRUE(viewer.expectLine("Creating scene: 4"));
    for (int scene = 1; scene <= kScenes; ++scene) {
        SCOPED_TRACE("viewer, scene " + std::to_string(scene));
        ASSERT_TRUE(viewer.switchScene(scene));
        ASSERT_TRUE(viewer.press({"g"}));
        EXPECT_TRUE(windowShows(viewer, atStart[scene - 1][0], 0));
    }
    EXPECT_TRUE(viewer.quitWith("q"));
}
