#include "render_tool/probe_render.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "inspect/depth_comparison.h"
#include "inspect/fill_steps.h"
#include "inspect/pixel_history.h"
#include "inspect/view_image.h"
#include "png/png_file.h"

namespace {

bool write(const std::string& path, const RgbImage& picture)
{
    std::string error;
    if (writePng(path, picture, error)) return true;
    std::fprintf(stderr, "pixelwright-render: %s\n", error.c_str());
    return false;
}

// FILE-00k.png from --output FILE.png.
struct StepNames {
    std::string stem;
    std::string operator()(int k) const
    {
        char number[24];
        std::snprintf(number, sizeof number, "-%03d.png", k);
        return stem + number;
    }
};

int fillSteps(const RenderOptions& options, HeadlessScene& headless)
{
    StepNames name{options.output};
    if (name.stem.size() > 4 && name.stem.compare(name.stem.size() - 4, 4, ".png") == 0)
        name.stem.erase(name.stem.size() - 4);
    auto writeStep = [&name](int k, const FrameImage& image) {
        return write(name(k), topRowFirst(image.rgb, image.width, image.height));
    };
    FillSteps<decltype(writeStep)> steps{options.steps, polygonCount(headless.scene), writeStep};
    FrameImage image(headless.width, headless.height);
    probeFrame(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, image, steps);
    // A scene with fewer polygons than steps (or none) repeats its last picture.
    steps.polygonDone(steps.polygons, image);
    if (steps.failed) return 1;
    std::printf("wrote %s … %s (%d pictures of the fill)\n", name(1).c_str(), name(steps.steps).c_str(),
                steps.steps);
    return 0;
}

// OpenGL's depth buffer, NaN where nothing was drawn (the cleared 1).
std::vector<float> openGlDepths(HeadlessScene& headless, const CameraPose& pose, const OffscreenGl& gl)
{
    renderOpenGlImage(headless, pose, gl);
    std::vector<float> depths = gl.readDepths();
    for (float& d : depths)
        if (d >= 1.0f) d = std::numeric_limits<float>::quiet_NaN();
    return depths;
}

RgbImage depthPicture(const RenderOptions& options, HeadlessScene& headless, const OffscreenGl& gl,
                      const std::vector<float>& software)
{
    const std::vector<float> opengl = openGlDepths(headless, options.pose, gl);
    return depthComparison(options.renderer == RendererChoice::both ? software : std::vector<float>{}, opengl,
                           headless.width, headless.height, options.legend);
}

}  // namespace

int renderProbe(const RenderOptions& options, HeadlessScene& headless, const OffscreenGl& gl)
{
    setupCamera(headless.scene.projectionStack, headless.scene.viewStack, options.pose, headless.width, headless.height);
    if (options.steps > 0) return fillSteps(options, headless);

    headless.scene.useOpenGL = false;
    FrameImage image(headless.width, headless.height);
    PixelHistory history;
    history.column = options.pixelX;
    history.row = headless.height - 1 - options.pixelY;
    // A view needs a record per pixel, the history only its pixel's events: one frame serves both.
    std::optional<ViewRecorder> views;
    if (!options.output.empty() && options.show != FrameView::picture)
        views.emplace(headless.scene, headless.mipChains, headless.width, headless.height);
    if (views && options.tracePixel) {
        BothObservers<PixelHistory, ViewRecorder> both{history, *views};
        probeFrame(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, image, both);
    } else if (views) {
        probeFrame(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, image, *views);
    } else {
        probeFrame(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, image, history);
    }
    if (options.tracePixel)
        std::fputs(describeHistory(history, headless.scene, headless.mipChains, options.pixelX, options.pixelY,
                                   image.pixel(history.column, history.row), options.json)
                       .c_str(),
                   stdout);
    if (options.output.empty()) return 0;
    RgbImage picture;
    if (options.show == FrameView::depth && options.renderer != RendererChoice::software)
        picture = depthPicture(options, headless, gl, softwareDepths(*views, headless.depthBuffer));
    else if (views)
        picture = drawFrameView(options.show, *views, headless.depthBuffer, options.legend);
    else
        picture = topRowFirst(image.rgb, image.width, image.height);
    if (!write(options.output, picture)) return 1;
    std::printf("wrote %s (%s, %dx%d)\n", options.output.c_str(), frameViewName(options.show), picture.width,
                picture.height);
    return 0;
}
