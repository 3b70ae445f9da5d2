#pragma once

#include <vector>

#include "fixed_function/eye_lights.h"
#include "math/color.h"
#include "scene/scene.h"

// The front material as glMaterial leaves it for a primitive, and the colour-sum mode.
struct FixedMaterial {
    Color ambient{0.2f, 0.2f, 0.2f, 1};
    Color diffuse{0.8f, 0.8f, 0.8f, 1};
    Color specular{0, 0, 0, 1};
    float shininess = 0.0f;
    bool separateSpecular = false;  // the highlight added after texturing
};

// One material per primitive, in drawing order, each starting from the state the one before left:
// a shininess outside [0, 128] is refused by glMateriali and the previous one stays.
std::vector<FixedMaterial> primitiveMaterials(const Scene& scene);

// A hole sets the front diffuse to black; the rest of that primitive's polygons keep it.
FixedMaterial afterHole(FixedMaterial material);

// The products the fixed-function vertex stage precomputes: the scene colour (emission and the
// ambient terms; the lights' own ambient is black) and each light's diffuse and specular products.
struct LightProducts {
    Color sceneColour{0, 0, 0, 1};
    std::vector<Color> diffuse;
    std::vector<Color> specular;
};
LightProducts lightProducts(const LightTable& lights, const FixedMaterial& material);
