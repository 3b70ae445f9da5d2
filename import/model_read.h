#pragma once

#include <string>

#include "import/model_report.h"
#include "scene/model_geometry.h"

// "model 'PATH' PROBLEM" as one line, for a refusal of the kind given.
ModelReport refusedModel(const std::string& path, const std::string& problem,
                         ModelFailure failure = ModelFailure::badFile);

// readModel's work, done in the calling process: the importer, the textures and every file they
// read, within the byte budget.
ModelReport readModelHere(const std::string& path, UpAxis up, ModelGeometry& geometry);
