#pragma once

#include "math/vec3.h"

// One pixel that passed the depth test, as the span walker hands it to shading. It sits with the
// textures because the filtered lookups read its span fields, and textures sit below the renderer.
struct Fragment {
    float x = 0.0f;  // column, a whole number
    float y = 0.0f;  // row, a whole number
    float depth = 0.0f;
    Vec3 normal;   // interpolated; not renormalised at a span's first pixel, so not always unit length
    Vec3 stOverW;  // (s/w, t/w, 1/w) at the pixel, not yet divided
    Vec3 stOverWStepX;
    Vec3 leftStOverWStepY;   // stOverWStep of the span's left edge
    Vec3 rightStOverWStepY;  // and of its right edge
    float spanStart = 0.0f;
    float spanLength = 0.0f;
};
