#pragma once

#include <type_traits>

#include "raster/depth_buffer.h"
#include "raster/fragment_trace.h"
#include "raster/shade_fragment.h"

// Which polygon a fragment came from: its primitive, and its place among that primitive's polygons.
struct FragmentOrigin {
    unsigned primitive = 0;
    unsigned polygon = 0;
};

// What the one-fragment frame tells a probe; NoProbe takes nothing, and the frame it watches
// shades without a trace.
struct NoProbe {
    void tested(const FragmentOrigin&, int, int, float, bool) {}
    void shaded(const FragmentOrigin&, const Fragment&, const NoTrace&, bool, const Color&) {}
    template <class Image>
    void polygonDone(size_t, const Image&)
    {
    }
};

template <class Probe>
using ProbeTrace = std::conditional_t<std::is_same<Probe, NoProbe>::value, NoTrace, FragmentTrace>;

// The depth buffer's test, told to the probe.
template <class Probe>
struct WatchedDepthTest {
    DepthBuffer& buffer;
    Probe& probe;
    const FragmentOrigin& origin;

    bool testAndSet(float depth, int column, int row)
    {
        const bool passed = buffer.testAndSet(depth, column, row);
        probe.tested(origin, column, row, depth, passed);
        return passed;
    }
};

// The buffer itself where no probe watches.
template <class Probe>
auto& depthTestFor(DepthBuffer& buffer, WatchedDepthTest<Probe>& watched)
{
    if constexpr (std::is_same<Probe, NoProbe>::value)
        return buffer;
    else
        return watched;
}

// Between the sweep and a point output: shades every fragment and passes the coloured point on,
// or nothing when shading cannot colour it.
template <class PointSink, class Probe>
struct ShadedPoints {
    const FrameShading& frame;
    const Primitive& primitive;
    PointSink& points;
    Probe& probe;
    const FragmentOrigin& origin;
    ProbeTrace<Probe>& trace;

    void beginSpan() { points.beginSpan(); }
    void endSpan() { points.endSpan(); }
    void fragment(const Fragment& f)
    {
        trace.clear();
        Color c(0, 0, 0, 1);
        const bool ok = shadeFragment(f, frame, primitive, origin.primitive, c, trace);
        probe.shaded(origin, f, trace, ok, c);
        if (ok) points.point(f.x, f.y, f.depth, c);
    }
};
