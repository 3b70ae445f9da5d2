#include "image/rgb_image.h"

#include <algorithm>

RgbImage topRowFirst(const std::vector<uint8_t>& bottomUp, int width, int height)
{
    RgbImage image{width, height, std::vector<uint8_t>(bottomUp.size())};
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy_n(&bottomUp[static_cast<size_t>(height - 1 - y) * row], row, &image.pixels[y * row]);
    return image;
}
