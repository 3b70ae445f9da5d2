#include "image/legend.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "image/pixel_font.h"

namespace {

constexpr int kRampWidth = 100;
constexpr int kSwatchWidth = 16;
constexpr int kBarHeight = 12;
constexpr int kGap = 12;

void fill(RgbImage& image, int x0, int y0, int w, int h, const Rgb8& colour)
{
    for (int y = std::max(y0, 0); y < std::min(y0 + h, image.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + w, image.width); ++x)
            std::memcpy(&image.pixels[(static_cast<size_t>(y) * image.width + x) * 3], colour.data(), 3);
}

}  // namespace

std::string legendNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

RgbImage withLegend(const RgbImage& picture, const std::vector<LegendEntry>& entries)
{
    RgbImage out;
    out.width = picture.width;
    out.height = picture.height + kLegendHeight;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height * 3, 255);
    std::copy(picture.pixels.begin(), picture.pixels.end(), out.pixels.begin());
    const uint8_t ink[3] = {0, 0, 0};
    const int top = picture.height + 3;
    const int labels = top + kBarHeight + 3;
    int x = 4;
    for (const LegendEntry& e : entries) {
        if (e.ramp) {
            for (int k = 0; k < kRampWidth; ++k) fill(out, x + k, top, 1, kBarHeight, e.ramp(k / (kRampWidth - 1.0f)));
            drawText(out, x, labels, e.low, ink);
            drawText(out, x + kRampWidth - textWidth(e.high), labels, e.high, ink);
            x += std::max(kRampWidth, textWidth(e.low) + textWidth(e.high) + kGlyphAdvance) + kGap;
        } else {
            fill(out, x, top, kSwatchWidth, kBarHeight, e.swatch);
            drawText(out, x, labels, e.low, ink);
            x += std::max(kSwatchWidth, textWidth(e.low)) + kGap;
        }
    }
    return out;
}
