#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/preview_frame.h"
#include "scene/demo_scenes.h"

namespace {

// Fixed-function lighting of a flat face with a directional light and no specular part:
// diffuse · (global ambient + light colour · max(0, N·L)), as bytes.
Rgb litFace(const Color& diffuse, float ambient, const Light& light, const Vec3& normal)
{
    Vec3 l = light.position;
    l.normalize();
    const double lambert = std::max(0.0f, dot(normal, l));
    auto channel = [&](float d, float c) {
        return static_cast<int>(std::lround(std::min(1.0, d * (ambient + c * lambert)) * 255));
    };
    return {channel(diffuse.r, light.color.r), channel(diffuse.g, light.color.g), channel(diffuse.b, light.color.b)};
}

Rgb texelBytes(const Texture& t, int x, int y)
{
    const float* c = t.texel(std::clamp(x, 0, t.width - 1), std::clamp(y, 0, t.height - 1));
    auto byte = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    return {byte(c[0]), byte(c[1]), byte(c[2])};
}

// True when `pixel` lies, channel by channel, within the colours of the texels around (s, t)
// (±radius texels), widened by `slack`: a filtered or interpolated sample of that neighbourhood.
bool withinTexelsAround(const Texture& t, double s, double tt, int radius, int slack, Rgb pixel)
{
    const int cx = static_cast<int>(std::floor(s * t.width));
    const int cy = static_cast<int>(std::floor(tt * t.height));
    Rgb lo{255, 255, 255};
    Rgb hi{0, 0, 0};
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x) {
            const Rgb c = texelBytes(t, x, y);
            lo = {std::min(lo.r, c.r), std::min(lo.g, c.g), std::min(lo.b, c.b)};
            hi = {std::max(hi.r, c.r), std::max(hi.g, c.g), std::max(hi.b, c.b)};
        }
    return pixel.r >= lo.r - slack && pixel.r <= hi.r + slack && pixel.g >= lo.g - slack &&
           pixel.g <= hi.g + slack && pixel.b >= lo.b - slack && pixel.b <= hi.b + slack;
}

// Pixels over a unit square centred at (cx, 0) in z = 0 whose colour is the texel under them
// (nearest filtering), out of `samples` taken on a grid clear of the square's border.
int pixelsShowingTheirTexel(const Scene& scene, const Image& image, const Texture& texture, float cx, int& samples)
{
    int x0 = kFrameSize, x1 = 0, y0 = kFrameSize, y1 = 0;
    for (float dx : {-0.5f, 0.5f})
        for (float dy : {-0.5f, 0.5f}) {
            const PixelPosition corner = projectToPixel(scene, cx + dx, dy, 0);
            x0 = std::min(x0, corner.x);
            x1 = std::max(x1, corner.x);
            y0 = std::min(y0, corner.y);
            y1 = std::max(y1, corner.y);
        }
    int matches = 0;
    samples = 0;
    for (int y = std::max(y0, 0); y <= std::min(y1, kFrameSize - 1); y += 3)
        for (int x = std::max(x0, 0); x <= std::min(x1, kFrameSize - 1); x += 3) {
            const Vec3 p = unprojectToPlaneZ(scene, x, y, 0);
            const double s = p.x - (cx - 0.5);
            const double t = p.y + 0.5;
            if (s < 0.02 || s > 0.98 || t < 0.02 || t > 0.98) continue;
            ++samples;
            if (withinTexelsAround(texture, s, t, 1, 1, pixelAt(image, kFrameSize, x, y))) ++matches;
        }
    return matches;
}

Scene builtScene(int number)
{
    Scene scene;
    buildScene(scene, number, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
    return scene;
}

}  // namespace

// Flat-shaded, lit by one directional light from (1, 2, 3): the tops of the green box and the red
// cylinder and the grey floor show diffuse plus ambient; the letter faces away from the light and
// shows the ambient term alone, its hole painted over in the same colour.
TEST(PreviewScenes, SceneOneShowsTheSolidsFloorAndLetter)
{
    Scene scene = builtScene(1);
    const Image image = drawPreviewFrame(scene);
    const Light& light = scene.lights.at(0);
    const Vec3 up(0, 0, 1);
    const float ambient = 0.25f;
    struct Probe {
        const char* what;
        Vec3 point;
        Rgb expected;
    };
    const Probe probes[] = {
        {"box top", {-0.5f, 0.0f, 0.5f}, litFace(Color(0.16f, 0.8f, 0, 1), ambient, light, up)},
        {"cylinder top", {0.5f, 0.0f, 0.5f}, litFace(Color(0.9f, 0, 0, 1), ambient, light, up)},
        {"floor", {0.6f, -1.2f, -0.5f}, litFace(Color(0.5f, 0.5f, 0.5f, 1), ambient, light, up)},
        {"letter leg", {-0.182f, 0.5f, 0.0f}, {0, 51, 51}},
        {"letter hole", {0.0f, 0.5f, 0.15f}, {0, 51, 51}},
    };
    for (const Probe& probe : probes) {
        const PixelPosition p = projectToPixel(scene, probe.point.x, probe.point.y, probe.point.z);
        ASSERT_TRUE(p.x >= 0 && p.x < kFrameSize && p.y >= 0 && p.y < kFrameSize) << probe.what;
        EXPECT_LE(colorDistance(pixelAt(image, p), probe.expected), 2) << probe.what;
    }
}

// Three octants, each seen where its surface faces the camera: red, blue and green dominate there.
TEST(PreviewScenes, SceneTwoShowsThreeColouredOctants)
{
    Scene scene = builtScene(2);
    const Image image = drawPreviewFrame(scene);
    const float r = 0.5f / std::sqrt(3.0f);
    struct Probe {
        const char* what;
        Vec3 centre;
        int dominant;  // 0 red, 1 green, 2 blue
    };
    const Probe probes[] = {{"red", {0.5f, -0.5f, 0}, 0}, {"blue", {-0.5f, 0.5f, 0}, 2}, {"green", {-0.5f, -0.5f, 0}, 1}};
    for (const Probe& probe : probes) {
        const Rgb c = pixelAt(image, projectToPixel(scene, probe.centre.x + r, probe.centre.y + r, probe.centre.z + r));
        const int channels[3] = {c.r, c.g, c.b};
        for (int i = 0; i < 3; ++i) {
            if (i == probe.dominant) continue;
            EXPECT_GT(channels[probe.dominant], channels[i] + 60) << probe.what;
        }
    }
}

// Unlit, single-level and nearest-filtered: every pixel of the left square shows the tile texel
// under it and every pixel of the right one the ring texel. Mip-mapping blends the minified texels.
TEST(PreviewScenes, SceneThreeShowsTileAndRingTexelsAndMipmappingBlendsThem)
{
    Scene scene = builtScene(3);
    ASSERT_EQ(scene.primitives.size(), 2u);
    scene.mipmapping = false;
    const Image nearest = drawPreviewFrame(scene);
    int samples = 0;
    EXPECT_EQ(pixelsShowingTheirTexel(scene, nearest, *scene.primitives[0].texture, -0.6f, samples), samples);
    EXPECT_GT(samples, 1000);
    EXPECT_EQ(pixelsShowingTheirTexel(scene, nearest, *scene.primitives[1].texture, 0.6f, samples), samples);
    EXPECT_GT(samples, 2000);
    // The tile texels are not also the ring texels: the check tells the two apart.
    EXPECT_LT(pixelsShowingTheirTexel(scene, nearest, *scene.primitives[1].texture, -0.6f, samples), samples * 9 / 10);

    scene.mipmapping = true;
    const Image mipmapped = drawPreviewFrame(scene);
    EXPECT_GT(countDifferentPixels(nearest, mipmapped, 8), 5000);
}

// The lone bump-mapped square of scene 4 shows its tile texture, unlit.
TEST(PreviewScenes, SceneFourShowsTheTileTexture)
{
    Scene scene = builtScene(4);
    ASSERT_EQ(scene.primitives.size(), 1u);
    scene.mipmapping = false;
    const Image image = drawPreviewFrame(scene);
    int samples = 0;
    EXPECT_EQ(pixelsShowingTheirTexel(scene, image, *scene.primitives[0].texture, 0.0f, samples), samples);
    EXPECT_GT(samples, 1500);
}

// Sphere-map generation: at a torus vertex the picture shows the environment image where the
// eye-space reflection points, s = rx/m + 1/2, t = ry/m + 1/2 with m = 2·|r + (0, 0, 1)|.
// The 'a' key does not change it.
TEST(PreviewScenes, SceneFiveShowsTheEnvironmentOnTheTorus)
{
    Scene scene = builtScene(5);
    ASSERT_EQ(scene.primitives.size(), 1u);
    const Texture& environment = *scene.primitives[0].environmentMap;
    const Image image = drawPreviewFrame(scene);
    const Mat4& view = scene.viewStack.current;
    int checked = 0;
    for (const Polygon& polygon : scene.primitives[0].polygons) {
        const Vertex& v = polygon[0];
        const Vec4 eye = view * v.position;
        const Vec4 n4 = view * Vec4(v.normal.x, v.normal.y, v.normal.z, 0);
        Vec3 u(eye.x, eye.y, eye.z);
        u.normalize();
        const Vec3 n(n4.x, n4.y, n4.z);
        // Only vertices on the outside of the tube squarely facing the camera: nothing covers them.
        const double fromAxis = std::hypot(v.position.x, v.position.y);
        if (dot(n, u) > -0.7f || fromAxis < 0.65) continue;
        const Vec3 r = u - n * (2.0f * dot(n, u));
        const double m = 2.0 * std::sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
        const double s = r.x / m + 0.5;
        const double t = r.y / m + 0.5;
        const PixelPosition p = projectToPixel(scene, v.position.x, v.position.y, v.position.z);
        EXPECT_TRUE(withinTexelsAround(environment, s, t, 3, 3, pixelAt(image, p)))
            << "vertex at " << v.position.x << ", " << v.position.y << ", " << v.position.z;
        ++checked;
    }
    EXPECT_GT(checked, 50);

    scene.mipmapping = false;
    EXPECT_EQ(countDifferentPixels(drawPreviewFrame(scene), image), 0);
}

// Lights and colour left behind by one scene must not show in the next one.
TEST(PreviewScenes, ScenesLookTheSameAfterAnyOtherScene)
{
    Scene one = builtScene(1);
    Scene two = builtScene(2);
    Scene three = builtScene(3);
    const Image oneFresh = drawPreviewFrameInFreshWindow(one);
    const Image threeFresh = drawPreviewFrameInFreshWindow(three);

    drawPreviewFrame(two);
    EXPECT_EQ(countDifferentPixels(drawPreviewFrame(one), oneFresh), 0) << "scene 1 after scene 2";
    drawPreviewFrame(one);
    EXPECT_EQ(countDifferentPixels(drawPreviewFrame(three), threeFresh), 0) << "scene 3 after scene 1";
}
