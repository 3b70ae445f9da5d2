#pragma once

#include <string>

#include "render_tool/render_request.h"
#include "render_tool/value_option.h"

// --show, --no-legend, --pixel, --json and --steps: seeing inside the software frame.
void addProbeOptions(CLI::App& app, Needs& needs, RenderOptions& options);

// What the probe options (--show, --pixel, --steps) need of the rest; empty when they fit.
std::string probeConflict(const RenderOptions& options);
