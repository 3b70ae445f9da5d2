#pragma once

#include "inspect/frame_view.h"
#include "image/legend.h"
#include "image/rgb_image.h"
#include "inspect/view_recorder.h"
#include "raster/depth_buffer.h"

// The view of the recorded frame, top row first, with its legend unless legend is false. Pixels no
// polygon reaches stay white; no covered pixel is drawn pure white.
RgbImage drawFrameView(FrameView view, const ViewRecorder& frame, const DepthBuffer& depthBuffer,
                            bool legend);

// The software frame's depths, NaN where no point was kept; rows bottom-up.
std::vector<float> softwareDepths(const ViewRecorder& frame, const DepthBuffer& depthBuffer);

// The least and greatest of the depths that are not NaN (nearest > farthest when there are none).
void depthRange(const std::vector<float>& depths, float& nearest, float& farthest);

// Depths as grey levels, black at nearest and light grey at farthest (NaN stays white), top row
// first, and the legend entry that says so.
RgbImage depthImage(const std::vector<float>& bottomUpDepths, int width, int height, float nearest, float farthest);
LegendEntry depthLegend(float nearest, float farthest);
