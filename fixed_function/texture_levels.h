#pragma once

#include <cstdint>
#include <vector>

#include "texture/texture.h"

// Texture images as the fixed-function pipeline stores them for an internal format of GL_RGB:
// eight bits a channel, row 0 (t = 0) first.
struct ByteLevel {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Clamped to [0, 1] and rounded to the nearest of 255 steps, ties to even.
uint8_t storedByte(float value);

// Level 0 alone, as glTexImage2D stores the float image. One or two channels are grey.
ByteLevel storedLevel(const Texture& image);

// The chain gluBuild2DMipmaps uploads: every level the float box filter of the one above (the
// four texels summed in float, in reading order, then divided by 4; two once a side is 1),
// each stored as bytes on its own, down to 1 × 1. Sides that are not powers of two (no
// built-in scene has one) are halved as they are, an odd last row or column dropped, where the
// library would first rescale the image.
std::vector<ByteLevel> boxFilterChain(const Texture& image);
