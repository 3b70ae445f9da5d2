#pragma once

#include <vector>

#include "raster/fragment_trace.h"
#include "raster/frame_image.h"
#include "raster/render_polygons.h"

// Which polygon a fragment came from: its primitive, and its place among that primitive's polygons.
struct FragmentOrigin {
    unsigned primitive = 0;
    unsigned polygon = 0;
};

// The one-fragment frame into image, pixel for pixel as the picture path draws it, telling the
// observer everything on the way:
//   tested(origin, column, row, depth, passed)  every depth test, in drawing order;
//   shaded(origin, fragment, trace, ok, colour)  every fragment that passed, with what shading
//                                                computed (ok false: no point was emitted);
//   polygonDone(polygonsDrawn, image)            after each polygon.
// The picture path knows nothing of this: it runs its own driver without any of these calls.
template <class Observer>
void probeFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                  const std::vector<MipChain>& mipChains, FrameImage& image, Observer& observer)
{
    const int width = image.width;
    const int height = image.height;
    image.reset(width, height);
    const FrameShading shading = prepareFrameShading(scene, mipChains, width, height);
    FragmentOrigin origin;
    size_t drawn = 0;

    struct SeenDepthTest {
        DepthBuffer& buffer;
        Observer& observer;
        const FragmentOrigin& origin;
        bool testAndSet(float depth, int column, int row)
        {
            const bool passed = buffer.testAndSet(depth, column, row);
            observer.tested(origin, column, row, depth, passed);
            return passed;
        }
    } depthTest{depthBuffer, observer, origin};

    struct TracedPoints {
        const FrameShading& frame;
        const Scene& scene;
        Observer& observer;
        const FragmentOrigin& origin;
        FrameImage& image;
        FragmentTrace trace;
        void beginSpan() { image.beginSpan(); }
        void endSpan() { image.endSpan(); }
        void fragment(const Fragment& f)
        {
            trace.clear();
            Color c(0, 0, 0, 1);
            const Primitive& primitive = scene.primitives[origin.primitive];
            const bool ok = shadeFragment(f, frame, primitive, origin.primitive, c, trace);
            observer.shaded(origin, f, trace, ok, c);
            if (ok) image.point(f.x, f.y, f.depth, c);
        }
    } points{shading, scene, observer, origin, image, {}};

    ActiveEdgeList& active = edgeTable.sweep.active;
    unsigned lastPrimitive = 0;
    forEachPolygon(scene, mipChains, depthBuffer, edgeTable, width, height, [&](size_t i) {
        const auto primitive = static_cast<unsigned>(i);
        origin.polygon = primitive == lastPrimitive && drawn > 0 ? origin.polygon + 1 : 0;
        origin.primitive = lastPrimitive = primitive;
        active.clear();
        scanPolygon(edgeTable, active, depthTest, width, height, points);
        observer.polygonDone(++drawn, image);
    });
}
