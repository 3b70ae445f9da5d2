#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "render_tool/render_options.h"

namespace {

ParsedCommand parseCommand(std::vector<const char*> args)
{
    args.insert(args.begin(), "pixelwright-render");
    return parseRenderOptions(static_cast<int>(args.size()), args.data());
}

bool parse(std::vector<const char*> args, RenderOptions& options, std::string& error)
{
    const ParsedCommand command = parseCommand(std::move(args));
    options = command.options;
    error = command.text;
    return command.action == CommandAction::run;
}

std::string parseError(std::vector<const char*> args)
{
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(parse(std::move(args), options, error));
    return error;
}

}  // namespace

TEST(RenderOptions, DefaultsAndEveryOption)
{
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--scene", "3", "--output", "a.png"}, options, error)) << error;
    EXPECT_EQ(options.sceneNumber, 3);
    EXPECT_EQ(options.renderer, RendererChoice::software);
    EXPECT_EQ(options.width, 480);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.pose.azimuth, -135.0f);
    EXPECT_TRUE(options.mipmapping);

    RenderOptions all;
    ASSERT_TRUE(parse({"--scene", "9", "--renderer", "both", "--size", "1920x1080", "--view", "10", "-20.5", "3",
                       "-4", "5e1", "--no-mipmapping", "--sphere", "x.raw", "--bench", "7", "--output", "b.png"},
                      all, error))
        << error;
    EXPECT_EQ(all.renderer, RendererChoice::both);
    EXPECT_EQ(all.width, 1920);
    EXPECT_EQ(all.height, 1080);
    EXPECT_EQ(all.pose.azimuth, 10.0f);
    EXPECT_EQ(all.pose.elevation, -20.5f);
    EXPECT_EQ(all.pose.panY, 50.0f);
    EXPECT_FALSE(all.mipmapping);
    EXPECT_EQ(all.spherePath, "x.raw");
    EXPECT_EQ(all.benchFrames, 7);
}

TEST(RenderOptions, BadArgumentsNameTheProblem)
{
    EXPECT_NE(parseError({"--scene", "0", "--output", "a.png"}).find("--scene"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "10", "--output", "a.png"}).find("--scene"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "2x", "--output", "a.png"}).find("--scene"), std::string::npos);
    EXPECT_NE(parseError({"--output", "a.png"}).find("--scene is required"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "1"}).find("--output"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--output", "a.png", "--fast"}).find("unknown option '--fast'"),
              std::string::npos);
    for (const char* size : {"0x480", "480x0", "16385x1", "480", "x480", "480x", "-4x4", "4x4x4", "1e3x10"})
        EXPECT_NE(parseError({"--scene", "1", "--size", size, "--output", "a.png"}).find("--size"), std::string::npos)
            << size;
    EXPECT_NE(parseError({"--scene", "1", "--view", "1", "2", "3", "4", "--output", "a.png"}).find("--view"),
              std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--view", "1", "2", "nan", "4", "5", "--output", "a.png"}).find("--view"),
              std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--view", "1", "2", "inf", "4", "5", "--output", "a.png"}).find("--view"),
              std::string::npos);
    // Leading blanks and plus signs, which the C library's number readers would pass over.
    EXPECT_NE(parseError({"--scene", " 3", "--output", "a.png"}).find("--scene"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "+3", "--output", "a.png"}).find("--scene"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--size", "4x 4", "--output", "a.png"}).find("--size"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--view", "1", " 2", "3", "4", "5", "--output", "a.png"}).find("--view"),
              std::string::npos);
    RenderOptions fractions;
    std::string fractionError;
    EXPECT_TRUE(parse({"--scene", "1", "--view", ".5", "-.5", "-3", "0", "1e2", "--output", "a.png"}, fractions,
                      fractionError))
        << fractionError;
    EXPECT_EQ(fractions.pose.elevation, -0.5f);
    EXPECT_NE(parseError({"--scene", "1", "--renderer", "gpu", "--output", "a.png"}).find("--renderer"),
              std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--bench", "0", "--output", "a.png"}).find("--bench"), std::string::npos);
    EXPECT_NE(parseError({"--scene", "1", "--output"}).find("--output"), std::string::npos);

    RenderOptions options;
    std::string error;
    EXPECT_TRUE(parse({"--scene", "1", "--size", "16384x1"}, options, error) == false);
    EXPECT_TRUE(parse({"--scene", "1", "--size", "16384x1", "--bench", "1"}, options, error)) << error;
}

// CLI11's own number reading would take "010" as octal; ours reads decimal, as before.
TEST(RenderOptions, RepeatedOptionsTakeTheLastAndNumbersAreDecimal)
{
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--scene", "3", "--view", "1", "2", "3", "4", "5", "--scene", "4", "--view", "6", "-.5", "-8",
                       "9", "10", "--bench", "010"},
                      options, error))
        << error;
    EXPECT_EQ(options.sceneNumber, 4);
    EXPECT_EQ(options.pose.azimuth, 6.0f);
    EXPECT_EQ(options.pose.elevation, -0.5f);
    EXPECT_EQ(options.benchFrames, 10);
}

// Whole messages: the parts CLI11 would word in its own style, and the order of the checks.
TEST(RenderOptions, RefusalsAreOneLineNamingTheArgument)
{
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--output", "a.png", "--scene"}, "--scene needs a number from 1 to 9"},
        {{"--scene", "1", "--output", "a.png", "--view", "1", "2"},
         "--view needs five numbers: AZIMUTH ELEVATION ZOOM PANX PANY"},
        {{"--scene", "1", "--view", "1", "2", "3", "4", "--output", "a.png"},
         "--view needs five numbers: AZIMUTH ELEVATION ZOOM PANX PANY, not '1 2 3 4 --output'"},
        {{"--scene", "1", "--bench", "0"}, "--bench needs a frame count from 1 to 1000000, not '0'"},
        {{"--scene", "1", "--no-mipmapping=0", "--output", "a.png"}, "--no-mipmapping takes no value"},
        {{"--scene", "1", "--sphere", "", "--output", "a.png"}, "--sphere needs a file path, not ''"},
        // A misspelt option is named rather than the option it was meant to be.
        {{"--sceen", "3", "--output", "a.png"}, "unknown option '--sceen'"},
        {{"--scene", "1", "--view", "1", "2", "3", "4", "5", "6", "--output", "a.png"}, "unexpected argument '6'"},
        {{"--scene", "1", "--size", "8x8"}, "--output is required unless --bench or --pixel is given"},
        // What the probe options need of the rest.
        {{"--scene", "1", "--show", "normals", "--output", "a.png"},
         "--show needs one of depth, normal, bumped-normal, texcoord, mip-level, ambient, diffuse, specular, "
         "overdraw, polygons, not 'normals'"},
        {{"--scene", "1", "--show", "normal", "--renderer", "both", "--output", "a.png"},
         "--show normal is a view of the software frame; only depth is shown for OpenGL too"},
        {{"--scene", "1", "--size", "8x6", "--pixel", "3,6"}, "--pixel 3,6 lies outside the 8x6 picture"},
        {{"--scene", "1", "--pixel", "3;4"}, "--pixel needs a column and a row, X,Y, counted from the top left, not '3;4'"},
        {{"--scene", "1", "--json", "--output", "a.png"}, "--json needs --pixel"},
        {{"--scene", "1", "--steps", "4", "--show", "depth", "--output", "a.png"},
         "--steps draws the picture; leave out --show"},
        {{"--scene", "1", "--pixel", "1,1", "--bench", "3"}, "--show, --pixel and --steps do not go with --bench"},
        // The last of a repeated option wins, but an earlier bad one is still refused.
        {{"--scene", "0", "--scene", "3", "--output", "a.png"}, "--scene needs a number from 1 to 9, not '0'"},
        {{"--scene", "1", "--size", "0x1", "--size", "2x2", "--output", "a.png"},
         "--size needs WIDTHxHEIGHT, each from 1 to 16384, not '0x1'"},
    };
    for (const auto& [args, message] : cases) {
        const ParsedCommand command = parseCommand(args);
        EXPECT_EQ(command.action, CommandAction::refuse) << message;
        EXPECT_EQ(command.text, message);
    }
}

TEST(RenderOptions, HelpAndVersionWinWhateverElseIsGiven)
{
    const ParsedCommand help = parseCommand({"--scene", "0", "--fast", "--help", "--version"});
    EXPECT_EQ(help.action, CommandAction::print);
    EXPECT_NE(help.text.find("\nUsage: pixelwright-render"), std::string::npos) << help.text;
    EXPECT_EQ(help.text, parseCommand({"-h"}).text);
    const ParsedCommand version = parseCommand({"--output", "a.png", "--version", "-h"});
    EXPECT_EQ(version.action, CommandAction::print);
    EXPECT_EQ(version.text.rfind("pixelwright-render ", 0), 0u) << version.text;
}

// A number too small for a float is still a number: it reads as the nearest subnormal or zero.
// One too large for a float has no nearest value and is refused like an infinity.
TEST(RenderOptions, ViewNumbersBelowTheFloatRangeReadAsTinyAndAboveItAreRefused)
{
    RenderOptions tiny;
    std::string error;
    ASSERT_TRUE(parse({"--scene", "1", "--view", "1e-40", "-1e-45", "1e-50", "0", "-1e-39", "--output", "a.png"}, tiny,
                      error))
        << error;
    EXPECT_EQ(tiny.pose.azimuth, 1e-40f);
    EXPECT_GT(tiny.pose.azimuth, 0.0f);
    EXPECT_EQ(tiny.pose.elevation, -1e-45f);
    EXPECT_EQ(tiny.pose.zoom, 0.0f);
    EXPECT_EQ(tiny.pose.panY, -1e-39f);
    EXPECT_TRUE(parse({"--scene", "1", "--view", "3.4e38", "0", "0", "0", "-3.4e38", "--output", "a.png"}, tiny,
                      error))
        << error;
    EXPECT_EQ(tiny.pose.panY, -3.4e38f);
    for (const char* huge : {"1e39", "-1e39", "3.5e38", "1e400"})
        EXPECT_NE(parseError({"--scene", "1", "--view", "0", "0", huge, "0", "0", "--output", "a.png"}).find("--view"),
                  std::string::npos)
            << huge;
}

TEST(RenderOptions, ModelOptions)
{
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--model", "m.obj", "--up", "z", "--ambient", "0.1,0.2,0.3", "--light", "1,2,3,0.5,0.5,0.5",
                       "--light", "-1,0,2,1,0,0", "--output", "a.png"},
                      options, error))
        << error;
    EXPECT_EQ(options.model.path, "m.obj");
    EXPECT_EQ(options.model.up, UpAxis::z);
    EXPECT_FLOAT_EQ(options.model.ambient.b, 0.3f);
    ASSERT_EQ(options.model.lights.size(), 2u);  // every --light counts
    EXPECT_FLOAT_EQ(options.model.lights[1].position.x, -1.0f);
    EXPECT_FLOAT_EQ(options.model.lights[1].color.g, 0.0f);

    const std::pair<std::vector<const char*>, const char*> refused[] = {
        {{"--model", "m.obj", "--scene", "1", "--output", "a.png"}, "exclude each other"},
        {{"--model", "m.obj", "--up", "x", "--output", "a.png"}, "--up needs y or z, not 'x'"},
        {{"--model", "m.obj", "--ambient", "1,1", "--output", "a.png"}, "--ambient needs three numbers"},
        {{"--model", "m.obj", "--light", "1,2,3,1,1,nan", "--output", "a.png"}, "--light needs six numbers"},
        {{"--model", "m.obj", "--light", "1,2,3,1,1,1,1", "--output", "a.png"}, "--light needs six numbers"},
        {{"--model", "", "--output", "a.png"}, "--model needs a file path"},
    };
    for (const auto& [args, message] : refused)
        EXPECT_NE(parseError(args).find(message), std::string::npos) << parseError(args);
}
