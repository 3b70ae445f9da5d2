#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/render_tool_process.h"

namespace fs = std::filesystem;
using std::chrono_literals::operator""s;

namespace {

// The build's tools run without the sanitizer build's preloads; only our own programs get them.
testing::AssertionResult ran(const std::vector<std::string>& argv, CommandResult& result,
                             const std::string& folder = {}, ChildProcess::Preload preload = ChildProcess::Preload::drop)
{
    result = runCommand(argv, std::chrono::seconds(300), folder, preload);
    if (result.exitCode == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << describeCommand(argv, result);
}

// What a user sees of an installed copy: scene 5 built from another working folder, where neither
// "sphere.raw" nor "../sphere.raw" exists, finds the installed image and warns of nothing.
void expectInstalledToolRunsQuietly(const std::string& tool, const std::string& workingFolder)
{
    SCOPED_TRACE(tool);
    CommandResult result;
    ASSERT_TRUE(ran({"env", "-u", "DISPLAY", tool, "--scene", "5", "--size", "32x32", "--output", "torus.png"},
                    result, workingFolder, ChildProcess::Preload::inherit));
    EXPECT_EQ(result.errors, "");
    EXPECT_TRUE(fs::is_regular_file(fs::path(workingFolder) / "torus.png"));
    ASSERT_TRUE(ran({tool, "--version"}, result, {}, ChildProcess::Preload::inherit));
    EXPECT_EQ(result.output, "pixelwright-render " PIXELWRIGHT_VERSION "\n");
}

const std::vector<std::string> kInstalledFiles = {
    "bin/pixelwright", "bin/pixelwright-render", "share/man/man1/pixelwright.1.gz",
    "share/man/man1/pixelwright-render.1.gz", "share/pixelwright/sphere.raw"};

}  // namespace

TEST(Install, TreeHoldsBothProgramsTheirManPagesAndTheDataAndStillWorksWhenMoved)
{
    TemporaryFolder folder;
    const fs::path prefix = fs::path(folder.path()) / "prefix";
    CommandResult result;
    ASSERT_TRUE(ran({PIXELWRIGHT_CMAKE, "--install", PIXELWRIGHT_BUILD_DIR, "--prefix", prefix.string()}, result));
    for (const std::string& file : kInstalledFiles)
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file << " is not installed";
    EXPECT_EQ(fs::file_size(prefix / "share/pixelwright/sphere.raw"), 256u * 256u * 3u);
    // The tool's page is made from its --help: every option is there.
    ASSERT_TRUE(ran({"sh", "-c", "gzip -dc '" + (prefix / "share/man/man1/pixelwright-render.1.gz").string() + "'"},
                    result));
    for (const char* option : {"scene", "renderer", "size", "view", "no\\-mipmapping", "sphere", "bench", "output",
                               "EXIT STATUS", "EXAMPLES"})
        EXPECT_NE(result.output.find(option), std::string::npos) << option;

    fs::create_directory(prefix.parent_path() / "elsewhere");
    expectInstalledToolRunsQuietly((prefix / "bin/pixelwright-render").string(), folder.path() + "/elsewhere");
    const fs::path moved = fs::path(folder.path()) / "moved";
    fs::rename(prefix, moved);
    expectInstalledToolRunsQuietly((moved / "bin/pixelwright-render").string(), folder.path() + "/elsewhere");
}

// Built, unpacked into a folder and run from there: never installed on the machine.
TEST(Install, DebianPackageHoldsTheInstallWithItsFieldsAndRunsUnpacked)
{
    TemporaryFolder folder;
    CommandResult result;
    ASSERT_TRUE(ran({PIXELWRIGHT_CPACK, "-G", "DEB", "--config", PIXELWRIGHT_BUILD_DIR "/CPackConfig.cmake", "-B",
                     folder.path() + "/package"},
                    result));
    std::string deb;
    for (const auto& entry : fs::directory_iterator(folder.path() + "/package"))
        if (entry.path().extension() == ".deb") deb = entry.path().string();
    ASSERT_FALSE(deb.empty()) << result.output;
    EXPECT_EQ(fs::path(deb).filename().string().rfind("pixelwright_" PIXELWRIGHT_VERSION "_", 0), 0u) << deb;

    ASSERT_TRUE(ran({"dpkg-deb", "--field", deb, "Package", "Version", "Maintainer", "Depends", "Description"},
                    result));
    EXPECT_NE(result.output.find("Package: pixelwright\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Version: " PIXELWRIGHT_VERSION "\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Maintainer: "), std::string::npos) << result.output;
    // Worked out from the libraries the programs link, not written by hand.
    for (const char* package : {"libc6", "libpng16-16", "libglut3.12", "libegl1"})
        EXPECT_NE(result.output.find(package), std::string::npos) << package << " missing from\n" << result.output;

    const fs::path root = fs::path(folder.path()) / "root";
    ASSERT_TRUE(ran({"dpkg-deb", "-x", deb, root.string()}, result));
    for (const std::string& file : kInstalledFiles)
        EXPECT_TRUE(fs::is_regular_file(root / "usr" / file)) << file << " is not in the package";
    fs::create_directory(fs::path(folder.path()) / "elsewhere");
    expectInstalledToolRunsQuietly((root / "usr/bin/pixelwright-render").string(), folder.path() + "/elsewhere");
}
