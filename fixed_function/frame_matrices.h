#pragma once

#include "scene/scene.h"

// The matrices the fixed-function vertex stage works with, column-major as a shader reads them.
// The scene's positions are in world coordinates, so the model-view matrix is the view matrix.
struct FrameMatrices {
    float modelView[16];
    float modelViewProjection[16];  // the product in float, as the pipeline forms it
    float normal[9];                // the inverse transpose of the model-view's upper 3 × 3
};

// The scene's camera set-up must already have run for the frame.
FrameMatrices frameMatrices(const Scene& scene);
