// Loading a model file and drawing it in software, for generated models of about 10 000, 100 000
// and 1 000 000 triangles: a torus of shared vertices without normals (so smooth normals are
// made on load), written as a binary PLY file.
//
//   pixelwright_model_bench

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "raster/prepare_textures.h"
#include "import/model_import.h"

namespace {

struct Grid {
    int around;  // quads around the tube's ring
    int along;   // quads around the tube
};
constexpr Grid kGrids[] = {{100, 50}, {500, 100}, {1000, 500}};  // 10 000, 100 000, 1 000 000 triangles

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{480, 480}, {1920, 1080}};

template <typename T>
void put(std::ofstream& out, T value)
{
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string writeTorus(const std::string& folder, const Grid& grid)
{
    const std::string path = folder + "/torus" + std::to_string(2 * grid.around * grid.along) + ".ply";
    std::ofstream out(path, std::ios::binary);
    const int vertices = grid.around * grid.along;
    out << "ply\nformat binary_little_endian 1.0\nelement vertex " << vertices
        << "\nproperty float x\nproperty float y\nproperty float z\nelement face " << 2 * vertices
        << "\nproperty list uchar int vertex_indices\nend_header\n";
    for (int i = 0; i < grid.around; ++i)
        for (int j = 0; j < grid.along; ++j) {
            const double u = 6.28318 * i / grid.around, v = 6.28318 * j / grid.along;
            const double r = 1 + 0.4 * std::cos(v);
            put(out, static_cast<float>(r * std::cos(u)));
            put(out, static_cast<float>(0.4 * std::sin(v)));
            put(out, static_cast<float>(r * std::sin(u)));
        }
    const auto at = [&](int i, int j) { return static_cast<int32_t>((i % grid.around) * grid.along + j % grid.along); };
    for (int i = 0; i < grid.around; ++i)
        for (int j = 0; j < grid.along; ++j) {
            const int32_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            put(out, static_cast<uint8_t>(3));
            put(out, a);
            put(out, b);
            put(out, c);
            put(out, static_cast<uint8_t>(3));
            put(out, a);
            put(out, c);
            put(out, d);
        }
    return path;
}

size_t polygonCount(const Scene& scene)
{
    size_t count = 0;
    for (const Primitive& primitive : scene.primitives) count += primitive.polygons.size();
    return count;
}

void loadModel(benchmark::State& state, const std::string& path)
{
    ModelSettings settings;
    settings.path = path;
    Scene scene;
    for (auto _ : state) {
        const ModelReport report = importModel(scene, settings);
        if (report.failure != ModelFailure::none) state.SkipWithError(report.error.c_str());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * polygonCount(scene)));
}

void drawModel(benchmark::State& state, const std::string& path, Size size)
{
    ModelSettings settings;
    settings.path = path;
    Scene scene;
    importModel(scene, settings);
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    prepareTextures(scene, depthBuffer, edgeTable, mipChains, size.width, size.height);
    FrameImage image(size.width, size.height);
    const CameraPose pose;
    for (auto _ : state) {
        setupCamera(scene.projectionStack, scene.viewStack, pose, image.width, image.height);
        renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, image);
        benchmark::DoNotOptimize(image.rgb.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * polygonCount(scene)));
}

}  // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/pixelwright-model-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string folder = pattern;
    std::vector<std::string> paths;
    for (const Grid& grid : kGrids) paths.push_back(writeTorus(folder, grid));
    for (size_t k = 0; k < paths.size(); ++k) {
        const std::string triangles = std::to_string(2 * kGrids[k].around * kGrids[k].along);
        benchmark::RegisterBenchmark(("ModelLoad/" + triangles).c_str(), loadModel, paths[k])
            ->Unit(benchmark::kMillisecond);
        for (const Size& size : kSizes)
            benchmark::RegisterBenchmark(
                ("ModelFrame/" + triangles + "/" + std::to_string(size.width) + "x" + std::to_string(size.height)).c_str(),
                drawModel, paths[k], size)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string& path : paths) std::remove(path.c_str());
    rmdir(folder.c_str());
    return 0;
}
