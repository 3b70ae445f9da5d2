#pragma once

#include <cmath>

#include "raster/active_edge_list.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/interpolate.h"
#include "raster/span_setup.h"
#include "texture/fragment.h"

// A FragmentSink receives what the sweep produces: beginSpan() and endSpan() around every span
// (empty spans included; never on a row without active edges), and fragment(f) for every pixel
// that passed the depth test, whose depth is then already stored.

// Walks the span from L to R on one row (see setUpSpan for its columns). The depth test is a
// DepthBuffer, or anything with its testAndSet (the frame probe wraps one to see every test).
template <class FragmentSink, class DepthTest>
void scanSpan(Edge& left, Edge& right, int row, int width, DepthTest& depthBuffer, FragmentSink& sink)
{
    catchUpInterpolants(left);
    catchUpInterpolants(right);
    const SpanSetup s = setUpSpan(left, right, width);
    // The running interpolants live apart from the fragment, which the sink sees by address,
    // so that stepping them does not go through memory.
    float depth = s.depth;
    Vec3 normal = s.normal;
    Vec3 stOverW = s.stOverW;

    Fragment f;
    f.y = static_cast<float>(row);
    f.stOverWStepX = s.stOverWStep;
    f.leftStOverWStepY = left.stOverWStep;
    f.rightStOverWStepY = right.stOverWStep;
    f.spanStart = s.firstColumn;
    f.spanLength = s.length;

    sink.beginSpan();
    if (!s.empty()) {
        const int last = s.lastColumn();
        // The normal and (s/w, t/w, 1/w) are stepped, in the same sequence of roundings, only
        // up to the pixel that needs them: hidden pixels after the last visible one cost only
        // their depth step. A visible pixel is handed on only once the next one has been found
        // and stepped to, so that this long chain of roundings overlaps the shading.
        int steppedTo = static_cast<int>(s.firstColumn);
        bool pending = false;
        for (int column = steppedTo; column < last; ++column) {
            if (depthBuffer.testAndSet(depth, column, row)) {
                for (; steppedTo < column; ++steppedTo) {
                    stepNormal(normal, s.normalStep);
                    stOverW += s.stOverWStep;
                }
                if (pending) sink.fragment(f);
                f.x = static_cast<float>(column);
                f.depth = depth;
                f.normal = normal;
                f.stOverW = stOverW;
                pending = true;
            }
            depth = static_cast<float>(static_cast<double>(depth) + s.depthStep);
        }
        if (pending) sink.fragment(f);
    }
    sink.endSpan();
}

// Sweeps the polygon whose edges are in the table, row by row from its lowest edge, by the
// even-odd rule: spans run between the 1st and 2nd, 3rd and 4th … active edges in x order, and
// each goes to visit(left, right, row). The active list must be empty on entry.
template <class SpanVisitor>
void sweepPolygon(EdgeTable& edgeTable, ActiveEdgeList& active, int height, SpanVisitor&& visit)
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
        for (size_t i = 0; i + 1 < active.size(); i += 2) visit(active[i], active[i + 1], row);
        active.step();
    }
}

// Fills the polygon pixel by pixel, each fragment straight to the sink.
template <class FragmentSink, class DepthTest>
void scanPolygon(EdgeTable& edgeTable, ActiveEdgeList& active, DepthTest& depthBuffer, int width, int height,
                 FragmentSink& sink)
{
    sweepPolygon(edgeTable, active, height, [&](Edge& left, Edge& right, int row) {
        scanSpan(left, right, row, width, depthBuffer, sink);
    });
}
