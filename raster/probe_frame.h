#pragma once

#include <vector>

#include "raster/fragment_trace.h"
#include "raster/frame_image.h"
#include "raster/render_polygons.h"

// The one-fragment frame into image, pixel for pixel as the picture path draws it, telling the
// observer everything on the way:
//   tested(origin, column, row, depth, passed)  every depth test, in drawing order;
//   shaded(origin, fragment, trace, ok, colour)  every fragment that passed, with what shading
//                                                computed (ok false: no point was emitted);
//   polygonDone(polygonsDrawn, image)            after each polygon.
// The frame itself runs the same driver with NoProbe, where none of these calls remain.
template <class Observer>
void probeFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                const std::vector<MipChain>& mipChains, FrameImage& image, Observer& observer)
{
    image.reset(image.width, image.height);
    renderPolygonsOneAtATime(scene, depthBuffer, edgeTable, mipChains, image.width, image.height, image, observer);
}
