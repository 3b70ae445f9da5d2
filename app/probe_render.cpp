#include "app/probe_render.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "app/image_comparison.h"
#include "app/pixel_history.h"
#include "app/view_image.h"

namespace {

bool write(const std::string& path, const RgbImage& picture)
{
    std::string error;
    if (writePng(path, picture, error)) return true;
    std::fprintf(stderr, "pixelwright-render: %s\n", error.c_str());
    return false;
}

// N pictures at evenly spaced cuts of the drawing order, the last after every polygon.
struct FillSteps {
    std::string stem;  // --output without ".png"
    int steps = 0;
    size_t polygons = 0;
    int written = 0;
    bool failed = false;

    size_t cut(int k) const { return (polygons * static_cast<size_t>(k) + steps - 1) / steps; }
    std::string name(int k) const
    {
        char number[24];
        std::snprintf(number, sizeof number, "-%03d.png", k);
        return stem + number;
    }
    void tested(const FragmentOrigin&, int, int, float, bool) {}
    void shaded(const FragmentOrigin&, const Fragment&, const FragmentTrace&, bool, const Color&) {}
    void polygonDone(size_t drawn, const FrameImage& image)
    {
        while (!failed && written < steps && cut(written + 1) <= drawn) {
            failed = !write(name(written + 1), topRowFirst(image.rgb, image.width, image.height));
            ++written;
        }
    }
};

// Hands every event to both, so that a pixel's history and the views come from one frame.
template <class First, class Second>
struct BothObservers {
    First& first;
    Second& second;
    void tested(const FragmentOrigin& o, int column, int row, float depth, bool passed)
    {
        first.tested(o, column, row, depth, passed);
        second.tested(o, column, row, depth, passed);
    }
    void shaded(const FragmentOrigin& o, const Fragment& f, const FragmentTrace& trace, bool ok, const Color& c)
    {
        first.shaded(o, f, trace, ok, c);
        second.shaded(o, f, trace, ok, c);
    }
    void polygonDone(size_t drawn, const FrameImage& image)
    {
        first.polygonDone(drawn, image);
        second.polygonDone(drawn, image);
    }
};

int fillSteps(const RenderOptions& options, HeadlessScene& headless)
{
    FillSteps steps;
    steps.stem = options.output;
    if (steps.stem.size() > 4 && steps.stem.compare(steps.stem.size() - 4, 4, ".png") == 0)
        steps.stem.erase(steps.stem.size() - 4);
    steps.steps = options.steps;
    for (const Primitive& p : headless.scene.primitives) steps.polygons += p.polygons.size();
    FrameImage image(headless.width, headless.height);
    probeFrame(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, image, steps);
    // A scene with fewer polygons than steps (or none) repeats its last picture.
    steps.polygonDone(steps.polygons, image);
    if (steps.failed) return 1;
    std::printf("wrote %s … %s (%d pictures of the fill)\n", steps.name(1).c_str(), steps.name(steps.steps).c_str(),
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

RgbImage depthComparison(const RenderOptions& options, HeadlessScene& headless, const OffscreenGl& gl,
                         const std::vector<float>& software)
{
    const int w = headless.width, h = headless.height;
    const std::vector<float> opengl = openGlDepths(headless, options.pose, gl);
    std::vector<float> shown = options.renderer == RendererChoice::opengl ? opengl : software;
    if (options.renderer == RendererChoice::both) shown.insert(shown.end(), opengl.begin(), opengl.end());
    float nearest, farthest;
    depthRange(shown, nearest, farthest);
    std::vector<LegendEntry> legend;
    if (nearest <= farthest) legend.push_back(depthLegend(nearest, farthest));
    if (options.renderer == RendererChoice::opengl) {
        const RgbImage image = depthImage(opengl, w, h, nearest, farthest);
        return options.legend ? withLegend(image, legend) : image;
    }
    // The difference where both drew, as grey from black (none) to light grey (the largest).
    std::vector<float> difference(software.size(), std::numeric_limits<float>::quiet_NaN());
    float largest = 0.0f;
    for (size_t i = 0; i < software.size(); ++i)
        if (!std::isnan(software[i]) && !std::isnan(opengl[i]))
            largest = std::max(largest, difference[i] = std::fabs(software[i] - opengl[i]));
    const RgbImage panels[3] = {depthImage(software, w, h, nearest, farthest), depthImage(opengl, w, h, nearest, farthest),
                                depthImage(difference, w, h, 0.0f, largest)};
    legend.push_back(depthLegend(0.0f, largest));
    const RgbImage all = sideBySide(panels, 3, kPanelGap);
    return options.legend ? withLegend(all, legend) : all;
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
        picture = depthComparison(options, headless, gl, softwareDepths(*views, headless.depthBuffer));
    else if (views)
        picture = drawFrameView(options.show, *views, headless.depthBuffer, options.legend);
    else
        picture = topRowFirst(image.rgb, image.width, image.height);
    if (!write(options.output, picture)) return 1;
    std::printf("wrote %s (%s, %dx%d)\n", options.output.c_str(), frameViewName(options.show), picture.width,
                picture.height);
    return 0;
}
