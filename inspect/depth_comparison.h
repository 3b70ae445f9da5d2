#pragma once

#include <vector>

#include "image/rgb_image.h"

// OpenGL's depths alone (software empty), or software | OpenGL | their difference side by side,
// all on one scale; rows bottom-up, NaN where nothing was drawn. The legend gives the shared
// scale and, beside the three panels, the largest difference.
RgbImage depthComparison(const std::vector<float>& software, const std::vector<float>& opengl, int width,
                         int height, bool legend);
