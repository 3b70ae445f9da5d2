#include "raster/lanes/hidden_polygon.h"

#include <algorithm>
#include <cmath>

#include "raster/lanes/lanes.h"

namespace {

// Beyond these the error bounds below would need more care than they are worth.
constexpr float kLargestX = 1048576.0f;  // 2^20 pixels
constexpr float kLargestDepth = 1024.0f;

constexpr float kFloatEpsilon = 1.0f / 16777216.0f;  // 2^-24, a float's relative rounding

// Lane by lane: copying the mask out through memory would keep the running mask of the whole
// box test in memory too, one store and reload per eight cells.
PIXELWRIGHT_LANE_HELPER bool anyLane(MaskLanes m)
{
    int32_t any = 0;
    for (int lane = 0; lane < kLanes; ++lane) any |= m[lane];
    return any != 0;
}

// countSpans for polygons with many edges: row by row, each edge from a bucket at or below the
// row that has not yet ended is active there.
size_t countSpansRowByRow(const EdgeTable& table)
{
    float endRow = 0.0f;
    for (int r = table.lowestFilled; r <= table.highestFilled; ++r) {
        for (const Edge& e : table.buckets[static_cast<size_t>(r)]) endRow = std::max(endRow, e.endRow);
    }
    size_t spans = 0;
    for (int row = table.lowestFilled; row < static_cast<int>(endRow); ++row) {
        const auto y = static_cast<float>(row);
        int active = 0;
        for (int r = table.lowestFilled; r <= std::min(row, table.highestFilled); ++r) {
            for (const Edge& e : table.buckets[static_cast<size_t>(r)]) active += y < e.endRow ? 1 : 0;
        }
        spans += static_cast<size_t>(active / 2);
    }
    return spans;
}

}  // namespace

PIXELWRIGHT_LANE_KERNEL bool surelyHidden(const EdgeTable& table, const DepthBuffer& depthBuffer, int width)
{
    if (table.empty() || width < kLanes) return false;
    float minDepth = INFINITY, largestDepth = 0.0f, minX = INFINITY, maxX = -INFINITY, endRow = 0.0f;
    for (int r = table.lowestFilled; r <= table.highestFilled; ++r) {
        for (const Edge& e : table.buckets[static_cast<size_t>(r)]) {
            for (const Vec4* p : {&e.lower.position, &e.upper.position}) {
                minDepth = std::min(minDepth, p->z);
                largestDepth = std::max(largestDepth, std::fabs(p->z));
                minX = std::min(minX, p->x);
                maxX = std::max(maxX, p->x);
            }
            endRow = std::max(endRow, e.endRow);
        }
    }
    // The table holds only edges with finite ends.
    if (!(largestDepth <= kLargestDepth && minX >= -kLargestX && maxX <= kLargestX)) return false;

    // In exact arithmetic every pixel's depth lies between its vertices' depths, interpolated down
    // the edges and then along a row, and its column between their x. Rounded, each step down an
    // edge or along a row moves the value by at most a unit in the last place of the largest
    // magnitude around, and each set-up by a few: the slacks are at least twice those sums, and
    // cover the rounding of their own arithmetic too.
    const float rows = endRow - static_cast<float>(table.lowestFilled);
    const float columns = maxX - minX + 2.0f;
    const float xSlack = 4.0f * (rows + 8.0f) * kFloatEpsilon * std::max(1.0f, std::max(-minX, maxX)) + 2.0f;
    // A span can reach column 0 from a left end a hair below it, with a depth step that overflows:
    // no bound holds there. Truncation is a floor for the columns above it.
    const float low = minX - xSlack;
    if (!(low >= 1.0f)) return false;
    const auto first = static_cast<int>(low);
    const float high = maxX + xSlack;
    const int last = high < static_cast<float>(width - 1) ? static_cast<int>(high) : width - 1;
    if (first > last) return true;  // wholly right of the frame: no pixel
    const float depthSlack = 8.0f * (rows + columns + 32.0f) * kFloatEpsilon * std::max(1.0f, largestDepth);
    const float bound = minDepth - depthSlack;

    // The whole box, eight cells at a time, the last eight ending on its last column (reading a
    // few to its left only makes the test stricter): following the edges row by row would cost
    // about what walking the spans does.
    const int lastGroup = last - (kLanes - 1) > 0 ? last - (kLanes - 1) : 0;
    MaskLanes above{};
    for (int row = table.lowestFilled; row < static_cast<int>(endRow); ++row) {
        const float* cells = depthBuffer.rowCells(row);
        for (int c = first; c < lastGroup; c += kLanes) above |= loadLanes(cells + c) > bound;
        above |= loadLanes(cells + lastGroup) > bound;
        // A visible polygon usually shows it on its first row.
        if (row == table.lowestFilled && anyLane(above)) return false;
    }
    return !anyLane(above);
}

size_t countSpans(const EdgeTable& table)
{
    // The active count changes only where an edge starts or ends, so the rows go in runs between
    // those events: the starts come in bucket order, the ends from a list kept sorted.
    constexpr size_t kMostEdges = 64;
    int ends[kMostEdges];
    size_t endCount = 0, nextEnd = 0, spans = 0;
    int active = 0, row = table.lowestFilled;
    auto runTo = [&](int to) {
        spans += static_cast<size_t>(active / 2) * static_cast<size_t>(to - row);
        row = to;
    };
    for (int r = table.lowestFilled; r <= table.highestFilled; ++r) {
        const std::vector<Edge>& bucket = table.buckets[static_cast<size_t>(r)];
        if (bucket.empty()) continue;
        for (; nextEnd < endCount && ends[nextEnd] <= r; ++nextEnd, --active) runTo(ends[nextEnd]);
        runTo(r);
        for (const Edge& e : bucket) {
            if (endCount == kMostEdges) return countSpansRowByRow(table);
            // An edge's rows lie within the frame, so its end row is a whole number of them.
            const auto end = static_cast<int>(e.endRow);
            size_t k = endCount++;
            for (; k > nextEnd && ends[k - 1] > end; --k) ends[k] = ends[k - 1];
            ends[k] = end;
            ++active;
        }
    }
    for (; nextEnd < endCount; ++nextEnd, --active) runTo(ends[nextEnd]);
    return spans;
}
