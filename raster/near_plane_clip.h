#pragma once

#include <cstddef>
#include <vector>

#include "raster/vertex_stage.h"

// Polygons are cut at the near plane before the divide, so nothing behind the eye is mirrored
// into the picture. With the camera's projection, z >= -w also means w >= the near distance.
inline bool inFrontOfNearPlane(const Vec4& clip) { return clip.z >= -clip.w; }

// The point where the segment from a vertex in front to one behind meets the plane, with normal,
// s and t interpolated linearly in clip space. Always computed from the vertex in front, so two
// polygons sharing an edge get the very same point.
ClipVertex nearPlaneCrossing(const ClipVertex& inFront, const ClipVertex& behind);

// Cuts one closed ring (vertex i follows vertex i − 1, vertex 0 follows the last) and writes its
// part in front of the plane to out, again as a closed ring with its previous links set; out is
// empty when the ring lies wholly behind. A ring wholly in front comes out unchanged.
void clipRingToNearPlane(const ClipVertex* ring, size_t count, std::vector<ClipVertex>& out);
