#include "raster/frame_driver.h"

#include "raster/gl_point_sink.h"
#include "raster/render_polygons.h"

void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, int width, int height)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    GlPointSink points;
    renderPolygons(scene, depthBuffer, edgeTable, mipChains, width, height, points);
    glFlush();
}

void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, FrameImage& image)
{
    image.reset(image.width, image.height);
    renderPolygons(scene, depthBuffer, edgeTable, mipChains, image.width, image.height, image);
}
