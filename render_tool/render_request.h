#pragma once

#include <string>

#include "inspect/frame_view.h"
#include "math/camera.h"
#include "scene/model_geometry.h"

enum class RendererChoice { software, opengl, both };

// What one pixelwright-render invocation asks for.
struct RenderOptions {
    int sceneNumber = 0;
    RendererChoice renderer = RendererChoice::software;
    int width = 480;
    int height = 480;
    CameraPose pose;  // the viewer's initial camera unless --view is given
    bool mipmapping = true;
    bool reference = false;  // the software frame one fragment at a time
    std::string spherePath;  // empty: look up "sphere.raw" as the viewer does
    std::string output;
    int benchFrames = 0;  // 0: no benchmark
    ModelSettings model;  // model.path empty: the scene sceneNumber names
    // Seeing inside the software frame.
    FrameView show = FrameView::picture;
    bool legend = true;
    bool tracePixel = false;  // --pixel: print the history of the pixel (pixelX, pixelY)
    int pixelX = 0;           // column from the left
    int pixelY = 0;           // row from the top, as an image viewer counts
    bool json = false;
    int steps = 0;  // 0: the finished picture only
};

constexpr int kMaxRenderSide = 16384;

const char* rendererName(RendererChoice choice);
// False, leaving `out` alone, unless `text` is one of the names rendererName gives.
bool parseRenderer(const std::string& text, RendererChoice& out);
