#pragma once

#include <string>
#include <vector>

#include "import/model_limits.h"
#include "import/model_report.h"
#include "scene/model_geometry.h"
#include "scene/scene.h"

// Reads a model file into `geometry` (meshes, materials with their decoded diffuse textures,
// point lights), in the scenes' axes. Points and lines are left out. Only the formats of
// import/model_formats.h are read, in a child process under the limits of import/model_limits.h:
// a file that crashes or stalls the importer, or takes it past a limit, is refused as bad.
ModelReport readModel(const std::string& path, UpAxis up, ModelGeometry& geometry);

// readModel, then buildModel into the scene; the scene is left cleared when the file is refused.
ModelReport importModel(Scene& scene, const ModelSettings& settings);
