#include "raster/polygon_edges.h"

#include "raster/add_edge.h"
#include "raster/near_plane_clip.h"

namespace {

// Vertices first..last form a closed ring when each follows the one before and the first
// follows the last, as the scene builder makes every contour.
bool isClosedRing(const Polygon& polygon, size_t first, size_t last)
{
    return polygon[first].previous == static_cast<int32_t>(last);
}

void addClippedRingEdges(const ClipVertex* ring, size_t count, const VertexStage& stage, int height, EdgeTable& table,
                         PolygonScratch& scratch, bool textureCoordinates)
{
    clipRingToNearPlane(ring, count, scratch.clippedRing);
    const size_t n = scratch.clippedRing.size();
    scratch.clippedScreen.resize(n);
    for (size_t k = 0; k < n; ++k) scratch.clippedScreen[k] = toScreen(scratch.clippedRing[k], stage);
    for (size_t k = 0; k < n; ++k) {
        const ScreenVertex& cur = scratch.clippedScreen[k];
        addEdge(cur, scratch.clippedScreen[static_cast<size_t>(cur.previous)], height, table, textureCoordinates);
    }
}

// One edge on its own, for vertices that do not form a closed ring: only its part in front
// of the near plane is kept.
void addEdgeInFront(const Polygon& polygon, size_t k, const VertexStage& stage, int height, EdgeTable& table,
                    PolygonScratch& scratch, bool textureCoordinates)
{
    const int32_t previous = polygon[k].previous;
    if (previous < 0 || static_cast<size_t>(previous) >= polygon.size()) return;
    const auto p = static_cast<size_t>(previous);
    const ClipVertex& cur = scratch.clip[k];
    const ClipVertex& prev = scratch.clip[p];
    const bool curInFront = inFrontOfNearPlane(cur.position);
    const bool prevInFront = inFrontOfNearPlane(prev.position);
    if (curInFront && prevInFront) {
        addEdge(scratch.screen[k], scratch.screen[p], height, table, textureCoordinates);
    } else if (curInFront) {
        addEdge(scratch.screen[k], toScreen(nearPlaneCrossing(cur, prev), stage), height, table, textureCoordinates);
    } else if (prevInFront) {
        addEdge(toScreen(nearPlaneCrossing(prev, cur), stage), scratch.screen[p], height, table, textureCoordinates);
    }
}

}  // namespace

void addPolygonEdges(const Polygon& polygon, const VertexStage& stage, int height, EdgeTable& table,
                     PolygonScratch& scratch, bool textureCoordinates)
{
    const size_t n = polygon.size();
    scratch.clip.resize(n);
    scratch.screen.resize(n);
    for (size_t k = 0; k < n; ++k) {
        scratch.clip[k] = toClipSpace(polygon[k], stage);
        if (inFrontOfNearPlane(scratch.clip[k].position)) scratch.screen[k] = toScreen(scratch.clip[k], stage);
    }
    // Edges go into the table in vertex order, ring after ring: the order decides which of two
    // edges at equal x comes first in a span pair.
    size_t first = 0;
    while (first < n) {
        size_t last = first;
        while (last + 1 < n && polygon[last + 1].previous == static_cast<int32_t>(last)) ++last;
        bool wholeInFront = true;
        for (size_t k = first; k <= last; ++k)
            wholeInFront = wholeInFront && inFrontOfNearPlane(scratch.clip[k].position);
        if (!wholeInFront && isClosedRing(polygon, first, last)) {
            addClippedRingEdges(&scratch.clip[first], last - first + 1, stage, height, table, scratch,
                                textureCoordinates);
        } else {
            for (size_t k = first; k <= last; ++k)
                addEdgeInFront(polygon, k, stage, height, table, scratch, textureCoordinates);
        }
        first = last + 1;
    }
}
