#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "png/png_file.h"
#include "support/render_tool_process.h"

namespace {

RgbImage picture(const std::string& path)
{
    RgbImage image;
    std::string error;
    EXPECT_TRUE(readPng(path, image, error)) << error;
    return image;
}

long coveredPixels(const RgbImage& image)
{
    long covered = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 3)
        covered += !(image.pixels[i] == 255 && image.pixels[i + 1] == 255 && image.pixels[i + 2] == 255);
    return covered;
}

}  // namespace

// The history is traced one fragment at a time; the picture is drawn in lane groups by another
// process. The bytes the history says were stored must be the picture's.
TEST(RenderProbe, APixelsHistoryEndsInThePicturesBytes)
{
    TemporaryFolder folder;
    const struct {
        const char* scene;
        int x, y;
    } pixels[] = {{"3", 240, 300}, {"4", 100, 250}, {"5", 240, 240}, {"5", 200, 330}, {"2", 5, 5}};
    for (const auto& p : pixels) {
        const std::string name = std::string("scene") + p.scene + ".png";
        const CommandResult drawn = runRender({"--scene", p.scene, "--output", name}, folder.path());
        ASSERT_EQ(drawn.exitCode, 0) << drawn.errors;
        const RgbImage image = picture(folder.path() + "/" + name);
        const std::string at = std::to_string(p.x) + "," + std::to_string(p.y);
        const CommandResult traced = runRender({"--scene", p.scene, "--pixel", at, "--json"}, folder.path());
        ASSERT_EQ(traced.exitCode, 0) << traced.errors;
        const nlohmann::json history = nlohmann::json::parse(traced.output);
        const uint8_t* expected = &image.pixels[(static_cast<size_t>(p.y) * image.width + p.x) * 3];
        EXPECT_EQ(history["stored"], nlohmann::json::array({expected[0], expected[1], expected[2]}))
            << "scene " << p.scene << " at " << at;
        EXPECT_EQ(history["x"], p.x);
        for (const auto& fragment : history["fragments"])
            if (fragment["passed"] == true && fragment["shaded"] == true) {
                EXPECT_FALSE(fragment["lights"].empty());
                EXPECT_TRUE(fragment.contains("colour"));
            }
        // The text says the same.
        const CommandResult text = runRender({"--scene", p.scene, "--pixel", at}, folder.path());
        EXPECT_NE(text.output.find("stored " + std::to_string(expected[0]) + " " + std::to_string(expected[1]) + " " +
                                   std::to_string(expected[2]) + "\n"),
                  std::string::npos)
            << text.output;
    }
}

// The fill: every picture holds at least what the one before it did, and the last is the picture.
TEST(RenderProbe, StepsShowTheFillEndingInThePicture)
{
    TemporaryFolder folder;
    ASSERT_EQ(runRender({"--scene", "5", "--size", "160x120", "--output", "whole.png"}, folder.path()).exitCode, 0);
    const CommandResult steps = runRender({"--scene", "5", "--size", "160x120", "--steps", "5", "--output", "fill.png"},
                                          folder.path());
    ASSERT_EQ(steps.exitCode, 0) << steps.errors;
    EXPECT_EQ(folder.contents(), (std::vector<std::string>{"fill-001.png", "fill-002.png", "fill-003.png", "fill-004.png",
                                                          "fill-005.png", "whole.png"}));
    long before = 0;
    for (int k = 1; k <= 5; ++k) {
        const long covered = coveredPixels(picture(folder.path() + "/fill-00" + std::to_string(k) + ".png"));
        EXPECT_GE(covered, before) << "step " << k;
        EXPECT_GT(covered, k == 1 ? 0 : before - 1);
        before = covered;
    }
    EXPECT_EQ(picture(folder.path() + "/fill-005.png").pixels, picture(folder.path() + "/whole.png").pixels);
}

// Both renderers' depths side by side with their difference, under a legend; without the legend
// a view is exactly the frame's size.
TEST(RenderProbe, DepthOfBothRenderersAndViewSizes)
{
    TemporaryFolder folder;
    const CommandResult both = runRender(
        {"--scene", "3", "--size", "200x150", "--show", "depth", "--renderer", "both", "--output", "depth.png"},
        folder.path());
    ASSERT_EQ(both.exitCode, 0) << both.errors;
    const RgbImage depth = picture(folder.path() + "/depth.png");
    EXPECT_EQ(depth.width, 3 * 200 + 2 * 8);
    EXPECT_EQ(depth.height, 150 + 30);
    const CommandResult bare =
        runRender({"--scene", "3", "--size", "200x150", "--show", "overdraw", "--no-legend", "--output", "o.png"},
                  folder.path());
    ASSERT_EQ(bare.exitCode, 0) << bare.errors;
    const RgbImage overdraw = picture(folder.path() + "/o.png");
    EXPECT_EQ(overdraw.width, 200);
    EXPECT_EQ(overdraw.height, 150);
    EXPECT_GT(coveredPixels(overdraw), 0);
}
