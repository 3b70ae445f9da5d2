#include "render_tool/probe_options.h"

#include "render_tool/option_values.h"

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
