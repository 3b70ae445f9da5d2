#pragma once

#include "raster/active_edge_list.h"
#include "raster/gathered_fragments.h"
#include "raster/polygon_edges.h"

// What the sweep works in besides the edge buckets: the active edges, the polygon being set up
// and the gathered pixels. Like the buckets it only grows, so a steady frame allocates nothing.
struct SweepStorage {
    ActiveEdgeList active;
    PolygonScratch scratch;
    GatheredFragments fragments;
};
