#pragma once

#include "math/camera.h"
#include "scene/scene.h"

// What every window frame starts with, in the current context's back buffer: the white clear,
// OpenGL's projection set to window pixels, and the scene's camera for the pose. The viewer's
// frames and pixelwright-render's OpenGL pictures both start here, so the two agree.
void beginWindowFrame(Scene& scene, const CameraPose& pose, int width, int height);
