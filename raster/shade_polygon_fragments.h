#pragma once

#include "raster/polygon_fragments.h"
#include "raster/shade_fragment.h"

// Colours every fragment of one polygon, four at a time, exactly as shadeFragment colours each
// one: the same values in every bit, and not lit wherever shadeFragment reports false.
void shadePolygonFragments(PolygonFragments& fragments, const FrameShading& frame, const Primitive& primitive,
                           unsigned primitiveIndex);
