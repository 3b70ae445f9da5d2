#pragma once

#include <cstdint>

#include "math/vec3.h"
#include "math/vec4.h"

// A vertex after the vertex stage: x, y in window pixels (origin bottom left), z the depth
// after the divide, and w the clip w from before it, kept for perspective-correct texturing.
struct ScreenVertex {
    Vec4 position;
    Vec3 normal;
    float s = 0.0f;
    float t = 0.0f;
    int32_t previous = 0;
};
