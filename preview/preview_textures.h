#pragma once

#include "scene/scene.h"

// Binds and uploads the primitive's image to texture object `name` (its index in the scene) and
// sets filtering and texture-coordinate generation; the environment map wins over the texture.
// A primitive with neither gets texturing switched off and the default object bound.
void setUpPrimitiveTexture(const Primitive& primitive, unsigned name, bool mipmapping);

// Switches off what setUpPrimitiveTexture switched on.
void tearDownPrimitiveTexture(const Primitive& primitive);
