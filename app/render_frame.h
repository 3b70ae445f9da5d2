#pragma once

#include <vector>

#include "math/camera.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// Hands the frame to the OpenGL renderer or to the software renderer, by the scene's useOpenGL;
// the software renderer's pixels go to OpenGL as points, onto what the window already holds.
void renderFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                 const std::vector<MipChain>& mipChains, int width, int height);

// Everything one window frame draws into the current context's back buffer, short of the swap:
// beginWindowFrame (preview/window_frame.h), then the chosen renderer.
void drawFrame(Scene& scene, const CameraPose& pose, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
               const std::vector<MipChain>& mipChains, int width, int height);
