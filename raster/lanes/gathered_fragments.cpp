#include "raster/lanes/gathered_fragments.h"

#include <algorithm>
#include <iterator>

#include "raster/active_edge_list.h"
#include "raster/interpolate.h"
#include "raster/lanes/lane_group.h"
#include "raster/shade_fragment.h"

namespace {

size_t roundUpToLanes(size_t n) { return (n + kLanes - 1) / kLanes * kLanes; }

// Up to a lane group of spans, stepped column by column side by side; (s/w, t/w, 1/w) too if
// kTextureCoordinates.
template <bool kTextureCoordinates>
struct SpanLanes {
    Vec3Lanes normal, normalStep, stOverW, stOverWStep;
    uint32_t next[kLanes] = {};  // each lane's next kept pixel
    uint32_t end[kLanes] = {};
    int32_t firstColumn[kLanes] = {};
    uint32_t keptSpan[kLanes] = {};
    float ndcRow[kLanes] = {};
    int steps = -1;  // the most any lane needs; -1 for no span at all

    // Takes the spans order[nextSpan] … order[stop - 1], as many as there are lanes.
    PIXELWRIGHT_LANE_HELPER void load(const GatheredFragments& f, const float* rowNdc, const uint32_t* order,
                                      size_t stop, size_t& nextSpan)
    {
        alignas(32) float start[6][kLanes] = {};
        alignas(32) float by[6][kLanes] = {};
        for (int lane = 0; lane < kLanes && nextSpan < stop; ++nextSpan) {
            const KeptSpan& s = f.keptSpans[order[nextSpan]];
            const SpanSetup& u = s.setup;
            const Vec3* values[4] = {&u.normal, &u.stOverW, &u.normalStep, &u.stOverWStep};
            for (int v = 0; v < 2; ++v) {
                start[3 * v][lane] = values[v]->x;
                start[3 * v + 1][lane] = values[v]->y;
                start[3 * v + 2][lane] = values[v]->z;
                by[3 * v][lane] = values[v + 2]->x;
                by[3 * v + 1][lane] = values[v + 2]->y;
                by[3 * v + 2][lane] = values[v + 2]->z;
            }
            next[lane] = s.firstFragment;
            end[lane] = s.firstFragment + s.fragmentCount;
            firstColumn[lane] = static_cast<int32_t>(u.firstColumn);
            keptSpan[lane] = order[nextSpan];
            ndcRow[lane] = rowNdc[s.row];
            steps = std::max(steps, s.steps);
            ++lane;
        }
        normal = {loadLanes(start[0]), loadLanes(start[1]), loadLanes(start[2])};
        stOverW = {loadLanes(start[3]), loadLanes(start[4]), loadLanes(start[5])};
        normalStep = {loadLanes(by[0]), loadLanes(by[1]), loadLanes(by[2])};
        stOverWStep = {loadLanes(by[3]), loadLanes(by[4]), loadLanes(by[5])};
    }

    // Hands the values at column firstColumn + k to the lanes' kept pixels there, with the
    // pixel's span and coordinates, which the depth walk leaves out: it stores for every pixel
    // it walks, and in a detailed scene many of those stay hidden.
    PIXELWRIGHT_LANE_HELPER void store(GatheredFragments& f, const float* columnNdc, int k)
    {
        alignas(32) float now[6][kLanes];
        storeLanes(now[0], normal.x);
        storeLanes(now[1], normal.y);
        storeLanes(now[2], normal.z);
        storeLanes(now[3], stOverW.x);
        storeLanes(now[4], stOverW.y);
        storeLanes(now[5], stOverW.z);
        for (int lane = 0; lane < kLanes; ++lane) {
            const uint32_t i = next[lane];
            if (i == end[lane]) continue;
            const int32_t c = f.column[i];
            if (c - firstColumn[lane] != k) continue;
            f.span[i] = keptSpan[lane];
            f.ndcX[i] = columnNdc[c];
            f.ndcY[i] = ndcRow[lane];
            f.normalX[i] = now[0][lane];
            f.normalY[i] = now[1][lane];
            f.normalZ[i] = now[2][lane];
            if (kTextureCoordinates) {
                f.stOverWX[i] = now[3][lane];
                f.stOverWY[i] = now[4][lane];
                f.stOverWZ[i] = now[5][lane];
            }
            next[lane] = i + 1;
        }
    }

    // The first column keeps the advanced normal as it is; every later one is renormalised, and
    // a normal that reaches zero stays zero. Not forced inline, as it takes square roots.
    template <class Roots>
    void step()
    {
        stepNormal<LaneGroup<Roots>>(normal, normalStep);
        if (kTextureCoordinates) stOverW = stOverW + stOverWStep;
    }
};

// Two lane groups of spans at once, one span per lane: each step is a long chain of roundings,
// and the second group's chain fills the wait for the first's. A lane whose span has no further
// kept pixel idles until the longest is done, so the spans come in order of the steps they need,
// and the pair that is not full takes the shortest. Each lane's roundings are its own span's,
// whichever lane and order it gets.
template <class Roots, bool kTextureCoordinates>
void stepSpans(GatheredFragments& f, const float* columnNdc, const float* rowNdc, const uint32_t* order,
               size_t spanCount)
{
    constexpr size_t kPair = 2 * kLanes;
    size_t nextSpan = 0;
    size_t pairEnd = spanCount % kPair != 0 ? spanCount % kPair : kPair;
    while (nextSpan < spanCount) {
        SpanLanes<kTextureCoordinates> a, b;
        a.load(f, rowNdc, order, pairEnd, nextSpan);
        b.load(f, rowNdc, order, pairEnd, nextSpan);
        const int steps = std::max(a.steps, b.steps);
        for (int k = 0;; ++k) {
            a.store(f, columnNdc, k);
            b.store(f, columnNdc, k);
            if (k == steps) break;
            a.template step<Roots>();
            b.template step<Roots>();
        }
        pairEnd = std::min(nextSpan + kPair, spanCount);
    }
}

template <bool kTextureCoordinates>
struct StepSpans {
    template <class Roots>
    static void run(GatheredFragments& f, const float* columnNdc, const float* rowNdc, const uint32_t* order,
                    size_t spanCount)
    {
        stepSpans<Roots, kTextureCoordinates>(f, columnNdc, rowNdc, order, spanCount);
    }
};

}  // namespace

void GatheredFragments::setFrameSize(int width, int height)
{
    const size_t columns = width > 0 ? static_cast<size_t>(width) : 0u;
    const size_t rows = height > 0 ? static_cast<size_t>(height) : 0u;
    // Only this fills the tables, so their lengths tell the size they were worked out for.
    if (columnNdc.size() == columns && rowNdc.size() == rows) return;
    columnNdc.resize(columns);
    rowNdc.resize(rows);
    for (size_t c = 0; c < columnNdc.size(); ++c)
        columnNdc[c] = normalizedDeviceCoordinate(static_cast<float>(c), width);
    for (size_t r = 0; r < rowNdc.size(); ++r) rowNdc[r] = normalizedDeviceCoordinate(static_cast<float>(r), height);
}

void GatheredFragments::startFrame(int width, int height)
{
    clear();
    setFrameSize(width, height);
    const size_t columns = width > 0 ? static_cast<size_t>(width) : 0u;
    reserve(kGatherFragments + columns, kGatherSpans);
    // A span needs fewer steps than the frame has columns.
    stepCounts_.reserve(columns + 1);
    stepOrder_.reserve(kGatherSpans);
}

size_t GatheredFragments::paddedCount() const { return roundUpToLanes(count); }

void GatheredFragments::reserve(size_t n, size_t spanCount)
{
    spans.reserve(spanCount);
    keptSpans.reserve(spanCount);
    const size_t padded = roundUpToLanes(n);
    if (capacity_ >= padded) return;
    int32_t* const oldColumn = column;
    float* const oldDepth = depth;
    int32_t** const integerArrays[] = {&column};
    float** const floatArrays[] = {&ndcX,    &ndcY,     &depth,    &normalX, &normalY,
                                   &normalZ, &stOverWX, &stOverWY, &stOverWZ};
    constexpr size_t kIntegerArrays = std::size(integerArrays) + 1;  // and span
    std::unique_ptr<int32_t[]> integers(new int32_t[kIntegerArrays * padded]);
    std::unique_ptr<float[]> floats(new float[std::size(floatArrays) * padded]);
    span = reinterpret_cast<uint32_t*>(integers.get());
    for (size_t a = 0; a < std::size(integerArrays); ++a) *integerArrays[a] = integers.get() + (a + 1) * padded;
    for (size_t a = 0; a < std::size(floatArrays); ++a) *floatArrays[a] = floats.get() + a * padded;
    shading_.reset(new LaneShadeState[padded / kLanes]);
    shading = shading_.get();
    // What addSpan has gathered so far is kept; everything else is filled afresh before it is read.
    if (count > 0) {
        std::copy(oldColumn, oldColumn + count, column);
        std::copy(oldDepth, oldDepth + count, depth);
    }
    integers_ = std::move(integers);
    floats_ = std::move(floats);
    capacity_ = padded;
}

PIXELWRIGHT_LANE_KERNEL void GatheredFragments::addSpan(Edge& left, Edge& right, int row, int width,
                                                        DepthBuffer& depthBuffer)
{
    SpanSetup setup = setUpSpanDepth(left, right, width);
    const size_t firstFragment = count;
    if (!setup.empty()) {
        const auto first = static_cast<int>(setup.firstColumn);
        const int last = setup.lastColumn();
        const size_t needed = count + static_cast<size_t>(last - first);
        if (needed > capacity_) reserve(needed, 0);
        // The depth test without a branch: where hidden and visible pixels alternate, a branch
        // would be mispredicted at every change. Each column is written to the next free entry
        // and kept only if it passed.
        float* cells = depthBuffer.rowCells(row);
        float d = setup.depth;
        for (int c = first; c < last; ++c) {
            const float cell = cells[c];
            const bool visible = passesDepthTest(d, cell);
            cells[c] = visible ? d : cell;
            column[count] = c;
            depth[count] = d;
            count += visible ? 1u : 0u;
            d = d + setup.depthStep;  // a float sum rounds as the double sum rounded to float
        }
    }
    const auto fragmentCount = static_cast<uint32_t>(count - firstFragment);
    spans.push_back({row, static_cast<uint32_t>(firstFragment), fragmentCount});
    if (fragmentCount == 0) return;  // nothing will step or sample it
    catchUpInterpolants(left);
    catchUpInterpolants(right);
    setUpSpanInterpolants(left, right, setup);
    // Built in place: a whole span assembled on the stack and then copied would be read back
    // before its many small stores had landed.
    keptSpans.emplace_back(row, static_cast<uint32_t>(firstFragment), fragmentCount,
                           column[count - 1] - static_cast<int32_t>(setup.firstColumn), setup, left.stOverWStep,
                           right.stOverWStep);
}

void GatheredFragments::orderSpansBySteps()
{
    // A counting sort: the steps are below the frame width, and the spans are many.
    int32_t most = -1;
    for (const KeptSpan& s : keptSpans) most = std::max(most, s.steps);
    stepCounts_.assign(static_cast<size_t>(most + 2), 0u);
    for (const KeptSpan& s : keptSpans) ++stepCounts_[static_cast<size_t>(s.steps) + 1];
    for (size_t k = 1; k < stepCounts_.size(); ++k) stepCounts_[k] += stepCounts_[k - 1];
    stepOrder_.resize(keptSpans.size());
    for (size_t i = 0; i < keptSpans.size(); ++i)
        stepOrder_[stepCounts_[static_cast<size_t>(keptSpans[i].steps)]++] = static_cast<uint32_t>(i);
}

void GatheredFragments::stepInterpolants(bool textureCoordinates)
{
    // The lanes past the last fragment of the polygon are filled too, with values that shading
    // may compute on harmlessly.
    for (size_t i = count; i < paddedCount(); ++i) {
        span[i] = 0;
        column[i] = 0;
        ndcX[i] = ndcY[i] = 0.0f;
        depth[i] = 0.0f;
        normalX[i] = normalY[i] = normalZ[i] = 0.0f;
        stOverWX[i] = stOverWY[i] = stOverWZ[i] = 1.0f;
    }

    orderSpansBySteps();
    if (textureCoordinates)
        runLanes<StepSpans<true>>(*this, columnNdc.data(), rowNdc.data(), stepOrder_.data(), keptSpans.size());
    else
        runLanes<StepSpans<false>>(*this, columnNdc.data(), rowNdc.data(), stepOrder_.data(), keptSpans.size());
}
