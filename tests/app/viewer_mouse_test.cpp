#include <gtest/gtest.h>

#include "support/viewer_process.h"

using ViewerMouse = RunningViewer;

// Turning, panning and zooming in both renderers, as a person would with the mouse.
TEST_F(ViewerMouse, DragsAndWheelNotchesInBothRenderers)
{
    for (const char* renderer : {"OpenGL", "software"}) {
        SCOPED_TRACE(renderer);
        ASSERT_TRUE(viewer.drag(1, 240, 240, 300, 180));  // turn
        ASSERT_TRUE(viewer.drag(3, 100, 100, 140, 160));  // pan
        ASSERT_TRUE(viewer.drag(2, 200, 200, 220, 210));  // the middle button moves nothing
        ASSERT_TRUE(viewer.click(4, 240, 240));           // nearer
        ASSERT_TRUE(viewer.click(5, 240, 240));           // farther
        ASSERT_TRUE(viewer.click(5, 240, 240));
        // Both buttons held at once, then a drag that leaves the window.
        ASSERT_TRUE(viewer.xdotool({"mousemove", "50", "50", "mousedown", "1", "mousedown", "3", "mousemove",
                                    "90", "20", "mouseup", "3", "mouseup", "1"}));
        ASSERT_TRUE(viewer.drag(1, 470, 470, 700, 600));
        ASSERT_TRUE(viewer.press({"g"}));
    }
    ASSERT_TRUE(viewer.switchScene(5));
    ASSERT_TRUE(viewer.drag(1, 240, 240, 200, 260));
    ASSERT_TRUE(viewer.switchScene(6));
    EXPECT_TRUE(viewer.running());
    EXPECT_TRUE(viewer.quitWith("q"));
    EXPECT_EQ(viewer.output().find("ERROR:"), std::string::npos) << viewer.output();
}
