#include "inspect/depth_comparison.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "image/image_comparison.h"
#include "inspect/view_image.h"

RgbImage depthComparison(const std::vector<float>& software, const std::vector<float>& opengl, int width,
                         int height, bool legend)
{
    std::vector<float> shown = software;
    shown.insert(shown.end(), opengl.begin(), opengl.end());
    float nearest, farthest;
    depthRange(shown, nearest, farthest);
    std::vector<LegendEntry> entries;
    if (nearest <= farthest) entries.push_back(depthLegend(nearest, farthest));
    if (software.empty()) {
        const RgbImage image = depthImage(opengl, width, height, nearest, farthest);
        return legend ? withLegend(image, entries) : image;
    }
    // The difference where both drew, as grey from black (none) to light grey (the largest).
    std::vector<float> difference(software.size(), std::numeric_limits<float>::quiet_NaN());
    float largest = 0.0f;
    for (size_t i = 0; i < software.size(); ++i)
        if (!std::isnan(software[i]) && !std::isnan(opengl[i]))
            largest = std::max(largest, difference[i] = std::fabs(software[i] - opengl[i]));
    const RgbImage panels[3] = {depthImage(software, width, height, nearest, farthest),
                                depthImage(opengl, width, height, nearest, farthest),
                                depthImage(difference, width, height, 0.0f, largest)};
    entries.push_back(depthLegend(0.0f, largest));
    const RgbImage all = sideBySide(panels, 3, kPanelGap);
    return legend ? withLegend(all, entries) : all;
}
