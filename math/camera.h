#pragma once

#include "math/matrix_stack.h"

// The mouse-driven part of the view: angles in degrees, pan in window pixels, zoom in wheel notches.
struct CameraPose {
    float azimuth = -135.0f;
    float elevation = -60.0f;
    float zoom = 0.25f;
    float panX = 0.0f;
    float panY = 0.0f;
};

// Rebuilds both stacks from the identity, with their inverses. A size below 1 is taken as 1,
// so a degenerate window never puts infinities into the matrices.
void setupCamera(MatrixStack& projectionStack, MatrixStack& viewStack, const CameraPose& pose, int width, int height);
