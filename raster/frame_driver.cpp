#include "raster/frame_driver.h"

#include "raster/active_edge_list.h"
#include "raster/gl_point_sink.h"
#include "raster/polygon_edges.h"
#include "raster/scan_polygon.h"
#include "raster/shaded_points.h"
#include "raster/vertex_stage.h"

namespace {

// The one pipeline behind both outputs: vertex stage, edge set-up, sweep, shading, points.
template <class PointSink>
void renderPolygons(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                    const std::vector<MipChain>& mipChains, int width, int height, PointSink& points)
{
    const VertexStage stage = makeVertexStage(scene, width, height);
    ActiveEdgeList active;
    PolygonScratch scratch;
    depthBuffer.resize(width, height);
    depthBuffer.clear(1.0f);
    const FrameShading shading = prepareFrameShading(scene, mipChains, width, height);

    for (size_t i = 0; i < scene.primitives.size(); ++i) {
        const Primitive& primitive = scene.primitives[i];
        ShadedPoints<PointSink> sink{shading, primitive, static_cast<unsigned>(i), points};
        for (const Polygon& polygon : primitive.polygons) {
            // Every polygon is filled on its own, from a fresh edge table.
            edgeTable.resize(height);
            edgeTable.clear();
            active.clear();
            addPolygonEdges(polygon, stage, height, edgeTable, scratch);
            scanPolygon(edgeTable, active, depthBuffer, width, height, sink);
        }
    }
}

}  // namespace

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
