#pragma once

#include "preview/model_arrays.h"
#include "scene/scene.h"

// Draws the scene with fixed-function OpenGL into the current context, polygon by polygon in
// immediate mode, or, given modelArrays (a model's, built from this scene or not yet built), from
// those arrays wherever they serve.
void renderWithOpenGL(const Scene& scene, int width, int height, ModelArrays* modelArrays = nullptr);
