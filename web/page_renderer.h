#pragma once

#include <cstdint>
#include <vector>

#include <emscripten/val.h>

#include "image/rgb_image.h"
#include "inspect/software_scene.h"

// The page's one renderer object, which its script creates: the software scene, and the memory its
// pictures are handed out in.
struct PageRenderer {
    SoftwareScene software;
    std::vector<uint8_t> rgba;
    std::vector<uint8_t> legendRgba;
    double frameMilliseconds = 0.0;  // the last software frame's, without handing out the picture
};

// {width, height, rgba}: the image as RGBA bytes, top row first, in memory the renderer keeps until
// the next picture it hands out into the same buffer.
emscripten::val handOut(const RgbImage& image, std::vector<uint8_t>& rgba);
