#pragma once

#include <cstdint>
#include <vector>

// An 8-bit RGB picture, top row first, as image files store it.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 3
};

// Rows bottom-up, as OpenGL and the frame image keep them, to top-down, as image files store them.
RgbImage topRowFirst(const std::vector<uint8_t>& bottomUp, int width, int height);
