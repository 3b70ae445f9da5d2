#include "raster/lanes/lanes.h"

#include <cstdlib>
#include <cstring>

LaneInstructions chooseLaneInstructions()
{
    LaneInstructions widest = LaneInstructions::kPortable;
#if PIXELWRIGHT_WIDE_LANES
    if (__builtin_cpu_supports("x86-64-v4"))
        widest = LaneInstructions::k512;
    else if (__builtin_cpu_supports("x86-64-v3"))
        widest = LaneInstructions::k256;
#endif
    const char* asked = std::getenv("PIXELWRIGHT_LANES");
    if (asked && std::strcmp(asked, "portable") == 0) return LaneInstructions::kPortable;
    if (asked && std::strcmp(asked, "256") == 0 && widest == LaneInstructions::k512) return LaneInstructions::k256;
    return widest;
}
