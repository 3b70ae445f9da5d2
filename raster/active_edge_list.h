#pragma once

#include <cstddef>
#include <vector>

#include "raster/edge.h"
#include "raster/interpolate.h"

// The edges crossing the current row, in x order. It refers to the edges in their buckets and
// steps them there: each bucket edge is admitted once per polygon, so this is the same as
// stepping a copy, and its storage is reused from polygon to polygon instead of a node per edge.
struct ActiveEdgeList {
    std::vector<Edge*> edges;

    void clear() { edges.clear(); }
    bool empty() const { return edges.empty(); }
    size_t size() const { return edges.size(); }
    Edge& operator[](size_t i) const { return *edges[i]; }

    // Drops the edges whose end row has been reached; the others keep their order.
    void retire(float y)
    {
        size_t kept = 0;
        for (Edge* e : edges) {
            if (e->endRow <= y) e->finished = true;
            if (!e->finished) edges[kept++] = e;
        }
        edges.resize(kept);
    }

    // Appends the edges starting on this row, in bucket order.
    void admit(std::vector<Edge>& bucket)
    {
        for (Edge& e : bucket) edges.push_back(&e);
    }

    // Stable, so edges at equal x keep their list order; the list is short and nearly sorted
    // from the row before, which is what an insertion sort is best at.
    void sortByX()
    {
        for (size_t i = 1; i < edges.size(); ++i) {
            Edge* e = edges[i];
            size_t j = i;
            for (; j > 0 && edges[j - 1]->x > e->x; --j) edges[j] = edges[j - 1];
            edges[j] = e;
        }
    }

    // Moves every edge's x and depth on to the next row, which every span needs; the rest only
    // a span with a visible pixel reads, so it waits for catchUpInterpolants. A float sum rounds
    // as the double sum rounded to float.
    void step()
    {
        for (Edge* e : edges) {
            e->x = e->x + e->xStep;
            e->depth = e->depth + e->depthStep;
            ++e->lagRows;
        }
    }
};

// Brings the edge's normal (renormalised at each row) and (s/w, t/w, 1/w) to its current row, in
// the same roundings as stepping them row by row. An edge whose spans all stay hidden never
// takes these steps: most of the cost of a row is the renormalisation.
inline void catchUpInterpolants(Edge& e)
{
    for (; e.lagRows > 0; --e.lagRows) {
        stepNormal(e.normal, e.normalStep);
        e.stOverW += e.stOverWStep;
    }
}
