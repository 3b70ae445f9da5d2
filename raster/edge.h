#pragma once

#include "math/vec3.h"
#include "raster/screen_vertex.h"

// One polygon edge as the row sweep sees it, set up at its first row.
struct Edge {
    bool finished = false;
    float x = 0.0f;
    float xStep = 0.0f;
    float depth = 0.0f;
    float depthStep = 0.0f;
    float firstRow = 0.0f;  // first row the edge is active on
    float endRow = 0.0f;    // first row it no longer is
    Vec3 normal;
    Vec3 normalStep;
    Vec3 stOverW;  // (s/w, t/w, 1/w)
    Vec3 stOverWStep;
    // Rows by which the normal and (s/w, t/w, 1/w) trail x and depth; see catchUpInterpolants.
    int lagRows = 0;
    ScreenVertex lower;
    ScreenVertex upper;
};
