#pragma once

#include <vector>

#include "image/rgb_image.h"
#include "math/camera.h"
#include "raster/depth_buffer.h"
#include "raster/edge_table.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "scene/scene.h"
#include "texture/mip_chain.h"

// What the software renderer keeps between frames of one scene at one size: the viewer holds the
// same as process-wide objects, a program without a window (the render tool, the page) as this value.
struct SoftwareScene {
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    int width = 0;
    int height = 0;
    FrameImage frame;  // the last frame, kept so a steady frame allocates nothing
    FramePath path = FramePath::lanes;
};

// Builds built-in scene n (1–5; any other number is scene 1) and prepares it for a frame of
// width × height. spherePath and thirdPlace are where scene 5 looks for its environment image.
void buildSoftwareScene(SoftwareScene& software, int sceneNumber, int width, int height, bool mipmapping,
                        const char* spherePath, const char* thirdPlace);

// Mip chains, depth buffer and edge table for the scene as it stands, at a new size.
void prepareSoftwareScene(SoftwareScene& software, int width, int height);

// The software frame into software.frame, exactly as the window would show it;
// renderSoftwareImage also turns it into a picture, top row first.
void drawSoftwareFrame(SoftwareScene& software, const CameraPose& pose);
RgbImage renderSoftwareImage(SoftwareScene& software, const CameraPose& pose);

// The polygons a frame of the scene draws, in the order the fill draws them.
size_t polygonCount(const Scene& scene);
