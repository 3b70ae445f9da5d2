#include <gtest/gtest.h>

#include <cmath>

#include "math/camera.h"
#include "raster/fragment_trace.h"
#include "raster/shade_fragment.h"
#include "texture/texture_sampling.h"

namespace {

// Identity view and projection: world position = normalised device coordinates, eye at the origin.
struct PlainFrame {
    Scene scene;
    std::vector<MipChain> chains{MipChain{}};
    Primitive primitive;

    PlainFrame()
    {
        scene.ambient = Color(0, 0, 0, 1);
        primitive.diffuse = Color(0, 0, 0, 1);
        primitive.specular = Color(0, 0, 0, 1);
    }
    FrameShading frame(int w = 4, int h = 4) const { return prepareFrameShading(scene, chains, w, h); }
};

Fragment pixel(float x, float y, float depth, const Vec3& normal = Vec3(0, 0, 1))
{
    Fragment f;
    f.x = x;
    f.y = y;
    f.depth = depth;
    f.normal = normal;
    f.stOverW = Vec3(0.5f, 0.5f, 1);
    f.spanLength = 1;
    return f;
}

void expectRgb(const Color& c, float r, float g, float b, float tolerance = 0.0f)
{
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
}

Color shade(const PlainFrame& p, const Fragment& f, int w = 4, int h = 4)
{
    Color out(-9, -9, -9, -9);
    EXPECT_TRUE(shadeFragment(f, p.frame(w, h), p.primitive, 0, out));
    return out;
}

bool shadable(const PlainFrame& p, const Fragment& f, int w = 4, int h = 4)
{
    Color out(0, 0, 0, 1);
    return shadeFragment(f, p.frame(w, h), p.primitive, 0, out);
}

Texture filled(int32_t w, int32_t h, uint32_t channels, float value)
{
    Texture t(w, h, channels);
    for (int32_t i = 0; i < w * h * static_cast<int32_t>(channels); ++i) t.texels[i] = value;
    return t;
}

}  // namespace

TEST(ShadeFragment, WithoutLightsOnlyTheTexturedAmbientRemains)
{
    PlainFrame p;
    p.scene.ambient = Color(0.25f, 0.5f, 0.75f, 1);
    p.primitive.diffuse = Color(1, 1, 1, 1);
    p.primitive.specular = Color(1, 1, 1, 1);
    // No texture: white.
    const Color plain = shade(p, pixel(1, 3, 0.5f));
    expectRgb(plain, 0.25f, 0.5f, 0.75f);
    EXPECT_EQ(plain.a, 1.0f);  // alpha is never output: one fragment gives 1, as a lane group does

    // The fragment sits at s = t = 0.5, texel (1, 1) of a 2 x 2 level, magnified.
    Texture level(2, 2, 3);
    level.setTexelColor(1, 1, Color(0.5f, 1, 0.25f, 1));
    p.chains = {MipChain{level}};
    expectRgb(shade(p, pixel(1, 3, 0.5f)), 0.125f, 0.5f, 0.1875f);
    // The mip-mapping switch belongs to the OpenGL renderer alone.
    p.scene.mipmapping = !p.scene.mipmapping;
    expectRgb(shade(p, pixel(1, 3, 0.5f)), 0.125f, 0.5f, 0.1875f);
    // A primitive index past the chains is shaded untextured rather than read out of range.
    Color out(0, 0, 0, 0);
    ASSERT_TRUE(shadeFragment(pixel(1, 3, 0.5f), p.frame(), p.primitive, 7, out));
    expectRgb(out, 0.25f, 0.5f, 0.75f);
}

TEST(ShadeFragment, LightingIsUnclampedAndSpecularFollowsTheExponent)
{
    PlainFrame p;
    p.primitive.diffuse = Color(0.25f, 0.5f, 0.75f, 1);
    p.primitive.specular = Color(1, 0.25f, 0.5f, 1);
    const Fragment f = pixel(3, 2, 0.5f);  // world (0.5, 0, 0.5)
    const Vec3 position = unprojectPixel(p.scene, f.x, f.y, f.depth, 4, 4);
    ASSERT_EQ(position.x, 0.5f);
    ASSERT_EQ(position.z, 0.5f);

    // Straight behind the surface: N.L = -1, and with shininess 0 the specular is still full.
    p.scene.lights = {Light{position - Vec3(0, 0, 10), Color(0.5f, 0.5f, 0.5f, 1)}};
    expectRgb(shade(p, f), 0.375f, -0.125f, -0.125f);

    // Shininess 0 adds the full specular wherever the light is.
    p.primitive.diffuse = Color(0, 0, 0, 1);
    for (const Vec3& at : {Vec3(5, 1, 2), Vec3(-3, -2, -7), Vec3(0.5f, 0, 100)}) {
        p.scene.lights = {Light{at, Color(0.5f, 1, 2, 1)}};
        expectRgb(shade(p, f), 0.5f, 0.25f, 1.0f);
    }

    // Two white lights on a white material give more than 1, passed on unchanged. Eye, pixel and
    // lights are placed so that N.L = 1 and the half vector is N: r = 1 for any exponent.
    p.primitive.diffuse = Color(1, 1, 1, 1);
    p.primitive.specular = Color(1, 1, 1, 1);
    p.primitive.shininess = 77;
    p.scene.lights = {Light{Vec3(0, 0, 2), Color(1, 1, 1, 1)}, Light{Vec3(0, 0, 5), Color(1, 1, 1, 1)}};
    expectRgb(shade(p, pixel(2, 2, -1)), 4, 4, 4);

    // Pixel (0, 0, 1) seen from the origin, light at (0, 0, 0.5): the half vector is (0, 0, -1)
    // and c = N.H = -0.8. Odd exponents keep its sign, negative ones take the reciprocal.
    p.primitive.diffuse = Color(0, 0, 0, 1);
    p.scene.lights = {Light{Vec3(0, 0, 0.5f), Color(1, 1, 1, 1)}};
    const Fragment tilted = pixel(2, 2, 1, Vec3(0, 0.6f, 0.8f));
    for (const auto& [shininess, expected] : {std::pair{3, -0.512f}, std::pair{4, 0.4096f}, std::pair{-2, 1.5625f}}) {
        p.primitive.shininess = shininess;
        expectRgb(shade(p, tilted), expected, expected, expected, 1e-5f);
    }
    // |INT32_MIN| is taken as unsigned: 0.64^(2^30) underflows to 0 and its reciprocal is infinite.
    p.primitive.shininess = INT32_MIN;
    EXPECT_EQ(shade(p, tilted).r, INFINITY);
}

// The views read each term of the colour from the trace; the picture's colour is their sum
// (exact here) by the primitive's texture role, and the trace ends where shading stops.
TEST(ShadeFragment, TheTraceHoldsTheTermsAndStopsWhereShadingStops)
{
    PlainFrame p;
    p.scene.ambient = Color(0.25f, 0.5f, 0.75f, 1);
    Texture level(2, 2, 3);
    level.setTexelColor(1, 1, Color(0.5f, 1, 0.25f, 1));
    p.chains = {MipChain{level}};
    p.primitive.diffuse = Color(0.25f, 0.5f, 0.75f, 1);
    p.primitive.specular = Color(1, 0.25f, 0.5f, 1);
    const Fragment f = pixel(3, 2, 0.5f);  // world (0.5, 0, 0.5)
    p.scene.lights = {Light{Vec3(0.5f, 0, -9.5f), Color(0.5f, 0.5f, 0.5f, 1)}};  // straight behind
    FragmentTrace trace;
    Color out(0, 0, 0, 1);
    ASSERT_TRUE(shadeFragment(f, p.frame(), p.primitive, 0, out, trace));
    ASSERT_EQ(trace.lights.size(), 1u);
    EXPECT_EQ(trace.lights[0].diffuse, -1.0f);
    expectRgb(trace.terms.ambient, 0.125f, 0.5f, 0.1875f);
    expectRgb(trace.terms.diffuse, -0.125f, -0.25f, -0.375f);
    expectRgb(trace.terms.specular, 0.5f, 0.125f, 0.25f);
    expectRgb(out, 0.5f, 0.375f, 0.0625f);
    // A model's texture is the surface colour: texture × (ambient + diffuse) + specular.
    p.primitive.textureRole = TextureRole::surfaceColour;
    trace.clear();
    ASSERT_TRUE(shadeFragment(f, p.frame(), p.primitive, 0, out, trace));
    expectRgb(trace.terms.ambient, 0.125f, 0.5f, 0.1875f);
    expectRgb(trace.terms.diffuse, -0.0625f, -0.25f, -0.09375f);
    expectRgb(trace.terms.specular, 0.5f, 0.125f, 0.25f);
    expectRgb(out, 0.5625f, 0.375f, 0.34375f);

    // A second light at the pixel itself: the first is traced, the second is not.
    p.scene.lights.push_back(Light{Vec3(0.5f, 0, 0.5f), Color(1, 1, 1, 1)});
    trace.clear();
    EXPECT_FALSE(shadeFragment(f, p.frame(), p.primitive, 0, out, trace));
    EXPECT_TRUE(trace.surfaceKnown);
    EXPECT_EQ(trace.lights.size(), 1u);
}

TEST(ShadeFragment, BumpMapTiltsTheNormalAboutTheWorldAxes)
{
    PlainFrame p;
    p.primitive.diffuse = Color(1, 1, 1, 1);
    p.primitive.shininess = 30;
    p.primitive.specular = Color(0.5f, 0.5f, 0.5f, 1);
    p.scene.lights = {Light{Vec3(-3, 1, 2), Color(1, 1, 1, 1)}};
    const Fragment f = pixel(3, 1, 0.25f, Vec3(0.6f, 0.1f, 0.8f));

    // A flat height field leaves the (normalised) interpolated normal as it is.
    const Color plain = shade(p, f);
    const Texture flat = filled(8, 8, 1, 0.4f);
    p.primitive.bumpMap = &flat;
    const Color flatBumped = shade(p, f);
    expectRgb(flatBumped, plain.r, plain.g, plain.b);

    // h = x / W: gradient (1, 0), scaled by 50, tilts N = z to (-50, 0, 1). Light far along -x:
    // the diffuse factor is then close to +1, not -1.
    Texture ramp(8, 8, 1);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) ramp.setTexelValue(x, y, x / 8.0f);
    p.primitive.bumpMap = &ramp;
    p.primitive.specular = Color(0, 0, 0, 1);
    const Fragment up = pixel(3, 1, 0.25f);
    const Vec3 position = unprojectPixel(p.scene, up.x, up.y, up.depth, 4, 4);
    p.scene.lights = {Light{position - Vec3(1000, 0, 0), Color(1, 1, 1, 1)}};
    EXPECT_NEAR(shade(p, up).r, 50 / std::sqrt(2501.0), 1e-5);
    // Rotated by 90 degrees the field rises along t: N tilts to (0, -50, 1).
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) ramp.setTexelValue(x, y, y / 8.0f);
    p.scene.lights = {Light{position - Vec3(0, 1000, 0), Color(1, 1, 1, 1)}};
    EXPECT_NEAR(shade(p, up).r, 50 / std::sqrt(2501.0), 1e-5);
}

// The scan converter leaves (s/w, t/w, 1/w) at zero for primitives this says do not read them.
TEST(ShadeFragment, TextureCoordinatesAreReadForATextureOrABumpMapOnly)
{
    PlainFrame p;
    EXPECT_FALSE(readsTextureCoordinates(p.chains, p.primitive, 0));
    const Texture bumps = filled(8, 8, 1, 0.4f);
    p.primitive.bumpMap = &bumps;
    EXPECT_TRUE(readsTextureCoordinates(p.chains, p.primitive, 0));
    EXPECT_TRUE(readsTextureCoordinates(p.chains, p.primitive, 7));  // the bump map needs no chain
    p.primitive.bumpMap = nullptr;
    p.chains[0] = MipChain{filled(2, 2, 3, 0.5f)};
    EXPECT_TRUE(readsTextureCoordinates(p.chains, p.primitive, 0));
    EXPECT_FALSE(readsTextureCoordinates(p.chains, p.primitive, 1));  // a primitive without a chain
}

TEST(ShadeFragment, ZeroVectorsSkipThePixel)
{
    PlainFrame p;
    p.scene.lights = {Light{Vec3(3, 4, 5), Color(1, 1, 1, 1)}};
    EXPECT_TRUE(shadable(p, pixel(3, 2, 0.5f)));
    // Zero interpolated normal, with and without a bump map.
    EXPECT_FALSE(shadable(p, pixel(3, 2, 0.5f, Vec3(0, 0, 0))));
    const Texture flat = filled(4, 4, 1, 0);
    p.primitive.bumpMap = &flat;
    EXPECT_FALSE(shadable(p, pixel(3, 2, 0.5f, Vec3(0, 0, 0))));
    p.primitive.bumpMap = nullptr;
    // The pixel is the eye: pixel (2, 2) at depth 0 is the origin.
    EXPECT_FALSE(shadable(p, pixel(2, 2, 0)));
    // The pixel is the light.
    p.scene.lights.push_back(Light{Vec3(0.5f, 0, 0.5f), Color(1, 1, 1, 1)});
    EXPECT_FALSE(shadable(p, pixel(3, 2, 0.5f)));
    // Light exactly opposite the eye: L = -V, a zero half vector.
    p.scene.lights.back().position = Vec3(1, 0, 1);
    EXPECT_FALSE(shadable(p, pixel(3, 2, 0.5f)));
    p.scene.lights.pop_back();

    // Un-projection to w = 0: the projection inverse gives w = NDC x, zero in column W/2 only.
    p.scene.projectionStack.inverse.rows[3] = Vec4(1, 0, 0, 0);
    EXPECT_FALSE(shadable(p, pixel(2, 3, 0.5f)));
    EXPECT_TRUE(shadable(p, pixel(3, 3, 0.5f)));
    EXPECT_THROW(unprojectPixel(p.scene, 2, 3, 0.5f, 4, 4), ZeroDivide);

    // An eye at infinity spoils every pixel of the frame.
    p.scene.viewStack.inverse.rows[3] = Vec4(0, 0, 1, 0);
    EXPECT_FALSE(p.frame().eyeValid);
    EXPECT_FALSE(shadable(p, pixel(3, 3, 0.5f)));
    EXPECT_THROW(eyePosition(p.scene), ZeroDivide);
}

TEST(UnprojectPixel, WholeNumberPixelsMapToDeviceCoordinates)
{
    PlainFrame p;
    const Vec3 corner = unprojectPixel(p.scene, 0, 0, 0.3f, 480, 360);
    EXPECT_EQ(corner.x, -1.0f);
    EXPECT_EQ(corner.y, -1.0f);
    EXPECT_EQ(corner.z, 0.3f);
    const Vec3 centre = unprojectPixel(p.scene, 240, 180, 0.7f, 480, 360);
    EXPECT_EQ(centre.x, 0.0f);
    EXPECT_EQ(centre.y, 0.0f);
    EXPECT_EQ(centre.z, 0.7f);
    const Vec3 last = unprojectPixel(p.scene, 479, 359, 0, 480, 360);
    EXPECT_FLOAT_EQ(last.x, 1 - 2.0f / 480);
    EXPECT_FLOAT_EQ(last.y, 1 - 2.0f / 360);
}

TEST(UnprojectPixel, UndoesTheCameraAndViewport)
{
    const CameraPose poses[] = {CameraPose{}, CameraPose{30, -10, -4, 25, -40}, CameraPose{-170, -89, 3, 0, 0}};
    const int sizes[][2] = {{480, 480}, {640, 480}, {300, 701}};
    const Vec3 points[] = {Vec3(0, 0, 0), Vec3(0.5f, -0.25f, 0.3f), Vec3(-0.7f, 0.4f, -0.5f)};
    for (const CameraPose& pose : poses)
        for (const auto& size : sizes) {
            Scene scene;
            setupCamera(scene.projectionStack, scene.viewStack, pose, size[0], size[1]);
            for (const Vec3& world : points) {
                const Vec4 eyeSpace = scene.viewStack.transform(Vec4(world.x, world.y, world.z, 1));
                const Vec4 clip = scene.projectionStack.transform(eyeSpace);
                ASSERT_GT(clip.w, 0.0f);
                const Vec3 ndc = clip.project();
                const auto x = static_cast<float>((ndc.x + 1.0) * size[0] / 2);
                const auto y = static_cast<float>((ndc.y + 1.0) * size[1] / 2);
                const Vec3 back = unprojectPixel(scene, x, y, ndc.z, size[0], size[1]);
                // Depths close to 1 carry few significant bits: about 1e-5 of error remains.
                EXPECT_NEAR(back.x, world.x, 1e-4f);
                EXPECT_NEAR(back.y, world.y, 1e-4f);
                EXPECT_NEAR(back.z, world.z, 1e-4f);
            }
        }
}

TEST(EyePosition, SameForTheWholeFrameAndWhereTheViewPutsTheOrigin)
{
    Scene scene;
    setupCamera(scene.projectionStack, scene.viewStack, CameraPose{}, 480, 480);
    const Vec3 eye = eyePosition(scene);
    // Azimuth -135, elevation -60, distance 3 - 0.25 * 0.25.
    EXPECT_NEAR(eye.x, 1.7988f, 1e-4f);
    EXPECT_NEAR(eye.y, 1.7988f, 1e-4f);
    EXPECT_NEAR(eye.z, 1.46875f, 1e-4f);
    const Vec4 inView = scene.viewStack.transform(Vec4(eye.x, eye.y, eye.z, 1));
    EXPECT_NEAR(inView.x, 0.0f, 1e-6f);
    EXPECT_NEAR(inView.y, 0.0f, 1e-6f);
    EXPECT_NEAR(inView.z, 0.0f, 1e-6f);

    const std::vector<MipChain> chains;
    const FrameShading frame = prepareFrameShading(scene, chains, 480, 480);
    EXPECT_TRUE(frame.eyeValid);
    EXPECT_EQ(frame.eye.x, eye.x);
    EXPECT_EQ(frame.eye.y, eye.y);
    EXPECT_EQ(frame.eye.z, eye.z);
}
