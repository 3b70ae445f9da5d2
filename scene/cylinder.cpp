#include <cstdint>

#include "math/angles.h"
#include "scene/float_trig.h"
#include "scene/shape_generators.h"

namespace {

// A point on the circle at angle k * 2pi / slices, with pi = 3.14159: the full turn falls
// 0.0000053 rad short, so the last side quad does not quite close on angle 0.
struct RimPoint {
    float c, s;
    RimPoint(int64_t k, double slices)
    {
        const double angle = static_cast<double>(k) * 2 * kPi / slices;
        c = floatCos(angle);
        s = floatSin(angle);
    }
};

void rimVertex(Scene& scene, double radius, const RimPoint& p, double z)
{
    scene.addVertex(static_cast<float>(radius * p.c), static_cast<float>(radius * p.s), static_cast<float>(z));
}

void cap(Scene& scene, double radius, double slices, double z, float nz)
{
    scene.beginPolygon();
    scene.setNormal(0, 0, nz);
    for (int64_t k = 0; static_cast<double>(k) < slices; ++k) rimVertex(scene, radius, RimPoint(k, slices), z);
}

}  // namespace

void addCylinder(Scene& scene, double radius, double height, double slices)
{
    const double bottom = -height / 2;
    const double top = height / 2;
    scene.beginPrimitive();
    // Each side quad is its own polygon, bottom-top-top-bottom, with a normal per edge so the
    // side shades smoothly while the caps stay flat.
    for (int64_t k = 0; static_cast<double>(k) < slices; ++k) {
        const RimPoint a(k, slices);
        const RimPoint b(k + 1, slices);
        scene.beginPolygon();
        scene.setNormal(a.c, a.s, 0);
        rimVertex(scene, radius, a, bottom);
        rimVertex(scene, radius, a, top);
        scene.setNormal(b.c, b.s, 0);
        rimVertex(scene, radius, b, top);
        rimVertex(scene, radius, b, bottom);
    }
    cap(scene, radius, slices, bottom, -1);
    cap(scene, radius, slices, top, 1);
}
