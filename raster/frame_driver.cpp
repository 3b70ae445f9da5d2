#include "raster/frame_driver.h"

#include <cstdlib>
#include <cstring>

#include "raster/gl_point_sink.h"
#include "raster/render_polygons.h"

namespace {

template <class PointSink>
void renderPolygonsBy(FramePath path, const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                      const std::vector<MipChain>& mipChains, int width, int height, PointSink& points)
{
    if (path == FramePath::oneFragmentAtATime)
        renderPolygonsOneAtATime(scene, depthBuffer, edgeTable, mipChains, width, height, points);
    else
        renderPolygons(scene, depthBuffer, edgeTable, mipChains, width, height, points);
}

}  // namespace

FramePath defaultFramePath()
{
    static const FramePath chosen = [] {
        const char* asked = std::getenv("PIXELWRIGHT_LANES");
        return asked && std::strcmp(asked, "reference") == 0 ? FramePath::oneFragmentAtATime : FramePath::lanes;
    }();
    return chosen;
}

void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, int width, int height, FramePath path)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    GlPointSink points;
    renderPolygonsBy(path, scene, depthBuffer, edgeTable, mipChains, width, height, points);
    glFlush();
}

void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, FrameImage& image, FramePath path)
{
    image.reset(image.width, image.height);
    renderPolygonsBy(path, scene, depthBuffer, edgeTable, mipChains, image.width, image.height, image);
}
