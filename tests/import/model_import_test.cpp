#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "import/image_file.h"
#include "import/import_child.h"
#include "import/model_import.h"
#include "import/model_transfer.h"
#include "support/temp_dir.h"

namespace {

// A pentagon with file normals in one material; in a textured one, two triangles without normals
// that meet at an edge, their texture coordinates some repetitions away from [0, 1].
constexpr const char* kObj = R"(mtllib two.mtl
v 0 0 0
v 2 0 0
v 2 1 0
v 1 2 0
v 0 1 0
v 0 0 1
v 1 0 1
v 0 1 1
v 1 1 2
vt 2.25 -0.75
vt 2.75 -0.75
vt 2.25 -0.25
vt 3.5 0.5
vn 0 0 1
o pentagon
usemtl red
f 1//1 2//1 3//1 4//1 5//1
o wedge
usemtl textured
f 6/1 7/2 8/3
f 7/2 9/4 8/3
)";

constexpr const char* kMtl = R"(newmtl red
Kd 1 0 0
Ks 0.5 0.5 0.5
Ns 40
newmtl textured
Kd 0.9 0.9 0.9
Ks 0.3 0.3 0.3
map_Kd checker.ppm
)";

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// 2 x 2, top row red, green; bottom row blue, white.
void writeChecker(const std::string& path)
{
    writeFile(path, std::string("P6 2 2 255\n") + std::string("\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff", 12));
}

ModelReport importHandMade(Scene& scene, ModelSettings settings)
{
    writeFile("two.obj", kObj);
    writeFile("two.mtl", kMtl);
    writeChecker("checker.ppm");
    settings.path = "two.obj";
    return importModel(scene, settings);
}

void expectNear(const Vec3& actual, double x, double y, double z, const char* what)
{
    EXPECT_NEAR(actual.x, x, 1e-6) << what;
    EXPECT_NEAR(actual.y, y, 1e-6) << what;
    EXPECT_NEAR(actual.z, z, 1e-6) << what;
}

Vec3 position(const Vertex& v) { return Vec3(v.position.x, v.position.y, v.position.z); }

}  // namespace

TEST(ModelImport, MapsMeshesFacesMaterialsNormalsAndTextureCoordinates)
{
    WorkingDirectoryInTemp folder;
    Scene scene;
    const ModelReport report = importHandMade(scene, ModelSettings{});
    ASSERT_EQ(report.failure, ModelFailure::none) << report.error;
    EXPECT_TRUE(report.warnings.empty());
    ASSERT_EQ(scene.primitives.size(), 2u);

    const Primitive& red = scene.primitives[0];
    ASSERT_EQ(red.polygons.size(), 1u);
    ASSERT_EQ(red.polygons[0].size(), 5u);  // the n-gon stays one polygon
    EXPECT_EQ(red.polygons[0][0].previous, 4);
    EXPECT_EQ(red.polygons[0][3].previous, 2);
    EXPECT_FLOAT_EQ(red.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(red.diffuse.g, 0.0f);
    EXPECT_FLOAT_EQ(red.specular.g, 0.5f);
    EXPECT_EQ(red.shininess, 40);
    EXPECT_EQ(red.texture, nullptr);
    for (const Vertex& v : red.polygons[0]) expectNear(v.normal, 0, 1, 0, "the file's +z normal, y-up");

    const Primitive& textured = scene.primitives[1];
    ASSERT_EQ(textured.polygons.size(), 2u);
    EXPECT_EQ(textured.shininess, 0);
    EXPECT_FLOAT_EQ(textured.specular.r, 0.0f);  // no exponent, no highlight
    ASSERT_NE(textured.texture, nullptr);
    ASSERT_EQ(textured.texture->width, 2);
    EXPECT_FLOAT_EQ(textured.texture->texel(0, 0)[2], 1.0f);  // the image's bottom row is t = 0
    EXPECT_FLOAT_EQ(textured.texture->texel(1, 1)[1], 1.0f);
    EXPECT_FLOAT_EQ(textured.texture->texel(1, 1)[0], 0.0f);

    // Smooth normals where the file has none: the area-weighted mean where the faces meet.
    const double s6 = std::sqrt(6.0), s3 = std::sqrt(3.0);
    const Polygon& a = textured.polygons[0];
    const Polygon& b = textured.polygons[1];
    expectNear(a[0].normal, 0, 1, 0, "a corner of one face only");
    expectNear(a[1].normal, 1 / s6, 2 / s6, -1 / s6, "a shared corner");
    expectNear(b[2].normal, 1 / s6, 2 / s6, -1 / s6, "the same corner in the other face");
    expectNear(b[1].normal, 1 / s3, 1 / s3, -1 / s3, "a corner of the other face only");

    // Each face moved by whole repetitions; what spans more than one stays beyond 1.
    const float st[6][2] = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.25f, 0.75f}, {0.75f, 0.25f}, {1.5f, 1.5f}, {0.25f, 0.75f}};
    for (int k = 0; k < 6; ++k) {
        const Vertex& v = (k < 3 ? a : b)[k % 3];
        EXPECT_FLOAT_EQ(v.s, st[k][0]) << k;
        EXPECT_FLOAT_EQ(v.t, st[k][1]) << k;
    }
    EXPECT_EQ(scene.lights.size(), 2u);
    EXPECT_TRUE(scene.lightingEnabled);
}

// The box of all face corners is centred on the origin with half its diagonal kModelRadius; the
// up axis decides where the file's y goes. The file's box is 2 x 2 x 2.
TEST(ModelImport, FitsIntoTheScenesSpaceWithEitherUpAxis)
{
    const double k = kModelRadius / std::sqrt(3.0);
    struct Case {
        UpAxis up;
        double edge[3];  // file (2, 1, 0) from file (0, 0, 0), in the scene
    } cases[] = {{UpAxis::y, {-2 * k, 0, k}}, {UpAxis::z, {-2 * k, -k, 0}}};
    for (const Case& c : cases) {
        WorkingDirectoryInTemp folder;
        Scene scene;
        ModelSettings settings;
        settings.up = c.up;
        ASSERT_EQ(importHandMade(scene, settings).failure, ModelFailure::none);
        const Polygon& pentagon = scene.primitives[0].polygons[0];
        Vec3 edge = position(pentagon[2]);
        edge -= position(pentagon[0]);
        expectNear(edge, c.edge[0], c.edge[1], c.edge[2], "an edge of the pentagon");
        double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
        for (const Primitive& p : scene.primitives)
            for (const Polygon& polygon : p.polygons)
                for (const Vertex& v : polygon) {
                    const double xyz[3] = {v.position.x, v.position.y, v.position.z};
                    for (int i = 0; i < 3; ++i) {
                        low[i] = std::min(low[i], xyz[i]);
                        high[i] = std::max(high[i], xyz[i]);
                    }
                }
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(low[i] + high[i], 0, 1e-6) << "axis " << i;
            EXPECT_NEAR(high[i] - low[i], 2 * k, 1e-6) << "axis " << i;
        }
    }
}

TEST(ModelImport, GivenLightsAndAmbientReplaceTheDefaults)
{
    WorkingDirectoryInTemp folder;
    Scene scene;
    ModelSettings settings;
    settings.ambient = Color(0.1f, 0.2f, 0.3f, 1);
    settings.lights = {{Vec3(1, 2, 3), Color(0.5f, 0.5f, 0.5f, 1)}};
    ASSERT_EQ(importHandMade(scene, settings).failure, ModelFailure::none);
    ASSERT_EQ(scene.lights.size(), 1u);
    EXPECT_FLOAT_EQ(scene.lights[0].position.z, 3.0f);
    EXPECT_FLOAT_EQ(scene.ambient.b, 0.3f);
}

TEST(ModelImport, AMissingTextureIsOneWarningAndAnUntexturedPrimitive)
{
    WorkingDirectoryInTemp folder;
    writeFile("two.obj", kObj);
    writeFile("two.mtl", kMtl);
    Scene scene;
    ModelSettings settings;
    settings.path = "two.obj";
    const ModelReport report = importModel(scene, settings);
    ASSERT_EQ(report.failure, ModelFailure::none) << report.error;
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("checker.ppm"), std::string::npos) << report.warnings[0];
    ASSERT_EQ(scene.primitives.size(), 2u);
    EXPECT_EQ(scene.primitives[1].texture, nullptr);
}

namespace {

ModelGeometry texturedTriangle()
{
    ModelGeometry geometry;
    ModelMesh mesh;
    mesh.positions = {Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0, 1, 0)};
    mesh.faceSizes = {3};
    mesh.indices = {0, 1, 2};
    geometry.meshes.push_back(mesh);
    geometry.materials.resize(1);
    geometry.materials[0].texture = Texture(2, 2, 3);
    geometry.materials[0].texture.texel(1, 1)[0] = 0.5f;
    return geometry;
}

}  // namespace

// The child's answer is input like any file: each spoilt one is refused with what is wrong.
TEST(ModelImport, TheImportersAnswerIsCheckedOnArrival)
{
    struct Case {
        const char* says;  // empty: arrives whole
        std::function<void(ModelGeometry&)> spoil;
    } cases[] = {
        {"", [](ModelGeometry&) {}},
        {"fewer than 3", [](ModelGeometry& g) { g.meshes[0].faceSizes = {2, 1}; }},
        {"add up", [](ModelGeometry& g) { g.meshes[0].faceSizes = {3, 3}; }},
        {"out of range", [](ModelGeometry& g) { g.meshes[0].indices[2] = 3; }},
        {"material it did not send", [](ModelGeometry& g) { g.meshes[0].material = 1; }},
        {"differ in length", [](ModelGeometry& g) { g.meshes[0].normals = {Vec3(0, 0, 1)}; }},
        {"not finite", [](ModelGeometry& g) { g.meshes[0].positions[1].y = std::nanf(""); }},
        {"size no texture", [](ModelGeometry& g) { g.materials[0].texture = Texture(kMaxImageSide + 1, 1, 3); }},
        {"no meshes", [](ModelGeometry& g) { g.meshes.clear(); }},
    };
    for (const Case& c : cases) {
        ModelGeometry sent = texturedTriangle();
        c.spoil(sent);
        ChildPipe child;
        std::string problem;
        ASSERT_TRUE(startChild(ChildLimits{}, [&](int fd, bool) { sendModel(fd, ModelReport{}, sent); }, child, problem));
        ModelReport report;
        ModelGeometry got;
        const bool whole = receiveModel(child, report, got, problem);
        EXPECT_EQ(finishChild(child), "") << c.says;
        EXPECT_EQ(whole, *c.says == '\0') << c.says << ": " << problem;
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.says << ": " << problem;
        if (!whole) continue;
        ASSERT_EQ(got.meshes.size(), 1u);
        EXPECT_EQ(got.meshes[0].indices, sent.meshes[0].indices);
        EXPECT_FLOAT_EQ(got.meshes[0].positions[2].y, 1.0f);
        ASSERT_EQ(got.materials.size(), 1u);
        EXPECT_FLOAT_EQ(got.materials[0].texture.texel(1, 1)[0], 0.5f);
    }
}

// Whatever the importer does to its process ends there, as a line saying what happened.
TEST(ModelImport, AFaultInTheImportingChildEndsThere)
{
    ChildLimits limits;
    limits.wallClock = std::chrono::seconds(1);
    limits.memoryBytes = 256ull << 20;
    const auto hog = [](int fd, bool binds) {
        std::vector<std::unique_ptr<char[]>> held;
        try {
            for (;;) {
                held.emplace_back(new char[1 << 20]);
                std::memset(held.back().get(), 1, 1 << 20);
            }
        } catch (const std::bad_alloc&) {
            held.clear();
            ModelReport report;
            report.failure = ModelFailure::noMemory;
            report.error = binds ? "its own limit" : "another limit";
            sendModel(fd, report, ModelGeometry());
        }
    };
#if defined(__SANITIZE_ADDRESS__)
    const std::string overMemory = "needed more than 256 MiB of memory to import", hogSays;
#else
    const std::string overMemory, hogSays = "its own limit";
#endif
    int never[2];
    ASSERT_EQ(pipe(never), 0);
    struct Case {
        std::string ending, says;
        ChildWork work;
    } cases[] = {
        {"crashed the importer (signal 11)", "", [](int, bool) { raise(SIGSEGV); }},
        {"crashed the importer (signal 6)", "", [](int, bool) { std::puts("chatter"); std::abort(); }},
        {"took the importer more than 1 s", "", [](int, bool) { for (volatile unsigned spin = 0;; spin = spin + 1) {} }},
        {"took the importer more than 1 s", "", [&](int, bool) { char c; (void)!read(never[0], &c, 1); }},
        {overMemory, hogSays, hog},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        ChildPipe child;
        std::string problem;
        ASSERT_TRUE(startChild(limits, c.work, child, problem));
        ModelReport report;
        ModelGeometry got;
        receiveModel(child, report, got, problem);
        EXPECT_EQ(finishChild(child), c.ending);
        EXPECT_EQ(report.error, c.says) << c.ending;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.ending;
    }
    close(never[0]);
    close(never[1]);
}

// Exporters write textures into a folder beside the model's: it is read through the byte budget.
TEST(ModelImport, ATextureInASiblingFolderIsRead)
{
    WorkingDirectoryInTemp folder;
    std::filesystem::create_directory("../textures");
    writeChecker("../textures/checker.ppm");
    writeFile("two.obj", kObj);
    std::string mtl = kMtl;
    mtl.replace(mtl.find("checker.ppm"), 11, "../textures/checker.ppm");
    writeFile("two.mtl", mtl);
    Scene scene;
    ModelSettings settings;
    settings.path = "two.obj";
    const ModelReport report = importModel(scene, settings);
    ASSERT_EQ(report.failure, ModelFailure::none) << report.error;
    EXPECT_TRUE(report.warnings.empty());
    ASSERT_NE(scene.primitives[1].texture, nullptr);
    EXPECT_EQ(scene.primitives[1].texture->width, 2);
}
