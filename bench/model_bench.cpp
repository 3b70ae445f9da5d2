// Loading a model file and drawing it in software, for generated models of about 10 000, 100 000
// and 1 000 000 triangles: a torus of shared vertices without normals (so smooth normals are
// made on load), written as a binary PLY file. Also a 708 x 708 height-field grid of 1 002 528
// triangles, the same kind of file, loaded and drawn by each renderer (OpenGL headless via EGL).
//
//   pixelwright_model_bench
//   pixelwright_model_bench --benchmark_filter=Grid

#include <GL/gl.h>
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
#include "platform/offscreen_gl.h"
#include "preview/render_with_opengl.h"
#include "preview/window_frame.h"
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

// (n + 1)² shared vertices, two triangles a square, z a gentle wave so the normals vary.
std::string writeGrid(const std::string& folder, int n)
{
    const std::string path = folder + "/grid" + std::to_string(2 * n * n) + ".ply";
    std::ofstream out(path, std::ios::binary);
    out << "ply\nformat binary_little_endian 1.0\nelement vertex " << (n + 1) * (n + 1)
        << "\nproperty float x\nproperty float y\nproperty float z\nelement face " << 2 * n * n
        << "\nproperty list uchar int vertex_indices\nend_header\n";
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const double x = 2.0 * i / n - 1, y = 2.0 * j / n - 1;
            put(out, static_cast<float>(x));
            put(out, static_cast<float>(y));
            put(out, static_cast<float>(0.2 * std::sin(6 * x) * std::cos(5 * y)));
        }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int32_t a = i * (n + 1) + j, b = a + n + 1;
            for (const int32_t corner : {a, b, b + 1, a, b + 1, a + 1}) {
                if (corner == a) put(out, static_cast<uint8_t>(3));
                put(out, corner);
            }
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

// As pixelwright-render draws it: the frame set up, drawn, and finished. One frame before the
// timing makes what is made once per model build.
void drawModelWithOpenGl(benchmark::State& state, const std::string& path, Size size)
{
    ModelSettings settings;
    settings.path = path;
    Scene scene;
    importModel(scene, settings);
    OffscreenGl gl;
    std::string error;
    if (!gl.open(size.width, size.height, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const CameraPose pose;
    ModelArrays arrays;
    const auto frame = [&] {
        beginWindowFrame(scene, pose, size.width, size.height);
        renderWithOpenGL(scene, size.width, size.height, &arrays);
        glFinish();
    };
    frame();
    for (auto _ : state) frame();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * polygonCount(scene)));
}

void registerGrid(const std::string& path)
{
    benchmark::RegisterBenchmark("GridLoad/1002528", loadModel, path)->Unit(benchmark::kMillisecond);
    const Size size = kSizes[0];
    benchmark::RegisterBenchmark("GridFrame/1002528/480x480/software", drawModel, path, size)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GridFrame/1002528/480x480/opengl", drawModelWithOpenGl, path, size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
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
    paths.push_back(writeGrid(folder, 708));
    registerGrid(paths.back());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string& path : paths) std::remove(path.c_str());
    rmdir(folder.c_str());
    return 0;
}
