#pragma once

#include <vector>

#include "app/view_state.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// The viewer's process-wide objects, alive for the whole run; the toolkit's callbacks take no
// context, so they reach the viewer's state through these.
extern Scene scene;
extern ViewState viewState;
extern DepthBuffer depthBuffer;
extern EdgeTable edgeTable;
extern std::vector<MipChain> mipChains;
