#include "fixed_function/eye_lights.h"

#include <algorithm>
#include <cmath>

namespace {

// The position transformed by the model-view matrix in float, as glLightfv stores it, then
// normalised in float, as the light's direction is kept for an infinite light.
Vec3 eyeDirection(const Mat4& view, const Vec3& position)
{
    float out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = view(i, 0) * position.x + view(i, 1) * position.y + view(i, 2) * position.z;
    const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (length == 0.0f) return {out[0], out[1], out[2]};
    const float inverse = 1.0f / length;
    return {out[0] * inverse, out[1] * inverse, out[2] * inverse};
}

}  // namespace

LightTable eyeSpaceLights(const Scene& scene, int unitCount)
{
    LightTable table;
    table.lighting = scene.lightingEnabled;
    table.sceneAmbient = scene.ambient;
    const size_t used = std::min(scene.lights.size(), static_cast<size_t>(std::max(unitCount, 0)));
    for (size_t i = 0; i < used; ++i) {
        const Light& light = scene.lights[i];
        table.lights.push_back({eyeDirection(scene.viewStack.current, light.position), light.color, light.color});
    }
    return table;
}
