#pragma once

#include "platform/offscreen_gl.h"
#include "preview/model_arrays.h"
#include "image/rgb_image.h"
#include "inspect/software_scene.h"
#include "render_tool/render_options.h"
#include "import/model_import.h"

// The software scene, and what pixelwright-render adds for a model drawn by OpenGL.
struct HeadlessScene : SoftwareScene {
    bool isModel = false;     // a model file's, drawn by OpenGL from modelArrays
    ModelArrays modelArrays;  // built at the model's first OpenGL frame, in the tool's one context
};

// Builds and prepares the scene the options name, for a frame of the options' size.
void buildHeadlessScene(HeadlessScene& headless, const RenderOptions& options);

// The same for the model options.model names; on failure the scene stays empty.
ModelReport buildHeadlessModel(HeadlessScene& headless, const RenderOptions& options);

// The OpenGL renderer's frame, drawn in gl, whose framebuffer has the scene's size.
RgbImage renderOpenGlImage(HeadlessScene& headless, const CameraPose& pose, const OffscreenGl& gl);
