#pragma once

#include <vector>

#include "raster/screen_vertex.h"
#include "raster/vertex_stage.h"
#include "scene/scene.h"

// Not included: the table holds a PolygonScratch.
struct EdgeTable;

// Working storage for one polygon at a time, kept from frame to frame so that it only grows.
struct PolygonScratch {
    std::vector<ClipVertex> clip;
    std::vector<ScreenVertex> screen;
    std::vector<ClipVertex> clippedRing;
    std::vector<ScreenVertex> clippedScreen;
};

// Takes every vertex of the polygon through the vertex stage and every edge (a vertex and the one
// its previous field names) into the table. A ring that reaches behind the near plane is cut
// there first; a ring wholly in front gives exactly the edges it would give uncut. Without
// textureCoordinates the edges carry no (s/w, t/w, 1/w).
void addPolygonEdges(const Polygon& polygon, const VertexStage& stage, int height, EdgeTable& table,
                     PolygonScratch& scratch, bool textureCoordinates = true);
