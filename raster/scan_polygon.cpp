#include "raster/scan_polygon.h"

#include "raster/frame_image.h"
#include "raster/gl_point_sink.h"
#include "raster/shaded_points.h"

template void scanPolygon(EdgeTable&, ActiveEdgeList&, DepthBuffer&, int, int, ShadedPoints<GlPointSink>&);
template void scanPolygon(EdgeTable&, ActiveEdgeList&, DepthBuffer&, int, int, ShadedPoints<FrameImage>&);
