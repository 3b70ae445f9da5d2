#pragma once

#include <vector>

#include "platform/offscreen_gl.h"
#include "preview/model_arrays.h"
#include "image/rgb_image.h"
#include "render_tool/render_options.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "import/model_import.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// Everything the viewer keeps process-wide, held here as one value for a program without a window.
struct HeadlessScene {
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    int width = 0;
    int height = 0;
    FrameImage frame;  // the software renderer's last frame, kept so a steady frame allocates nothing
    FramePath path = FramePath::lanes;
    bool isModel = false;     // a model file's, drawn by OpenGL from modelArrays
    ModelArrays modelArrays;  // built at the model's first OpenGL frame, in the tool's one context
};

// Builds and prepares the scene the options name, for a frame of the options' size.
void buildHeadlessScene(HeadlessScene& headless, const RenderOptions& options);

// The same for the model options.model names; on failure the scene stays empty.
ModelReport buildHeadlessModel(HeadlessScene& headless, const RenderOptions& options);

// The software renderer's frame into headless.frame, exactly as the window would show it; needs no
// OpenGL. renderSoftwareImage also turns it into a picture, top row first.
void drawSoftwareFrame(HeadlessScene& headless, const CameraPose& pose);
RgbImage renderSoftwareImage(HeadlessScene& headless, const CameraPose& pose);

// The OpenGL renderer's frame, drawn in gl, whose framebuffer has the scene's size.
RgbImage renderOpenGlImage(HeadlessScene& headless, const CameraPose& pose, const OffscreenGl& gl);
