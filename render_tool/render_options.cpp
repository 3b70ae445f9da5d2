#include "render_tool/render_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "render_tool/model_options.h"
#include "render_tool/option_values.h"
#include "render_tool/probe_options.h"
#include "render_tool/value_option.h"

namespace {

// The defaults in the help, written as short as one would type them.
std::string shortNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

ParsedCommand refusal(std::string message)
{
    return {CommandAction::refuse, RenderOptions{}, std::move(message)};
}

void setUpCommand(CLI::App& app)
{
    app.get_formatter()->column_width(22);
    // Unknown arguments are reported after the parse, before a missing --scene, which a misspelt
    // option would otherwise hide.
    app.allow_extras();
    // The last of a repeated option wins, so a script can append an override to a fixed command.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    // Help and version act as soon as they are read, whatever else is on the line.
    app.set_help_flag();
    app.add_flag_callback("-h,--help", [] { throw CLI::CallForHelp(); }, "print this help and exit")
        ->trigger_on_parse()
        ->disable_flag_override();
    app.set_version_flag("--version", std::string("pixelwright-render ") + PIXELWRIGHT_VERSION,
                         "print the version and exit")
        ->trigger_on_parse()
        ->disable_flag_override();
}

void addViewOption(CLI::App& app, Needs& needs, CameraPose& pose)
{
    const CameraPose initial;
    addValueOption<std::vector<std::string>>(
        app, needs, "--view", "A E Z X Y", "five numbers: AZIMUTH ELEVATION ZOOM PANX PANY",
        "camera azimuth and elevation in degrees, zoom in wheel steps, pan in pixels (default " +
            shortNumber(initial.azimuth) + " " + shortNumber(initial.elevation) + " " + shortNumber(initial.zoom) +
            " " + shortNumber(initial.panX) + " " + shortNumber(initial.panY) + ")",
        [&](const std::vector<std::string>& texts) {
            float* fields[5] = {&pose.azimuth, &pose.elevation, &pose.zoom, &pose.panX, &pose.panY};
            if (texts.size() != 5) return false;
            for (size_t k = 0; k < 5; ++k)
                if (!parseFloat(texts[k].c_str(), *fields[k])) return false;
            return true;
        })
        // One value of five words: CLI11 then takes the next five whatever they look like, so
        // "-.5" is a number here rather than an unknown option.
        ->type_size(5)
        ->expected(1)
        ->allow_extra_args(false);
}

// --scene, --renderer, --size and --view: what is drawn, how large and from where. Returns --scene.
const CLI::Option* addSceneOptions(CLI::App& app, Needs& needs, RenderOptions& options)
{
    const RenderOptions defaults;
    const CLI::Option* scene = addValueOption<std::string>(
        app, needs, "--scene", "N", "a number from 1 to 9", "the scene to draw, 1 to 9 (6 to 9 are empty); required",
        [&](const std::string& text) { return parseInt(text.c_str(), 1, 9, options.sceneNumber); });
    addValueOption<std::string>(
        app, needs, "--renderer", "NAME", "software, opengl or both",
        std::string("software, opengl, or both side by side with their difference (default ") +
            rendererName(defaults.renderer) + ")",
        [&](const std::string& text) { return parseRenderer(text, options.renderer); });
    addValueOption<std::string>(
        app, needs, "--size", "WxH", "WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxRenderSide),
        "picture size in pixels, each side 1 to " + std::to_string(kMaxRenderSide) + " (default " +
            std::to_string(defaults.width) + "x" + std::to_string(defaults.height) + ")",
        [&](const std::string& text) { return parseSize(text.c_str(), options.width, options.height); });
    addViewOption(app, needs, options.pose);
    return scene;
}

// --reference, --no-mipmapping, --sphere, --output and --bench.
void addDrawingOptions(CLI::App& app, Needs& needs, RenderOptions& options)
{
    app.add_flag_callback("--reference", [&] { options.reference = true; },
                          "the software picture one fragment at a time, the plainest path: the same pixels, "
                          "slower (default lane groups)")
        ->disable_flag_override();
    app.add_flag_callback("--no-mipmapping", [&] { options.mipmapping = false; },
                          "OpenGL textures single-level, as after key 'a' in the viewer (default mip-mapped)")
        ->disable_flag_override();
    addValueOption<std::string>(
        app, needs, "--sphere", "PATH", "a file path",
        "scene 5's environment image, 256x256 raw RGB (default sphere.raw, ../sphere.raw, then the installed copy)",
        [&](const std::string& text) {
            options.spherePath = text;
            return !text.empty();
        });
    addValueOption<std::string>(app, needs, "--output", "FILE.png", "a file path",
                                "the 8-bit RGB PNG to write; required unless --bench is given",
                                [&](const std::string& text) {
                                    options.output = text;
                                    return !text.empty();
                                });
    addValueOption<std::string>(
        app, needs, "--bench", "FRAMES", "a frame count from 1 to 1000000",
        "after a warm-up, time FRAMES frames per renderer and print min, median, max (default none)",
        [&](const std::string& text) { return parseInt(text.c_str(), 1, 1000000, options.benchFrames); });
}

void addFooter(CLI::App& app)
{
    // A blank line apart, each example stays a line of its own in a man page made from this help.
    app.footer("Exit status: 0 done, 1 writing failed or too little memory, 2 bad arguments or model file, 3 no OpenGL\n"
               "\n"
               "Examples:\n"
               "  pixelwright-render --scene 4 --renderer both --output scene4.png\n"
               "\n"
               "  pixelwright-render --scene 1 --size 960x540 --view -100 -40 0.25 0 0 --output turned.png\n"
               "\n"
               "  pixelwright-render --scene 4 --show mip-level --output levels.png\n"
               "\n"
               "  pixelwright-render --scene 4 --pixel 240,200\n"
               "\n"
               "  pixelwright-render --model duck.dae --renderer both --output duck.png\n");
}

// The answer when the parse alone settles the command: help, the version, or a refusal of what
// CLI11 found wrong or left over. Nothing when the options are to be checked together.
std::optional<ParsedCommand> settledByParse(CLI::App& app, int argc, const char* const* argv, const Needs& needs)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return ParsedCommand{CommandAction::print, RenderOptions{}, app.help()};
    } catch (const CLI::CallForVersion& version) {
        return ParsedCommand{CommandAction::print, RenderOptions{}, version.what() + std::string("\n")};
    } catch (const CLI::ArgumentMismatch& mismatch) {
        return refusal(missingValueMessage(mismatch.what(), needs));
    } catch (const CLI::ParseError& error) {
        // A check's message already begins with the option's name, which CLI11 puts before it again.
        std::string message = error.what();
        const size_t colon = message.find(": ");
        if (colon != std::string::npos && message.compare(colon + 2, colon, message, 0, colon) == 0)
            message.erase(0, colon + 2);
        return refusal(message);
    }
    const std::vector<std::string> extras = app.remaining();
    if (extras.empty()) return std::nullopt;
    const std::string& first = extras.front();
    return refusal((first.rfind('-', 0) == 0 ? "unknown option '" : "unexpected argument '") + first + "'");
}

}  // namespace

ParsedCommand parseRenderOptions(int argc, const char* const* argv)
{
    ParsedCommand command;
    RenderOptions& options = command.options;
    CLI::App app("Draws one of Pixelwright's demo scenes to a PNG file, with either renderer, without a display.",
                 "pixelwright-render");
    setUpCommand(app);
    Needs needs;
    std::vector<std::string> lightTexts;
    const CLI::Option* scene = addSceneOptions(app, needs, options);
    const CLI::Option* model = addModelOptions(app, needs, options.model, lightTexts);
    addDrawingOptions(app, needs, options);
    addProbeOptions(app, needs, options);
    addFooter(app);

    if (std::optional<ParsedCommand> settled = settledByParse(app, argc, argv, needs)) return std::move(*settled);
    if (scene->count() > 0 && model->count() > 0) return refusal("--scene and --model exclude each other: give one");
    if (scene->count() == 0 && model->count() == 0) return refusal("--scene is required (or --model FILE)");
    addGivenLights(lightTexts, options.model);
    if (options.output.empty() && options.benchFrames == 0 && !options.tracePixel)
        return refusal("--output is required unless --bench or --pixel is given");
    if (const std::string conflict = probeConflict(options); !conflict.empty()) return refusal(conflict);
    return command;
}
