#pragma once

#include "math/color.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "texture/fragment.h"
#include "texture/mip_chain.h"
#include "texture/texture.h"

// Height change per unit of s and of t of a one-channel height field at (s/w, t/w, 1/w).
Vec2 bumpGradient(const Texture& bumpMap, const Vec3& stOverW);

// The pixel's area in (s, t) units.
float textureFootprint(const Fragment& fragment);

// The filtered colour of the chain at the fragment; alpha is 1. An empty chain gives white.
Color sampleTexture(const MipChain& chain, const Fragment& fragment);
