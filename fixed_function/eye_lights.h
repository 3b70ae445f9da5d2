#pragma once

#include <vector>

#include "math/color.h"
#include "math/vec3.h"
#include "scene/scene.h"

// What glLightModel and glLight hold once the preview has set up its lights: directional lights
// (w = 0) whose positions the view matrix carried into eye space when they were given.
struct EyeLight {
    Vec3 direction;  // unit length, eye space, towards the light
    Color diffuse{0, 0, 0, 1};
    Color specular{0, 0, 0, 1};
};

struct LightTable {
    bool lighting = false;
    Color sceneAmbient{0.2f, 0.2f, 0.2f, 1};
    std::vector<EyeLight> lights;  // at most the unit count; the preview skips the rest
};

constexpr int kFixedFunctionLightUnits = 8;

// The scene's view matrix (viewStack.current) must already be set for the frame.
LightTable eyeSpaceLights(const Scene& scene, int unitCount = kFixedFunctionLightUnits);
