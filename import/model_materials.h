#pragma once

#include <string>
#include <vector>

#include "scene/model_geometry.h"

struct aiScene;
struct ByteBudget;

// Appends every material of `scene` to `materials`, each with its diffuse texture decoded. A
// texture that cannot be used leaves its material untextured and adds a line to `warnings`. Texture
// files are read through `budget`, which notes one that takes the model past it.
void readMaterials(const aiScene& scene, const std::string& modelPath, ByteBudget& budget,
                   std::vector<std::string>& warnings, std::vector<ModelMaterial>& materials);
