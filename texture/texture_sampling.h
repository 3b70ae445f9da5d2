#pragma once

#include "math/color.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "texture/fragment.h"
#include "texture/mip_chain.h"
#include "texture/texture.h"
#include "texture/texel_location.h"

// Whether the image has texels of at least that many channels to read.
bool hasTexels(const Texture& texture, uint32_t minimumChannels);

// Height change per unit of s and of t of a one-channel height field at (s/w, t/w, 1/w).
Vec2 bumpGradient(const Texture& bumpMap, const Vec3& stOverW);

// The same at (s, t) already divided out; the map must have texels.
Vec2 bumpGradientAt(const Texture& bumpMap, float s, float t);

// The pixel's area in (s, t) units.
float textureFootprint(const Fragment& fragment);

// The filtered colour of the chain at the fragment; alpha is 1. An empty chain gives white.
Color sampleTexture(const MipChain& chain, const Fragment& fragment);

// The same at (s, t) for a pixel covering that many level-0 texels (0 when q is 0, where the
// footprint means nothing); level 0 must have colour texels.
Color filteredSample(const MipChain& chain, float s, float t, double texels);

// The texels filteredSample blends: locateSampleAtLevel at mipLevel(texels).
SampleTexels locateSample(const MipChain& chain, float s, float t, double texels);

// Below this many level-0 texels per pixel the level is surely negative, whatever the last bit
// of the logarithm: such pixels skip the logarithm and go straight to the bilinear sample.
constexpr double kSurelyMagnifiedTexels = 0.999;

// The level for a pixel covering that many level-0 texels: half their base-2 logarithm,
// negative (or NaN) where the pixel is magnified; -1 below kSurelyMagnifiedTexels.
float mipLevel(double texels);
