#pragma once

#include <cstddef>

#include "raster/depth_buffer.h"
#include "raster/edge_table.h"

// Whether no pixel of the polygon in the table can pass the depth test: every cell its rows can
// reach already holds a depth at most the least its pixels can take. True only when walking its
// spans would keep nothing; false whenever that cannot be shown cheaply. The back of a closed
// surface, drawn after its front, is the common case.
bool surelyHidden(const EdgeTable& table, const DepthBuffer& depthBuffer, int width);

// The number of spans sweeping the polygon in the table visits, empty ones included: on each row,
// one for each pair of the edges active there.
size_t countSpans(const EdgeTable& table);
