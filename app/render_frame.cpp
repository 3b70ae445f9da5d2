#include "app/render_frame.h"

#include <GL/gl.h>

#include "app/gl_point_sink.h"
#include "preview/render_with_opengl.h"
#include "preview/window_frame.h"
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
    beginWindowFrame(scene, pose, width, height);
    renderFrame(scene, depthBuffer, edgeTable, mipChains, width, height);
}
