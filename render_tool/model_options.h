#pragma once

#include <string>
#include <vector>

#include "render_tool/value_option.h"
#include "scene/model_geometry.h"

// --model, --up, --ambient and --light, read into `model`; each --light's text is kept in
// `lightTexts`, which must outlive the parse, for addGivenLights. Returns --model.
const CLI::Option* addModelOptions(CLI::App& app, Needs& needs, ModelSettings& model,
                                   std::vector<std::string>& lightTexts);

// The lights of a parse that succeeded, every --light's text already checked.
void addGivenLights(const std::vector<std::string>& lightTexts, ModelSettings& model);
