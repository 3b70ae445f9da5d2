#include "web/page_frames.h"

#include <cstddef>

#include "inspect/fill_steps.h"
#include "inspect/pixel_history.h"
#include "inspect/view_image.h"
#include "inspect/view_recorder.h"

namespace {

void aimCamera(SoftwareScene& software, const CameraPose& pose)
{
    setupCamera(software.scene.projectionStack, software.scene.viewStack, pose, software.width, software.height);
}

// Rows [first, last) of a picture, top row first.
RgbImage rows(const RgbImage& image, int first, int last)
{
    if (last <= first) return RgbImage{};
    const auto row = [&image](int y) { return image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width * 3; };
    return RgbImage{image.width, last - first, std::vector<uint8_t>(row(first), row(last))};
}

}  // namespace

ViewPicture drawView(SoftwareScene& software, const CameraPose& pose, FrameView view)
{
    aimCamera(software, pose);
    FrameImage image(software.width, software.height);
    ViewRecorder recorder(software.scene, software.mipChains, software.width, software.height);
    probeFrame(software.scene, software.depthBuffer, software.edgeTable, software.mipChains, image, recorder);
    // The legend strip goes below the picture, which it leaves as it was: one drawing serves both.
    const RgbImage drawn = drawFrameView(view, recorder, software.depthBuffer, true);
    return {rows(drawn, 0, software.height), rows(drawn, software.height, drawn.height)};
}

std::string pixelHistoryJson(SoftwareScene& software, const CameraPose& pose, int x, int y)
{
    if (x < 0 || y < 0 || x >= software.width || y >= software.height) return "";
    aimCamera(software, pose);
    FrameImage image(software.width, software.height);
    PixelHistory history;
    history.column = x;
    history.row = software.height - 1 - y;
    probeFrame(software.scene, software.depthBuffer, software.edgeTable, software.mipChains, image, history);
    return describeHistory(history, software.scene, software.mipChains, x, y, image.pixel(history.column, history.row),
                           true);
}

RgbImage drawFillCut(SoftwareScene& software, const CameraPose& pose, size_t polygons)
{
    aimCamera(software, pose);
    FrameImage image(software.width, software.height);
    const size_t total = polygonCount(software.scene);
    if (polygons == 0 || total == 0) return topRowFirst(image.rgb, image.width, image.height);
    RgbImage cut;
    const size_t wanted = std::min(polygons, total);
    // One step per polygon; the wanted one is kept and ends the fill.
    auto keep = [&](int k, const FrameImage& drawn) {
        if (static_cast<size_t>(k) < wanted) return true;
        cut = topRowFirst(drawn.rgb, drawn.width, drawn.height);
        return false;
    };
    FillSteps<decltype(keep)> steps{static_cast<int>(total), total, keep};
    probeFrame(software.scene, software.depthBuffer, software.edgeTable, software.mipChains, image, steps);
    return cut;
}
