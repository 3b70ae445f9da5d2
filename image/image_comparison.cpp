#include "image/image_comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool isWhite(const uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

int largestChannelDifference(const uint8_t* p, const uint8_t* q)
{
    return std::max({std::abs(p[0] - q[0]), std::abs(p[1] - q[1]), std::abs(p[2] - q[2])});
}

}  // namespace

ImageDifference compareImages(const RgbImage& a, const RgbImage& b)
{
    ImageDifference result;
    const size_t count = static_cast<size_t>(a.width) * a.height;
    double squaredError = 0.0;
    long intersection = 0, unionCount = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &a.pixels[i * 3];
        const uint8_t* q = &b.pixels[i * 3];
        const int largest = largestChannelDifference(p, q);
        if (largest > 2) ++result.pixelsOver2;
        if (largest > 32) ++result.pixelsOver32;
        for (int c = 0; c < 3; ++c) squaredError += static_cast<double>(p[c] - q[c]) * (p[c] - q[c]);
        const bool inA = !isWhite(p), inB = !isWhite(q);
        intersection += (inA && inB);
        unionCount += (inA || inB);
    }
    const double meanSquaredError = count ? squaredError / (3.0 * count) : 0.0;
    result.psnr = meanSquaredError == 0.0 ? std::numeric_limits<double>::infinity()
                                          : 10.0 * std::log10(255.0 * 255.0 / meanSquaredError);
    result.coverageIoU = unionCount ? static_cast<double>(intersection) / unionCount : 1.0;
    return result;
}

RgbImage differencePanel(const RgbImage& a, const RgbImage& b)
{
    RgbImage panel{a.width, a.height, std::vector<uint8_t>(a.pixels.size())};
    for (size_t i = 0; i < a.pixels.size(); i += 3) {
        const int shade = 255 - std::min(255, 4 * largestChannelDifference(&a.pixels[i], &b.pixels[i]));
        panel.pixels[i] = panel.pixels[i + 1] = panel.pixels[i + 2] = static_cast<uint8_t>(shade);
    }
    return panel;
}

LegendEntry differenceLegend()
{
    // The inverse of the panel's shade, 255 - 4 x difference.
    const auto grey = [](float f) {
        const auto g = static_cast<uint8_t>(255 - static_cast<int>(f * 255.0f + 0.5f));
        return Rgb8{g, g, g};
    };
    return {grey, {}, "0", "64+"};
}

RgbImage sideBySide(const RgbImage* panels, int count, int gap)
{
    RgbImage canvas;
    for (int k = 0; k < count; ++k) {
        canvas.width += panels[k].width + (k ? gap : 0);
        canvas.height = std::max(canvas.height, panels[k].height);
    }
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height * 3, 255);
    int left = 0;
    for (int k = 0; k < count; ++k) {
        const RgbImage& panel = panels[k];
        for (int y = 0; y < panel.height; ++y)
            std::copy_n(&panel.pixels[static_cast<size_t>(y) * panel.width * 3], panel.width * 3,
                        &canvas.pixels[(static_cast<size_t>(y) * canvas.width + left) * 3]);
        left += panel.width + gap;
    }
    return canvas;
}
