#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/scene.h"

// A scene's polygons as the triangles the fixed-function pipeline draws them as: each contour a
// GL_POLYGON, which is the fan from its first vertex.
struct FanVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    // What the vertex is lit from: its own position and normal when smooth-shaded, its contour's
    // first vertex's when flat, since a polygon takes its first vertex's colour while the
    // triangles are drawn with their last vertex's.
    float litPosition[3];
    float litNormal[3];
};

// Consecutive triangles drawn with one state.
struct FanBatch {
    size_t primitive = 0;
    uint32_t first = 0;  // vertex index
    uint32_t count = 0;  // vertices, three per triangle
    bool hole = false;   // black, pulled towards the viewer by the polygon offset
    // A hole of this primitive was drawn before (or is this batch): the current colour and the
    // front diffuse stay black until the next primitive resets them.
    bool blackened = false;
};

struct FanTriangles {
    std::vector<FanVertex> vertices;
    std::vector<FanBatch> batches;
};

FanTriangles polygonFans(const Scene& scene);
