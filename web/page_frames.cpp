#include "web/page_frames.h"

#include <cmath>
#include <cstdio>

#include "inspect/fill_steps.h"
#include "inspect/pixel_history.h"
#include "inspect/view_image.h"
#include "inspect/view_recorder.h"

namespace {

void aimCamera(SoftwareScene& software, const CameraPose& pose)
{
    setupCamera(software.scene.projectionStack, software.scene.viewStack, pose, software.width, software.height);
}

// The rows below the picture's height, which withLegend adds.
RgbImage rowsBelow(const RgbImage& image, int height)
{
    RgbImage strip{image.width, image.height - height, {}};
    if (strip.height <= 0) return RgbImage{};
    strip.pixels.assign(image.pixels.begin() + static_cast<std::ptrdiff_t>(height) * image.width * 3,
                        image.pixels.end());
    return strip;
}

}  // namespace

ViewPicture drawView(SoftwareScene& software, const CameraPose& pose, FrameView view)
{
    aimCamera(software, pose);
    FrameImage image(software.width, software.height);
    ViewRecorder recorder(software.scene, software.mipChains, software.width, software.height);
    probeFrame(software.scene, software.depthBuffer, software.edgeTable, software.mipChains, image, recorder);
    ViewPicture out{drawFrameView(view, recorder, software.depthBuffer, false), {}};
    out.legend = rowsBelow(drawFrameView(view, recorder, software.depthBuffer, true), software.height);
    return out;
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

std::string differenceJson(const ImageDifference& d)
{
    char text[160];
    // JSON has no infinity: identical pictures give a PSNR of null.
    char psnr[32] = "null";
    if (std::isfinite(d.psnr)) std::snprintf(psnr, sizeof psnr, "%.2f", d.psnr);
    std::snprintf(text, sizeof text, "{\"pixelsOver2\":%ld,\"pixelsOver32\":%ld,\"psnr\":%s,\"coverageIoU\":%.4f}",
                  d.pixelsOver2, d.pixelsOver32, psnr, d.coverageIoU);
    return text;
}
