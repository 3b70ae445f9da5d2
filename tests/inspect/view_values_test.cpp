#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "inspect/pixel_history.h"
#include "inspect/view_image.h"
#include "math/camera.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

using nlohmann::json;

namespace {

constexpr int kWidth = 480, kHeight = 360;

// Every fragment count per pixel, and the histories of the sample pixels, from one probed frame.
struct Histories {
    std::vector<PixelHistory> pixels;
    std::vector<int> historyOf = std::vector<int>(kWidth * kHeight, -1);
    std::vector<uint32_t> passes = std::vector<uint32_t>(kWidth * kHeight, 0);
    int add(int pixel)
    {
        int& i = historyOf[pixel];
        if (i < 0) i = static_cast<int>(pixels.size()), pixels.push_back({pixel % kWidth, pixel / kWidth, {}});
        return i;
    }
    void tested(const FragmentOrigin& o, int c, int r, float d, bool passed)
    {
        passes[r * kWidth + c] += passed;
        if (historyOf[r * kWidth + c] >= 0) pixels[historyOf[r * kWidth + c]].tested(o, c, r, d, passed);
    }
    void shaded(const FragmentOrigin& o, const Fragment& f, const FragmentTrace& t, bool ok, const Color& c)
    {
        const int i = historyOf[static_cast<int>(f.y) * kWidth + static_cast<int>(f.x)];
        if (i >= 0) pixels[i].shaded(o, f, t, ok, c);
    }
    void polygonDone(size_t, const FrameImage&) {}
};

// What one pixel's history (as --pixel --json prints it) says: the fragment whose point the picture
// keeps (the last shaded inside the depth range; null if none), the passes, the depth kept.
struct Sample {
    json history, kept;
    int passes = 0;
    float depth = NAN;
    std::string where;

    Sample(json h, const std::string& frame) : history(std::move(h))
    {
        where = frame + " at " + history["x"].dump() + "," + history["y"].dump();
        for (const json& f : history["fragments"]) {
            if (!f["passed"].get<bool>()) continue;
            ++passes;
            depth = f["depth"];
            if (f["shaded"].get<bool>() && depth >= 0.0f && depth <= 1.0f) kept = f;
        }
    }
};

// One scene at one pose: its views' records, and the histories of a grid of covered pixels and of
// the frame's nearest, farthest and most overdrawn covered pixels.
struct Probed {
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    std::unique_ptr<ViewRecorder> views;
    std::vector<Sample> samples, extremes;  // extremes: nearest, farthest, most overdrawn
    std::string name;

    Probed(int sceneNumber, const CameraPose& pose, int poseNumber)
        : name("scene " + std::to_string(sceneNumber) + ", pose " + std::to_string(poseNumber))
    {
        buildScene(scene, sceneNumber, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
        scene.useOpenGL = false;
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, kWidth, kHeight);
        setupCamera(scene.projectionStack, scene.viewStack, pose, kWidth, kHeight);
        FrameImage image(kWidth, kHeight);
        views = std::make_unique<ViewRecorder>(scene, mipChains, kWidth, kHeight);
        probeFrame(scene, depthBuffer, edgeTable, mipChains, image, *views);
        Histories counted, h;
        probeFrame(scene, depthBuffer, edgeTable, mipChains, image, counted);
        const float* depth = depthBuffer.rowCells(0);  // rows are contiguous
        std::vector<int> picked;
        int near = -1, far = -1, most = -1;
        for (int i = 0; i < kWidth * kHeight; ++i) {
            if (!views->pixels[i].covered) continue;
            if (near < 0 || depth[i] < depth[near]) near = i;
            if (far < 0 || depth[i] > depth[far]) far = i;
            if (most < 0 || counted.passes[i] > counted.passes[most]) most = i;
            if ((i % kWidth) % 23 == 5 && (i / kWidth) % 19 == 4) picked.push_back(h.add(i));
        }
        if (near < 0) return;
        for (int i : {near, far, most}) picked.push_back(h.add(i));
        probeFrame(scene, depthBuffer, edgeTable, mipChains, image, h);
        for (int i : picked) {
            const PixelHistory& p = h.pixels[i];
            (samples.size() + 3 < picked.size() ? samples : extremes)
                .emplace_back(json::parse(describeHistory(p, scene, mipChains, p.column, kHeight - 1 - p.row,
                                                          image.pixel(p.column, p.row), true)),
                              name);
        }
    }

    RgbImage draw(FrameView view) const { return drawFrameView(view, *views, depthBuffer, true); }
};

// Every scene at five poses: the default, farther off, overhead, and two closer in (magnified textures).
void forEachFrame(const std::function<void(const Probed&)>& check)
{
    static const std::vector<std::unique_ptr<Probed>> frames = [] {
        const CameraPose poses[] = {CameraPose{}, CameraPose{30, -10, -4, 25, -40}, CameraPose{-170, -89, 3, 0, 0},
                                    CameraPose{-135, -60, 6, 0, 0}, CameraPose{-135, -60, 9, 0, 0}};
        std::vector<std::unique_ptr<Probed>> all;
        for (int sceneNumber = 1; sceneNumber <= 5; ++sceneNumber)
            for (int p = 0; p < 5; ++p) all.push_back(std::make_unique<Probed>(sceneNumber, poses[p], p));
        return all;
    }();
    for (const auto& f : frames) check(*f);
}

Rgb8 shown(const RgbImage& view, const Sample& s)
{
    const uint8_t* p = &view.pixels[(s.history["y"].get<size_t>() * view.width + s.history["x"].get<size_t>()) * 3];
    return {p[0], p[1], p[2]};
}

// The legend's bars left to right, each the colours along its middle row.
std::vector<std::vector<Rgb8>> legendBars(const RgbImage& view)
{
    std::vector<std::vector<Rgb8>> bars;
    bool inBar = false;
    for (int x = 0; x < view.width; ++x) {
        const uint8_t* p = &view.pixels[((kHeight + 3 + kLegendHeight / 5) * view.width + x) * 3];
        const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
        if (!white && !inBar) bars.emplace_back();
        if (!white) bars.back().push_back({p[0], p[1], p[2]});
        inBar = !white;
    }
    return bars;
}

bool isGrey(const Rgb8& c) { return c[0] == c[1] && c[1] == c[2]; }

double channel(const Color& c, int i) { return i == 0 ? c.r : i == 1 ? c.g : c.b; }

int unitByte(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

void expectClose(const Rgb8& got, const int (&want)[3], int tolerance, const std::string& where)
{
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], tolerance) << where << ", channel " << c;
}

}  // namespace

// Black at the frame's nearest covered pixel, the legend's light end at its farthest, linear between.
TEST(ViewValues, DepthRunsFromBlackNearestToLightGreyFarthest)
{
    forEachFrame([](const Probed& f) {
        if (f.samples.empty()) return;
        const RgbImage view = f.draw(FrameView::depth);
        const std::vector<Rgb8> ramp = legendBars(view).at(0);
        ASSERT_EQ(ramp.front(), (Rgb8{0, 0, 0})) << f.name;
        const int light = ramp.back()[0];
        ASSERT_TRUE(isGrey(ramp.back()) && light > 100 && light < 255) << f.name;
        const Sample &nearest = f.extremes[0], &farthest = f.extremes[1];
        ASSERT_LT(nearest.depth, farthest.depth) << f.name;
        EXPECT_EQ(shown(view, nearest), ramp.front()) << nearest.where;
        EXPECT_EQ(shown(view, farthest), ramp.back()) << farthest.where;
        for (const Sample& s : f.samples) {
            const int g =
                static_cast<int>(std::lround(light * (s.depth - nearest.depth) / (farthest.depth - nearest.depth)));
            expectClose(shown(view, s), {g, g, g}, 1, s.where);
        }
    });
}

// Each axis in its own channel: x red, y green, z blue, as (n + 1) / 2; (s, t) as red and green.
TEST(ViewValues, VectorViewsPutEachAxisInItsOwnChannel)
{
    const auto halfUp = [](const json& v) {
        return std::array<double, 3>{(v[0].get<double>() + 1) / 2, (v[1].get<double>() + 1) / 2,
                                     (v[2].get<double>() + 1) / 2};
    };
    const struct {
        FrameView view;
        const char* key;
        std::function<std::array<double, 3>(const json&)> value;
    } cases[] = {{FrameView::normal, "normal", halfUp},
                 {FrameView::bumpedNormal, "bumpedNormal", halfUp},
                 {FrameView::texcoord, "texture", [](const json& t) {
                      return std::array<double, 3>{t["s"], t["t"], 0.0};
                  }}};
    for (const auto& c : cases) {
        int checked = 0;
        forEachFrame([&](const Probed& f) {
            const RgbImage view = f.draw(c.view);
            for (const Sample& s : f.samples) {
                if (s.kept.is_null() || !s.kept.contains(c.key)) continue;
                const std::array<double, 3> v = c.value(s.kept[c.key]);
                expectClose(shown(view, s), {unitByte(v[0]), unitByte(v[1]), unitByte(v[2])}, 1,
                            s.where + ", " + c.key);
                ++checked;
            }
        });
        EXPECT_GT(checked, 500) << c.key;
    }
}

// Each term view is the history's term, clamped; where nothing clamps, the three add up to the picture.
TEST(ViewValues, LightingTermsAreTheHistorysAndAddUpToThePicture)
{
    int checked = 0, summed = 0;
    forEachFrame([&](const Probed& f) {
        const RgbImage views[3] = {f.draw(FrameView::ambient), f.draw(FrameView::diffuse), f.draw(FrameView::specular)};
        for (const Sample& s : f.samples) {
            if (s.kept.is_null()) continue;
            const json& k = s.kept;
            const Primitive& primitive = f.scene.primitives[k["primitive"].get<size_t>()];
            double terms[3][3] = {};  // ambient, diffuse, specular; red, green, blue
            bool unclamped = true;
            for (int c = 0; c < 3; ++c) {
                terms[0][c] = (k.contains("texture") ? k["texture"]["colour"][c].get<double>() : 1.0) *
                              channel(f.scene.ambient, c);
                for (size_t i = 0; i < k["lights"].size(); ++i) {
                    const double light = channel(f.scene.lights[i].color, c);
                    terms[1][c] += light * channel(primitive.diffuse, c) * k["lights"][i]["diffuse"].get<double>();
                    terms[2][c] += light * channel(primitive.specular, c) * k["lights"][i]["specular"].get<double>();
                }
                for (const double v : {terms[0][c], terms[1][c], terms[2][c], k["colour"][c].get<double>()})
                    unclamped = unclamped && v >= 0.0 && v <= 1.0;
            }
            int sum[3] = {};
            for (int t = 0; t < 3; ++t) {
                const Rgb8 got = shown(views[t], s);
                expectClose(got, {unitByte(terms[t][0]), unitByte(terms[t][1]), unitByte(terms[t][2])}, 1,
                            s.where + ", term " + std::to_string(t));
                for (int c = 0; c < 3; ++c) sum[c] += got[c];
            }
            ++checked;
            if (!unclamped) continue;
            ++summed;
            expectClose({s.history["stored"][0], s.history["stored"][1], s.history["stored"][2]}, sum, 2,
                        s.where + ", sum");
        }
    });
    EXPECT_GT(checked, 1000);
    EXPECT_GT(summed, 500);
}

// More passes lie further along the legend's ramp; one pass is its first colour, the frame's most its last.
TEST(ViewValues, OverdrawOrdersPixelsByTheirPassesAlongTheLegend)
{
    int overdrawn = 0;
    forEachFrame([&](const Probed& f) {
        if (f.samples.empty()) return;
        const RgbImage view = f.draw(FrameView::overdraw);
        const std::vector<Rgb8> ramp = legendBars(view).at(0);
        const auto place = [&](const Rgb8& c) {  // of the ramp's colour nearest to c
            const auto distance = [&](const Rgb8& r) {
                return std::abs(r[0] - c[0]) + std::abs(r[1] - c[1]) + std::abs(r[2] - c[2]);
            };
            return std::min_element(ramp.begin(), ramp.end(),
                                    [&](const Rgb8& a, const Rgb8& b) { return distance(a) < distance(b); }) -
                   ramp.begin();
        };
        std::vector<const Sample*> all{&f.extremes[2]};
        for (const Sample& s : f.samples) all.push_back(&s);
        std::stable_sort(all.begin(), all.end(),
                         [](const Sample* a, const Sample* b) { return a->passes < b->passes; });
        const int most = f.extremes[2].passes;
        ASSERT_EQ(all.back()->passes, most) << f.name;
        for (size_t i = 0; i < all.size(); ++i) {
            const Rgb8 c = shown(view, *all[i]);
            if (all[i]->passes == 1 || all[i]->passes == most) {  // the ramp's ends
                EXPECT_EQ(c, all[i]->passes == 1 ? ramp.front() : ramp.back()) << all[i]->where;
            }
            overdrawn += all[i]->passes > 1;
            if (i == 0) continue;
            const Rgb8 before = shown(view, *all[i - 1]);
            if (all[i]->passes == all[i - 1]->passes) {
                EXPECT_EQ(c, before) << all[i]->where;
            } else {
                EXPECT_GT(place(c), place(before)) << all[i]->where;
            }
        }
    });
    EXPECT_GT(overdrawn, 500);
}

// Untextured light grey, magnified dark grey, a minified sample the legend's colours of the levels
// it read, blended by the fraction of lambda.
TEST(ViewValues, MipLevelShowsTheLevelsTheHistoryRead)
{
    int counts[3] = {};  // untextured, magnified, minified
    forEachFrame([&](const Probed& f) {
        const RgbImage view = f.draw(FrameView::mipLevel);
        const std::vector<std::vector<Rgb8>> swatches = legendBars(view);
        ASSERT_GE(swatches.size(), 2u) << f.name;
        const Rgb8 untextured = swatches[0][0], magnified = swatches[1][0];
        EXPECT_TRUE(isGrey(untextured) && isGrey(magnified) && untextured[0] > magnified[0]) << f.name;
        for (const Sample& s : f.samples) {
            if (s.kept.is_null()) continue;
            const json& t = s.kept.value("texture", json());
            const int kind = t.is_null() ? 0 : t["filter"] == "bilinear" ? 1 : 2;
            ++counts[kind];
            std::array<int, 3> want{untextured[0], untextured[1], untextured[2]};
            if (kind == 1) want = {magnified[0], magnified[1], magnified[2]};
            if (kind == 2) {
                const size_t lo = t["levels"][0], hi = t["levels"][1];
                ASSERT_LT(2 + hi, swatches.size()) << s.where;
                const double w = std::clamp(t["lambda"].get<double>() - lo, 0.0, 1.0);
                const Rgb8 a = swatches[2 + lo][0], b = swatches[2 + hi][0];
                for (int c = 0; c < 3; ++c) want[c] = static_cast<int>(std::lround(a[c] + (b[c] - a[c]) * w));
            }
            expectClose(shown(view, s), {want[0], want[1], want[2]}, kind == 2 ? 1 : 0, s.where);
        }
    });
    for (int k = 0; k < 3; ++k) EXPECT_GT(counts[k], 100) << "kind " << k << " (untextured, magnified, minified)";
}
