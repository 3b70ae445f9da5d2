#pragma once

#include "raster/lanes/gathered_fragments.h"
#include "raster/lanes/lane_group.h"
#include "raster/shade_fragment.h"

// What every polygon of a frame shares, spread over the lanes once per frame.
struct LaneShading {
    FrameShading frame;
    // The matrices hold doubles, the same whichever instruction set shades.
    Unprojection<LaneGroup<NarrowRoots>> unprojection;
    Vec3Lanes eye;
};

LaneShading prepareLaneShading(const FrameShading& frame);

// Colours every gathered fragment (all of one primitive), a lane group at a time, exactly as shadeFragment colours
// each one: the same values in every bit, and not lit wherever shadeFragment reports false.
void shadeGatheredFragments(GatheredFragments& fragments, const LaneShading& frame, const Primitive& primitive,
                            unsigned primitiveIndex);
