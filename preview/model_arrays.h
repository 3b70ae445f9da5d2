#pragma once

#include <cstddef>
#include <vector>

#include "scene/scene.h"

// A model's polygons drawn from one buffer object of the current context, uploaded once per model
// rather than sent vertex by vertex every frame. Its owner keeps it beside the scene it was built
// from (pixelwright-render beside its model) and forgets it when the scene is rebuilt; the
// built-in scenes keep immediate mode.

// Consecutive triangles go in one draw; other polygons in one multi-draw of GL_POLYGON each,
// as immediate mode draws them. Runs keep the polygons' order, which decides ties in depth.
struct ModelArrayRun {
    bool triangles = true;
    int first = 0;            // triangles: the first vertex
    int count = 0;            // triangles: vertices; polygons: polygons
    size_t polygonsFrom = 0;  // polygons: where its firsts and counts start
};

struct PrimitiveDraws {
    bool drawable = true;  // false for a primitive with a hole, which only immediate mode paints
    std::vector<ModelArrayRun> runs;
    std::vector<int> firsts;
    std::vector<int> counts;
};

struct ModelArrays {
    bool built = false;
    unsigned buffer = 0;  // the buffer object's name in the context it was built in
    std::vector<PrimitiveDraws> primitives;
};

// True when the scene can be drawn from arrays (it is smooth-shaded), after building them from
// the scene if they are not yet built.
bool readyModelArrays(const Scene& scene, ModelArrays& arrays);

// Deletes the buffer (its context must be current) and leaves the arrays to be built anew.
void forgetModelArrays(ModelArrays& arrays);

// Draws primitive `index` with the current material, texture and lighting, and texture
// coordinates when `textured`; false, drawing nothing, when it must be drawn in immediate mode.
bool drawModelArrays(const ModelArrays& arrays, size_t index, bool textured);
