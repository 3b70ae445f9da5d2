#pragma once

#include <string>

#include "math/camera.h"

enum class RendererChoice { software, opengl, both };

// What one pixelwright-render invocation asks for.
struct RenderOptions {
    int sceneNumber = 0;
    RendererChoice renderer = RendererChoice::software;
    int width = 480;
    int height = 480;
    CameraPose pose;  // the viewer's initial camera unless --view is given
    bool mipmapping = true;
    std::string spherePath;  // empty: look up "sphere.raw" as the viewer does
    std::string output;
    int benchFrames = 0;  // 0: no benchmark
};

constexpr int kMaxRenderSide = 16384;

// Parses argv[1..argc-1]. On a bad argument returns false with one line in error, naming it.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

const char* renderUsage();
