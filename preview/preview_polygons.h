#pragma once

#include "scene/scene.h"

// Draws one polygon. OpenGL fills only simple outlines, so the first contour is filled whole and
// every further contour (a hole) is painted black on top of it.
void drawPreviewPolygon(const Polygon& polygon);
