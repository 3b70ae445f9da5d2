#pragma once

#include "raster/lanes.h"
#include "raster/gathered_fragments.h"
#include "raster/shade_fragment.h"

// A matrix with its elements in double, each spread over the lanes.
struct WideMatrix {
    DoubleLanes m[4][4];
};

// What every polygon of a frame shares, spread over the lanes once per frame.
struct LaneShading {
    FrameShading frame;
    WideMatrix projectionInverse;
    WideMatrix viewInverse;
    Vec3Lanes eye;
};

LaneShading prepareLaneShading(const FrameShading& frame);

// Colours every gathered fragment (all of one primitive), a lane group at a time, exactly as shadeFragment colours
// each one: the same values in every bit, and not lit wherever shadeFragment reports false.
void shadeGatheredFragments(GatheredFragments& fragments, const LaneShading& frame, const Primitive& primitive,
                            unsigned primitiveIndex);
