#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/viewer_process.h"

namespace {

constexpr Rgb kWhite = {255, 255, 255};

bool allWhite(const Screenshot& shot) { return shot.countOtherThan(kWhite) == 0; }

testing::AssertionResult hasSize(ViewerProcess& viewer, int width, int height)
{
    const std::optional<WindowGeometry> g = viewer.geometry();
    if (!g) return testing::AssertionFailure() << "xdotool could not read the window geometry";
    if (g->width != width || g->height != height)
        return testing::AssertionFailure() << "window is " << g->width << "x" << g->height;
    return testing::AssertionSuccess();
}

using ViewerWindow = RunningViewer;

}  // namespace

TEST_F(ViewerWindow, OpensA480SquareWindowOnSceneFour)
{
    EXPECT_TRUE(hasSize(viewer, 480, 480));
    // Scene 4 is the first and only build at start-up.
    EXPECT_EQ(viewer.output().rfind("Creating scene: 4\n", 0), 0u) << viewer.output();
    EXPECT_EQ(viewer.output().find("Creating scene:", 1), std::string::npos) << viewer.output();
    EXPECT_TRUE(viewer.running());
}

TEST_F(ViewerWindow, NumberKeysSixToNineShowAnEmptyWhiteScene)
{
    for (int sceneNumber = 6; sceneNumber <= 9; ++sceneNumber) {
        SCOPED_TRACE(sceneNumber);
        ASSERT_TRUE(viewer.switchScene(sceneNumber));
        Screenshot shot;
        EXPECT_TRUE(viewer.captureUntil(allWhite, shot)) << shot.countOtherThan(kWhite) << " pixels not white";
        EXPECT_EQ(shot.width, 480);
        EXPECT_EQ(shot.height, 480);
    }
    EXPECT_TRUE(viewer.running());
}

TEST_F(ViewerWindow, SurvivesShrinkingToAFewPixelsAndGrowingBack)
{
    ASSERT_TRUE(viewer.resize(3, 2));
    EXPECT_TRUE(hasSize(viewer, 3, 2));
    // A scene prepared for the tiny viewport, then software frames at sizes it was not prepared for.
    ASSERT_TRUE(viewer.switchScene(4));
    ASSERT_TRUE(viewer.press({"g"}));
    ASSERT_TRUE(viewer.resize(64, 48));
    ASSERT_TRUE(viewer.resize(480, 480));
    EXPECT_TRUE(hasSize(viewer, 480, 480));
    ASSERT_TRUE(viewer.drag(1, 240, 240, 250, 250));
    ASSERT_TRUE(viewer.switchScene(6));
    Screenshot shot;
    EXPECT_TRUE(viewer.captureUntil(allWhite, shot));
    EXPECT_EQ(shot.width, 480);
    EXPECT_EQ(shot.height, 480);
    EXPECT_TRUE(viewer.running());
}

TEST(ViewerStart, StartsAndQuitsInAFolderWithoutDataFiles)
{
    char folder[] = "/tmp/pixelwright-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    {
        ViewerProcess viewer(folder);
        ASSERT_TRUE(viewer.open());
        ASSERT_TRUE(viewer.expectLine("Creating scene: 4"));
        EXPECT_TRUE(viewer.quitWith("q"));
    }
    std::filesystem::remove_all(folder);
}
