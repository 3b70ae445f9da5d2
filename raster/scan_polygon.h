#pragma once

#include <cmath>

#include "raster/active_edge_list.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/interpolate.h"
#include "texture/fragment.h"

// A FragmentSink receives what the sweep produces: beginSpan() and endSpan() around every span
// (empty spans included; never on a row without active edges), and fragment(f) for every pixel
// that passed the depth test, whose depth is then already stored.

// Walks the span from L to R on one row: columns ceil(L.x) <= c < R.x, cut to the frame, with
// every interpolant advanced to the first column.
template <class FragmentSink>
void scanSpan(const Edge& left, const Edge& right, int row, int width, DepthBuffer& depthBuffer, FragmentSink& sink)
{
    const float frameWidth = static_cast<float>(width);
    float xs = std::ceil(left.x);
    if (xs < 0.0f) xs = 0.0f;
    float xe = right.x;
    if (xe > frameWidth) xe = frameWidth;
    const float dx0 = static_cast<float>(static_cast<double>(xs) - left.x);
    // Zero for an empty span; the steps are then infinite or NaN, and no pixel uses them.
    const float d = static_cast<float>(static_cast<double>(right.x) - left.x);

    // The running interpolants live apart from the fragment, which the sink sees by address,
    // so that stepping them does not go through memory.
    const float depthStepX = stepPer(left.depth, right.depth, d);
    float depth = advance(left.depth, depthStepX, dx0);
    const Vec3 normalStepX = stepPer(left.normal, right.normal, d);
    Vec3 normal = advance(left.normal, normalStepX, dx0);
    const Vec3 stOverWStepX = stepPer(left.stOverW, right.stOverW, d);
    Vec3 stOverW = advance(left.stOverW, stOverWStepX, dx0);

    Fragment f;
    f.y = static_cast<float>(row);
    f.stOverWStepX = stOverWStepX;
    f.leftStOverWStepY = left.stOverWStep;
    f.rightStOverWStepY = right.stOverWStep;
    f.spanStart = xs;
    f.spanLength = static_cast<float>(static_cast<double>(xe) - xs);

    sink.beginSpan();
    // The right end is exclusive. 0 <= xs < xe <= width keeps the integer columns inside the frame.
    if (xs < xe) {
        const int last = static_cast<int>(std::ceil(xe));
        // The normal and (s/w, t/w, 1/w) are stepped, in the same sequence of roundings, only
        // up to the pixel that needs them: hidden pixels after the last visible one cost only
        // their depth step. A visible pixel is handed on only once the next one has been found
        // and stepped to, so that this long chain of roundings overlaps the shading.
        int steppedTo = static_cast<int>(xs);
        bool pending = false;
        for (int column = steppedTo; column < last; ++column) {
            if (depthBuffer.testAndSet(depth, column, row)) {
                for (; steppedTo < column; ++steppedTo) {
                    normal += normalStepX;
                    renormalize(normal);
                    stOverW += stOverWStepX;
                }
                if (pending) sink.fragment(f);
                f.x = static_cast<float>(column);
                f.depth = depth;
                f.normal = normal;
                f.stOverW = stOverW;
                pending = true;
            }
            depth = static_cast<float>(static_cast<double>(depth) + depthStepX);
        }
        if (pending) sink.fragment(f);
    }
    sink.endSpan();
}

// Fills the polygon whose edges are in the table, row by row from its lowest edge, by the
// even-odd rule: spans run between the 1st and 2nd, 3rd and 4th … active edges in x order.
// The active list must be empty on entry.
template <class FragmentSink>
void scanPolygon(EdgeTable& edgeTable, ActiveEdgeList& active, DepthBuffer& depthBuffer, int width, int height,
                 FragmentSink& sink)
{
    if (edgeTable.empty()) return;
    for (int row = edgeTable.lowestFilled; row < height; ++row) {
        active.retire(static_cast<float>(row));
        if (row <= edgeTable.highestFilled) active.admit(edgeTable.buckets[static_cast<size_t>(row)]);
        if (active.empty()) {
            if (row >= edgeTable.highestFilled) break;
            continue;
        }
        active.sortByX();
        for (size_t i = 0; i + 1 < active.size(); i += 2) scanSpan(active[i], active[i + 1], row, width, depthBuffer, sink);
        active.step();
    }
}

// The renderer's two pixel outputs are instantiated once, in scan_polygon.cpp.
struct GlPointSink;
struct FrameImage;
template <class PointSink>
struct ShadedPoints;
extern template void scanPolygon(EdgeTable&, ActiveEdgeList&, DepthBuffer&, int, int, ShadedPoints<GlPointSink>&);
extern template void scanPolygon(EdgeTable&, ActiveEdgeList&, DepthBuffer&, int, int, ShadedPoints<FrameImage>&);
