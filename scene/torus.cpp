#include "math/angles.h"
#include "scene/float_trig.h"
#include "scene/shape_generators.h"

void addTorusPoint(Scene& scene, float u, float v)
{
    const double fullTurn = 2 * kPi;
    const float sa = floatSin(u * fullTurn), ca = floatCos(u * fullTurn);
    const float sb = floatSin(v * fullTurn), cb = floatCos(v * fullTurn);
    const double tube = 0.4;
    const double ring = 0.6 + tube * sb;  // distance from the axis
    // The tube-scaled normal; setNormal normalises it.
    scene.setNormal(static_cast<float>(tube * sb * sa), static_cast<float>(tube * sb * ca), static_cast<float>(tube * cb));
    scene.addVertex(static_cast<float>(ring * sa), static_cast<float>(ring * ca), static_cast<float>(tube * cb));
}

void addTorus(Scene& scene, int32_t majorSegments, int32_t minorSegments)
{
    scene.beginPrimitive();
    for (int32_t i = 0; i < majorSegments; ++i) {
        const auto uA = static_cast<float>(static_cast<double>(i) / majorSegments);
        const auto uB = static_cast<float>(static_cast<double>(i + 1) / majorSegments);
        for (int32_t j = 0; j < minorSegments; ++j) {
            const auto vA = static_cast<float>(static_cast<double>(j) / minorSegments);
            const auto vB = static_cast<float>(static_cast<double>(j + 1) / minorSegments);
            // The texture coordinate is the surface parameter, so a texture wraps once each way.
            const float corners[4][2] = {{uA, vA}, {uA, vB}, {uB, vB}, {uB, vA}};
            scene.beginPolygon();
            for (const auto& c : corners) {
                scene.setTexCoord(c[0], c[1]);
                addTorusPoint(scene, c[0], c[1]);
            }
        }
    }
}
