#pragma once

#include <cstddef>
#include <string>

#include "image/rgb_image.h"
#include "inspect/frame_view.h"
#include "inspect/software_scene.h"
#include "math/camera.h"

// What the page's inspection tools draw from the software scene: the same frames, views and
// histories as pixelwright-render's --show, --pixel and --steps, through the one-fragment path.

// One view of the frame (never FrameView::picture) and, below it, the legend strip that explains it.
struct ViewPicture {
    RgbImage picture;
    RgbImage legend;  // empty when the view has no legend
};
ViewPicture drawView(SoftwareScene& software, const CameraPose& pose, FrameView view);

// The object --pixel x,y --json prints; x and y from the top left. Empty outside the frame.
std::string pixelHistoryJson(SoftwareScene& software, const CameraPose& pose, int x, int y);

// The frame after its first `polygons` polygons (all of them past the end), as the fill draws it.
RgbImage drawFillCut(SoftwareScene& software, const CameraPose& pose, size_t polygons);
