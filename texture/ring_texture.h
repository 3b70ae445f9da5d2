#pragma once

#include "texture/texture.h"

// Concentric bands around an axis tilted slightly out of the image plane, each band 70 % light
// and 30 % dark wood colour.
Texture makeRingTexture(int w, int h);
