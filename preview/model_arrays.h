#pragma once

#include <cstddef>

#include "scene/scene.h"

// A model's polygons drawn from one buffer object, uploaded once per model build rather than
// sent vertex by vertex every frame; the built-in scenes keep immediate mode.

// True when the scene is a smooth-shaded model (Scene::modelGeneration) and its buffer is ready in the
// current context, uploaded now if this build is new to it.
bool readyModelArrays(const Scene& scene);

// Draws primitive `index` of the scene readyModelArrays last accepted, with the current material,
// texture and lighting, and texture coordinates when `textured`; false, drawing nothing, when it holds a polygon with a hole, which only
// immediate mode paints.
bool drawModelArrays(size_t index, bool textured);
