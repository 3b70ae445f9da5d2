#pragma once

#include <cstdint>
#include <vector>

#include "image/rgb_image.h"
#include "math/camera.h"
#include "scene/scene.h"
#include "web/webgl_context.h"

// Draws the scene as the preview does (after the camera set-up for the pose at width × height),
// uploading the scene first if it was not yet, or was for the other mip-mapping setting.
void drawWebGlFrame(WebGlContext& context, Scene& scene, const CameraPose& pose, int width, int height);

// The frame just drawn, top row first; readBack is scratch kept across frames.
RgbImage readWebGlFrame(int width, int height, std::vector<uint8_t>& readBack);
