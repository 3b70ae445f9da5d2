#pragma once

#include <climits>
#include <vector>

#include "raster/edge.h"
#include "raster/sweep_storage.h"

// One bucket per frame row, holding the edges that start on that row, and the rest of the sweep's
// working storage. Only grows.
struct EdgeTable {
    std::vector<std::vector<Edge>> buckets;
    unsigned rows = 0;
    // The lowest and highest bucket holding an edge (lowestFilled > highestFilled when none does),
    // so that clearing and sweeping one polygon cost nothing for the rows it does not reach.
    int lowestFilled = INT_MAX;
    int highestFilled = -1;
    SweepStorage sweep;

    void resize(int n)
    {
        if (n <= 0 || rows >= static_cast<unsigned>(n)) return;
        buckets.assign(static_cast<size_t>(n), {});
        for (auto& bucket : buckets) bucket.reserve(2);
        rows = static_cast<unsigned>(n);
        lowestFilled = INT_MAX;
        highestFilled = -1;
    }

    void clear()
    {
        for (int r = lowestFilled; r <= highestFilled; ++r) buckets[static_cast<size_t>(r)].clear();
        lowestFilled = INT_MAX;
        highestFilled = -1;
    }

    bool empty() const { return lowestFilled > highestFilled; }

    // No range check: callers keep 0 <= row < rows.
    void add(int row, const Edge& edge)
    {
        buckets[static_cast<size_t>(row)].push_back(edge);
        if (row < lowestFilled) lowestFilled = row;
        if (row > highestFilled) highestFilled = row;
    }
};
