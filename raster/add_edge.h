#pragma once

#include "raster/edge_table.h"
#include "raster/screen_vertex.h"

// Sets the edge from a to b up at its first row and files it in that row's bucket, or drops it:
// edges wholly above or below the frame, horizontal edges, and edges whose position (or a value
// derived from it) is not finite, so that no row or column is ever computed from NaN or infinity.
// Without textureCoordinates, (s/w, t/w, 1/w) and its step are left at zero.
void addEdge(const ScreenVertex& a, const ScreenVertex& b, int height, EdgeTable& table,
             bool textureCoordinates = true);
