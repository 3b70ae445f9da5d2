#pragma once

#include <vector>

#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// One software frame, every visible pixel handed to OpenGL as one point.
void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, int width, int height);
