#pragma once

#include <vector>

#include "raster/active_edge_list.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/polygon_edges.h"
#include "raster/scan_polygon.h"
#include "raster/shade_fragment.h"
#include "raster/shaded_points.h"
#include "raster/vertex_stage.h"

// Clears the depth buffer, then puts each polygon's edges, through the vertex stage, into the
// emptied edge table and calls fill(primitiveIndex): every polygon is filled on its own. The edges
// carry texture coordinates only for primitives whose shading reads them.
template <class FillPolygon>
void forEachPolygon(const Scene& scene, const std::vector<MipChain>& mipChains, DepthBuffer& depthBuffer,
                    EdgeTable& edgeTable, int width, int height, FillPolygon&& fill)
{
    const VertexStage stage = makeVertexStage(scene, width, height);
    PolygonScratch& scratch = edgeTable.sweep.scratch;
    depthBuffer.resize(width, height);
    depthBuffer.clear(1.0f);
    for (size_t i = 0; i < scene.primitives.size(); ++i) {
        const bool textureCoordinates =
            readsTextureCoordinates(mipChains, scene.primitives[i], static_cast<unsigned>(i));
        for (const Polygon& polygon : scene.primitives[i].polygons) {
            edgeTable.resize(height);
            edgeTable.clear();
            addPolygonEdges(polygon, stage, height, edgeTable, scratch, textureCoordinates);
            fill(i);
        }
    }
}

// The frame one pixel at a time: each fragment shaded by shadeFragment as the sweep finds it.
// The plainest statement of the frame; raster/lanes/render_gathered.h draws the same pixels faster.
// The probe (see probeFrame) hears every depth test, every shaded fragment and the end of every
// polygon; NoProbe hears nothing, and its calls compile away.
template <class PointSink, class Probe>
void renderPolygonsOneAtATime(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                              const std::vector<MipChain>& mipChains, int width, int height, PointSink& points,
                              Probe& probe)
{
    const FrameShading shading = prepareFrameShading(scene, mipChains, width, height);
    ActiveEdgeList& active = edgeTable.sweep.active;
    FragmentOrigin origin;
    ProbeTrace<Probe> trace;
    WatchedDepthTest<Probe> watched{depthBuffer, probe, origin};
    auto& depthTest = depthTestFor<Probe>(depthBuffer, watched);
    size_t drawn = 0;
    forEachPolygon(scene, mipChains, depthBuffer, edgeTable, width, height, [&](size_t i) {
        const auto primitive = static_cast<unsigned>(i);
        origin.polygon = primitive == origin.primitive && drawn > 0 ? origin.polygon + 1 : 0;
        origin.primitive = primitive;
        active.clear();
        ShadedPoints<PointSink, Probe> sink{shading, scene.primitives[i], points, probe, origin, trace};
        scanPolygon(edgeTable, active, depthTest, width, height, sink);
        probe.polygonDone(++drawn, points);
    });
}

template <class PointSink>
void renderPolygonsOneAtATime(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                              const std::vector<MipChain>& mipChains, int width, int height, PointSink& points)
{
    NoProbe none;
    renderPolygonsOneAtATime(scene, depthBuffer, edgeTable, mipChains, width, height, points, none);
}
