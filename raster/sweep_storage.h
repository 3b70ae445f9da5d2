#pragma once

#include <memory>

#include "raster/active_edge_list.h"
#include "raster/polygon_edges.h"

// The lane path's storage (raster/lanes/), which the shared front end does not look into.
struct GatheredFragments;

// What the sweep works in besides the edge buckets: the active edges, the polygon being set up
// and, for the lane path, the gathered pixels. Like the buckets it only grows, so a steady frame
// allocates nothing.
struct SweepStorage {
    ActiveEdgeList active;
    PolygonScratch scratch;

    SweepStorage();
    ~SweepStorage();
    SweepStorage(const SweepStorage&) = delete;
    SweepStorage& operator=(const SweepStorage&) = delete;

    // Made by the first frame that gathers, then kept.
    GatheredFragments& fragments();

private:
    std::unique_ptr<GatheredFragments> fragments_;
};
