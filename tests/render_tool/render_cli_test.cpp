#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "png/png_file.h"
#include "support/render_tool_process.h"

namespace {

// Scene 1 shifted up by a pan: the top rows show it, the bottom rows stay white.
const std::vector<std::string> kRaisedView = {"--view", "-135", "-60", "0.25", "0", "-150"};

std::vector<std::string> with(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A refusal is one line naming the problem, then (for bad arguments) the hint to the help, and
// nothing on standard output.
testing::AssertionResult refusedWith(const CommandResult& result, int status, const std::string& phrase)
{
    if (result.exitCode != status)
        return testing::AssertionFailure() << "exit " << (result.exitCode ? std::to_string(*result.exitCode) : "none")
                                           << ", stderr: " << result.errors;
    const std::string prefix = "pixelwright-render: ";
    const size_t lineEnd = result.errors.find('\n');
    if (result.errors.rfind(prefix, 0) != 0 || lineEnd == std::string::npos)
        return testing::AssertionFailure() << "stderr does not begin with one message line: " << result.errors;
    const std::string line = result.errors.substr(prefix.size(), lineEnd - prefix.size());
    if (line.find(phrase) == std::string::npos)
        return testing::AssertionFailure() << "the message \"" << line << "\" does not mention \"" << phrase << "\"";
    const std::string rest = result.errors.substr(lineEnd + 1);
    if (status == 2 && rest != "Run 'pixelwright-render --help' for the options.\n")
        return testing::AssertionFailure() << "after the message comes \"" << rest << "\", not the hint";
    if (status != 2 && !rest.empty())
        return testing::AssertionFailure() << "more than one line on stderr: " << result.errors;
    if (!result.output.empty())
        return testing::AssertionFailure() << "standard output is not empty: " << result.output;
    return testing::AssertionSuccess();
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t bigEndian(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The file itself, not just what a reader makes of it: PNG signature, then IHDR with the size,
// 8 bits per channel and colour type 2 (RGB, no alpha).
testing::AssertionResult isRgb8Png(const std::string& path, int width, int height)
{
    const std::string bytes = fileBytes(path);
    if (bytes.size() < 26 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return testing::AssertionFailure() << path << " is not a PNG file (" << bytes.size() << " bytes)";
    if (bigEndian(bytes, 16) != static_cast<uint32_t>(width) || bigEndian(bytes, 20) != static_cast<uint32_t>(height))
        return testing::AssertionFailure() << path << " is " << bigEndian(bytes, 16) << "x" << bigEndian(bytes, 20);
    if (bytes[24] != 8 || bytes[25] != 2)
        return testing::AssertionFailure() << path << " has bit depth " << int(bytes[24]) << ", colour type "
                                           << int(bytes[25]);
    return testing::AssertionSuccess();
}

RgbImage readPicture(const std::string& path)
{
    RgbImage image;
    std::string error;
    EXPECT_TRUE(readPng(path, image, error)) << error;
    return image;
}

long nonWhiteInRows(const RgbImage& image, int fromRow, int toRow)
{
    long count = 0;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3];
            count += !(p[0] == 255 && p[1] == 255 && p[2] == 255);
        }
    return count;
}

RgbImage crop(const RgbImage& image, int left, int width)
{
    RgbImage part{width, image.height, {}};
    for (int y = 0; y < image.height; ++y) {
        const auto row = image.pixels.begin() + (static_cast<long>(y) * image.width + left) * 3;
        part.pixels.insert(part.pixels.end(), row, row + width * 3);
    }
    return part;
}

}  // namespace

TEST(RenderCli, BadArgumentsExitTwoWithOneLineAndAHintAndWriteNothing)
{
    TemporaryFolder folder;
    ASSERT_EQ(mkdir((folder.path() + "/folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo((folder.path() + "/pipe").c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> arguments;
        std::string phrase;
    };
    std::vector<Case> cases = {
        {{"--scene", "1", "--fast", "--output", "out.png"}, "unknown option '--fast'"},
        {{"--scene", "0", "--output", "out.png"}, "--scene"},
        {{"--scene", "10", "--output", "out.png"}, "--scene"},
        {{"--scene", "2x", "--output", "out.png"}, "--scene"},
        {{"--scene", "1", "--size", "0x480", "--output", "out.png"}, "--size"},
        {{"--scene", "1", "--size", "16385x10", "--output", "out.png"}, "--size"},
        {{"--scene", "1", "--size", "64x4.5", "--output", "out.png"}, "--size"},
        {with({"--scene", "1", "--output", "out.png", "--view"}, {"-135", "-60", "zero", "0", "0"}), "--view"},
        {{"--scene", "1", "--bench", "3frames", "--output", "out.png"}, "--bench"},
        {{"--scene", "1", "--renderer", "gpu", "--output", "out.png"}, "--renderer"},
        {{"--scene", "5", "--sphere", "missing.raw", "--output", "out.png"}, "--sphere 'missing.raw'"},
        {{"--scene", "1", "--output", "missing/out.png"}, "'missing' does not exist"},
        {{"--scene", "1", "--output", "folder"}, "'folder' is a directory"},
        // Renaming the picture over a pipe or a device would replace it with a plain file.
        {{"--scene", "1", "--output", "pipe"}, "'pipe' is not a regular file"},
        {{"--scene", "1", "--output", "/dev/null"}, "'/dev/null' is not a regular file"},
        {{"--scene", "1", "--renderer", "both"}, "--output is required"},
    };
    // Root writes into any folder, so the permission case only means something for other users.
    if (geteuid() != 0) {
        ASSERT_EQ(mkdir((folder.path() + "/locked").c_str(), 0500), 0);
        cases.push_back({{"--scene", "1", "--output", "locked/out.png"}, "'locked' is not writable"});
    }
    const std::vector<std::string> before = folder.contents();
    for (const Case& c : cases) {
        std::string command;
        for (const std::string& argument : c.arguments) command += " " + argument;
        SCOPED_TRACE(command);
        EXPECT_TRUE(refusedWith(runRender(c.arguments, folder.path()), 2, c.phrase));
        EXPECT_EQ(folder.contents(), before);
    }
    struct stat pipe {};
    EXPECT_EQ(stat((folder.path() + "/pipe").c_str(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
}

// Every option on a line of its own with its default (or that it is required), as help2man reads it.
TEST(RenderCli, HelpListsEveryOptionWithItsDefaultAndExitsZero)
{
    TemporaryFolder folder;
    const std::vector<std::pair<std::string, std::string>> optionDefaults = {
        {"-h,--help", "help"}, {"--version", "version"}, {"--scene N", "required"},
        {"--renderer NAME", "(default software)"}, {"--size WxH", "(default 480x480)"},
        {"--view A E Z X Y", "(default -135 -60 0.25 0 0)"}, {"--no-mipmapping", "(default mip-mapped)"},
        {"--reference", "(default lane groups)"},
        {"--sphere PATH", "(default sphere.raw, ../sphere.raw, then the installed copy)"},
        {"--output FILE.png", "required unless --bench"}, {"--bench FRAMES", "(default none)"}};
    // Other arguments, even good ones, draw nothing beside the help.
    const CommandResult help = runRender({"--scene", "1", "--output", "out.png", "--help"}, folder.path());
    ASSERT_EQ(help.exitCode, 0) << help.errors;
    EXPECT_EQ(help.errors, "");
    EXPECT_NE(help.output.find("\nUsage: pixelwright-render [OPTIONS]\n"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("\nExamples:\n  pixelwright-render --scene"), std::string::npos) << help.output;
    for (const auto& [option, meaning] : optionDefaults) {
        const size_t at = help.output.find("\n  " + option + " ");
        ASSERT_NE(at, std::string::npos) << option << " is not listed:\n" << help.output;
        const std::string line = help.output.substr(at + 1, help.output.find('\n', at + 1) - at - 1);
        EXPECT_NE(line.find(meaning), std::string::npos) << line;
    }
    EXPECT_TRUE(folder.contents().empty());
}

TEST(RenderCli, VersionPrintsTheNameAndVersionAndExitsZero)
{
    TemporaryFolder folder;
    const CommandResult result = runRender({"--scene", "1", "--output", "out.png", "--version"}, folder.path());
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "pixelwright-render " PIXELWRIGHT_VERSION "\n");  // project()'s, in CMakeLists.txt
    EXPECT_EQ(result.errors, "");
    EXPECT_TRUE(folder.contents().empty());
}

// GLVND finds no EGL vendor in an empty folder, which is what a machine without a usable driver sees.
TEST(RenderCli, WithoutAnEglDeviceOpenGlExitsThreeAndSoftwareStillWorks)
{
    TemporaryFolder folder;
    const std::vector<std::string> noEgl = {"__EGL_VENDOR_LIBRARY_DIRS=" + folder.path() + "/no-vendors"};
    // The same command works with EGL, so the refusals below come from the missing device alone.
    ASSERT_EQ(runRender({"--scene", "6", "--renderer", "opengl", "--size", "8x8", "--output", "gl.png"},
                        folder.path())
                  .exitCode,
              0);
    ASSERT_EQ(unlink((folder.path() + "/gl.png").c_str()), 0);

    for (const char* renderer : {"opengl", "both"}) {
        SCOPED_TRACE(renderer);
        const CommandResult result =
            runRender({"--scene", "4", "--renderer", renderer, "--output", "out.png"}, folder.path(), noEgl);
        EXPECT_TRUE(refusedWith(result, 3, "no EGL device"));
        EXPECT_NE(result.errors.find("--renderer software"), std::string::npos) << result.errors;
        EXPECT_TRUE(folder.contents().empty());
    }
    const CommandResult software =
        runRender({"--scene", "4", "--renderer", "software", "--size", "40x30", "--output", "out.png"}, folder.path(),
                  noEgl);
    ASSERT_EQ(software.exitCode, 0) << software.errors;
    EXPECT_TRUE(isRgb8Png(folder.path() + "/out.png", 40, 30));
    EXPECT_GT(nonWhiteInRows(readPicture(folder.path() + "/out.png"), 0, 30), 0);
}

TEST(RenderCli, WritesAnRgbPngOfTheRequestedSizeTopRowFirst)
{
    TemporaryFolder folder;
    const std::string out = folder.path() + "/out.png";
    for (const char* renderer : {"software", "opengl"}) {
        SCOPED_TRACE(renderer);
        // Scene 6 is empty: a white frame, every pixel.
        const CommandResult empty =
            runRender({"--scene", "6", "--renderer", renderer, "--size", "64x48", "--output", "out.png"},
                      folder.path());
        ASSERT_EQ(empty.exitCode, 0) << empty.errors;
        EXPECT_EQ(empty.output, "Creating scene: 6\nwrote out.png (" + std::string(renderer) + ", 64x48)\n");
        EXPECT_TRUE(isRgb8Png(out, 64, 48));
        const RgbImage white = readPicture(out);
        EXPECT_EQ(white.pixels, std::vector<uint8_t>(64 * 48 * 3, 255));

        // An existing file is replaced, and no temporary file is left beside it.
        const CommandResult raised =
            runRender(with({"--scene", "1", "--renderer", renderer, "--size", "64x48", "--output", "out.png"},
                           kRaisedView),
                      folder.path());
        ASSERT_EQ(raised.exitCode, 0) << raised.errors;
        EXPECT_EQ(folder.contents(), std::vector<std::string>{"out.png"});
        const RgbImage picture = readPicture(out);
        ASSERT_EQ(picture.height, 48);
        EXPECT_GT(nonWhiteInRows(picture, 0, 1), 0) << "the scene is not in the top row";
        EXPECT_EQ(nonWhiteInRows(picture, 30, 48), 0) << "the scene reaches into the bottom rows";
    }
}

TEST(RenderCli, BothPutsSoftwareOpenGlAndTheirDifferenceSideBySide)
{
    TemporaryFolder folder;
    const std::vector<std::string> common = with({"--scene", "1", "--size", "64x48"}, kRaisedView);
    for (const char* renderer : {"software", "opengl", "both"}) {
        const CommandResult result =
            runRender(with(common, {"--renderer", renderer, "--output", std::string(renderer) + ".png"}),
                      folder.path());
        ASSERT_EQ(result.exitCode, 0) << renderer << ": " << result.errors;
        if (std::string(renderer) == "both") {
            const std::regex figures("software vs opengl: [0-9]+ pixels differ by more than 2 levels, [0-9]+ by "
                                     "more than 32; PSNR [0-9.]+ dB; coverage IoU [01]\\.[0-9]{4}\n");
            EXPECT_TRUE(std::regex_search(result.output, figures)) << result.output;
        }
    }
    const RgbImage software = readPicture(folder.path() + "/software.png");
    const RgbImage opengl = readPicture(folder.path() + "/opengl.png");
    RgbImage both = readPicture(folder.path() + "/both.png");
    ASSERT_EQ(both.height, 48 + 30);  // and the difference panel's legend below
    both.height = 48;
    both.pixels.resize(static_cast<size_t>(both.width) * 48 * 3);
    ASSERT_GE(both.width, 3 * 64);
    ASSERT_EQ((both.width - 3 * 64) % 2, 0) << both.width;
    const int gap = (both.width - 3 * 64) / 2;

    EXPECT_TRUE(picturesAgree(software.pixels, crop(both, 0, 64).pixels, 64, 48, 0)) << "left: software";
    EXPECT_TRUE(picturesAgree(opengl.pixels, crop(both, 64 + gap, 64).pixels, 64, 48, 1)) << "middle: OpenGL";
    const RgbImage difference = crop(both, 2 * (64 + gap), 64);
    const RgbImage middle = crop(both, 64 + gap, 64);
    long differing = 0;
    for (size_t i = 0; i < software.pixels.size(); i += 3) {
        const bool same = std::equal(&software.pixels[i], &software.pixels[i] + 3, &middle.pixels[i]);
        const bool white = difference.pixels[i] == 255 && difference.pixels[i + 1] == 255 && difference.pixels[i + 2] == 255;
        differing += !same;
        EXPECT_EQ(same, white) << "difference panel at pixel " << i / 3;
    }
    EXPECT_GT(differing, 0) << "the two renderers should not agree everywhere";
    if (gap > 0) {
        EXPECT_EQ(nonWhiteInRows(crop(both, 64, gap), 0, 48), 0) << "the gaps are white";
    }
}

TEST(RenderCli, BenchPrintsMinMedianMaxPerRendererAndWritesNothingWithoutOutput)
{
    TemporaryFolder folder;
    const CommandResult result =
        runRender({"--scene", "2", "--renderer", "both", "--size", "64x48", "--bench", "3"}, folder.path());
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const std::regex line("scene 2, (software|opengl), 64x48, 3 frames: min ([0-9.]+) ms, median ([0-9.]+) ms, "
                          "max ([0-9.]+) ms\n");
    std::vector<std::string> renderers;
    for (std::sregex_iterator it(result.output.begin(), result.output.end(), line), end; it != end; ++it) {
        renderers.push_back((*it)[1]);
        const double min = std::stod((*it)[2]), median = std::stod((*it)[3]), max = std::stod((*it)[4]);
        EXPECT_LE(min, median);
        EXPECT_LE(median, max);
        EXPECT_GT(max, 0.0);
    }
    EXPECT_EQ(renderers, (std::vector<std::string>{"software", "opengl"})) << result.output;
    EXPECT_TRUE(folder.contents().empty());
}

// The largest size is valid, but its frames need more memory than a small machine has; an address
// space of 1 GB stands in for one. The tool must say so and exit, not abort.
TEST(RenderCli, TooLittleMemoryForTheSizeExitsOneWithAMessageAndWritesNothing)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot start under an address-space limit";
#endif
    TemporaryFolder folder;
    const std::string limit = "--as=" + std::to_string(1000L * 1000 * 1000);
    const CommandResult result =
        runCommand({"env", "-u", "DISPLAY", "prlimit", limit, "--", PIXELWRIGHT_RENDER, "--scene", "4", "--size",
                    "16384x16384", "--output", "out.png"},
                   std::chrono::seconds(120), folder.path());
    ASSERT_TRUE(result.startError.empty()) << result.startError;
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(result.errors,
              "pixelwright-render: not enough memory to draw a 16384x16384 picture; try a smaller --size\n");
    EXPECT_TRUE(folder.contents().empty());
}
