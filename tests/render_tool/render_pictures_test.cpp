#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "png/png_file.h"
#include "support/render_tool_process.h"

namespace {

// scripts/render_pictures.sh, what scripts/run.sh does without a display, run on this test's own
// build with DISPLAY removed; `environment` adds NAME=VALUE settings.
CommandResult renderPictures(const std::string& folder, const std::vector<std::string>& environment = {})
{
    std::vector<std::string> argv = {"env", "-u", "DISPLAY"};
    argv.insert(argv.end(), environment.begin(), environment.end());
    const std::string build = std::filesystem::path(PIXELWRIGHT_RENDER).parent_path().string();
    for (const std::string& arg : {std::string("bash"), std::string(PIXELWRIGHT_SOURCE_DIR "/scripts/render_pictures.sh"),
                                   build, folder})
        argv.push_back(arg);
    return runCommand(argv, std::chrono::seconds(300));
}

testing::AssertionResult fiveScenesOfWidth(const std::string& folder, int minWidth, int maxWidth, int height = 480)
{
    for (int scene = 1; scene <= 5; ++scene) {
        RgbImage picture;
        std::string error;
        const std::string path = folder + "/scene" + std::to_string(scene) + ".png";
        if (!readPng(path, picture, error)) return testing::AssertionFailure() << error;
        if (picture.width < minWidth || picture.width > maxWidth || picture.height != height)
            return testing::AssertionFailure() << path << " is " << picture.width << "x" << picture.height;
    }
    return testing::AssertionSuccess();
}

}  // namespace

TEST(RenderPictures, DrawsTheFiveScenesWithBothRenderersAndSaysWhere)
{
    TemporaryFolder temporary;
    const std::string folder = temporary.path() + "/pictures";
    const CommandResult result = renderPictures(folder);
    ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_NE(result.output.find("are in " + folder + "\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("scene 5: software vs opengl: "), std::string::npos) << result.output;
    // Three 480-wide panels with gaps between them, and the difference's legend below.
    EXPECT_TRUE(fiveScenesOfWidth(folder, 3 * 480 + 2, 3 * 480 + 64, 480 + 30));
}

TEST(RenderPictures, FallsBackToTheSoftwareRendererWithoutAnEglDevice)
{
    TemporaryFolder temporary;
    const std::string folder = temporary.path() + "/pictures";
    const CommandResult result =
        renderPictures(folder, {"__EGL_VENDOR_LIBRARY_DIRS=" + temporary.path() + "/no-vendors"});
    ASSERT_EQ(result.exitCode, 0) << result.output << result.errors;
    EXPECT_NE(result.errors.find("no EGL device"), std::string::npos) << result.errors;
    EXPECT_NE(result.output.find("(software renderer) are in " + folder + "\n"), std::string::npos) << result.output;
    EXPECT_TRUE(fiveScenesOfWidth(folder, 480, 480));
}
