#pragma once

#include <vector>

#include "texture/texture.h"

// A 256 x 256 sphere map painted procedurally: what a mirror ball seen from the front reflects of
// a sky that darkens towards the zenith, a sun high over the viewer's left shoulder, a hazy
// horizon and a checkered floor. RGB bytes in raw-file order (row 0, the bottom, first).
std::vector<unsigned char> environmentImageBytes();

// The same picture as a texture, texel for texel what reading a file of those bytes gives.
Texture makeEnvironmentImage();
