#pragma once

#include <cstdint>
#include <vector>

#include "math/vec3.h"

// Positions numbered so that equal ones share a number: equal bit for bit, with -0 taken as 0.
// Numbers run from 0 in the order each distinct position first appears.
struct PositionGroups {
    std::vector<uint32_t> groupOf;  // one per position
    uint32_t count = 0;
};

PositionGroups weldPositions(const std::vector<Vec3>& positions);
