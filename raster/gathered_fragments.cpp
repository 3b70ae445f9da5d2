#include "raster/gathered_fragments.h"

#include <algorithm>

#include "raster/lanes.h"

namespace {

size_t roundUpToLanes(size_t n) { return (n + kLanes - 1) / kLanes * kLanes; }

template <class T>
void growTo(std::vector<T>& v, size_t n)
{
    if (v.size() < n) v.resize(n);
}

}  // namespace

size_t GatheredFragments::paddedCount() const { return roundUpToLanes(count); }

void GatheredFragments::reserve(size_t n, size_t spanCount)
{
    spans.reserve(spanCount);
    const size_t padded = roundUpToLanes(n);
    if (span.size() >= padded) return;
    growTo(span, padded);
    growTo(column, padded);
    for (auto* v : {&row, &depth, &normalX, &normalY, &normalZ, &stOverWX, &stOverWY, &stOverWZ, &red, &green, &blue, &textureRed, &textureGreen, &textureBlue,
                    &gradientX, &gradientY, &positionX, &positionY, &positionZ, &toEyeX, &toEyeY, &toEyeZ,
                    &toLightX, &toLightY, &toLightZ})
        growTo(*v, padded);
    growTo(lit, padded);
}

PIXELWRIGHT_LANE_KERNEL void GatheredFragments::addSpan(const Edge& left, const Edge& right, int row, int width, DepthBuffer& depthBuffer)
{
    GatheredSpan s;
    s.row = row;
    s.firstFragment = static_cast<uint32_t>(count);
    s.setup = setUpSpan(left, right, width);
    s.leftStOverWStepY = left.stOverWStep;
    s.rightStOverWStepY = right.stOverWStep;
    if (!s.setup.empty()) {
        const auto first = static_cast<int>(s.setup.firstColumn);
        const int last = s.setup.lastColumn();
        reserve(count + static_cast<size_t>(last - first), 0);
        const auto spanIndex = static_cast<uint32_t>(spans.size());
        float d = s.setup.depth;
        for (int c = first; c < last; ++c) {
            if (depthBuffer.testAndSet(d, c, row)) {
                span[count] = spanIndex;
                column[count] = c;
                this->row[count] = static_cast<float>(row);
                depth[count] = d;
                ++count;
            }
            d = d + s.setup.depthStep;  // a float sum rounds as the double sum rounded to float
        }
    }
    s.fragmentCount = static_cast<uint32_t>(count - s.firstFragment);
    spans.push_back(s);
}

PIXELWRIGHT_LANE_KERNEL void GatheredFragments::stepInterpolants()
{
    // The lanes past the last fragment of the polygon are filled too, with values that shading
    // may compute on harmlessly.
    for (size_t i = count; i < paddedCount(); ++i) {
        span[i] = 0;
        column[i] = 0;
        row[i] = 0.0f;
        depth[i] = 0.0f;
        normalX[i] = normalY[i] = normalZ[i] = 0.0f;
        stOverWX[i] = stOverWY[i] = stOverWZ[i] = 1.0f;
    }

    // A lane group of spans at once, one per lane, taking only spans that kept a pixel. A lane
    // whose span has no further kept pixel idles until the longest one is done.
    size_t nextSpan = 0;
    for (;;) {
        alignas(32) float start[6][kLanes] = {};
        alignas(32) float step[6][kLanes] = {};
        uint32_t next[kLanes] = {};
        uint32_t end[kLanes] = {};
        int32_t firstColumn[kLanes] = {};
        int steps = -1;
        for (int lane = 0; lane < kLanes && nextSpan < spans.size(); ++nextSpan) {
            const GatheredSpan& s = spans[nextSpan];
            if (s.fragmentCount == 0) continue;
            const SpanSetup& u = s.setup;
            const Vec3* from[2] = {&u.normal, &u.stOverW};
            const Vec3* by[2] = {&u.normalStep, &u.stOverWStep};
            for (int v = 0; v < 2; ++v) {
                start[3 * v][lane] = from[v]->x;
                start[3 * v + 1][lane] = from[v]->y;
                start[3 * v + 2][lane] = from[v]->z;
                step[3 * v][lane] = by[v]->x;
                step[3 * v + 1][lane] = by[v]->y;
                step[3 * v + 2][lane] = by[v]->z;
            }
            next[lane] = s.firstFragment;
            end[lane] = s.firstFragment + s.fragmentCount;
            firstColumn[lane] = static_cast<int32_t>(u.firstColumn);
            steps = std::max(steps, column[end[lane] - 1] - firstColumn[lane]);
            ++lane;
        }
        if (steps < 0) break;

        Vec3Lanes normal{loadLanes(start[0]), loadLanes(start[1]), loadLanes(start[2])};
        const Vec3Lanes normalStep{loadLanes(step[0]), loadLanes(step[1]), loadLanes(step[2])};
        Vec3Lanes stOverW{loadLanes(start[3]), loadLanes(start[4]), loadLanes(start[5])};
        const Vec3Lanes stOverWStep{loadLanes(step[3]), loadLanes(step[4]), loadLanes(step[5])};
        for (int k = 0;; ++k) {
            alignas(32) float now[6][kLanes];
            storeLanes(now[0], normal.x);
            storeLanes(now[1], normal.y);
            storeLanes(now[2], normal.z);
            storeLanes(now[3], stOverW.x);
            storeLanes(now[4], stOverW.y);
            storeLanes(now[5], stOverW.z);
            for (int lane = 0; lane < kLanes; ++lane) {
                const uint32_t i = next[lane];
                if (i == end[lane] || column[i] - firstColumn[lane] != k) continue;
                normalX[i] = now[0][lane];
                normalY[i] = now[1][lane];
                normalZ[i] = now[2][lane];
                stOverWX[i] = now[3][lane];
                stOverWY[i] = now[4][lane];
                stOverWZ[i] = now[5][lane];
                next[lane] = i + 1;
            }
            if (k == steps) break;
            // The first column keeps the advanced normal as it is; every later one is renormalised,
            // and a normal that reaches zero stays zero.
            normal = normal + normalStep;
            normalizeWhereNonZero(normal);
            stOverW = stOverW + stOverWStep;
        }
    }
}
