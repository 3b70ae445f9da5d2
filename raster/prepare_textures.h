#pragma once

#include <vector>

#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// After every scene build: sizes the edge table and depth buffer to the frame and rebuilds one
// mip chain per primitive, in primitive order, so chain i always belongs to primitive i.
void prepareTextures(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                     std::vector<MipChain>& mipChains, int width, int height);
