#pragma once

#include <vector>

#include "raster/edge.h"

// One bucket per frame row, holding the edges that start on that row. Only grows.
struct EdgeTable {
    std::vector<std::vector<Edge>> buckets;
    unsigned rows = 0;

    void resize(int n)
    {
        if (n <= 0 || rows >= static_cast<unsigned>(n)) return;
        buckets.assign(static_cast<size_t>(n), {});
        for (auto& bucket : buckets) bucket.reserve(2);
        rows = static_cast<unsigned>(n);
    }

    void clear()
    {
        for (auto& bucket : buckets) bucket.clear();
    }
};
