#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/rgb_image.h"

using Rgb8 = std::array<uint8_t, 3>;

// One entry of a legend: a colour ramp over [0, 1] with the values at its two ends, or one
// swatch with its value.
struct LegendEntry {
    std::function<Rgb8(float)> ramp;  // empty for a swatch
    Rgb8 swatch{};
    std::string low;   // under the ramp's left end, or the swatch's value
    std::string high;  // under the ramp's right end
};

constexpr int kLegendHeight = 30;

// The picture with a white strip below it, holding the entries left to right.
RgbImage withLegend(const RgbImage& picture, const std::vector<LegendEntry>& entries);

// A number in at most four significant digits, in the legend font's characters.
std::string legendNumber(double value);
