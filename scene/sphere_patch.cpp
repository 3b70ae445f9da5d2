#include "scene/float_trig.h"
#include "scene/shape_generators.h"

namespace {

// The vertex radius * d(theta, phi) with its own normal d, d = (cos t sin p, sin t sin p, cos p);
// every sine and cosine is a float before the products are taken.
void sphereVertex(Scene& scene, double radius, float theta, float phi)
{
    const float ct = floatCos(theta), st = floatSin(theta);
    const float cp = floatCos(phi), sp = floatSin(phi);
    scene.setNormal(static_cast<float>(static_cast<double>(ct) * sp), static_cast<float>(static_cast<double>(st) * sp),
                    cp);
    scene.addVertex(static_cast<float>(radius * ct * sp), static_cast<float>(radius * st * sp),
                    static_cast<float>(radius * cp));
}

}  // namespace

void addSpherePatch(Scene& scene, double radius, double divisions, float thetaRange, float phiRange)
{
    scene.beginPrimitive();
    for (int64_t i = 0; static_cast<double>(i) < divisions; ++i) {
        const auto theta0 = static_cast<float>(static_cast<double>(i) * thetaRange / divisions);
        const auto theta1 = static_cast<float>(static_cast<double>(i + 1) * thetaRange / divisions);
        for (int64_t j = 0; static_cast<double>(j) < divisions; ++j) {
            const auto phi0 = static_cast<float>(static_cast<double>(j) * phiRange / divisions);
            const auto phi1 = static_cast<float>(static_cast<double>(j + 1) * phiRange / divisions);
            // Clockwise from outside; in the row at the pole the first two vertices coincide.
            scene.beginPolygon();
            sphereVertex(scene, radius, theta0, phi0);
            sphereVertex(scene, radius, theta1, phi0);
            sphereVertex(scene, radius, theta1, phi1);
            sphereVertex(scene, radius, theta0, phi1);
        }
    }
}

void addSphereOctant(Scene& scene, double radius, double divisions)
{
    const float quarterTurn = 1.570795f;
    addSpherePatch(scene, radius, divisions, quarterTurn, quarterTurn);
}
