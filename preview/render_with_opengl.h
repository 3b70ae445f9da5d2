#pragma once

#include "scene/scene.h"

// Draws the scene with fixed-function OpenGL into the current context.
void renderWithOpenGL(const Scene& scene, int width, int height);
