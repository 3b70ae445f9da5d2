#pragma once

#include <random>

#include "math/camera.h"

// A camera pose with both angles in ±angle degrees, the zoom in [zoomLow, zoomHigh] and both pans
// in ±pan, drawn in that order.
template <class Engine>
CameraPose randomPose(Engine& random, float angle, float zoomLow, float zoomHigh, float pan)
{
    std::uniform_real_distribution<float> angles(-angle, angle), zooms(zoomLow, zoomHigh), pans(-pan, pan);
    CameraPose pose;
    pose.azimuth = angles(random);
    pose.elevation = angles(random);
    pose.zoom = zooms(random);
    pose.panX = pans(random);
    pose.panY = pans(random);
    return pose;
}
