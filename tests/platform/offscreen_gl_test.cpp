#include <gtest/gtest.h>

#include <GL/gl.h>

#include "platform/offscreen_gl.h"

// Drawing without any X server: the context, its framebuffer and the read-back, top row first.
TEST(OffscreenGl, DrawsAndReadsBackWithoutADisplay)
{
    OffscreenGl gl;
    std::string error;
    ASSERT_TRUE(gl.open(8, 4, error)) << error;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 8, 0, 4, 0, -1);
    glBegin(GL_POINTS);
    glColor3f(0.5f, 0, 0);
    glVertex3f(7, 0, 0.5f);
    glEnd();
    const auto pixels = gl.readPixels();
    ASSERT_EQ(pixels.size(), 8u * 4u * 3u);
    // y = 0 is the bottom row of the picture, so the last one read.
    const size_t bottomRight = (3 * 8 + 7) * 3;
    EXPECT_EQ(pixels[bottomRight], 128);
    EXPECT_EQ(pixels[bottomRight + 1], 0);
    EXPECT_EQ(pixels[7 * 3], 255);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
