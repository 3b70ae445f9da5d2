#include "raster/lanes/lanes.h"
#include "raster/lanes_request.h"

LaneInstructions chooseLaneInstructions()
{
    LaneInstructions widest = LaneInstructions::kPortable;
#if PIXELWRIGHT_WIDE_LANES
    if (__builtin_cpu_supports("x86-64-v4"))
        widest = LaneInstructions::k512;
    else if (__builtin_cpu_supports("x86-64-v3"))
        widest = LaneInstructions::k256;
#endif
    const LanesRequest asked = lanesRequest();
    if (asked == LanesRequest::portable) return LaneInstructions::kPortable;
    if (asked == LanesRequest::k256 && widest == LaneInstructions::k512) return LaneInstructions::k256;
    return widest;
}
