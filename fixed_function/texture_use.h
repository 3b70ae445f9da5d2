#pragma once

#include "scene/scene.h"

// How a primitive is textured: the environment map wins over the colour texture.
enum class TextureUse {
    none,
    sphereMap,    // the environment map, one level, linear, coordinates generated per vertex
    mipLinear,    // the colour texture's box-filtered chain, trilinear (linear when magnified)
    nearest,      // the colour texture's level 0, nearest
};

TextureUse textureUse(const Primitive& primitive, bool mipmapping);

// The image the use reads; null for TextureUse::none.
const Texture* usedImage(const Primitive& primitive);
