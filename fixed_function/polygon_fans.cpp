#include "fixed_function/polygon_fans.h"

#include <algorithm>

namespace {

FanVertex fanVertex(const Vertex& v, const Vertex& litFrom)
{
    return {{v.position.x, v.position.y, v.position.z},
            {v.normal.x, v.normal.y, v.normal.z},
            {v.s, v.t},
            {litFrom.position.x, litFrom.position.y, litFrom.position.z},
            {litFrom.normal.x, litFrom.normal.y, litFrom.normal.z}};
}

// Contours start where a vertex does not follow the one before it.
std::vector<size_t> contourStarts(const Polygon& polygon)
{
    std::vector<size_t> starts;
    for (size_t j = 0; j < polygon.size(); ++j)
        if (j == 0 || polygon[j].previous != static_cast<int32_t>(j) - 1) starts.push_back(j);
    starts.push_back(polygon.size());
    return starts;
}

void startBatch(FanTriangles& out, size_t primitive, bool hole, bool blackened)
{
    const uint32_t first = static_cast<uint32_t>(out.vertices.size());
    if (!out.batches.empty()) {
        FanBatch& last = out.batches.back();
        const bool same = last.primitive == primitive && last.hole == hole && last.blackened == blackened;
        if (same || last.count == 0) {
            if (!same) last = FanBatch{primitive, first, 0, hole, blackened};
            return;
        }
    }
    out.batches.push_back({primitive, first, 0, hole, blackened});
}

void addFan(FanTriangles& out, const Polygon& polygon, size_t begin, size_t end, bool flat)
{
    for (size_t j = begin + 1; j + 1 < end; ++j) {
        for (size_t k : {begin, j, j + 1})
            out.vertices.push_back(fanVertex(polygon[k], flat ? polygon[begin] : polygon[k]));
        out.batches.back().count += 3;
    }
}

}  // namespace

FanTriangles polygonFans(const Scene& scene)
{
    FanTriangles out;
    for (size_t k = 0; k < scene.primitives.size(); ++k) {
        bool blackened = false;
        for (const Polygon& polygon : scene.primitives[k].polygons) {
            const std::vector<size_t> starts = contourStarts(polygon);
            for (size_t c = 0; c + 1 < starts.size(); ++c) {
                const bool hole = c > 0;
                blackened = blackened || hole;
                startBatch(out, k, hole, blackened);
                addFan(out, polygon, starts[c], starts[c + 1], scene.flatShading);
            }
        }
    }
    if (!out.batches.empty() && out.batches.back().count == 0) out.batches.pop_back();
    return out;
}
