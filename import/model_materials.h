#pragma once

#include <string>
#include <vector>

#include "scene/model_geometry.h"

struct aiScene;

// Appends every material of `scene` to `materials`, each with its diffuse texture decoded. A
// texture that cannot be used leaves its material untextured and adds a line to `warnings`.
void readMaterials(const aiScene& scene, const std::string& modelPath, std::vector<std::string>& warnings,
                   std::vector<ModelMaterial>& materials);
