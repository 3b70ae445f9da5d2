#include <cmath>

#include "scene/shape_generators.h"

namespace {

void vertex(Scene& scene, double x, double y) { scene.addVertex(static_cast<float>(x), static_cast<float>(y), 0.0f); }

}  // namespace

void addLetterA(Scene& scene)
{
    // 20 degrees with pi = 3.14159. Unlike the round shapes, the slant's sine, cosine and tangent
    // stay in double.
    const double slant = 0.3490655555555556;
    const double halfStroke = 0.06;
    const double t = std::tan(slant);           // a foot's distance from the axis
    const double w = halfStroke / std::cos(slant);  // half the stroke width along a row
    const double d = halfStroke * t;
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.setNormal(0, 0, 1);
    // Outline, clockwise seen from +z.
    vertex(scene, -w, 1);
    vertex(scene, w, 1);
    vertex(scene, t + w, 0);
    vertex(scene, t - w, 0);
    vertex(scene, t / 2 - w + d, 0.44);
    vertex(scene, -t / 2 + w - d, 0.44);
    vertex(scene, -t + w, 0);
    vertex(scene, -t - w, 0);
    // The hole above the crossbar, also clockwise: even-odd filling leaves it open.
    scene.beginContour();
    vertex(scene, 0, 1 - halfStroke / std::sin(slant));
    vertex(scene, t / 2 - w - d, 0.56);
    vertex(scene, -t / 2 + w + d, 0.56);
}
