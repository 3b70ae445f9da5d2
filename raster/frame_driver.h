#pragma once

#include <vector>

#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/frame_image.h"
#include "raster/lanes/render_gathered.h"
#include "raster/render_polygons.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// How the frame's pixels are shaded: gathered and coloured a lane group at a time, or one fragment
// at a time as the sweep finds it, the plainest statement of the same maths. Both give the same
// pixels, bit for bit; the second is slower.
enum class FramePath { lanes, oneFragmentAtATime };

// One fragment at a time when PIXELWRIGHT_LANES is "reference", else lane groups.
FramePath defaultFramePath();

// One software frame: every visible pixel handed to `points` as one point (span by span, in the
// order the sweep finds them), each polygon scan-converted on its own against the shared depth
// buffer. The window's code hands them to OpenGL.
template <class PointSink>
void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, int width, int height, PointSink& points,
                         FramePath path = defaultFramePath())
{
    if (path == FramePath::oneFragmentAtATime)
        renderPolygonsOneAtATime(scene, depthBuffer, edgeTable, mipChains, width, height, points);
    else
        renderPolygons(scene, depthBuffer, edgeTable, mipChains, width, height, points);
}

// The same frame, pixel for pixel, into an in-memory image of the image's size.
void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, FrameImage& image,
                         FramePath path = defaultFramePath());
