#include "raster/frame_image.h"

void FrameImage::reset(int w, int h)
{
    width = w > 0 && h > 0 ? w : 0;
    height = w > 0 && h > 0 ? h : 0;
    rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 255);
    columns_ = static_cast<float>(width);
    rows_ = static_cast<float>(height);
    pointCount = 0;
    pointOutsideFrame = false;
}
