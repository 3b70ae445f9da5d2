#include "fixed_function/texture_levels.h"

#include <algorithm>
#include <cmath>

namespace {

// The image's texels as three float channels.
struct FloatLevel {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;

    const float* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

FloatLevel asRgb(const Texture& image)
{
    FloatLevel level{image.width, image.height, {}};
    if (image.width <= 0 || image.height <= 0 || image.channels == 0) return FloatLevel{};
    level.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    const uint32_t grey = image.channels < 3 ? 0 : 1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float* in = image.texel(x, y);
            float* out = &level.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
            for (uint32_t c = 0; c < 3; ++c) out[c] = in[c * grey];
        }
    return level;
}

FloatLevel halve(const FloatLevel& above)
{
    FloatLevel level{std::max(above.width / 2, 1), std::max(above.height / 2, 1), {}};
    level.rgb.resize(static_cast<size_t>(level.width) * level.height * 3);
    const bool row = above.height == 1, column = above.width == 1;
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) {
            float* out = &level.rgb[(static_cast<size_t>(y) * level.width + x) * 3];
            const int x0 = column ? 0 : 2 * x, y0 = row ? 0 : 2 * y;
            const float* a = above.at(x0, y0);
            if (row || column) {
                const float* b = row ? above.at(x0 + 1, y0) : above.at(x0, y0 + 1);
                for (int c = 0; c < 3; ++c) out[c] = (a[c] + b[c]) / 2;
                continue;
            }
            const float* b = above.at(x0 + 1, y0);
            const float* d = above.at(x0, y0 + 1);
            const float* e = above.at(x0 + 1, y0 + 1);
            for (int c = 0; c < 3; ++c) out[c] = (a[c] + b[c] + d[c] + e[c]) / 4;
        }
    return level;
}

ByteLevel stored(const FloatLevel& level)
{
    ByteLevel out{level.width, level.height, std::vector<uint8_t>(level.rgb.size())};
    std::transform(level.rgb.begin(), level.rgb.end(), out.rgb.begin(), storedByte);
    return out;
}

}  // namespace

uint8_t storedByte(float value)
{
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(std::nearbyint(value * 255.0f));
}

ByteLevel storedLevel(const Texture& image) { return stored(asRgb(image)); }

std::vector<ByteLevel> boxFilterChain(const Texture& image)
{
    std::vector<ByteLevel> chain;
    FloatLevel level = asRgb(image);
    if (level.rgb.empty()) return chain;
    chain.push_back(stored(level));
    while (level.width > 1 || level.height > 1) {
        level = halve(level);
        chain.push_back(stored(level));
    }
    return chain;
}
