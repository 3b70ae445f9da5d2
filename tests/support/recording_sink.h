#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "raster/active_edge_list.h"
#include "raster/add_edge.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/scan_polygon.h"
#include "raster/screen_vertex.h"
#include "texture/fragment.h"

// (column, row)
using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

// Records what the sweep emits, without shading: every fragment, how often each pixel was
// emitted, and the spans, checking that fragments only come inside a span.
struct RecordingSink {
    std::vector<Fragment> fragments;
    std::map<Pixel, int> timesEmitted;
    int spans = 0;
    bool inSpan = false;

    void beginSpan()
    {
        EXPECT_FALSE(inSpan) << "nested span";
        inSpan = true;
        ++spans;
    }
    void endSpan()
    {
        EXPECT_TRUE(inSpan) << "span ended twice";
        inSpan = false;
    }
    void fragment(const Fragment& f)
    {
        EXPECT_TRUE(inSpan) << "fragment outside a span";
        fragments.push_back(f);
        ++timesEmitted[{static_cast<int>(f.x), static_cast<int>(f.y)}];
    }

    PixelSet pixels() const
    {
        PixelSet set;
        for (const auto& entry : timesEmitted) set.insert(entry.first);
        return set;
    }
    const Fragment* at(int column, int row) const
    {
        for (const Fragment& f : fragments)
            if (f.x == static_cast<float>(column) && f.y == static_cast<float>(row)) return &f;
        return nullptr;
    }
    void reset() { *this = RecordingSink(); }
};

inline ScreenVertex screenVertex(float x, float y, float depth = 0.5f, float w = 1.0f)
{
    ScreenVertex v;
    v.position = Vec4(x, y, depth, w);
    return v;
}

using Ring = std::vector<ScreenVertex>;

// Columns c0..c1 of rows r0..r1, both inclusive.
inline PixelSet pixelRect(int c0, int c1, int r0, int r1)
{
    PixelSet set;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) set.insert({c, r});
    return set;
}

// The scan converter alone on a frame of its own, as the frame driver runs it per polygon.
struct TestRaster {
    int width;
    int height;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    ActiveEdgeList active;
    RecordingSink sink;

    TestRaster(int w, int h) : width(w), height(h)
    {
        depthBuffer.resize(w, h);
        depthBuffer.clear(1.0f);
    }

    // Each ring's edges join every vertex with the one before it, the first with the last.
    void load(const std::vector<Ring>& rings)
    {
        edgeTable.resize(height);
        edgeTable.clear();
        active.clear();
        for (const Ring& ring : rings)
            for (size_t k = 0; k < ring.size(); ++k)
                addEdge(ring[k], ring[k == 0 ? ring.size() - 1 : k - 1], height, edgeTable);
    }

    void fill(const std::vector<Ring>& rings)
    {
        load(rings);
        scanPolygon(edgeTable, active, depthBuffer, width, height, sink);
    }
};
