#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "render_tool/headless_render.h"
#include "image/image_comparison.h"
#include "render_tool/probe_render.h"
#include "image/legend.h"
#include "platform/offscreen_gl.h"
#include "png/png_file.h"
#include "render_tool/render_options.h"

namespace {

constexpr int kNoMemory = 1;
constexpr int kBadArguments = 2;
constexpr int kNoOpenGl = 3;

// A sphere map named on the command line must be there: the viewer's fallback to the built-in
// image would quietly give a different picture from the one asked for.
bool canReadSphereMap(const std::string& path, std::string& error)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || access(path.c_str(), R_OK) != 0) {
        error = "--sphere '" + path + "' cannot be read: " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "--sphere '" + path + "' is not a regular file";
        return false;
    }
    return true;
}

// One warm-up frame (caches, the shader cache of a fresh process), then frames timed one by one.
void bench(const char* name, const RenderOptions& options, const std::function<void()>& frame)
{
    frame();
    std::vector<double> milliseconds;
    for (int i = 0; i < options.benchFrames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        frame();
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const std::string drawn =
        options.model.path.empty() ? "scene " + std::to_string(options.sceneNumber) : "model " + options.model.path;
    std::printf("%s, %s, %dx%d, %d frames: min %.2f ms, median %.2f ms, max %.2f ms\n", drawn.c_str(), name,
                options.width, options.height, options.benchFrames, milliseconds.front(),
                milliseconds[milliseconds.size() / 2], milliseconds.back());
}

// A model is read before OpenGL is opened, so a bad file is reported as such on any machine.
int loadModel(HeadlessScene& headless, const RenderOptions& options)
{
    ModelReport report;
    try {
        report = buildHeadlessModel(headless, options);
    } catch (const std::bad_alloc&) {
        headless.scene.clear();
        report.failure = ModelFailure::noMemory;
        report.error = "model '" + options.model.path + "' needs more memory than the machine has";
    }
    for (const std::string& warning : report.warnings)
        std::fprintf(stderr, "pixelwright-render: warning: %s\n", warning.c_str());
    if (report.failure == ModelFailure::none) return 0;
    std::fprintf(stderr, "pixelwright-render: %s\n", report.error.c_str());
    return report.failure == ModelFailure::noMemory ? kNoMemory : kBadArguments;
}

// With a benchmark, also the model's size and how long it took to read.
int loadTimedModel(HeadlessScene& headless, const RenderOptions& options)
{
    const auto start = std::chrono::steady_clock::now();
    if (const int status = loadModel(headless, options)) return status;
    const auto end = std::chrono::steady_clock::now();
    if (options.benchFrames > 0) {
        size_t polygons = 0;
        for (const Primitive& primitive : headless.scene.primitives) polygons += primitive.polygons.size();
        std::printf("model %s: %zu polygons in %zu primitives, loaded in %.1f ms\n", options.model.path.c_str(),
                    polygons, headless.scene.primitives.size(),
                    std::chrono::duration<double, std::milli>(end - start).count());
    }
    return 0;
}

void buildScene(HeadlessScene& headless, const RenderOptions& options)
{
    if (!options.json) {
        buildHeadlessScene(headless, options);
        return;
    }
    // Standard output is to hold the one JSON object: the scene builder's line goes to standard
    // error meanwhile.
    std::fflush(stdout);
    const int out = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    buildHeadlessScene(headless, options);
    std::fflush(stdout);
    dup2(out, STDOUT_FILENO);
    close(out);
}

void benchRenderers(HeadlessScene& headless, const RenderOptions& options, const OffscreenGl& gl)
{
    if (options.renderer != RendererChoice::opengl)
        bench("software", options, [&] { drawSoftwareFrame(headless, options.pose); });
    if (options.renderer != RendererChoice::software)
        bench("opengl", options, [&] { renderOpenGlImage(headless, options.pose, gl); });
}

// Both renderers side by side with their difference, and the figures of that difference printed.
RgbImage comparisonPicture(HeadlessScene& headless, const RenderOptions& options, const OffscreenGl& gl)
{
    const RgbImage software = renderSoftwareImage(headless, options.pose);
    const RgbImage opengl = renderOpenGlImage(headless, options.pose, gl);
    const RgbImage all[3] = {software, opengl, differencePanel(software, opengl)};
    const ImageDifference figures = compareImages(software, opengl);
    std::printf("software vs opengl: %ld pixels differ by more than 2 levels, %ld by more than 32; "
                "PSNR %.2f dB; coverage IoU %.4f\n",
                figures.pixelsOver2, figures.pixelsOver32, figures.psnr, figures.coverageIoU);
    const RgbImage picture = sideBySide(all, 3, kPanelGap);
    return options.legend ? withLegend(picture, {differenceLegend()}) : picture;
}

int drawToFile(const RenderOptions& options, HeadlessScene& headless, const OffscreenGl& gl)
{
    RgbImage picture;
    if (options.renderer == RendererChoice::both)
        picture = comparisonPicture(headless, options, gl);
    else if (options.renderer == RendererChoice::software)
        picture = renderSoftwareImage(headless, options.pose);
    else
        picture = renderOpenGlImage(headless, options.pose, gl);
    std::string error;
    if (!writePng(options.output, picture, error)) {
        std::fprintf(stderr, "pixelwright-render: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s (%s, %dx%d)\n", options.output.c_str(), rendererName(options.renderer), picture.width,
                picture.height);
    return 0;
}

// Everything after the arguments have been checked.
int render(const RenderOptions& options)
{
    HeadlessScene headless;
    if (!options.model.path.empty())
        if (const int status = loadTimedModel(headless, options)) return status;
    OffscreenGl gl;
    std::string error;
    if (options.renderer != RendererChoice::software && !gl.open(options.width, options.height, error)) {
        std::fprintf(stderr, "pixelwright-render: %s; the software renderer needs no OpenGL (--renderer software)\n",
                     error.c_str());
        return kNoOpenGl;
    }
    if (options.model.path.empty()) buildScene(headless, options);
    if (options.show != FrameView::picture || options.tracePixel || options.steps > 0)
        return renderProbe(options, headless, gl);
    if (options.benchFrames > 0) benchRenderers(headless, options, gl);
    if (options.output.empty()) return 0;
    return drawToFile(options, headless, gl);
}

// The message stays one line even where a quoted argument holds a newline.
int refuse(std::string message)
{
    std::replace(message.begin(), message.end(), '\n', ' ');
    std::fprintf(stderr, "pixelwright-render: %s\nRun 'pixelwright-render --help' for the options.\n",
                 message.c_str());
    return kBadArguments;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedCommand command = parseRenderOptions(argc, argv);
    if (command.action == CommandAction::print) {
        std::fputs(command.text.c_str(), stdout);
        return 0;
    }
    if (command.action == CommandAction::refuse) return refuse(command.text);
    const RenderOptions& options = command.options;
    std::string error;
    if ((!options.output.empty() && !canWriteFile(options.output, error)) ||
        (!options.spherePath.empty() && !canReadSphereMap(options.spherePath, error)))
        return refuse(error);
    // A large size is valid yet can need more memory than the machine grants (a 16384 x 16384
    // comparison holds several gigabytes of frames): say so rather than abort. The PNG is written
    // only once the picture is complete, so no file is left behind.
    try {
        return render(options);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "pixelwright-render: not enough memory to draw a %dx%d picture; try a smaller --size\n",
                     options.width, options.height);
        return kNoMemory;
    }
}
