// Cost of shading alone, per pixel, on the one-fragment path (shadeFragment, which --reference and
// PIXELWRIGHT_LANES=reference draw with), on fragments shaped like those of the two heaviest scenes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "math/camera.h"
#include "raster/shade_fragment.h"
#include "texture/mip_chain.h"

namespace {

constexpr int kSize = 480;

Texture pattern(int32_t w, int32_t h, uint32_t channels)
{
    Texture t(w, h, channels);
    for (int32_t i = 0; i < w * h * static_cast<int32_t>(channels); ++i)
        t.texels[i] = static_cast<float>((i * 37 % 101) / 100.0);
    return t;
}

// Level 0 then halved levels, as the chain builder lays them out.
MipChain handBuiltChain(const Texture& base)
{
    MipChain chain{base};
    for (int32_t w = base.width / 2, h = base.height / 2; w >= 1 && h >= 1; w /= 2, h /= 2)
        chain.push_back(pattern(w, h, 3));
    return chain;
}

// One row of a square seen at a slant: s/w, t/w and 1/w vary across it, normals wobble slightly.
std::vector<Fragment> row(int y)
{
    std::vector<Fragment> fragments;
    for (int x = 0; x < kSize; ++x) {
        Fragment f;
        f.x = static_cast<float>(x);
        f.y = static_cast<float>(y);
        f.depth = 0.9f + 0.0001f * x;
        const double angle = 0.01 * x + 0.013 * y;
        f.normal = Vec3(static_cast<float>(0.3 * std::sin(angle)), static_cast<float>(0.3 * std::cos(angle)), 0.9f);
        const float q = 0.4f + 0.0002f * x;
        f.stOverW = Vec3(q * x / kSize, q * y / kSize, q);
        f.stOverWStepX = Vec3(0.0011f, 0.00002f, 0.0002f);
        f.leftStOverWStepY = Vec3(0.00001f, 0.0009f, 0.0001f);
        f.rightStOverWStepY = Vec3(0.00003f, 0.0012f, 0.0001f);
        f.spanStart = 0;
        f.spanLength = kSize;
        fragments.push_back(f);
    }
    return fragments;
}

void shadeRows(benchmark::State& state, const Scene& scene, const std::vector<MipChain>& chains)
{
    std::vector<std::vector<Fragment>> rows;
    for (int y = 0; y < kSize; y += 7) rows.push_back(row(y));
    const FrameShading frame = prepareFrameShading(scene, chains, kSize, kSize);
    size_t next = 0;
    for (auto _ : state) {
        const std::vector<Fragment>& fragments = rows[next++ % rows.size()];
        for (const Fragment& f : fragments) {
            Color out(0, 0, 0, 0);
            benchmark::DoNotOptimize(shadeFragment(f, frame, scene.primitives[0], 0, out));
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * kSize);
}

Scene litScene(const Color& specular, int32_t shininess)
{
    Scene scene;
    setupCamera(scene.projectionStack, scene.viewStack, CameraPose{}, kSize, kSize);
    scene.setAmbient(Color(0.4f, 0.4f, 0.4f, 1));
    scene.addLight(0, -100, 80, Color(0.8f, 0.8f, 0.8f, 1));
    Primitive primitive;
    primitive.diffuse = Color(0.8f, 0.4988f, 0.2f, 1);
    primitive.specular = specular;
    primitive.shininess = shininess;
    scene.primitives.push_back(primitive);
    return scene;
}

// The torus: one light, shininess 120, no texture and no bump map.
void BM_ShadeUntextured(benchmark::State& state)
{
    const Scene scene = litScene(Color(1.5f, 1.5f, 1.5f, 1), 120);
    const std::vector<MipChain> chains{MipChain{}};
    shadeRows(state, scene, chains);
}
BENCHMARK(BM_ShadeUntextured);

// The bump-mapped square: one light, shininess 100, a 256 x 256 texture and bump map.
void BM_ShadeTexturedBumped(benchmark::State& state)
{
    Scene scene = litScene(Color(1, 1, 1, 1), 100);
    const Texture texture = pattern(256, 256, 3);
    const Texture bumps = pattern(256, 256, 1);
    scene.primitives[0].texture = &texture;
    scene.primitives[0].bumpMap = &bumps;
    const std::vector<MipChain> chains{handBuiltChain(texture)};
    shadeRows(state, scene, chains);
}
BENCHMARK(BM_ShadeTexturedBumped);

}  // namespace

BENCHMARK_MAIN();
