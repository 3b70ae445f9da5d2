#pragma once

#include <vector>

#include "raster/active_edge_list.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/polygon_edges.h"
#include "raster/gathered_fragments.h"
#include "raster/hidden_polygon.h"
#include "raster/scan_polygon.h"
#include "raster/shade_fragment.h"
#include "raster/shade_gathered_fragments.h"
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

// Depth-tests every polygon's spans into fragments, in sweep order. Gathering spans only
// consecutive polygons of one primitive: flush(primitiveIndex) must hand on and clear what was
// gathered, and is called whenever it is full, before another primitive's first span, and at the end.
template <class Flush>
void gatherPolygons(const Scene& scene, const std::vector<MipChain>& mipChains, DepthBuffer& depthBuffer,
                    EdgeTable& edgeTable, int width, int height, GatheredFragments& fragments, Flush&& flush)
{
    ActiveEdgeList& active = edgeTable.sweep.active;
    size_t gathering = 0;  // the primitive whose pixels are gathered
    forEachPolygon(scene, mipChains, depthBuffer, edgeTable, width, height, [&](size_t i) {
        if (i != gathering && !fragments.spans.empty()) flush(gathering);
        gathering = i;
        // A hidden polygon still gives its spans, each empty, so that the span markers go out as
        // the sweep would have them.
        if (surelyHidden(edgeTable, depthBuffer, width)) {
            const size_t hiddenSpans = countSpans(edgeTable);
            if (hiddenSpans == 0) return;
            if (fragments.full()) flush(gathering);
            fragments.addHiddenSpans(edgeTable.lowestFilled, hiddenSpans);
            return;
        }
        active.clear();
        sweepPolygon(edgeTable, active, height, [&](Edge& left, Edge& right, int row) {
            if (fragments.full()) flush(gathering);
            fragments.addSpan(left, right, row, width, depthBuffer);
        });
    });
    if (!fragments.spans.empty()) flush(gathering);
}

// The one pipeline behind both pixel outputs: vertex stage, edge set-up, sweep, depth test,
// shading, points. Pixels that pass the depth test are gathered into storage of a fixed size,
// then shaded together and handed out span by span in sweep order whenever it is flushed.
// Shading never feeds back into a depth test and the points keep their order, so the frame is
// the same as shading each pixel as the sweep finds it.
template <class PointSink>
void renderPolygons(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                    const std::vector<MipChain>& mipChains, int width, int height, PointSink& points)
{
    const LaneShading shading = prepareLaneShading(prepareFrameShading(scene, mipChains, width, height));
    GatheredFragments& fragments = edgeTable.sweep.fragments;
    fragments.startFrame(width, height);
    gatherPolygons(scene, mipChains, depthBuffer, edgeTable, width, height, fragments, [&](size_t i) {
        const Primitive& primitive = scene.primitives[i];
        const auto index = static_cast<unsigned>(i);
        fragments.stepInterpolants(readsTextureCoordinates(mipChains, primitive, index));
        shadeGatheredFragments(fragments, shading, primitive, index);
        emitPoints(fragments, points);
        fragments.clear();
    });
}

// The same frame one pixel at a time: each fragment shaded by shadeFragment as the sweep finds
// it. Slower, and the plainest statement of what renderPolygons computes.
template <class PointSink>
void renderPolygonsOneAtATime(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                              const std::vector<MipChain>& mipChains, int width, int height, PointSink& points)
{
    const FrameShading shading = prepareFrameShading(scene, mipChains, width, height);
    ActiveEdgeList& active = edgeTable.sweep.active;
    forEachPolygon(scene, mipChains, depthBuffer, edgeTable, width, height, [&](size_t i) {
        active.clear();
        ShadedPoints<PointSink> sink{shading, scene.primitives[i], static_cast<unsigned>(i), points};
        scanPolygon(edgeTable, active, depthBuffer, width, height, sink);
    });
}
