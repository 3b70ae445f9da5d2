#pragma once

#include "raster/shade_fragment.h"

// Between the sweep and a point output: shades every fragment and passes the coloured point on,
// or nothing when shading cannot colour it.
template <class PointSink>
struct ShadedPoints {
    const FrameShading& frame;
    const Primitive& primitive;
    unsigned primitiveIndex;
    PointSink& points;

    void beginSpan() { points.beginSpan(); }
    void endSpan() { points.endSpan(); }
    void fragment(const Fragment& f)
    {
        Color c(0, 0, 0, 1);
        if (shadeFragment(f, frame, primitive, primitiveIndex, c)) points.point(f.x, f.y, f.depth, c);
    }
};
