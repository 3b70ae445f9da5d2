#pragma once

#include <GL/gl.h>

#include "math/color.h"

// Hands every finished pixel to OpenGL as one point, one glBegin(GL_POINTS)/glEnd() per span.
struct GlPointSink {
    void beginSpan() { glBegin(GL_POINTS); }
    void endSpan() { glEnd(); }
    void point(float x, float y, float depth, const Color& c)
    {
        glColor3f(c.r, c.g, c.b);
        glVertex3f(x, y, depth);
    }
};
