// What the page's script calls. Pictures go out as views of memory the renderer keeps (RGBA, top
// row first, valid until the next call that draws), which the script copies.
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>

#include <cmath>
#include <string>
#include <vector>

#include "image/image_comparison.h"
#include "web/page_frames.h"
#include "web/page_renderer.h"

using emscripten::val;

namespace {

// Where the page's script puts scene 5's environment image before asking for the scene.
constexpr const char* kSpherePath = "/sphere.raw";

RgbImage fromRgba(const std::string& bytes, int width, int height)
{
    RgbImage image{width, height, {}};
    const size_t pixels = static_cast<size_t>(width) * height;
    if (width <= 0 || height <= 0 || bytes.size() != pixels * 4) return RgbImage{};
    image.pixels.resize(pixels * 3);
    for (size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < 3; ++c) image.pixels[i * 3 + c] = static_cast<uint8_t>(bytes[i * 4 + c]);
    return image;
}

val picture(PageRenderer& page, const RgbImage& image) { return handOut(image, page.rgba); }

void build(PageRenderer& page, int scene, int width, int height, bool mipmapping)
{
    buildSoftwareScene(page.software, scene, width, height, mipmapping, kSpherePath, nullptr);
}

void resize(PageRenderer& page, int width, int height) { prepareSoftwareScene(page.software, width, height); }

// The scene's textures are chosen per frame; only the flag changes.
void setMipmapping(PageRenderer& page, bool mipmapping) { page.software.scene.mipmapping = mipmapping; }

// Timed as pixelwright-render --bench times a frame: the renderer's work alone.
val software(PageRenderer& page, const CameraPose& pose)
{
    const double start = emscripten_get_now();
    drawSoftwareFrame(page.software, pose);
    page.frameMilliseconds = emscripten_get_now() - start;
    const FrameImage& frame = page.software.frame;
    return picture(page, topRowFirst(frame.rgb, frame.width, frame.height));
}

double frameMilliseconds(PageRenderer& page) { return page.frameMilliseconds; }

val view(PageRenderer& page, const CameraPose& pose, const std::string& name)
{
    FrameView which = FrameView::picture;
    if (!parseFrameView(name, which) || which == FrameView::picture) return val::null();
    const ViewPicture drawn = drawView(page.software, pose, which);
    val out = picture(page, drawn.picture);
    out.set("legend", handOut(drawn.legend, page.legendRgba));
    return out;
}

std::string pixel(PageRenderer& page, const CameraPose& pose, int x, int y)
{
    return pixelHistoryJson(page.software, pose, x, y);
}

val fill(PageRenderer& page, const CameraPose& pose, int polygons)
{
    return picture(page, drawFillCut(page.software, pose, static_cast<size_t>(std::max(polygons, 0))));
}

int polygons(PageRenderer& page) { return static_cast<int>(polygonCount(page.software.scene)); }

// Two RGBA pictures of one size (as strings of bytes): the figures, and the difference panel.
val compare(PageRenderer& page, const std::string& a, const std::string& b, int width, int height)
{
    const RgbImage first = fromRgba(a, width, height);
    const RgbImage second = fromRgba(b, width, height);
    if (first.pixels.empty() || second.pixels.empty()) return val::null();
    const ImageDifference d = compareImages(first, second);
    val figures = val::object();
    figures.set("pixelsOver2", static_cast<double>(d.pixelsOver2));
    figures.set("pixelsOver32", static_cast<double>(d.pixelsOver32));
    // Identical pictures have an infinite PSNR, which JSON cannot carry: null, as the page shows it.
    figures.set("psnr", std::isfinite(d.psnr) ? val(d.psnr) : val::null());
    figures.set("coverageIoU", d.coverageIoU);
    val out = picture(page, differencePanel(first, second));
    out.set("figures", figures);
    return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(pixelwright)
{
    emscripten::value_object<CameraPose>("CameraPose")
        .field("azimuth", &CameraPose::azimuth)
        .field("elevation", &CameraPose::elevation)
        .field("zoom", &CameraPose::zoom)
        .field("panX", &CameraPose::panX)
        .field("panY", &CameraPose::panY);
    emscripten::class_<PageRenderer>("PageRenderer")
        .constructor<>()
        .function("build", &build)
        .function("resize", &resize)
        .function("setMipmapping", &setMipmapping)
        .function("software", &software)
        .function("frameMilliseconds", &frameMilliseconds)
        .function("view", &view)
        .function("pixel", &pixel)
        .function("fill", &fill)
        .function("polygons", &polygons)
        .function("compare", &compare);
}
