#include "raster/add_edge.h"

#include <cmath>

#include "raster/interpolate.h"

namespace {

bool isFinite(const Vec4& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}

// (s/w, t/w, 1/w) with the end's clip w: linear in screen space.
Vec3 stOverW(const ScreenVertex& v)
{
    const double w = v.position.w;
    return {static_cast<float>(v.s / w), static_cast<float>(v.t / w), static_cast<float>(1.0 / w)};
}

}  // namespace

void addEdge(const ScreenVertex& a, const ScreenVertex& b, int height, EdgeTable& table, bool textureCoordinates)
{
    if (!isFinite(a.position) || !isFinite(b.position)) return;
    const bool swap = b.position.y < a.position.y;
    const ScreenVertex& lower = swap ? b : a;
    const ScreenVertex& upper = swap ? a : b;

    // Rows are sampled at whole numbers: an edge covers the rows r with lower.y <= r < upper.y.
    const float frameHeight = static_cast<float>(height);
    float firstRow = std::ceil(lower.position.y);
    if (firstRow < 0.0f) firstRow = 0.0f;
    float endRow = std::ceil(upper.position.y);
    if (endRow > frameHeight) endRow = frameHeight;
    const float lastFrameRow = static_cast<float>(static_cast<double>(frameHeight) - 1.0);
    if (!(endRow >= 0.0f && firstRow <= lastFrameRow && firstRow < endRow)) return;

    const float dy = static_cast<float>(static_cast<double>(upper.position.y) - lower.position.y);
    const float u = static_cast<float>((static_cast<double>(firstRow) - lower.position.y) / dy);
    const float x = lerp(lower.position.x, upper.position.x, u);
    const float xStep = stepPer(lower.position.x, upper.position.x, dy);
    const float depth = lerp(lower.position.z, upper.position.z, u);
    const float depthStep = stepPer(lower.position.z, upper.position.z, dy);
    // A nearly horizontal edge far outside the frame can overflow its steps.
    if (!std::isfinite(x) || !std::isfinite(xStep) || !std::isfinite(depth) || !std::isfinite(depthStep)) return;
    Vec3 stOverWAtFirstRow, stOverWStep;
    if (textureCoordinates) {
        const Vec3 qLower = stOverW(lower);
        const Vec3 qUpper = stOverW(upper);
        stOverWAtFirstRow = lerp(qLower, qUpper, u);
        stOverWStep = stepPer(qLower, qUpper, dy);
    }
    // Every member given at once, in declaration order: a default-constructed edge would first
    // be cleared whole.
    const Edge e{false,  // finished
                 x, xStep, depth, depthStep, firstRow, endRow,
                 lerp(lower.normal, upper.normal, u),      // normal
                 stepPer(lower.normal, upper.normal, dy),  // normalStep
                 stOverWAtFirstRow, stOverWStep,
                 0,  // lagRows
                 lower, upper};
    const int row = static_cast<int>(firstRow);
    if (static_cast<unsigned>(row) >= table.rows) return;  // a table smaller than the frame
    table.add(row, e);
}
