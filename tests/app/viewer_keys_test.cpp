#include <gtest/gtest.h>

#include "support/viewer_process.h"

namespace {

class ViewerQuitKey : public RunningViewer, public testing::WithParamInterface<const char*> {};
using ViewerKeys = RunningViewer;

}  // namespace

TEST_P(ViewerQuitKey, EndsTheProgramWithStatusZero) { EXPECT_TRUE(viewer.quitWith(GetParam())); }

INSTANTIATE_TEST_SUITE_P(EscapeAndLowerQ, ViewerQuitKey, testing::Values("Escape", "q"));

TEST_F(ViewerKeys, UpperCaseAndUnboundKeysDoNothing)
{
    ASSERT_TRUE(viewer.press({"Q", "A", "G", "x", "0", "space", "Return", "F1", "Left", "Delete"}));
    // Keys are handled in order: once scene 7 is announced, all of the above were seen.
    ASSERT_TRUE(viewer.switchScene(7));
    EXPECT_TRUE(viewer.running());
    EXPECT_EQ(viewer.output(), "Creating scene: 4\nCreating scene: 7\n");
    EXPECT_TRUE(viewer.quitWith("q"));
}

TEST_F(ViewerKeys, EverySceneWithBothRenderersAndBothFilters)
{
    for (int sceneNumber = 1; sceneNumber <= 9; ++sceneNumber) {
        SCOPED_TRACE(sceneNumber);
        ASSERT_TRUE(viewer.switchScene(sceneNumber));
        // Single-level filtering, the software renderer, back to mip-maps, back to OpenGL.
        ASSERT_TRUE(viewer.press({"a", "g", "a", "g"}));
    }
    ASSERT_TRUE(viewer.switchScene(4));
    EXPECT_TRUE(viewer.running());
    EXPECT_TRUE(viewer.quitWith("Escape"));
    // A correct OpenGL renderer leaves no errors pending (all output is in once it has exited).
    EXPECT_EQ(viewer.output().find("ERROR:"), std::string::npos) << viewer.output();
}
