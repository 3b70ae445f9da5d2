#pragma once

#include "render_tool/headless_render.h"
#include "platform/offscreen_gl.h"
#include "render_tool/render_options.h"

// --show, --pixel and --steps: views, a pixel's history and the fill step by step, all through
// the one-fragment path, whose pixels are the picture's. Returns the exit status (1 when writing
// failed, having said why).
int renderProbe(const RenderOptions& options, HeadlessScene& headless, const OffscreenGl& gl);
