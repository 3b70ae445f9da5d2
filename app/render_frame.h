#pragma once

#include "scene/scene.h"

// Hands the frame to the OpenGL renderer or to the software renderer, by the scene's useOpenGL.
void renderFrame(const Scene& scene, int width, int height);
