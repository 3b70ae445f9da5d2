#pragma once

#include <vector>

#include "raster/lanes/gathered_fragments.h"
#include "raster/lanes/hidden_polygon.h"
#include "raster/lanes/shade_gathered_fragments.h"
#include "raster/render_polygons.h"

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

// The frame as renderPolygonsOneAtATime draws it: vertex stage, edge set-up, sweep, depth test,
// shading, points. Pixels that pass the depth test are gathered into storage of a fixed size,
// then shaded together and handed out span by span in sweep order whenever it is flushed.
// Shading never feeds back into a depth test and the points keep their order, so the frame is
// the same as shading each pixel as the sweep finds it.
template <class PointSink>
void renderPolygons(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                    const std::vector<MipChain>& mipChains, int width, int height, PointSink& points)
{
    const LaneShading shading = prepareLaneShading(prepareFrameShading(scene, mipChains, width, height));
    GatheredFragments& fragments = edgeTable.sweep.fragments();
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

