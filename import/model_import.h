#pragma once

#include <string>
#include <vector>

#include "import/model_limits.h"
#include "scene/model_geometry.h"
#include "scene/scene.h"


enum class ModelFailure { none, badFile, noMemory };

struct ModelReport {
    ModelFailure failure = ModelFailure::none;
    std::string error;                  // one line naming the file, unless failure is none
    std::vector<std::string> warnings;  // one line each; the model is still drawn
};

// Reads a model file into `geometry` (meshes, materials with their decoded diffuse textures,
// point lights), in the scenes' axes. Points and lines are left out.
ModelReport readModel(const std::string& path, UpAxis up, ModelGeometry& geometry);

// readModel, then buildModel into the scene; the scene is left cleared when the file is refused.
ModelReport importModel(Scene& scene, const ModelSettings& settings);
