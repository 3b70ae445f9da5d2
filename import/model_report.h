#pragma once

#include <string>
#include <vector>

enum class ModelFailure { none, badFile, noMemory };

struct ModelReport {
    ModelFailure failure = ModelFailure::none;
    std::string error;                  // one line naming the file, unless failure is none
    std::vector<std::string> warnings;  // one line each; the model is still drawn
};
