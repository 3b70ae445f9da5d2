#pragma once

#include <vector>

#include "texture/texture.h"

// Level 0 first. Level 0 shares the source texture's texels; every further level owns its own.
// An empty chain stands for a primitive without a texture.
using MipChain = std::vector<Texture>;

// An empty chain for a null texture.
MipChain buildMipChain(const Texture* texture);
