#pragma once

#include "raster/lighting.h"
#include "texture/mip_chain.h"
#include "texture/texture.h"

// What shading works out for one fragment, or for a lane group of them (each value then a lane
// group), kept apart from the fragment's own values so that one body of each step serves both
// paths (raster/shade_steps.h). Over the value types, so that lane kernels of either kind of root
// share the one state type.
template <class Float, class Mask, class Vec2, class Vec3>
struct ShadeValues {
    Mask lit;  // whether every step so far could shade the pixel
    Vec3 position, toEye, toLight, halfway, normal;
    RgbOf<Float> colour, texture;
    RgbOf<Float> specular;  // the lights' specular sum, kept apart from colour for a model's texture
    Vec2 gradient;  // of the bump map
};

template <class L>
using ShadeState = ShadeValues<typename L::Float, typename L::Mask, typename L::Vec2, typename L::Vec3>;

// What stays the same for every fragment of a primitive.
struct PrimitiveShading {
    const MipChain* texture;  // null when the primitive samples as white
    const Texture* bumpMap;   // null when the normal is not perturbed
    bool bumpHasTexels;       // without texels the gradient is 0, yet the tilt is still added
};
