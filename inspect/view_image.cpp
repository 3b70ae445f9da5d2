#include "inspect/view_image.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "raster/frame_image.h"

namespace {

constexpr uint8_t kFarthestGrey = 200;
const Rgb8 kMagnified{70, 70, 70};
const Rgb8 kUntextured{170, 170, 170};
// One colour per mip level, far apart in hue.
const Rgb8 kLevelColours[] = {{230, 25, 75},  {60, 180, 75},  {0, 130, 200},  {245, 130, 48}, {145, 30, 180},
                              {70, 240, 240}, {240, 50, 230}, {210, 245, 60}, {0, 128, 128}, {170, 110, 40},
                              {128, 0, 0},    {0, 0, 128},    {128, 128, 0},  {255, 215, 180}};
constexpr unsigned kLevelColourCount = sizeof kLevelColours / sizeof kLevelColours[0];

uint8_t byteOf(float unit) { return FrameImage::toByte(unit); }

Rgb8 blend(const Rgb8& a, const Rgb8& b, float f)
{
    Rgb8 out;
    for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(std::lround(a[c] + (b[c] - a[c]) * f));
    return out;
}

Rgb8 levelColour(unsigned level) { return kLevelColours[level % kLevelColourCount]; }

// Dark blue through red to yellow.
Rgb8 heat(float f)
{
    const Rgb8 stops[] = {{20, 20, 120}, {200, 30, 60}, {250, 150, 20}, {250, 240, 60}};
    const float scaled = std::clamp(f, 0.0f, 1.0f) * 3.0f;
    const int i = std::min(static_cast<int>(scaled), 2);
    return blend(stops[i], stops[i + 1], scaled - i);
}

Rgb8 polygonColour(const FragmentOrigin& o)
{
    // Golden-ratio steps of hue, so neighbouring polygons differ; value below 1 keeps them off white.
    const uint32_t id = o.primitive * 7919u + o.polygon;
    const float hue = std::fmod(id * 0.618034f, 1.0f);
    Color c(0, 0, 0, 1);
    c.fromHsv(hue, 0.65f, 0.9f, 1.0f);
    return {byteOf(c.r), byteOf(c.g), byteOf(c.b)};
}

Rgb8 unitVector(const Vec3& n)
{
    return {byteOf((n.x + 1.0f) * 0.5f), byteOf((n.y + 1.0f) * 0.5f), byteOf((n.z + 1.0f) * 0.5f)};
}

Rgb8 term(const Color& c) { return {byteOf(c.r), byteOf(c.g), byteOf(c.b)}; }

Rgb8 mipColour(const PixelRecord& p)
{
    if (!p.textured) return kUntextured;
    if (!(p.lambda >= 0.0f)) return kMagnified;
    const float last = static_cast<float>(p.levels - 1);
    const float lambda = std::min(p.lambda, last);
    const auto lo = static_cast<unsigned>(lambda);
    return blend(levelColour(lo), levelColour(static_cast<unsigned>(std::ceil(lambda))), lambda - lo);
}

// The most fragments that passed the depth test at any covered pixel, at least 1.
uint32_t mostPassed(const ViewRecorder& frame)
{
    uint32_t most = 1;
    for (const PixelRecord& p : frame.pixels) most = std::max(most, p.covered ? p.passed : 0u);
    return most;
}

RgbImage blank(int width, int height)
{
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height * 3, 255);
    return image;
}

void put(RgbImage& image, int column, int bottomUpRow, Rgb8 c)
{
    // White means "nothing drawn here" in every view.
    if (c[0] == 255 && c[1] == 255 && c[2] == 255) c = {254, 254, 254};
    const size_t i = (static_cast<size_t>(image.height - 1 - bottomUpRow) * image.width + column) * 3;
    std::copy(c.begin(), c.end(), image.pixels.begin() + static_cast<std::ptrdiff_t>(i));
}

std::vector<LegendEntry> legendFor(FrameView view, const ViewRecorder& frame)
{
    const auto grey = [](uint8_t top) { return [top](float f) { const auto g = static_cast<uint8_t>(std::lround(f * top)); return Rgb8{g, g, g}; }; };
    switch (view) {
    case FrameView::normal:
    case FrameView::bumpedNormal:
        return {{[](float f) { return Rgb8{byteOf(f), 128, 128}; }, {}, "-1", "1"},
                {[](float f) { return Rgb8{128, byteOf(f), 128}; }, {}, "-1", "1"},
                {[](float f) { return Rgb8{128, 128, byteOf(f)}; }, {}, "-1", "1"}};
    case FrameView::texcoord:
        return {{[](float f) { return Rgb8{byteOf(f), 0, 0}; }, {}, "0", "1"},
                {[](float f) { return Rgb8{0, byteOf(f), 0}; }, {}, "0", "1"}};
    case FrameView::ambient:
    case FrameView::diffuse:
    case FrameView::specular:
        return {{grey(254), {}, "0", "1"}};
    case FrameView::mipLevel: {
        unsigned levels = 0;
        for (const PixelRecord& p : frame.pixels) levels = std::max(levels, p.covered && p.textured ? p.levels : 0u);
        std::vector<LegendEntry> entries{{{}, kUntextured, "none", ""}, {{}, kMagnified, "<0", ""}};
        for (unsigned k = 0; k < levels; ++k) entries.push_back({{}, levelColour(k), std::to_string(k), ""});
        return entries;
    }
    case FrameView::overdraw: return {{heat, {}, "1", std::to_string(mostPassed(frame))}};
    case FrameView::polygons: {
        size_t count = 0;
        for (const Primitive& p : frame.scene.primitives) count += p.polygons.size();
        return {{[](float f) { return polygonColour({0, static_cast<unsigned>(f * 12)}); }, {}, "1", std::to_string(count)}};
    }
    default: return {};
    }
}

}  // namespace

void depthRange(const std::vector<float>& depths, float& nearest, float& farthest)
{
    nearest = std::numeric_limits<float>::infinity();
    farthest = -nearest;
    for (float d : depths)
        if (!std::isnan(d)) nearest = std::min(nearest, d), farthest = std::max(farthest, d);
}

std::vector<float> softwareDepths(const ViewRecorder& frame, const DepthBuffer& depthBuffer)
{
    std::vector<float> depths(frame.pixels.size(), std::numeric_limits<float>::quiet_NaN());
    for (int row = 0; row < frame.height; ++row)
        for (int column = 0; column < frame.width; ++column)
            if (frame.at(column, row).covered)
                depths[static_cast<size_t>(row) * frame.width + column] = depthBuffer.rowCells(row)[column];
    return depths;
}

RgbImage depthImage(const std::vector<float>& depths, int width, int height, float nearest, float farthest)
{
    RgbImage image = blank(width, height);
    const float range = farthest > nearest ? farthest - nearest : 1.0f;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const float d = depths[static_cast<size_t>(row) * width + column];
            if (std::isnan(d)) continue;
            const auto g = static_cast<uint8_t>(std::lround(std::clamp((d - nearest) / range, 0.0f, 1.0f) * kFarthestGrey));
            put(image, column, row, {g, g, g});
        }
    return image;
}

LegendEntry depthLegend(float nearest, float farthest)
{
    const auto grey = [](float f) {
        const auto g = static_cast<uint8_t>(std::lround(f * kFarthestGrey));
        return Rgb8{g, g, g};
    };
    return {grey, {}, legendNumber(nearest), legendNumber(farthest)};
}

RgbImage drawFrameView(FrameView view, const ViewRecorder& frame, const DepthBuffer& depthBuffer,
                            bool legend)
{
    std::vector<LegendEntry> entries;
    RgbImage image;
    if (view == FrameView::depth) {
        const std::vector<float> depths = softwareDepths(frame, depthBuffer);
        float nearest, farthest;
        depthRange(depths, nearest, farthest);
        image = depthImage(depths, frame.width, frame.height, nearest, farthest);
        if (nearest <= farthest) entries.push_back(depthLegend(nearest, farthest));
    } else {
        image = blank(frame.width, frame.height);
        const uint32_t most = mostPassed(frame);
        for (int row = 0; row < frame.height; ++row)
            for (int column = 0; column < frame.width; ++column) {
                const PixelRecord& p = frame.at(column, row);
                if (!p.covered) continue;
                Rgb8 c{};
                switch (view) {
                case FrameView::normal: c = unitVector(p.normal); break;
                case FrameView::bumpedNormal: c = unitVector(p.bumpedNormal); break;
                case FrameView::texcoord: c = {byteOf(p.s), byteOf(p.t), 0}; break;
                case FrameView::mipLevel: c = mipColour(p); break;
                case FrameView::ambient: c = term(p.ambient); break;
                case FrameView::diffuse: c = term(p.diffuse); break;
                case FrameView::specular: c = term(p.specular); break;
                case FrameView::overdraw:
                    c = heat(most > 1 ? (p.passed - 1.0f) / (most - 1.0f) : 0.0f);
                    break;
                case FrameView::polygons: c = polygonColour(p.origin); break;
                default: break;
                }
                put(image, column, row, c);
            }
        entries = legendFor(view, frame);
    }
    return legend ? withLegend(image, entries) : image;
}
