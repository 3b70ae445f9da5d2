#include "render_tool/render_options.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// strtol and strtof skip leading blanks and take a '+', which would make " 3" a scene number while
// "3 " is not one; a number here starts with a digit, a minus sign or a decimal point.
bool startsLikeANumber(const char* text)
{
    return text && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '.');
}

bool parseInt(const char* text, long low, long high, int& out)
{
    if (!startsLikeANumber(text)) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

// Finite numbers only: an infinite or NaN angle would make every matrix NaN. strtof's range error
// is not consulted: on overflow it returns an infinity, which the finiteness test refuses, while on
// underflow (1e-40) it returns the nearest subnormal or zero, which is the number asked for.
bool parseFloat(const char* text, float& out)
{
    if (!startsLikeANumber(text)) return false;
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (*end != '\0' || !std::isfinite(value)) return false;
    out = value;
    return true;
}

bool parseSize(const char* text, int& width, int& height)
{
    if (!text) return false;
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string w(text, x);
    return parseInt(w.c_str(), 1, kMaxRenderSide, width) && parseInt(x + 1, 1, kMaxRenderSide, height);
}

// "R,G,B" or "X,Y,Z,R,G,B": count finite numbers separated by commas.
bool parseFloatList(const std::string& text, size_t count, float* out)
{
    size_t start = 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t comma = k + 1 < count ? text.find(',', start) : text.size();
        if (comma == std::string::npos) return false;
        if (!parseFloat(text.substr(start, comma - start).c_str(), out[k])) return false;
        start = comma + 1;
    }
    return true;
}

bool parseLight(const std::string& text, Light& light)
{
    float v[6];
    if (!parseFloatList(text, 6, v)) return false;
    light = {Vec3(v[0], v[1], v[2]), Color(v[3], v[4], v[5], 1)};
    return true;
}

struct RendererName {
    const char* name;
    RendererChoice choice;
};

constexpr RendererName kRendererNames[] = {
    {"software", RendererChoice::software}, {"opengl", RendererChoice::opengl}, {"both", RendererChoice::both}};

bool parseRenderer(const std::string& text, RendererChoice& out)
{
    for (const RendererName& renderer : kRendererNames)
        if (text == renderer.name) {
            out = renderer.choice;
            return true;
        }
    return false;
}

// The defaults in the help, written as short as one would type them.
std::string shortNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string shown(const std::string& value) { return value; }

std::string shown(const std::vector<std::string>& values)
{
    std::string text;
    for (const std::string& value : values) text += (text.empty() ? "" : " ") + value;
    return text;
}

// Name and what it needs, for each option that takes a value.
using Needs = std::vector<std::pair<std::string, std::string>>;

// The value goes through `read`, our own reader rather than CLI11's (which takes " 3", "+3" and
// octal "010"); a value it refuses is reported as "NAME needs WHAT, not 'VALUE'".
template <typename Value, typename Read>
CLI::Option* addValueOption(CLI::App& app, Needs& needs, const std::string& name, const std::string& valueName,
                            const std::string& need, const std::string& description, Read read)
{
    needs.emplace_back(name, need);
    const auto check = [name, need, read](const Value& value) {
        if (!read(value)) throw CLI::ValidationError(name + " needs " + need + ", not '" + shown(value) + "'");
    };
    CLI::Option* option = app.add_option_function<Value>(name, check, description)->option_text(valueName);
    // The last of a repeated option wins, yet an earlier one must still be a valid value: CLI11
    // checks every occurrence before it keeps the last.
    if constexpr (std::is_same_v<Value, std::string>)
        option->check(CLI::Validator(
            [name, need, read](std::string& value) {
                return read(value) ? std::string() : name + " needs " + need + ", not '" + value + "'";
            },
            ""));
    return option;
}

// CLI11 words a missing value as "NAME: 1 required TEXT missing" and a value given to a flag as
// "NAME was given a disallowed flag override"; both become a line in the style of the others.
std::string missingValueMessage(const std::string& what, const Needs& needs)
{
    std::string name = what.substr(0, what.find_first_of(": "));
    if (name.rfind('-', 0) != 0) name = "--" + name;  // the flag message has the name without dashes
    for (const auto& [option, need] : needs)
        if (option == name) return name + " needs " + need;
    return name + " takes no value";
}

// X,Y as two whole numbers from 0; the picture's size is checked once it is known.
bool parsePixel(const std::string& text, int& x, int& y)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    return parseInt(text.substr(0, comma).c_str(), 0, kMaxRenderSide - 1, x) &&
           parseInt(text.c_str() + comma + 1, 0, kMaxRenderSide - 1, y);
}

void addProbeOptions(CLI::App& app, Needs& needs, RenderOptions& options)
{
    addValueOption<std::string>(app, needs, "--show", "VIEW", "one of " + frameViewNames(),
                                "instead of the picture, a view inside the software frame: " + frameViewNames(),
                                [&](const std::string& text) { return parseFrameView(text, options.show); });
    app.add_flag_callback("--no-legend", [&] { options.legend = false; },
                          "no legend strip below a view: the picture stays at exactly --size")
        ->disable_flag_override();
    addValueOption<std::string>(app, needs, "--pixel", "X,Y", "a column and a row, X,Y, counted from the top left",
                                "print how the software pixel at column X, row Y (from the top left) was made",
                                [&](const std::string& text) {
                                    options.tracePixel = true;
                                    return parsePixel(text, options.pixelX, options.pixelY);
                                });
    app.add_flag_callback("--json", [&] { options.json = true; }, "--pixel's history as one JSON object")
        ->disable_flag_override();
    addValueOption<std::string>(
        app, needs, "--steps", "N", "a picture count from 1 to 1000",
        "N pictures of the software frame as it fills, polygon by polygon: FILE-001.png ... from --output FILE.png",
        [&](const std::string& text) { return parseInt(text.c_str(), 1, 1000, options.steps); });
}

// What the probe options (--show, --pixel, --steps) need of the rest; empty when they fit.
std::string probeConflict(const RenderOptions& options)
{
    const bool probing = options.show != FrameView::picture || options.tracePixel || options.steps > 0;
    if (probing && options.benchFrames > 0) return "--show, --pixel and --steps do not go with --bench";
    if (options.show != FrameView::picture && options.show != FrameView::depth &&
        options.renderer != RendererChoice::software)
        return std::string("--show ") + frameViewName(options.show) +
               " is a view of the software frame; only depth is shown for OpenGL too";
    if ((options.tracePixel || options.steps > 0) && options.renderer != RendererChoice::software)
        return "--pixel and --steps follow the software renderer; leave out --renderer";
    if (options.tracePixel && (options.pixelX >= options.width || options.pixelY >= options.height))
        return "--pixel " + std::to_string(options.pixelX) + "," + std::to_string(options.pixelY) +
               " lies outside the " + std::to_string(options.width) + "x" + std::to_string(options.height) +
               " picture";
    if (options.json && !options.tracePixel) return "--json needs --pixel";
    if (options.steps > 0 && options.show != FrameView::picture) return "--steps draws the picture; leave out --show";
    if (options.steps > 0 && options.output.size() < 5) return "--steps needs --output FILE.png";
    return "";
}

ParsedCommand refusal(std::string message)
{
    return {CommandAction::refuse, RenderOptions{}, std::move(message)};
}

}  // namespace

const char* rendererName(RendererChoice choice)
{
    for (const RendererName& renderer : kRendererNames)
        if (renderer.choice == choice) return renderer.name;
    return "?";
}

ParsedCommand parseRenderOptions(int argc, const char* const* argv)
{
    ParsedCommand command;
    RenderOptions& options = command.options;
    const RenderOptions defaults;
    const CameraPose& pose = defaults.pose;

    CLI::App app("Draws one of Pixelwright's demo scenes to a PNG file, with either renderer, without a display.",
                 "pixelwright-render");
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

    Needs needs;
    std::vector<std::string> lightTexts;
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
    addValueOption<std::vector<std::string>>(
        app, needs, "--view", "A E Z X Y", "five numbers: AZIMUTH ELEVATION ZOOM PANX PANY",
        "camera azimuth and elevation in degrees, zoom in wheel steps, pan in pixels (default " +
            shortNumber(pose.azimuth) + " " + shortNumber(pose.elevation) + " " + shortNumber(pose.zoom) + " " +
            shortNumber(pose.panX) + " " + shortNumber(pose.panY) + ")",
        [&](const std::vector<std::string>& texts) {
            float* fields[5] = {&options.pose.azimuth, &options.pose.elevation, &options.pose.zoom,
                                &options.pose.panX, &options.pose.panY};
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
    const CLI::Option* model = addValueOption<std::string>(
        app, needs, "--model", "FILE", "a file path",
        "a model file (OBJ, PLY, STL, glTF, Collada, 3DS, FBX and more) to draw instead of a scene, "
        "centred and scaled into the scenes' space",
        [&](const std::string& text) {
            options.model.path = text;
            return !text.empty();
        });
    addValueOption<std::string>(app, needs, "--up", "AXIS", "y or z",
                                "the model's up axis, y or z (default y; the scenes are z-up)",
                                [&](const std::string& text) {
                                    options.model.up = text == "z" ? UpAxis::z : UpAxis::y;
                                    return text == "y" || text == "z";
                                });
    addValueOption<std::string>(app, needs, "--ambient", "R,G,B", "three numbers R,G,B",
                                "the model's ambient light colour (default 0.25,0.25,0.25)",
                                [&](const std::string& text) {
                                    float c[3];
                                    if (!parseFloatList(text, 3, c)) return false;
                                    options.model.ambient = Color(c[0], c[1], c[2], 1);
                                    options.model.ambientGiven = true;
                                    return true;
                                });
    // Every --light counts, unlike the other options: each adds one light.
    app.add_option("--light", lightTexts,
                   "a light shining on the model from the direction of X,Y,Z in the scenes' space, with "
                   "colour R,G,B; repeat for more, up to 8 (default the file's point lights, else two "
                   "placed from the model's size)")
        ->option_text("X,Y,Z,R,G,B")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->expected(1)
        ->allow_extra_args(false)
        ->check(CLI::Validator(
            [](std::string& value) {
                Light light;
                return parseLight(value, light) ? std::string()
                                                : "--light needs six numbers X,Y,Z,R,G,B, not '" + value + "'";
            },
            ""));
    needs.emplace_back("--light", "six numbers X,Y,Z,R,G,B");
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
    addProbeOptions(app, needs, options);
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

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return {CommandAction::print, RenderOptions{}, app.help()};
    } catch (const CLI::CallForVersion& version) {
        return {CommandAction::print, RenderOptions{}, version.what() + std::string("\n")};
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
    if (!extras.empty()) {
        const std::string& first = extras.front();
        return refusal((first.rfind('-', 0) == 0 ? "unknown option '" : "unexpected argument '") + first + "'");
    }
    if (scene->count() > 0 && model->count() > 0) return refusal("--scene and --model exclude each other: give one");
    if (scene->count() == 0 && model->count() == 0) return refusal("--scene is required (or --model FILE)");
    for (const std::string& text : lightTexts) {
        Light light;
        parseLight(text, light);
        options.model.lights.push_back(light);
    }
    if (options.output.empty() && options.benchFrames == 0 && !options.tracePixel)
        return refusal("--output is required unless --bench or --pixel is given");
    if (const std::string conflict = probeConflict(options); !conflict.empty()) return refusal(conflict);
    return command;
}
