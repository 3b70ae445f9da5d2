#include <gtest/gtest.h>

#include "support/test_window.h"

// The facts the software renderer's point output relies on: an integer point lands in its own
// pixel, depth 0 and 1 are kept and anything outside is clipped, colours clamp and round.
TEST(TestWindow, PointsLandOnTheirPixelWithTheDisplaysRounding)
{
    TestWindow::use(64, 48);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBegin(GL_POINTS);
    glColor3f(0.5f, 1.5f, -0.2f);
    glVertex3f(3, 2, 0.5f);
    glColor3f(0.998f, 0.25f, 0);
    glVertex3f(63, 47, 1.0f);
    glColor3f(0, 0, 0);
    glVertex3f(0, 0, 0.0f);
    glVertex3f(10, 10, 1.0000001f);
    glVertex3f(11, 10, -1e-7f);
    glEnd();
    const auto image = TestWindow::readBack(64, 48);
    const Rgb a = pixelAt(image, 64, 3, 2);
    EXPECT_EQ(a.r, 128);
    EXPECT_EQ(a.g, 255);
    EXPECT_EQ(a.b, 0);
    const Rgb b = pixelAt(image, 64, 63, 47);
    EXPECT_EQ(b.r, 254);
    EXPECT_EQ(b.g, 64);
    EXPECT_EQ(pixelAt(image, 64, 0, 0).r, 0);
    EXPECT_EQ(pixelAt(image, 64, 10, 10).r, 255);
    EXPECT_EQ(pixelAt(image, 64, 11, 10).r, 255);
    EXPECT_EQ(pixelAt(image, 64, 4, 2).r, 255);
}
