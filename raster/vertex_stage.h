#pragma once

#include "math/mat4.h"
#include "math/matrix_stack.h"
#include "raster/screen_vertex.h"
#include "scene/scene.h"

// A vertex after the view and projection matrices, before the divide: the space in which
// polygons are cut at the near plane.
using ClipVertex = Vertex;

// The three matrices of one frame, read once per frame and kept widened for the many vertices.
struct VertexStage {
    WideMat4<> view;
    WideMat4<> projection;
    WideMat4<> viewport;
};

inline VertexStage makeVertexStage(const Mat4& view, const Mat4& projection, const Mat4& viewport)
{
    return {wideMatrix(view), wideMatrix(projection), wideMatrix(viewport)};
}

// Maps normalised device x, y in [-1, 1] to window pixels: x·W/2 + W/2, y·H/2 + H/2; z unchanged.
MatrixStack viewportTransform(int width, int height);

VertexStage makeVertexStage(const Scene& scene, int width, int height);

inline ClipVertex toClipSpace(const Vertex& v, const VertexStage& stage)
{
    ClipVertex c = v;
    c.position = stage.projection * (stage.view * v.position);
    return c;
}

// The perspective divide multiplies all four components by one reciprocal rounded to float (so w
// comes out as 1 only up to that rounding, and the viewport mapping sees it); the clip w is kept
// for perspective-correct texturing.
inline ScreenVertex toScreen(const ClipVertex& c, const VertexStage& stage)
{
    Vec4 p = c.position;
    const float w = p.w;
    p *= static_cast<float>(1.0 / w);
    p = stage.viewport * p;
    p.w = w;
    ScreenVertex s;
    s.position = p;
    s.normal = c.normal;
    s.s = c.s;
    s.t = c.t;
    s.previous = c.previous;
    return s;
}

inline ScreenVertex vertexStage(const Vertex& v, const VertexStage& stage)
{
    return toScreen(toClipSpace(v, stage), stage);
}
