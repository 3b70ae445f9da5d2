// CPU cost of one software frame into the in-memory image, per demonstration scene, at the
// initial camera and at a view where the scene fills the window; and, with a DISPLAY, the whole
// frame handed to a real window as GL points.
//
//   pixelwright_bench                                   CPU frames only without a display
//   xvfb-run -a -s '-screen 0 2048x1280x24' pixelwright_bench     also the GL frames

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/render_frame.h"
#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/prepare_textures.h"
#include "raster/lanes/render_gathered.h"
#include "scene/demo_scenes.h"

namespace {

// Counts every allocation of the process, so that a steady frame can show it allocates nothing.
std::atomic<uint64_t>& allocationCount()
{
    static std::atomic<uint64_t> count{0};
    return count;
}

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{480, 480}, {1920, 1080}};

// One built scene with its textures, at one frame size.
struct Bench {
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    FrameImage image;
    CameraPose pose;

    Bench(int sceneNumber, Size size)
    {
        // Keeps the builder's "Creating scene" lines out of the benchmark table.
        std::fflush(stdout);
        const int savedStdout = dup(1);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        buildScene(scene, sceneNumber, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
        std::fflush(stdout);
        dup2(savedStdout, 1);
        close(devNull);
        close(savedStdout);
        scene.useOpenGL = false;
        prepareTextures(scene, depthBuffer, edgeTable, mipChains, size.width, size.height);
        image.reset(size.width, size.height);
    }

    void render()
    {
        setupCamera(scene.projectionStack, scene.viewStack, pose, image.width, image.height);
        renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, image);
    }

    double coverage() const
    {
        size_t drawn = 0;
        for (size_t i = 0; i < image.rgb.size(); i += 3)
            drawn += !(image.rgb[i] == 255 && image.rgb[i + 1] == 255 && image.rgb[i + 2] == 255);
        return static_cast<double>(drawn) / (static_cast<double>(image.rgb.size()) / 3);
    }

    // Moves the camera nearer, a wheel notch at a time, until the scene covers nine tenths of
    // the window or stops gaining.
    void zoomToFill()
    {
        double best = 0.0;
        float bestZoom = pose.zoom;
        for (float zoom = 0.25f; zoom <= 10.0f; zoom += 0.25f) {
            pose.zoom = zoom;
            render();
            const double c = coverage();
            if (c > best + 1e-3) {
                best = c;
                bestZoom = zoom;
            }
            if (c >= 0.9) break;
        }
        pose.zoom = bestZoom;
    }
};

std::unique_ptr<Bench> makeBench(int sceneNumber, Size size, bool filled)
{
    auto bench = std::make_unique<Bench>(sceneNumber, size);
    if (filled) bench->zoomToFill();
    bench->render();  // the steady state: every buffer already grown
    return bench;
}

void reportFrame(benchmark::State& state, Bench& bench)
{
    const double frames = static_cast<double>(state.iterations());
    state.counters["zoom"] = bench.pose.zoom;
    state.counters["coverage"] = bench.coverage();
    state.counters["points"] = static_cast<double>(bench.image.pointCount);
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(bench.image.pointCount) * frames, benchmark::Counter::kIsRate);
}

void softwareFrame(benchmark::State& state)
{
    const int sceneNumber = static_cast<int>(state.range(0));
    const Size size = kSizes[state.range(1)];
    const bool filled = state.range(2) != 0;
    auto bench = makeBench(sceneNumber, size, filled);
    const uint64_t allocationsBefore = allocationCount().load();
    for (auto _ : state) {
        bench->render();
        benchmark::DoNotOptimize(bench->image.rgb.data());
    }
    // Read before the counters below, whose own map nodes are allocations too.
    const uint64_t allocations = allocationCount().load() - allocationsBefore;
    reportFrame(state, *bench);
    state.counters["allocs/frame"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

// The frame's first stages only: vertex stage, edge set-up, sweep and depth test, gathering the
// visible pixels as the frame driver does (and, with step, stepping their interpolants), but
// shading and handing out nothing. The difference to SoftwareFrame is what the later stages cost.
void frontEnd(benchmark::State& state, bool step)
{
    const int sceneNumber = static_cast<int>(state.range(0));
    const Size size = kSizes[state.range(1)];
    const bool filled = state.range(2) != 0;
    auto bench = makeBench(sceneNumber, size, filled);
    Scene& scene = bench->scene;
    GatheredFragments fragments;
    fragments.startFrame(size.width, size.height);
    uint64_t kept = 0;
    for (auto _ : state) {
        kept = 0;
        gatherPolygons(scene, bench->mipChains, bench->depthBuffer, bench->edgeTable, size.width, size.height,
                       fragments, [&](size_t i) {
                           if (step) {
                               fragments.stepInterpolants(readsTextureCoordinates(
                                   bench->mipChains, scene.primitives[i], static_cast<unsigned>(i)));
                           }
                           kept += fragments.count;
                           fragments.clear();
                       });
    }
    state.counters["fragments"] = static_cast<double>(kept);
}

void scanOnly(benchmark::State& state) { frontEnd(state, false); }
void scanAndStep(benchmark::State& state) { frontEnd(state, true); }

// The same frame through GL points into a real window, finished by the display.
void glFrame(benchmark::State& state)
{
    const int sceneNumber = static_cast<int>(state.range(0));
    const Size size = kSizes[state.range(1)];
    const bool filled = state.range(2) != 0;
    auto bench = makeBench(sceneNumber, size, filled);
    glutReshapeWindow(size.width, size.height);
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    glutSwapBuffers();  // Mesa takes the new size at a swap
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    for (auto _ : state) {
        drawFrame(bench->scene, bench->pose, bench->depthBuffer, bench->edgeTable, bench->mipChains, size.width,
                  size.height);
        glFinish();
    }
    reportFrame(state, *bench);
}

void registerFrames(const char* name, void (*function)(benchmark::State&), bool realTime)
{
    for (int filled = 0; filled <= 1; ++filled) {
        for (int size = 0; size <= 1; ++size) {
            for (int sceneNumber = 1; sceneNumber <= 5; ++sceneNumber) {
                const std::string label = std::string(name) + "/scene" + std::to_string(sceneNumber) + "/" +
                                          std::to_string(kSizes[size].width) + "x" +
                                          std::to_string(kSizes[size].height) + (filled ? "/filled" : "/initial");
                auto* b = benchmark::RegisterBenchmark(label.c_str(), function)
                              ->Args({sceneNumber, size, filled})
                              ->Unit(benchmark::kMillisecond);
                if (realTime) b->UseRealTime();
            }
        }
    }
}

void openWindow(int argc, char** argv)
{
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(480, 480);
    glutInit(&argc, argv);
    glutCreateWindow("Pixelwright bench");
    glutDisplayFunc([] {});
}

}  // namespace

void* operator new(size_t size)
{
    allocationCount().fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    registerFrames("SoftwareFrame", softwareFrame, false);
    registerFrames("ScanOnly", scanOnly, false);
    registerFrames("ScanAndStep", scanAndStep, false);
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        openWindow(argc, argv);
        registerFrames("GlFrame", glFrame, true);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
