#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/image_comparison.h"
#include "png/png_file.h"
#include "import/model_import.h"
#include "support/render_tool_process.h"

namespace {

const std::string kModels = "/usr/share/assimp/models/";

bool testModelsInstalled() { return std::filesystem::is_directory(kModels + "invalid"); }

RgbImage renderModel(const std::string& model, const std::string& renderer, const std::string& folder,
                     const std::vector<std::string>& more = {})
{
    const std::string output = folder + "/" + renderer + ".png";
    std::vector<std::string> arguments = {"--model", model, "--renderer", renderer, "--output", output};
    arguments.insert(arguments.end(), more.begin(), more.end());
    const CommandResult result = runRender(arguments, folder);
    EXPECT_EQ(result.exitCode, 0) << model << ": " << result.errors;
    RgbImage picture;
    std::string error;
    EXPECT_TRUE(readPng(output, picture, error)) << error;
    std::filesystem::remove(output);
    return picture;
}

bool covered(const RgbImage& image, int x, int y)
{
    const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3];
    return p[0] != 255 || p[1] != 255 || p[2] != 255;
}

// Coverage intersection over union, leaving out the pixels next to the OpenGL picture's outline:
// the software renderer samples pixels at whole-number positions, OpenGL at their centres.
double insideOutlineIoU(const RgbImage& software, const RgbImage& opengl)
{
    long both = 0, either = 0;
    for (int y = 1; y + 1 < opengl.height; ++y)
        for (int x = 1; x + 1 < opengl.width; ++x) {
            int around = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) around += covered(opengl, x + dx, y + dy);
            if (around != 0 && around != 9) continue;
            const bool a = covered(software, x, y), b = around == 9;
            both += a && b;
            either += a || b;
        }
    return either == 0 ? 1.0 : static_cast<double>(both) / either;
}

}  // namespace

// Third-party models through the real tool: both renderers draw them over the same pixels, in
// nearly the same colours (a textured model's texture is its surface colour in both), and the
// software picture is the same on every run and along either shading path.
TEST(RenderModel, RealModelsInBothRenderers)
{
    if (!testModelsInstalled()) GTEST_SKIP() << "needs Debian's assimp-testmodels (scripts/test.sh installs it)";
    const struct {
        const char* name;
        double psnr;  // the least agreement between the renderers, in dB
    } models[] = {{"OBJ/spider.obj", 24}, {"PLY/Wuson.ply", 28}, {"STL/Spider_binary.stl", 20},
                  {"glTF2/BoxTextured-glTF/BoxTextured.gltf", 25}, {"Collada/duck.dae", 28}};
    TemporaryFolder folder;
    for (const auto& [name, psnr] : models) {
        const std::string model = kModels + name;
        const RgbImage software = renderModel(model, "software", folder.path());
        const RgbImage again = renderModel(model, "software", folder.path());
        const RgbImage reference = renderModel(model, "software", folder.path(), {"--reference"});
        const RgbImage opengl = renderModel(model, "opengl", folder.path());
        ASSERT_EQ(software.pixels.size(), opengl.pixels.size()) << name;
        EXPECT_TRUE(software.pixels == again.pixels) << name << ": two runs differ";
        EXPECT_TRUE(software.pixels == reference.pixels) << name << ": --reference differs from the lanes";
        const RgbImage white{software.width, software.height, std::vector<uint8_t>(software.pixels.size(), 255)};
        EXPECT_LT(compareImages(software, white).coverageIoU, 0.9) << name << " is drawn as nothing";
        const double iou = insideOutlineIoU(software, opengl);
        const ImageDifference difference = compareImages(software, opengl);
        std::printf("%s: coverage IoU %.4f, %.4f inside the outline; PSNR %.2f dB\n", name, difference.coverageIoU, iou,
                    difference.psnr);
        EXPECT_GE(iou, 0.97) << name;
        EXPECT_GE(difference.psnr, psnr) << name;
    }
}

// Each refused with one line naming the file and exit status 2, and nothing written.
TEST(RenderModel, HostileFilesAreRefusedInOneLine)
{
    TemporaryFolder folder;
    const std::string dir = folder.path() + "/";
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir + name, std::ios::binary) << bytes;
        return dir + name;
    };
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    std::vector<std::pair<std::string, std::string>> cases = {  // file, what the line says
        {dir + "missing.obj", "cannot be read"},
        {dir, "is a directory"},
        {write("empty.obj", ""), "is empty"},
        {write("junk.obj", "garbage \x01\x02 not a model"), "has no faces"},
        {write("truncated.stl", "solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0\n"),
         "cannot be imported"},
        {write("lines.obj", "v 0 0 0\nv 1 0 0\nl 1 2\np 1\n"), "has no faces"},
        {write("nan.obj", "v nan 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), "not a finite number"},
        {write("inf.obj", "v 0 inf 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), "not a finite number"},
        {write("index.obj", triangle + "f 1 2 99\n"), "out of range"},
        {write("header.off", "OFF\n4000000000 4000000000 0\n0 0 0\n"), "more than its"},
        {write("vertices.off", "OFF\n353535235358 1e-45 0\n0 0 0\n"), "more than its"},
        {write("header.ply", "ply\nformat ascii 1.0\nelement vertex 99999999999\nproperty float x\nend_header\n"),
         "more than its"},
    };
    // Sparse: the size alone is refused, before any byte is read.
    const std::string huge = write("huge.obj", triangle);
    std::filesystem::resize_file(huge, kMaxModelFileBytes + 1);
    cases.push_back({huge, "larger than"});
    if (testModelsInstalled()) {
        for (const auto& entry : std::filesystem::directory_iterator(kModels + "invalid"))
            if (entry.path().filename() != "readme.txt") cases.push_back({entry.path().string(), ""});
        const std::string glb = kModels + "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb";
        std::ifstream in(glb, std::ios::binary);
        std::string bytes(2000, '\0');
        in.read(&bytes[0], 2000);
        cases.push_back({write("truncated.glb", bytes), "cannot be imported"});
    }
    if (geteuid() != 0) {  // root reads any file
        const std::string locked = write("locked.obj", triangle + "f 1 2 3\n");
        chmod(locked.c_str(), 0);
        cases.push_back({locked, "cannot be read"});
    }
    for (const auto& [model, says] : cases) {
        const std::vector<std::string> before = folder.contents();
        const CommandResult result =
            runRender({"--model", model, "--output", dir + "out.png"}, folder.path());
        EXPECT_EQ(result.exitCode, 2) << model << ": " << result.errors;
        EXPECT_EQ(result.errors.rfind("pixelwright-render: model '" + model + "' ", 0), 0u) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
        EXPECT_NE(result.errors.find(says), std::string::npos) << model << ": " << result.errors;
        EXPECT_EQ(folder.contents(), before) << model;
    }
}

// A valid model that needs more memory than the process may have: the memory message and exit
// status 1, not an abort, and nothing written.
TEST(RenderModel, AModelTooLargeForMemoryExitsOneWithTheMemoryMessage)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot start under an address-space limit";
#endif
    TemporaryFolder folder;
    // A binary STL of 1.5 million small triangles: 75 MB of file, several times that once built.
    const uint32_t triangles = 1500000;
    {
        std::ofstream stl(folder.path() + "/big.stl", std::ios::binary);
        const char header[80] = "pixelwright test";
        stl.write(header, sizeof header);
        stl.write(reinterpret_cast<const char*>(&triangles), sizeof triangles);
        for (uint32_t i = 0; i < triangles; ++i) {
            const float x = static_cast<float>(i % 1000), y = static_cast<float>(i / 1000);
            const float facet[12] = {0, 0, 1, x, y, 0, x + 1, y, 0, x, y + 1, 0};
            const uint16_t attributes = 0;
            stl.write(reinterpret_cast<const char*>(facet), sizeof facet);
            stl.write(reinterpret_cast<const char*>(&attributes), sizeof attributes);
        }
    }
    const std::string limit = "--as=" + std::to_string(400L * 1000 * 1000);
    const CommandResult result =
        runCommand({"env", "-u", "DISPLAY", "prlimit", limit, "--", PIXELWRIGHT_RENDER, "--model", "big.stl",
                    "--output", "out.png"},
                   std::chrono::seconds(120), folder.path());
    ASSERT_TRUE(result.startError.empty()) << result.startError;
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(result.errors, "pixelwright-render: model 'big.stl' needs more memory than the machine has\n");
    EXPECT_EQ(folder.contents(), std::vector<std::string>{"big.stl"});
}

namespace {

// `depth` nodes each inside the one before.
std::string deepCollada(int depth)
{
    std::string nodes;
    for (int i = 0; i < depth; ++i) nodes += "<node>";
    for (int i = 0; i < depth; ++i) nodes += "</node>";
    return R"(<?xml version="1.0"?><COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">)"
           R"(<library_visual_scenes><visual_scene id="s">)" + nodes +
           R"(</visual_scene></library_visual_scenes><scene><instance_visual_scene url="#s"/></scene></COLLADA>)";
}

std::string deepGltf(int depth)
{
    std::string nodes;
    for (int i = 0; i + 1 < depth; ++i) nodes += "{\"children\":[" + std::to_string(i + 1) + "]},";
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[)" + nodes + "{}]}";
}

std::string gltfTriangle(const std::string& buffer)
{
    return R"({"asset":{"version":"2.0"},"buffers":[{"uri":")" + buffer + R"(","byteLength":36}],)"
           R"("bufferViews":[{"buffer":0,"byteLength":36}],"accessors":[{"bufferView":0,"componentType":5126,)"
           R"("count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}],"meshes":[{"primitives":[{"attributes":)"
           R"({"POSITION":0}}]}],"nodes":[{"mesh":0}],"scenes":[{"nodes":[0]}],"scene":0})";
}

}  // namespace

// Files that crash, stall or overrun the importer, or lead it to other files it must not read:
// each one line naming the file and what happened, exit status 2, nothing written, within 30 s.
TEST(RenderModel, FilesThatBreakTheImporterAreOneLineEach)
{
    TemporaryFolder folder;
    const std::string dir = folder.path() + "/";
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir + name, std::ios::binary) << bytes;
        return dir + name;
    };
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    std::filesystem::create_directory(dir + "folder.bin");
    ASSERT_EQ(mkfifo((dir + "pipe.mtl").c_str(), 0600), 0);
    write("huge.bin", "");
    std::filesystem::resize_file(dir + "huge.bin", 3ull << 30);  // sparse: no disk taken
    const std::pair<std::string, std::string> cases[] = {
        {write("deep.dae", deepCollada(100000)), "crashed the importer"},
        {write("deep.gltf", deepGltf(100000)), "crashed the importer"},
        {write("header.ply", "ply\nformat binary_"), "took the importer more than 20 s"},
        // Found by fuzzing: a binary header cut short at a property, then zeros.
        {write("cut.ply", "ply\nformat binary_little_endian 1.0\nelement vertex 8\nproperty float x\nproperty float y\n"
                          "property float z\nelement face 12\nproperty" + std::string(16, '\0')),
         "crashed the importer"},
        {write("huge.gltf", gltfTriangle("huge.bin")), "hold more than the 512 MiB a model may read (at '"},
        {write("folder.gltf", gltfTriangle("folder.bin")), "names '" + dir + "folder.bin', which is not a regular"},
        {write("pipe.obj", "mtllib pipe.mtl\n" + triangle), "names '" + dir + "pipe.mtl', which is not a regular"},
        {write("model.smd", "version 1\n"), "format that is not supported; supported: .obj"},
        {write("model.X", "xof 0303txt 0032\n"), "format that is not supported"},
    };
    for (const auto& [model, says] : cases) {
        const std::vector<std::string> before = folder.contents();
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result = runRender({"--model", model, "--output", dir + "out.png"}, folder.path());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << model;
        EXPECT_EQ(result.exitCode, 2) << model << ": " << result.errors;
        EXPECT_EQ(result.errors.rfind("pixelwright-render: model '" + model + "' ", 0), 0u) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
        EXPECT_NE(result.errors.find(says), std::string::npos) << model << ": " << result.errors;
        EXPECT_EQ(result.output, "") << model;
        EXPECT_EQ(folder.contents(), before) << model;
    }
}

// A texture in a folder beside the model's is drawn; a map without a name leaves the model drawn
// untextured, with nothing to say.
TEST(RenderModel, TexturesBesideTheModelsFolderAreDrawn)
{
    TemporaryFolder folder;
    const std::string dir = folder.path() + "/";
    std::filesystem::create_directories(dir + "models");
    std::filesystem::create_directories(dir + "textures");
    std::ofstream(dir + "textures/red.ppm", std::ios::binary) << std::string("P6 1 1 255\n\xff\x00\x00", 14);
    const std::string quad = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl m\n"
                             "f 1/1 2/2 3/3 4/4\n";
    std::ofstream(dir + "models/red.obj") << "mtllib red.mtl\n" << quad;
    std::ofstream(dir + "models/red.mtl") << "newmtl m\nKd 1 1 1\nmap_Kd ../textures/red.ppm\n";
    std::ofstream(dir + "models/bare.obj") << "mtllib bare.mtl\n" << quad;
    std::ofstream(dir + "models/bare.mtl") << "newmtl m\nKd 1 1 1\nmap_Kd";
    const std::pair<std::string, bool> cases[] = {{"red", true}, {"bare", false}};
    for (const auto& [name, red] : cases) {
        const CommandResult result = runRender({"--model", dir + "models/" + name + ".obj", "--renderer", "software",
                                                "--output", dir + name + ".png"},
                                               folder.path());
        ASSERT_EQ(result.exitCode, 0) << name << ": " << result.errors;
        EXPECT_EQ(result.errors, "") << name;
        RgbImage picture;
        std::string error;
        ASSERT_TRUE(readPng(dir + name + ".png", picture, error)) << error;
        const uint8_t* centre = &picture.pixels[(static_cast<size_t>(picture.height / 2) * picture.width + picture.width / 2) * 3];
        EXPECT_EQ(centre[0] > centre[1] + 60, red) << name << ": " << int(centre[0]) << " " << int(centre[1]);
    }
}
