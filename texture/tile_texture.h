#pragma once

#include "texture/texture.h"

// 4 x 4 square tiles (side w / 4, also along y) with 2-texel grout on each side of every tile.
Texture makeTileTexture(int w, int h);

// One channel: a rounded bump of peak 1 on every tile of makeTileTexture(w, h), 0 on the grout.
Texture makeTileBumpMap(int w, int h);
