#pragma once

#include <algorithm>

#include "raster/depth_buffer.h"
#include "raster/edge_table.h"

// Whether no pixel of the polygon in the table can pass the depth test: every cell its rows can
// reach already holds a depth at most the least its pixels can take. True only when walking its
// spans would keep nothing; false whenever that cannot be shown cheaply. The back of a closed
// surface, drawn after its front, is the common case.
bool surelyHidden(const EdgeTable& table, const DepthBuffer& depthBuffer, int width);

// The row of every span that sweeping the polygon in the table visits, in sweep order: pairs of
// the edges active on each row, empty spans included.
template <class Visit>
void forEachSpanRow(const EdgeTable& table, Visit&& visit)
{
    if (table.empty()) return;
    float endRow = 0.0f;
    for (int r = table.lowestFilled; r <= table.highestFilled; ++r) {
        for (const Edge& e : table.buckets[static_cast<size_t>(r)]) endRow = std::max(endRow, e.endRow);
    }
    for (int row = table.lowestFilled; row < static_cast<int>(endRow); ++row) {
        // Every edge from a bucket at or below the row has started; those not yet ended are active.
        const auto y = static_cast<float>(row);
        int active = 0;
        for (int r = table.lowestFilled; r <= std::min(row, table.highestFilled); ++r) {
            for (const Edge& e : table.buckets[static_cast<size_t>(r)]) active += y < e.endRow ? 1 : 0;
        }
        for (int pair = 0; pair < active / 2; ++pair) visit(row);
    }
}
