#include "app/render_frame.h"

#include <GL/gl.h>

#include "app/gl_point_sink.h"
#include "preview/render_with_opengl.h"
#include "raster/frame_driver.h"

void renderFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                 const std::vector<MipChain>& mipChains, int width, int height)
{
    if (scene.useOpenGL) {
        renderWithOpenGL(scene, width, height);
        return;
    }
    // The window is already white (drawFrame's clear): the software frame only adds its points.
    GlPointSink points;
    renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, width, height, points);
    glFlush();
}

void drawFrame(Scene& scene, const CameraPose& pose, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
               const std::vector<MipChain>& mipChains, int width, int height)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Window pixels with the origin at the bottom left; z passes clipping only within [0, 1].
    glOrtho(0, width, 0, height, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setupCamera(scene.projectionStack, scene.viewStack, pose, width, height);
    renderFrame(scene, depthBuffer, edgeTable, mipChains, width, height);
}
