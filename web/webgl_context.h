#pragma once

#include <string>

#include <emscripten/html5.h>

#include "web/webgl_scene.h"
#include "web/webgl_shaders.h"

// A WebGL 2 context on the canvas the page names by CSS selector, single-sampled like the native
// frames it is compared with, with the programs and the scene uploaded into it.
struct WebGlContext {
    std::string selector;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = 0;  // 0 when WebGL 2 could not be had
    FixedProgram programs[2][2][kTextureModes];  // [flat][lighting][texture mode]
    WebGlScene scene;
    int width = 0;
    int height = 0;
};

// Opens the context and builds the programs; handle stays 0 when either fails.
WebGlContext openWebGlContext(const std::string& selector);

// Makes the context current and its canvas width × height.
void useWebGlContext(WebGlContext& context, int width, int height);

void closeWebGlContext(WebGlContext& context);
