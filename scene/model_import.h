#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/model_geometry.h"
#include "scene/scene.h"

// Bounds that keep loading proportional to what a person means to draw: a file larger than this
// is refused before it is parsed, and a model whose faces (counting every instance of a mesh) have
// more corners than this before it is built.
constexpr uint64_t kMaxModelFileBytes = 256ull << 20;
constexpr uint64_t kMaxModelCorners = 16ull << 20;

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
