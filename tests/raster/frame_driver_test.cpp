#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>
#include <string>

#include "support/allocated_bytes.h"
#include "math/camera.h"
#include "raster/frame_driver.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

namespace {

// Two overlapping squares and a triangle around the origin, in the scene's own z-up world.
void buildTestScene(Scene& scene)
{
    scene.clear();
    scene.useOpenGL = false;
    scene.setMaterial(Color(0.8f, 0.4f, 0.2f, 1), Color(0, 0, 0, 1), 0);
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.addVertex(-0.5f, -0.5f, 0);
    scene.addVertex(0.5f, -0.5f, 0);
    scene.addVertex(0.5f, 0.5f, 0);
    scene.addVertex(-0.5f, 0.5f, 0);
    scene.beginPolygon();
    scene.addVertex(0, 0, 0.2f);
    scene.addVertex(0.7f, 0, 0.2f);
    scene.addVertex(0.7f, 0.7f, 0.2f);
    scene.addVertex(0, 0.7f, 0.2f);
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.addVertex(-0.6f, 0.1f, 0.1f);
    scene.addVertex(-0.1f, -0.6f, 0.3f);
    scene.addVertex(0.1f, 0.4f, -0.1f);
}

FrameImage render(Scene& scene, DepthBuffer& depth, EdgeTable& edges, int width, int height)
{
    setupCamera(scene.projectionStack, scene.viewStack, CameraPose{}, width, height);
    std::vector<MipChain> chains(scene.primitives.size());
    FrameImage image(width, height);
    renderSoftwareFrame(scene, depth, edges, chains, image);
    return image;
}

size_t polygonCount(const Scene& scene)
{
    size_t n = 0;
    for (const Primitive& p : scene.primitives) n += p.polygons.size();
    return n;
}

// Every allocation of the test program, so that a test can see a frame make none: through the
// sanitizer allocator's hook where it runs (it also sees the driver's nothrow news, which a
// replaced operator delete would free as mismatched), else through operator new, replaced below.
std::atomic<uint64_t>& allocations()
{
    static std::atomic<uint64_t> calls{0};
    return calls;
}

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
void countAllocations()
{
    __sanitizer_install_malloc_and_free_hooks([](const volatile void*, size_t) { ++allocations(); },
                                              [](const volatile void*) {});
}
#else
void countAllocations() {}
#endif

}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
void* operator new(size_t size)
{
    ++allocations();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#endif

TEST(FrameDriver, SteadyFrameOfEverySceneAllocatesNothing)
{
    countAllocations();
    for (int number = 1; number <= 5; ++number) {
        Scene scene;
        testing::internal::CaptureStdout();
        buildScene(scene, number, PIXELWRIGHT_SOURCE_DIR "/sphere.raw");
        testing::internal::GetCapturedStdout();
        DepthBuffer depth;
        EdgeTable edges;
        std::vector<MipChain> chains;
        prepareTextures(scene, depth, edges, chains, 480, 480);
        setupCamera(scene.projectionStack, scene.viewStack, CameraPose{}, 480, 480);
        FrameImage image(480, 480);
        for (FramePath path : {FramePath::lanes, FramePath::oneFragmentAtATime}) {
            SCOPED_TRACE("scene " + std::to_string(number) + ", path " + std::to_string(static_cast<int>(path)));
            renderSoftwareFrame(scene, depth, edges, chains, image, path);
            const uint64_t calls = allocations().load();
            const size_t bytes = allocatedBytes();
            renderSoftwareFrame(scene, depth, edges, chains, image, path);
            EXPECT_EQ(allocations().load() - calls, 0u);
            EXPECT_EQ(allocatedBytes(), bytes);
        }
    }
}

TEST(FrameDriver, EmptyFrameDrawsNothing)
{
    Scene scene;
    buildTestScene(scene);
    DepthBuffer depth;
    EdgeTable edges;
    for (const auto& size : {std::make_pair(0, 480), std::make_pair(480, 0), std::make_pair(-5, 20)}) {
        const FrameImage image = render(scene, depth, edges, size.first, size.second);
        EXPECT_EQ(image.pointCount, 0u);
        EXPECT_TRUE(image.rgb.empty());
    }
}

TEST(FrameDriver, WindowThatGrowsAndShrinksBackDrawsTheSameFrame)
{
    Scene scene;
    buildTestScene(scene);
    DepthBuffer depth;
    EdgeTable edges;
    const FrameImage before = render(scene, depth, edges, 480, 480);
    ASSERT_GT(before.pointCount, 1000u);
    const FrameImage larger = render(scene, depth, edges, 640, 600);
    EXPECT_GT(larger.pointCount, before.pointCount);
    const FrameImage after = render(scene, depth, edges, 480, 480);
    EXPECT_EQ(depth.capacity, 640u * 600u);
    EXPECT_EQ(edges.rows, 600u);
    EXPECT_EQ(after.pointCount, before.pointCount);
    EXPECT_EQ(after.rgb, before.rgb);
}

TEST(FrameDriver, WildGeometryDoesBoundedWorkInsideTheFrame)
{
    // Random polygons around, through and behind the eye, some with NaN or infinite corners.
    Scene scene;
    scene.clear();
    scene.useOpenGL = false;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
    std::uniform_int_distribution<int> pick(0, 29);
    const float wild[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), 1e30f};
    scene.beginPrimitive();
    for (int polygon = 0; polygon < 300; ++polygon) {
        scene.beginPolygon();
        for (int k = 0; k < 3 + polygon % 5; ++k) {
            float x = coordinate(random), y = coordinate(random), z = coordinate(random);
            if (pick(random) == 0) x = wild[pick(random) % 4];
            if (pick(random) == 0) z = wild[pick(random) % 4];
            scene.addVertex(x, y, z);
        }
    }
    DepthBuffer depth;
    EdgeTable edges;
    const FrameImage image = render(scene, depth, edges, 64, 48);
    EXPECT_GT(image.pointCount, 0u);
    EXPECT_LE(image.pointCount, 64u * 48u * polygonCount(scene));
    EXPECT_FALSE(image.pointOutsideFrame);
}
