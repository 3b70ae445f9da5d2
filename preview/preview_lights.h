#pragma once

#include "scene/scene.h"

// Switches lighting on or off, sets the global ambient light and loads the scene's lights as
// directional lights. Call with the view matrix on the model-view stack: OpenGL transforms each
// light direction by it when it is given.
void loadLighting(const Scene& scene);
